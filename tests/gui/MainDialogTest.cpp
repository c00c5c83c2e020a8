// The main window and its PT100 window on the scripted line, driven as a user drives them; what
// each operation sends and tells under each fault is the operations' own tests'.
#include <unistd.h>

#include <QAccessible>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <fstream>
#include <numeric>

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
#include "WindowWait.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::Messages;
using D = MainDialog;
using P = Pt100Dialog;
constexpr int kLow = D::kLowChannelList;
constexpr int kHigh = D::kHighChannelList;
constexpr int kPt100 = D::kPt100List;

// Word i of a test reading is ±(i + 100) tenths, so that every cell shows its word.
int TenthsOfWord(int i) {
    return (i % 2 == 0 ? 1 : -1) * (i + 100);
}
Bytes TemperatureFrame(int words, std::uint8_t address = 0) {
    std::vector<int> tenths(words);
    std::ranges::generate(tenths, [i = 0]() mutable { return TenthsOfWord(i++); });
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
    QString cell(int id, int row, int column = kTemperatureColumn) {
        return list(id)->item(row, column)->text();
    }
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
    void press(Button button) { button.inPt100 ? ui.click(button.id) : click(button.id); }
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

    Bytes corrupt = TemperatureFrame(10);  // told, and the values shown stay
    corrupt.back() ^= 0x01;
    line.reply(corrupt);
    line.noReplyReason = "没有收到回复";  // a reply came, though a bad one: not said
    click(D::kAcquireButton);
    EXPECT_EQ(person.messages, Messages{"返回数据错误!"});
    EXPECT_EQ(column(kPt100), filled(kPt100, 0, 4));
}

// While a reading waits, a running acquisition's result writes the window's reply meanwhile.
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

TEST(WindowWaitTest, TheWindowPaintsAndTicksUntilInputEndsTheWait) {
    struct PaintCounter final : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            return paints += event->type() == QEvent::Paint ? 1 : 0, false;
        }
        int paints = 0;
    } counter;
    QWidget window;
    window.show();
    window.installEventFilter(&counter);
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks, window.update(); });
    ticker.start(10);
    QTimer::singleShot(300, [&] { ASSERT_EQ(::write(pipeEnds[1], "", 1), 1); });
    const auto started = std::chrono::steady_clock::now();
    WaitKeepingWindowPainted(pipeEnds[0], 60s);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 30s);  // only the input ended it
    EXPECT_TRUE(ticks >= 2 && counter.paints >= 1) << ticks << " ticks, " << counter.paints;
    ::close(pipeEnds[0]), ::close(pipeEnds[1]);
}

// A whole number with blanks and a sign around it, and nothing else; a refused field keeps the
// values the fields before it gave.
TEST_F(MainDialogTest, KeysAndFieldsTakeOnlyValidValuesAndEnterClosesOnlyThen) {
    showActive();
    QComboBox* baud = control<QComboBox>(D::kBaudList);
    baud->setFocus();
    QTest::keyClick(baud, Qt::Key_Down);  // taken at once
    line.reply(TemperatureFrame(4));
    control<QPushButton>(D::kAcquireButton)->setFocus();  // Enter on a button presses it
    QTest::keyClick(control<QPushButton>(D::kAcquireButton), Qt::Key_Return);
    EXPECT_EQ(line.written.size(), 1u);
    EXPECT_EQ(line.lastSettings.baudRate, 19200);
    EXPECT_TRUE(window.isVisible());

    window.setSnEditsEnabled(true);
    type(D::kSnEdits[0], "a5");
    type(D::kSnEdits[7], "fF");
    EXPECT_EQ(edit(D::kSnEdits[0])->text(), "A5");
    ASSERT_TRUE(window.refresh());
    EXPECT_EQ(window.values().snTexts[7], "FF");

    type(D::kAddressEdit, "7");
    type(D::kPortEdit, "x1");
    type(D::kPeriodEdit, "250");
    const auto values = [this] {
        const WindowValues& v = window.values();
        return std::tuple(v.deviceAddress, v.portNumber, v.acquisitionPeriodMs);
    };
    EXPECT_FALSE(window.refresh());
    EXPECT_EQ(values(), std::tuple(7, 1, 1000));
    for (const char* refused : {"", "-", "1 2", "99999999999", "0x10", "+-3"}) {
        type(D::kPortEdit, refused);
        EXPECT_FALSE(window.refresh()) << refused;
    }
    type(D::kPortEdit, " +12 ");
    EXPECT_TRUE(window.refresh());
    EXPECT_EQ(values(), std::tuple(7, 12, 250));

    person.messages.clear();
    type(D::kSnReadChannelEdit, "65");
    QTest::keyClick(edit(D::kSnReadChannelEdit), Qt::Key_Return);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(person.messages, Messages{"请输入一个介于 0 和 64 之间的整数。"});
    type(D::kSnReadChannelEdit, "64");
    QTest::keyClick(edit(D::kSnReadChannelEdit), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(std::pair(window.isVisible(), window.result()),
              (std::pair<bool, int>(false, QDialog::Accepted)));
    EXPECT_EQ(window.values().snReadChannel, 64);
    showActive();
    QTest::keyClick(edit(D::kPortEdit), Qt::Key_Escape);
    EXPECT_EQ(std::pair(window.isVisible(), window.result()),
              (std::pair<bool, int>(false, QDialog::Rejected)));
}

// One message, shown with the port already closed and the busy cursor gone.
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

TEST_F(MainDialogTest, ARefusedFieldStopsEveryButtonWithOneMessageAndNothingSent) {
    constexpr const char *kWholeNumber = "请输入一个整数。",
                         *kInterval = "输入的数值必须为1-60之间的整数";
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
        rows.push_back({D::kIntervalEdit, interval, {D::kSetIntervalButton}, kInterval});

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
    const auto fields = [this] {  // enabled: the serial number, the channel, port B
        return std::tuple(enabled(D::kSnEdits[0]), enabled(D::kRegistrationChannelEdit),
                          enabled(D::kPortBRadio));
    };
    click(D::kFullyAutomaticRadio);
    EXPECT_EQ(fields(), std::tuple(false, false, false));
    click(D::kSemiAutomaticRadio);
    EXPECT_EQ(fields(), std::tuple(false, true, true));
    const QString address = edit(D::kAddressEdit)->text();
    type(D::kAddressEdit, "1a");
    click(D::kManualRadio);  // its refresh fails: the mode stays
    EXPECT_TRUE(control<QRadioButton>(D::kSemiAutomaticRadio)->isChecked());
    EXPECT_EQ(fields(), std::tuple(false, true, true));
    type(D::kAddressEdit, address);
    click(D::kManualRadio);
    person.messages.clear();
    EXPECT_EQ(fields(), std::tuple(true, true, true));

    // The typed serial number and port go out, and the channel moves on.
    type(D::kSnEdits[0], "28");
    for (int i = 1; i < 8; ++i)
        edit(D::kSnEdits[i])->clear();
    click(D::kPortBRadio);
    line.reply(ReplyFrame(0, command::kRegisterManual, Bytes{0}));
    click(D::kRegisterButton);
    EXPECT_EQ(payloadSent(), (Bytes{2, 1, 0x28, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(edit(D::kRegistrationChannelEdit)->text(), "2");

    // A serial number read goes to the clipboard, selects its port and moves the channel on.
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

// The item's index goes out, 0xFF for none.
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

TEST_F(MainDialogTest, OffsetsVersionClockAndIntervalShowWhatTheInstrumentHas) {
    // Offset byte i of the reply is i + 1 tenths: digital channels first, then the PT100 ones.
    Bytes offsets(68);
    std::iota(offsets.begin(), offsets.end(), 1);
    line.reply(ReplyFrame(0, command::kReadOffsets, offsets));
    click(D::kReadOffsetsButton);
    EXPECT_EQ(QStringList({cell(kLow, 31, kOffsetColumn), cell(kHigh, 0, kOffsetColumn),
                           cell(kPt100, 0, kOffsetColumn), cell(kPt100, 3, kOffsetColumn)}),
              QStringList({"3.2", "3.3", "6.5", "6.8"}));

    echo();
    click(D::kVersionLabel);
    line.refuseOpen = true;  // a failure keeps what the label showed
    click(D::kVersionLabel);
    const QLabel* version = control<QLabel>(D::kVersionLabel);
    EXPECT_EQ(version->text() + version->accessibleName(), "Ver3.2Ver3.2");
    line.refuseOpen = false;

    // The clock edits show what was read or sent, never what was typed; a failed read keeps them.
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
    EXPECT_EQ(payloadSent(), (Bytes{0x20, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01}));
    const QStringList sent = clockTexts();
    EXPECT_EQ(std::tuple(sent[0], taken), std::tuple("2024", 1));
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
    EXPECT_EQ((QStringList{log->item(0)->text().left(7), log->item(1)->text().left(7)}),
              (QStringList{"写 14 3f", "读 14 3f"}));

    ui.control<QComboBox>(P::kChannelCombo)->setCurrentIndex(1);
    line.reply(ReplyFrame(0, command::kCalibrate, Bytes{0x0B, 0xB8}));
    ui.click(P::kResistor2Button);
    EXPECT_EQ(line.written.back(), RequestFrame(0, command::kCalibrate, Bytes{3, 1}));
    EXPECT_EQ(field(P::kResistor2Edit), "3000");
    line.reply(ReplyFrame(0, command::kReadPt100Temperatures,
                          Bytes{0x80, 0x05, 0x00, 0xFA, 0x00, 0x00, 0x01, 0x00}));
    ui.click(P::kTemperaturesButton);
    EXPECT_EQ((QStringList{field(P::kTemperature1Edit), field(P::kTemperature1Edit + 3)}),
              (QStringList{"-0.5", "25.6"}));
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

    QLineEdit* typed = ui.control<QComboBox>(P::kChannelCombo)->lineEdit();
    typed->selectAll();
    QTest::keyClicks(typed, "2");
    line.silence();  // a failure keeps the edits as they were
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
    ui.click(P::kSaveLogButton);
    EXPECT_EQ(std::pair(log->count(), testing::FileText(file)), std::pair(0, std::string()));
    person.savedFile = directory.path() / "missing" / "trace.log";
    ui.click(P::kSaveLogButton);
    EXPECT_EQ(person.messages, Messages{"保存日志失败!"});
    EXPECT_FALSE(fs::exists(directory.path() / "missing"));
}

TEST_F(MainDialogTest, SmallWindowsShowCentredOverTheWindowAndEveryControlIsNamed) {
    showActive();
    // Help shows, centred over the window, only while the pointer is over the help label.
    QWidget* label = control<QWidget>(D::kHelpLabel);
    QTest::mouseMove(window.windowHandle(), label->mapTo(&window, label->rect().center()));
    const QPoint off = window.registrationHelp().geometry().center() - window.geometry().center();
    EXPECT_TRUE(window.registrationHelp().isVisible() && off.manhattanLength() <= 2);
    QTest::mouseMove(window.windowHandle(), QPoint(1, window.height() - 2));  // a bare corner
    EXPECT_FALSE(window.registrationHelp().isVisible());

    window.registeredPopup().setChannelNumber(12);
    QWidget* number = window.registeredPopup().findChild<QWidget*>("1087");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(number)->text(QAccessible::Name), "通道 12");
    for (const QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        bool isId = false;
        child->objectName().toInt(&isId);
        EXPECT_TRUE(!isId || !child->accessibleName().isEmpty())
            << child->objectName().toStdString();
    }
    QtOperator onScreen(&window);
    const auto told = [&](QMessageBox& box) {
        EXPECT_EQ(std::tuple(box.accessibleName(), box.buttons().size(), box.parentWidget()),
                  std::tuple(box.text(), 1, static_cast<QWidget*>(&window)));
    };
    EXPECT_TRUE(testing::WithModal<QMessageBox>([&] { onScreen.message("打开串口错误!"); }, told));
}

}  // namespace
}  // namespace tavolex
