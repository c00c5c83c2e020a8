// The main window on the scripted line, driven as a user drives it: readings in the lists, the
// keys, the fields it takes, every button wired to its operation and what the window adds when
// one stops, registration, offsets, the device clock and interval, the ID wipe, the PT100 window
// and the small windows around it. What each operation sends and tells under each fault is the
// operations' own tests'; here only what the window shows of it.
#include <unistd.h>

#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <fstream>
#include <set>

#include "AboutDialog.h"
#include "ChannelLists.h"
#include "DeleteAllConfirmDialog.h"
#include "DeviceClockControls.h"
#include "Gbk.h"
#include "Pt100Dialog.h"
#include "QtOperator.h"
#include "RegisteredDialog.h"
#include "RegistrationHelpDialog.h"
#include "UpDownControl.h"
#include "WindowDriver.h"
#include "WindowMenu.h"
#include "WindowWait.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Messages = std::vector<std::string>;
using D = MainDialog;
using P = Pt100Dialog;
constexpr int kLow = D::kLowChannelList;
constexpr int kHigh = D::kHighChannelList;
constexpr int kPt100 = D::kPt100List;

// Word i of a test reading is (i + 100) tenths of a degree, negative for odd i, so that every
// cell shows which word it came from.
int TenthsOfWord(int i) {
    return (i % 2 == 0 ? 1 : -1) * (i + 100);
}
Bytes TemperatureFrame(int words, std::uint8_t address = 0) {
    std::vector<int> tenths(words);
    for (int i = 0; i < words; ++i)
        tenths[i] = TenthsOfWord(i);
    return testing::TemperatureFrame(tenths, address);
}

struct Button {
    int id;
    bool inPt100 = false;
};
// Every button that sends on the window's own port.
constexpr Button kButtons[] = {{D::kAcquireButton},         {D::kRegisterButton},
                               {D::kReadSnButton},          {D::kFileRegisterButton},
                               {D::kSetSignalCountButton},  {D::kReadOffsetsButton},
                               {D::kSetOffsetButton},       {D::kCalibrateButton},
                               {D::kVersionLabel},          {D::kReadClockButton},
                               {D::kSetClockButton},        {D::kReadIntervalButton},
                               {D::kSetIntervalButton},     {P::kReadParametersButton, true},
                               {P::kZeroPointButton, true}, {P::kResistor1Button, true},
                               {P::kResistor2Button, true}, {P::kTemperaturesButton, true}};

class MainDialogTest : public testing::MainDialogFixture {
protected:
    MainDialogTest() { window.setTraceTarget(&pt100.trace()); }
    ~MainDialogTest() override { window.setTraceTarget(nullptr); }

    QTableWidget* list(int id) { return control<QTableWidget>(id); }
    QString cell(int list, int row, int column = kTemperatureColumn) {
        return control<QTableWidget>(list)->item(row, column)->text();
    }
    // The temperature column of a list.
    QStringList column(int id) {
        QStringList texts;
        for (int row = 0; row < list(id)->rowCount(); ++row)
            texts << cell(id, row);
        return texts;
    }
    // The column of a list whose first `filled` rows show the words from `first` on.
    QStringList filled(int id, int first, int filled) {
        QStringList texts;
        for (int row = 0; row < list(id)->rowCount(); ++row)
            texts << (row < filled ? QString::number(TenthsOfWord(first + row) / 10.0, 'f', 1)
                                   : QStringLiteral(" "));
        return texts;
    }
    void press(Button button) {
        if (button.inPt100) {
            ui.click(button.id);
        } else {
            click(button.id);
        }
    }
    // Which numbered controls of the window are enabled.
    std::vector<std::pair<QString, bool>> enabledStates() {
        std::vector<std::pair<QString, bool>> states;
        for (const QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            states.emplace_back(child->objectName(), child->isEnabled());
        return states;
    }
    QString field(int id) { return ui.edit(id)->text(); }
    // Every command echoes its first payload byte, or 32.
    void echo() {
        line.responder = [](ByteView request) {
            Bytes data{request.size() > 9 ? request[7] : std::uint8_t{32}};
            return std::vector<testing::Chunk>{{{}, ReplyFrame(0, request[4], data)}};
        };
    }

    Pt100Dialog pt100{window};
    testing::DriverOf<Pt100Dialog> ui{pt100};
};

TEST_F(MainDialogTest, AReadingFillsTheRowsItsWordCountCoversAndBlanksTheRest) {
    type(D::kAddressEdit, "3");
    // Words 0-3 go to the PT100 list and word 4 + k to channel k + 1; the rest is blank.
    const struct {
        int words, lowRows, highRows;
    } cases[] = {{68, 32, 32}, {37, 32, 1}, {10, 6, 0}, {4, 0, 0}};
    for (const auto& c : cases) {
        line.reply(TemperatureFrame(c.words, 3));
        click(D::kAcquireButton);
        EXPECT_EQ(column(kPt100), filled(kPt100, 0, 4)) << c.words;
        EXPECT_EQ(column(kLow), filled(kLow, 4, c.lowRows)) << c.words;
        EXPECT_EQ(column(kHigh), filled(kHigh, 36, c.highRows)) << c.words;
    }
    EXPECT_TRUE(person.messages.empty());
    EXPECT_EQ(line.written.back(), RequestFrame(3, command::kReadTemperatures));

    // A bad reply is told and leaves the values shown.
    Bytes corrupt = TemperatureFrame(10);
    corrupt.back() ^= 0x01;
    line.reply(corrupt);
    line.noReplyReason = "没有收到回复";  // a reply came, though a bad one: not said
    click(D::kAcquireButton);
    EXPECT_EQ(person.messages, Messages{"返回数据错误!"});
    EXPECT_EQ(column(kPt100), filled(kPt100, 0, 4));
}

// While a reading waits, the window serves a running acquisition, whose results write the
// window's reply; the reading must show what it read itself and nothing of theirs.
TEST_F(MainDialogTest, AReadingShowsOnlyWhatItReadWhileAnotherResultArrivesMeanwhile) {
    const Bytes own = TemperatureFrame(10);
    line.replyInChunks({testing::Chunk{10ms, Bytes(own.begin(), own.begin() + 7)},
                        testing::Chunk{50ms, Bytes(own.begin() + 7, own.end())}});
    TemperatureReply other;
    const Bytes theirs = testing::RisingTemperatureFrame(68, 500, 9);
    std::copy(theirs.begin(), theirs.end(), other.bytes.begin());
    bool arrived = false;
    clock.onAdvance = [&] {
        if (arrived || clock.elapsed() < 30ms) return;
        arrived = true;
        window.temperatureReply() = other;
    };
    click(D::kAcquireButton);
    EXPECT_TRUE(arrived);
    EXPECT_TRUE(person.messages.empty());
    EXPECT_EQ(column(kLow), filled(kLow, 4, 6));
}

TEST_F(MainDialogTest, WaitingForASilentInstrumentKeepsTheWindowServedUnderABusyCursor) {
    line.silence();
    line.noReplyReason = "没有收到回复:串口1对应 /dev/ttyS0";
    std::optional<Qt::CursorShape> cursorWhileWaiting;
    QTimer::singleShot(0, &window, [&] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        cursorWhileWaiting = cursor ? cursor->shape() : Qt::ArrowCursor;
    });
    click(D::kAcquireButton);
    EXPECT_EQ(cursorWhileWaiting, Qt::WaitCursor);
    // Not a byte came back: the second line says where the reading went.
    EXPECT_EQ(person.messages, Messages{"返回数据错误!\n没有收到回复:串口1对应 /dev/ttyS0"});
    EXPECT_GE(clock.elapsed(), 3000ms);
}

// Waiting for the line keeps the window alive: it paints and its timers run until input ends
// the wait.
TEST(WindowWaitTest, TheWindowPaintsAndTicksUntilInputEndsTheWait) {
    class PaintCounter final : public QObject {
    public:
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
        int paints = 0;
    } counter;
    QWidget window;
    window.resize(200, 100);
    window.show();
    window.installEventFilter(&counter);
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ++ticks;
        window.update();
    });
    ticker.start(10);
    QTimer::singleShot(300, [&] { ASSERT_EQ(::write(pipeEnds[1], "", 1), 1); });
    QElapsedTimer timer;
    timer.start();
    WaitKeepingWindowPainted(pipeEnds[0], 60s);
    EXPECT_LT(timer.elapsed(), 30'000);  // only the input can have ended it
    EXPECT_GE(ticks, 2);
    EXPECT_GE(counter.paints, 1);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
}

TEST_F(MainDialogTest, EnterClosesOnlyWhenEveryFieldIsValidAndEscapeCloses) {
    showActive();
    // Enter on a button presses it.
    line.reply(TemperatureFrame(4));
    control<QPushButton>(D::kAcquireButton)->setFocus();
    QTest::keyClick(control<QPushButton>(D::kAcquireButton), Qt::Key_Return);
    EXPECT_EQ(line.written.size(), 1u);
    EXPECT_TRUE(window.isVisible());

    type(D::kSnReadChannelEdit, "65");
    QTest::keyClick(edit(D::kSnReadChannelEdit), Qt::Key_Return);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(person.messages, Messages{"请输入一个介于 0 和 64 之间的整数。"});

    type(D::kSnReadChannelEdit, "64");
    QTest::keyClick(edit(D::kSnReadChannelEdit), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(window.values().snReadChannel, 64);

    showActive();
    QTest::keyClick(edit(D::kPortEdit), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Rejected);
}

TEST_F(MainDialogTest, ABaudRateChosenIsTakenAtOnceAndSerialNumbersAreUpperCased) {
    showActive();
    QComboBox* baud = control<QComboBox>(D::kBaudList);
    baud->setFocus();
    QTest::keyClick(baud, Qt::Key_Down);
    line.reply(TemperatureFrame(4));
    click(D::kAcquireButton);
    EXPECT_EQ(line.lastSettings.baudRate, 19200);

    window.setSnEditsEnabled(true);
    type(D::kSnEdits[0], "a5");
    type(D::kSnEdits[7], "fF");
    EXPECT_EQ(edit(D::kSnEdits[0])->text(), "A5");
    ASSERT_TRUE(window.refresh());
    EXPECT_EQ(window.values().snTexts[7], "FF");
}

// The window takes a whole number with blanks and a sign around it, and nothing else; a field
// refused keeps the values the fields before it gave.
TEST_F(MainDialogTest, RefreshTakesWholeNumbersOnlyAndStopsAtTheFirstBadField) {
    type(D::kAddressEdit, "7");
    type(D::kPortEdit, "x1");
    type(D::kPeriodEdit, "250");
    EXPECT_FALSE(window.refresh());
    EXPECT_EQ(window.values().deviceAddress, 7);
    EXPECT_EQ(window.values().portNumber, 1);
    EXPECT_EQ(window.values().acquisitionPeriodMs, 1000);
    type(D::kPortEdit, " +12 ");
    EXPECT_TRUE(window.refresh());
    EXPECT_EQ(window.values().portNumber, 12);
    EXPECT_EQ(window.values().acquisitionPeriodMs, 250);
    for (const char* refused : {"", "-", "1 2", "99999999999", "0x10", "+-3"}) {
        type(D::kPortEdit, refused);
        EXPECT_FALSE(window.refresh()) << refused;
    }
}

// A failure on the line: one message shown with the port already closed, the controls back as
// they were, the busy cursor gone.
TEST_F(MainDialogTest, EveryButtonTellsAFailureWithThePortClosedAndItsControlsBack) {
    const fs::path file = directory.path() / "probes.txt";
    std::ofstream(file) << "02:05:28-FF-64-1E-0F-00-00-9A\n";
    person.chosenFile = file;
    // Everything an operation needs before it sends.
    QComboBox* types = control<QComboBox>(D::kProbeTypeCombo);
    types->setFocus();
    QTest::keyClick(types, Qt::Key_Down);
    QTest::keyClick(types, Qt::Key_Down);
    control<QComboBox>(D::kOffsetChannelList)->setCurrentIndex(0);
    type(D::kOffsetEdit, "0.5");
    control<QComboBox>(D::kResistorCombo)->lineEdit()->setText("23.5");
    type(D::kIntervalEdit, "5");
    bool heldAtMessage = false;
    person.onMessage = [&](std::string_view) { heldAtMessage = heldAtMessage || line.held(); };
    const auto before = enabledStates();
    for (const bool portMissing : {false, true}) {
        line.refuseOpen = portMissing;
        for (const Button button : kButtons) {
            SCOPED_TRACE(std::to_string(button.id) + (portMissing ? " port missing" : " silent"));
            person.messages.clear();
            line.written.clear();
            heldAtMessage = false;
            press(button);
            ASSERT_EQ(person.messages.size(), 1u);
            EXPECT_EQ(line.written.empty(), portMissing);
            EXPECT_FALSE(heldAtMessage || line.held());
            EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
            EXPECT_EQ(enabledStates(), before);
        }
    }
}

// A refused field: one message, the focus in the field, nothing sent and no port opened.
TEST_F(MainDialogTest, ARefusedFieldStopsEveryButtonWithOneMessageAndNothingSent) {
    constexpr const char* kWholeNumber = "请输入一个整数。";
    struct Row {
        int field;
        const char* bad;
        Button button;
        const char* message = kWholeNumber;
    };
    // The address refused for every button; each other field where a button checks it.
    std::vector<Row> rows;
    for (const Button button : kButtons)
        rows.push_back({D::kAddressEdit, "1a", button});
    for (const int button : {D::kContinuousButton, D::kViewRecordsButton})
        rows.push_back({D::kAddressEdit, "1a", {button}});
    rows.push_back({D::kPortEdit, "x", {D::kAcquireButton}});
    rows.push_back({D::kRegistrationChannelEdit, "", {D::kRegisterButton}});
    rows.push_back(
        {D::kSnReadChannelEdit, "65", {D::kReadSnButton}, "请输入一个介于 0 和 64 之间的整数。"});
    rows.push_back({D::kSnEdits[0], "028", {D::kRegisterButton}, "SN号输入格式错误!"});
    for (const char* interval : {"0", "61", "-5", "abc", "271"})
        rows.push_back({D::kIntervalEdit,
                        interval,
                        {D::kSetIntervalButton},
                        "输入的数值必须为1-60之间的整数"});

    line.responder = [](ByteView request) {
        return std::vector<testing::Chunk>{{{}, ReplyFrame(0, request[4], Bytes(9, 0x28))}};
    };
    showActive();
    click(D::kManualRadio);
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.button.id) + " with " + std::to_string(row.field) + " \"" +
                     row.bad + "\"");
        const QString good = edit(row.field)->text();
        type(row.field, row.bad);
        person.messages.clear();
        edit(row.field == D::kPortEdit ? D::kAddressEdit : D::kPortEdit)->setFocus();
        press(row.button);
        EXPECT_EQ(person.messages, Messages{row.message});
        EXPECT_TRUE(line.written.empty());
        if (row.message == std::string_view(kWholeNumber)) {
            EXPECT_EQ(line.opens, 0);
            EXPECT_EQ(QApplication::focusWidget(), edit(row.field));
        }
        type(row.field, good);
    }
    EXPECT_TRUE(person.fileChoices.empty());
    EXPECT_FALSE(window.acquiring());
}

TEST_F(MainDialogTest, RegistrationModesEnableTheirFieldsAndTheButtonsMoveOn) {
    const int sn = D::kSnEdits[0], channel = D::kRegistrationChannelEdit, portB = D::kPortBRadio;
    click(D::kFullyAutomaticRadio);
    EXPECT_FALSE(enabled(sn) || enabled(channel) || enabled(portB));
    click(D::kSemiAutomaticRadio);
    EXPECT_FALSE(enabled(sn));
    EXPECT_TRUE(enabled(channel) && enabled(portB));
    // A mode change whose refresh fails keeps the mode it had.
    const QString address = edit(D::kAddressEdit)->text();
    type(D::kAddressEdit, "1a");
    click(D::kManualRadio);
    EXPECT_TRUE(control<QRadioButton>(D::kSemiAutomaticRadio)->isChecked());
    EXPECT_FALSE(enabled(sn));
    type(D::kAddressEdit, address);
    click(D::kManualRadio);
    person.messages.clear();
    EXPECT_TRUE(enabled(sn) && enabled(channel) && enabled(portB));

    // The typed serial number and port go out, and the channel moves on.
    type(D::kSnEdits[0], "28");
    for (int i = 1; i < 8; ++i)
        edit(D::kSnEdits[i])->clear();
    click(D::kPortBRadio);
    line.reply(ReplyFrame(0, command::kRegisterManual, Bytes{0}));
    click(D::kRegisterButton);
    EXPECT_EQ(payloadSent(), (Bytes{2, 1, 0x28, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(edit(D::kRegistrationChannelEdit)->text(), "2");

    // A serial number read goes to the clipboard, selects its port and moves the channel on; a
    // reply cut short leaves all three alone.
    click(D::kPortARadio);
    type(D::kSnReadChannelEdit, "7");
    const Bytes reply = ReplyFrame(0, command::kReadProbeSn,
                                   Bytes{2, 0x28, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0x01, 0x9F});
    for (const Bytes& answer : {reply, Bytes(reply.begin(), reply.begin() + 15)}) {
        line.reply(answer);
        click(D::kReadSnButton);
        EXPECT_EQ(person.clipboard, "02:07:28-AA-BB-CC-DD-EE-01-9F");
        EXPECT_TRUE(control<QRadioButton>(D::kPortBRadio)->isChecked());
        EXPECT_EQ(edit(D::kSnReadChannelEdit)->text(), "8");
    }
    EXPECT_EQ(payloadSent(), Bytes{8});
    EXPECT_EQ(person.messages, (Messages{"注册成功!",
                                         "02:07:28-AA-BB-CC-DD-EE-01-9F\n"
                                         "数字已送到剪贴板,按Ctrl+V粘贴ID号",
                                         "读数据错误!"}));
}

// A probe type chosen by key refills the channel list with nothing chosen; the item's index
// goes out, 0xFF for none.
TEST_F(MainDialogTest, ProbeTypeRefillsTheOffsetListAndTheItemsIndexIsSent) {
    echo();
    const std::tuple<int, int, Bytes> cases[] = {
        {1, 0, {2, 0, 7}}, {0, 3, {1, 3, 7}}, {1, -1, {2, 0xFF, 7}}};
    QComboBox* types = control<QComboBox>(D::kProbeTypeCombo);
    QComboBox* items = control<QComboBox>(D::kOffsetChannelList);
    type(D::kOffsetEdit, "0.7");
    for (const auto& [probeType, item, payload] : cases) {
        types->setFocus();
        while (types->currentIndex() != probeType)
            QTest::keyClick(types, types->currentIndex() < probeType ? Qt::Key_Down : Qt::Key_Up);
        EXPECT_EQ(items->count(), probeType == 0 ? 4 : 64);
        EXPECT_EQ(items->currentIndex(), -1);
        items->setCurrentIndex(item);
        click(D::kSetOffsetButton);
        EXPECT_EQ(payloadSent(), payload);
    }
    // Text typed over the chosen type is a probe type only as an item's exact text.
    const std::size_t sent = line.written.size();
    types->lineEdit()->setText("xyz");
    click(D::kSetOffsetButton);
    EXPECT_EQ(line.written.size(), sent);
    types->lineEdit()->setText("铂电阻探头");
    click(D::kSetOffsetButton);
    EXPECT_EQ(payloadSent()[0], 1);
}

TEST_F(MainDialogTest, OffsetsLandInTheirRowsAndTheVersionInItsLabel) {
    // Offset byte i of the reply is i + 1 tenths: digital channels first, then the PT100 ones.
    Bytes offsets;
    for (int i = 1; i <= 68; ++i)
        offsets.push_back(static_cast<std::uint8_t>(i));
    line.reply(ReplyFrame(0, command::kReadOffsets, offsets));
    click(D::kReadOffsetsButton);
    EXPECT_EQ(QStringList({cell(kLow, 31, kOffsetColumn), cell(kHigh, 0, kOffsetColumn),
                           cell(kPt100, 0, kOffsetColumn), cell(kPt100, 3, kOffsetColumn)}),
              QStringList({"3.2", "3.3", "6.5", "6.8"}));

    echo();
    click(D::kVersionLabel);
    line.refuseOpen = true;  // a failure keeps what the label showed
    click(D::kVersionLabel);
    EXPECT_EQ(control<QLabel>(D::kVersionLabel)->text(), "Ver3.2");
    EXPECT_EQ(control<QLabel>(D::kVersionLabel)->accessibleName(), "Ver3.2");
}

// The clock edits show what was read and the local time sent, never what was typed; a failed
// reading keeps them. The interval edit keeps the typed text on a set and shows a read.
TEST_F(MainDialogTest, ClockAndIntervalEditsShowWhatTheInstrumentHas) {
    const auto clockTexts = [this] {
        QStringList texts;
        for (int id = D::kYearEdit; id < D::kYearEdit + 6; ++id) {
            texts << edit(id)->text();
            EXPECT_EQ(QAccessible::queryAccessibleInterface(edit(id))->text(QAccessible::Value),
                      texts.back());
        }
        return texts;
    };
    line.reply(ReplyFrame(0, command::kReadClock, Bytes{0x00, 0x24, 0x12, 0x1A, 0x23, 0x59, 0}));
    click(D::kReadClockButton);
    EXPECT_EQ(clockTexts()[0], "24");
    type(D::kYearEdit, QStringLiteral("1999"));
    int taken = 0;
    window.deviceClock().localTime = [&] {
        return ++taken, std::tm{1, 3, 9, 7, 4, 124, 0, 0, 0, 0, nullptr};  // 2024-05-07 09:03:01
    };
    line.reply(ReplyFrame(0, command::kSetClock, Bytes{0}));
    click(D::kSetClockButton);
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(payloadSent(), (Bytes{0x20, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01}));
    const QStringList sent = clockTexts();
    EXPECT_EQ(sent[0], "2024");
    line.silence();
    click(D::kReadClockButton);
    EXPECT_EQ(clockTexts(), sent);

    person.messages.clear();
    type(D::kIntervalEdit, "7.9");
    line.reply(ReplyFrame(0, command::kSetRecordingInterval, Bytes{0}));
    click(D::kSetIntervalButton);
    EXPECT_EQ(payloadSent(), Bytes{7});
    EXPECT_EQ(edit(D::kIntervalEdit)->text(), "7.9");
    line.reply(ReplyFrame(0, command::kReadRecordingInterval, Bytes{0x78}));
    click(D::kReadIntervalButton);
    EXPECT_EQ(edit(D::kIntervalEdit)->text(), QStringLiteral("120"));
    EXPECT_EQ(person.messages, Messages{"设置成功!"});
}

TEST_F(MainDialogTest, WipeAsksFirstAndCancellingTouchesNothing) {
    const auto wipe = [this](const std::function<void(QDialog&)>& answer) {
        EXPECT_TRUE(testing::WithModal<DeleteAllConfirmDialog>(
            [this] { click(D::kDeleteIdsButton); }, answer));
    };
    line.refuseOpen = true;  // no instrument, and still not a word
    wipe([](QDialog& asked) {
        QTest::mouseClick(asked.findChild<QPushButton*>("2"), Qt::LeftButton);
    });
    wipe([](QDialog& asked) { QTest::keyClick(&asked, Qt::Key_Escape); });
    EXPECT_TRUE(person.messages.empty());
    EXPECT_EQ(line.opens, 0);

    line.refuseOpen = false;
    QTableWidgetItem* shown = list(kLow)->item(0, kTemperatureColumn);
    shown->setText("21.5");
    line.reply(ReplyFrame(0, command::kWipeIds, Bytes{0}));
    wipe([](QDialog& asked) { QTest::keyClick(&asked, Qt::Key_Return); });  // OK is the default
    EXPECT_EQ(line.written.at(0)[4], command::kWipeIds);
    EXPECT_EQ(person.messages, Messages{"全部ID已删除!"});
    EXPECT_EQ(shown->text(), QStringLiteral("21.5"));
}

// The PT100 window: reads land in their edits and the trace, the spin follows the offset edit,
// the offset button sends nothing, and text typed into the channel box is no channel.
TEST_F(MainDialogTest, Pt100ReadsLandInTheirEditsMoveTheSpinAndAreTraced) {
    line.reply(ReplyFrame(0, command::kReadPt100ParametersOrVersion,
                          Bytes{17, 3, 0, 0x01, 0x2C, 0x02, 0x58}));
    ui.click(P::kReadParametersButton);
    EXPECT_EQ(QStringList({field(P::kZeroPointEdit), field(P::kOffsetEdit),
                           field(P::kResistor1Edit), field(P::kResistor2Edit)}),
              QStringList({"17", "0.30", "300", "600"}));
    EXPECT_EQ(pt100.offsetSpin().position(), 53);
    QListWidget* log = ui.control<QListWidget>(P::kLogList);
    ASSERT_EQ(log->count(), 2);
    EXPECT_TRUE(log->item(0)->text().startsWith("写 14 3f"));
    EXPECT_TRUE(log->item(1)->text().startsWith("读 14 3f"));

    ui.control<QComboBox>(P::kChannelCombo)->setCurrentIndex(1);
    line.reply(ReplyFrame(0, command::kCalibrate, Bytes{0x0B, 0xB8}));
    ui.click(P::kResistor2Button);
    EXPECT_EQ(line.written.back(), RequestFrame(0, command::kCalibrate, Bytes{3, 1}));
    EXPECT_EQ(field(P::kResistor2Edit), "3000");
    line.reply(ReplyFrame(0, command::kReadPt100Temperatures,
                          Bytes{0x80, 0x05, 0x00, 0xFA, 0x00, 0x00, 0x01, 0x00}));
    ui.click(P::kTemperaturesButton);
    EXPECT_EQ(field(P::kTemperature1Edit), "-0.5");
    EXPECT_EQ(field(P::kTemperature1Edit + 3), "25.6");
    const std::size_t sent = line.written.size();
    ui.click(P::kSetOffsetButton);
    EXPECT_EQ(line.written.size(), sent);

    UpDownControl& spin = pt100.offsetSpin();
    ui.edit(P::kOffsetEdit)->setText("9");
    spin.setFocus();
    QTest::keyClick(&spin, Qt::Key_Up);
    EXPECT_EQ(field(P::kOffsetEdit), "5.0");
    QTest::keyClick(&spin, Qt::Key_Down);
    EXPECT_EQ(field(P::kOffsetEdit), "4.9");
    QTest::mouseClick(spin.upButton(), Qt::LeftButton);
    EXPECT_EQ(field(P::kOffsetEdit), "5.0");

    // A failure keeps the edits as they were.
    QLineEdit* typed = ui.control<QComboBox>(P::kChannelCombo)->lineEdit();
    typed->selectAll();
    QTest::keyClicks(typed, "2");
    line.silence();
    ui.click(P::kReadParametersButton);
    EXPECT_EQ(line.written.back()[7], 0xFF);
    EXPECT_EQ(field(P::kZeroPointEdit), "17");
}

TEST_F(MainDialogTest, ThePt100LogKeepsTheNewest900LinesAndSavesThemInGbk) {
    QListWidget* log = ui.control<QListWidget>(P::kLogList);
    for (int i = 0; i < 901; ++i)
        pt100.trace().addLine("\n写 " + std::to_string(i));
    ASSERT_EQ(log->count(), 900);
    EXPECT_EQ(log->item(0)->text(), "写 1");
    pt100.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pt100));
    EXPECT_TRUE(log->viewport()->rect().contains(log->visualItemRect(log->item(899))));

    const fs::path file = directory.path() / "trace.log";
    ui.click(P::kSaveLogButton);  // cancelled: nothing is written
    EXPECT_FALSE(fs::exists(file));
    person.savedFile = file;
    ui.click(P::kSaveLogButton);
    const std::string saved = testing::FileText(file);
    const std::string first = Utf8ToGbk("\r\n写 1\r\n");
    EXPECT_EQ(saved.substr(0, first.size()), first);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 1800);
    ui.click(P::kClearLogButton);
    EXPECT_EQ(log->count(), 0);
    ui.click(P::kSaveLogButton);
    EXPECT_EQ(testing::FileText(file), "");
    person.savedFile = directory.path() / "missing" / "trace.log";
    ui.click(P::kSaveLogButton);
    EXPECT_EQ(person.messages, Messages{"保存日志失败!"});
    EXPECT_FALSE(fs::exists(directory.path() / "missing"));
}

// The help window, the registered popup, the menus and message boxes over the shown window.
TEST_F(MainDialogTest, SmallWindowsShowCentredOverTheWindowAndEveryControlIsNamed) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const auto centred = [&](const QWidget& shown) {
        return (shown.geometry().center() - window.geometry().center()).manhattanLength() <= 2;
    };
    // Help shows only while the pointer is over the help label.
    QWidget* label = control<QWidget>(D::kHelpLabel);
    const QPoint over = label->mapTo(&window, label->rect().center());
    QTest::mouseMove(window.windowHandle(), over);
    EXPECT_TRUE(window.registrationHelp().isVisible());
    EXPECT_TRUE(centred(window.registrationHelp()));
    QTest::mouseMove(window.windowHandle(), QPoint(1, window.height() - 2));  // a bare corner
    EXPECT_FALSE(window.registrationHelp().isVisible());

    RegisteredDialog& popup = window.registeredPopup();
    popup.centreOverOwner();
    popup.show();
    EXPECT_TRUE(centred(popup));
    popup.setChannelNumber(12);
    QWidget* number = popup.findChild<QWidget*>(QStringLiteral("1087"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(number)->text(QAccessible::Name), "通道 12");
    for (const QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        bool isId = false;
        child->objectName().toInt(&isId);
        EXPECT_TRUE(!isId || !child->accessibleName().isEmpty())
            << child->objectName().toStdString();
    }

    QtOperator onScreen(&window);
    EXPECT_TRUE(testing::WithModal<QMessageBox>([&] { onScreen.message("打开串口错误!"); },
                                                [&](QMessageBox& box) {
                                                    EXPECT_EQ(box.accessibleName(), box.text());
                                                    EXPECT_EQ(box.buttons().size(), 1);
                                                    EXPECT_EQ(box.parentWidget(), &window);
                                                }));
}

// The menu bar holds every item of the window's context menu, each with a key of its own, and
// the keys reach them there.
TEST_F(MainDialogTest, TheMenusHoldEveryItemWithAKeyOfItsOwn) {
    showActive();
    QList<QAction*> inBar;
    for (QAction* menu : window.menu().bar().actions())
        inBar += menu->menu()->actions();
    std::set<QChar> keys;
    int items = 0;
    for (QAction* item : window.menu().contextItems()) {
        if (!item) continue;
        ++items;
        EXPECT_TRUE(inBar.contains(item)) << item->text().toStdString();
        const auto at = item->text().indexOf('&');
        ASSERT_GE(at, 0) << item->text().toStdString();
        keys.insert(item->text().at(at + 1).toUpper());
    }
    EXPECT_EQ(keys.size(), static_cast<std::size_t>(items));
    EXPECT_TRUE(testing::WithModal<AboutDialog>(
        [&] {
            QTest::keyClick(&window, Qt::Key_H, Qt::AltModifier);
            QWidget* help = QApplication::activePopupWidget();
            ASSERT_NE(help, nullptr);
            QTest::keyClick(help, Qt::Key_A);
        },
        [](AboutDialog&) {}));
}

}  // namespace
}  // namespace tavolex
