#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "AboutDialog.h"
#include "ChannelLists.h"
#include "MainDialogFixture.h"
#include "QtOperator.h"
#include "RegisteredDialog.h"
#include "RegistrationHelpDialog.h"
#include "Trace.h"
#include "WindowMenu.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using testing::RecordingOperator;

constexpr int kLow = MainDialog::kLowChannelList;
constexpr int kHigh = MainDialog::kHighChannelList;
constexpr int kPt100 = MainDialog::kPt100List;

// Word i of a test reading is (i + 100) tenths of a degree, negative for odd i, so that every
// cell shows which word it came from.
int TenthsOfWord(int i) {
    return (i % 2 == 0 ? 1 : -1) * (i + 100);
}

QString TextOfWord(int i) {
    const int tenths = TenthsOfWord(i);
    return QString::asprintf("%s%d.%d", tenths < 0 ? "-" : "", std::abs(tenths) / 10,
                             std::abs(tenths) % 10);
}

Bytes TemperatureFrame(int words, std::uint8_t address = 0) {
    std::vector<int> tenths;
    for (int i = 0; i < words; ++i)
        tenths.push_back(TenthsOfWord(i));
    return testing::TemperatureFrame(tenths, address);
}

class MainDialogTest : public testing::MainDialogFixture {
protected:
    void showWindow() {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void pressAcquire() { click(1009); }

    QString cell(int list, int row) {
        return control<QTableWidget>(list)->item(row, kTemperatureColumn)->text();
    }
    // Rows of a list whose temperature cell shows a value.
    int rowsWithValues(int list) {
        int rows = 0;
        for (int row = 0; row < control<QTableWidget>(list)->rowCount(); ++row) {
            if (cell(list, row) != QStringLiteral(" ")) ++rows;
        }
        return rows;
    }
    Bytes payloadSent() const {
        const Bytes& frame = line.written.back();
        return Bytes(frame.begin() + 7, frame.end() - 2);
    }
};

TEST_F(MainDialogTest, FreshStartShowsTheDefaults) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("温度巡检仪  KORVA VELTA-2 Ver3.2"));
    for (int id : {1000, 1003, 1005, 1007})
        EXPECT_EQ(edit(id)->text(), "1") << id;
    EXPECT_EQ(edit(1002)->text(), "0");
    EXPECT_EQ(edit(1011)->text(), "1000");
    EXPECT_EQ(edit(1060)->text(), "30");
    EXPECT_EQ(control<QComboBox>(1001)->currentText(), "9600");
    EXPECT_EQ(control<QComboBox>(1001)->count(), 4);
    EXPECT_TRUE(control<QLabel>(1012)->text().isEmpty());
    EXPECT_TRUE(control<QLabel>(1013)->text().isEmpty());
    EXPECT_TRUE(control<QRadioButton>(1020)->isChecked());
    EXPECT_TRUE(control<QRadioButton>(1072)->isChecked());
    EXPECT_FALSE(control<QRadioButton>(1073)->isChecked());
    for (int id : MainDialog::kSnEdits) {
        EXPECT_EQ(edit(id)->text(), "0") << id;
        EXPECT_FALSE(edit(id)->isEnabled()) << id;
    }
    EXPECT_EQ(window.values().probePort, 0);
    EXPECT_EQ(control<QPushButton>(1010)->text(), QStringLiteral("连续采集"));

    showWindow();
    EXPECT_EQ(QApplication::focusWidget(), edit(1000));
    const QColor help = control<QLabel>(1076)->palette().color(QPalette::WindowText);
    EXPECT_EQ(help, QColor(0, 64, 128));
}

TEST_F(MainDialogTest, ChannelListsHaveTheirColumnsAndRowCaptionsAndNoValues) {
    const QTableWidget* low = control<QTableWidget>(kLow);
    const QTableWidget* high = control<QTableWidget>(kHigh);
    const QTableWidget* pt100 = control<QTableWidget>(kPt100);
    ASSERT_EQ(low->rowCount(), 32);
    ASSERT_EQ(high->rowCount(), 32);
    ASSERT_EQ(pt100->rowCount(), 4);
    for (const QTableWidget* list : {low, high, pt100}) {
        ASSERT_EQ(list->columnCount(), 3);
        EXPECT_EQ(list->horizontalHeaderItem(0)->text(), QStringLiteral("内容"));
        EXPECT_EQ(list->horizontalHeaderItem(1)->text(), QStringLiteral("温度值"));
        EXPECT_EQ(list->horizontalHeaderItem(2)->text(), QStringLiteral("偏移值"));
        EXPECT_TRUE(list->item(0, kTemperatureColumn)->text().isEmpty());
    }
    EXPECT_EQ(low->item(0, 0)->text(), QStringLiteral("通道1"));
    EXPECT_EQ(low->item(31, 0)->text(), QStringLiteral("通道32"));
    EXPECT_EQ(high->item(0, 0)->text(), QStringLiteral("通道33"));
    EXPECT_EQ(high->item(31, 0)->text(), QStringLiteral("通道64"));
    EXPECT_EQ(pt100->item(3, 0)->text(), QStringLiteral("PT100通道4"));
}

TEST_F(MainDialogTest, ControlsStandWhereTheWindowsLayoutPutsThem) {
    const DialogUnits units(6, 12, 1.0);
    EXPECT_EQ(units.rect(259, 51, 62, 17), QRect(389, 77, 93, 26));
    EXPECT_EQ(DialogUnits(6, 12, 2.0).rect(259, 51, 62, 17), QRect(777, 153, 186, 51));

    // The layout stands below the menu bar.
    const DialogUnits screen(6, 12, DialogUnits::PrimaryScreenScale());
    const int menuBar = window.menu().bar().height();
    EXPECT_GT(menuBar, 0);
    EXPECT_EQ(window.size(), screen.size(561, 411) + QSize(0, menuBar));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(control<QWidget>(1009)->geometry(),
              screen.rect(259, 51, 62, 17).translated(0, menuBar));
}

TEST_F(MainDialogTest, EveryControlHasAnAccessibleName) {
    int controls = 0;
    for (const QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        bool isId = false;
        child->objectName().toInt(&isId);
        if (!isId) continue;
        ++controls;
        EXPECT_FALSE(child->accessibleName().isEmpty()) << child->objectName().toStdString();
    }
    EXPECT_EQ(controls, 57);
    EXPECT_EQ(edit(1000)->accessibleName(), QStringLiteral("串口号:"));
}

TEST_F(MainDialogTest, AReadingFillsTheRowsItsWordCountCoversAndBlanksTheRest) {
    type(1002, "3");
    // Words 0-3 go to the PT100 list and word 4 + k to channel k + 1; the rest is blank.
    const struct {
        int words, lowRows, highRows;
    } cases[] = {{68, 32, 32}, {37, 32, 1}, {36, 32, 0}, {10, 6, 0}, {4, 0, 0}};
    for (const auto& c : cases) {
        line.reply(TemperatureFrame(c.words, 3));
        pressAcquire();
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(cell(kPt100, i), TextOfWord(i)) << c.words;
        for (int row = 0; row < c.lowRows; ++row)
            EXPECT_EQ(cell(kLow, row), TextOfWord(4 + row)) << c.words;
        for (int row = 0; row < c.highRows; ++row)
            EXPECT_EQ(cell(kHigh, row), TextOfWord(36 + row)) << c.words;
        EXPECT_EQ(rowsWithValues(kLow), c.lowRows) << c.words;
        EXPECT_EQ(rowsWithValues(kHigh), c.highRows) << c.words;
    }
    EXPECT_TRUE(person.messages.empty());
    EXPECT_EQ(line.written.back(), RequestFrame(3, command::kReadTemperatures));
    EXPECT_EQ(line.lastSettings.deviceAddress, 3);
    EXPECT_FALSE(line.held());
}

TEST_F(MainDialogTest, AFailedReadingReportsBadDataAndKeepsTheShownValues) {
    line.reply(TemperatureFrame(40));
    pressAcquire();
    ASSERT_EQ(cell(kHigh, 3), TextOfWord(39));

    Bytes corrupt = TemperatureFrame(10);
    corrupt.back() ^= 0x01;
    line.reply(corrupt);
    line.noReplyReason = "没有收到回复";  // a reply came, though a bad one: not said
    pressAcquire();
    EXPECT_EQ(person.messages, std::vector<std::string>{"返回数据错误!"});
    EXPECT_EQ(cell(kHigh, 3), TextOfWord(39));
    EXPECT_FALSE(line.held());
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
    pressAcquire();
    EXPECT_TRUE(arrived);
    EXPECT_TRUE(person.messages.empty());
    EXPECT_EQ(cell(kPt100, 0), TextOfWord(0));
    EXPECT_EQ(cell(kLow, 5), TextOfWord(9));
    EXPECT_EQ(rowsWithValues(kLow), 6);
}

TEST_F(MainDialogTest, WaitingForASilentInstrumentKeepsTheWindowServedUnderABusyCursor) {
    line.silence();
    line.noReplyReason = "没有收到回复:串口1对应 /dev/ttyS0";
    std::optional<Qt::CursorShape> cursorWhileWaiting;
    bool eventsServed = false;
    QTimer::singleShot(0, &window, [&] {
        eventsServed = true;
        const QCursor* cursor = QGuiApplication::overrideCursor();
        if (cursor != nullptr) cursorWhileWaiting = cursor->shape();
    });
    pressAcquire();
    EXPECT_TRUE(eventsServed);
    EXPECT_EQ(cursorWhileWaiting, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    // Not a byte came back: the second line says where the reading went.
    EXPECT_EQ(person.messages,
              std::vector<std::string>{"返回数据错误!\n没有收到回复:串口1对应 /dev/ttyS0"});
    EXPECT_GE(clock.elapsed(), 3000ms);
    EXPECT_FALSE(line.held());
}

TEST_F(MainDialogTest, APortThatDoesNotOpenIsReportedAndNothingIsSent) {
    PortHandle other = ports.open({}, PortProfile::Command);
    ASSERT_TRUE(other);
    pressAcquire();
    EXPECT_EQ(person.messages, std::vector<std::string>{"打开串口错误!"});
    EXPECT_TRUE(line.written.empty());
}

TEST_F(MainDialogTest, RefreshStopsAtTheFirstBadFieldWithTheFocusThere) {
    showWindow();
    type(1002, "7");
    type(1000, "x1");
    type(1011, "250");
    EXPECT_FALSE(window.refresh());
    EXPECT_EQ(person.messages, std::vector<std::string>{"请输入一个整数。"});
    EXPECT_EQ(QApplication::focusWidget(), edit(1000));
    EXPECT_EQ(window.values().deviceAddress, 7);
    EXPECT_EQ(window.values().portNumber, 1);
    EXPECT_EQ(window.values().acquisitionPeriodMs, 1000);

    type(1000, " +12 ");
    EXPECT_TRUE(window.refresh());
    EXPECT_EQ(window.values().portNumber, 12);
    EXPECT_EQ(window.values().acquisitionPeriodMs, 250);
    for (const char* refused : {"", "-", "1 2", "99999999999", "0x10", "+-3"}) {
        type(1000, refused);
        EXPECT_FALSE(window.refresh()) << refused;
    }
}

TEST_F(MainDialogTest, EnterClosesOnlyWhenEveryFieldIsValid) {
    showWindow();
    type(1007, "65");
    QTest::keyClick(edit(1007), Qt::Key_Return);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(person.messages, std::vector<std::string>{"请输入一个介于 0 和 64 之间的整数。"});
    EXPECT_EQ(QApplication::focusWidget(), edit(1007));

    type(1007, "64");
    QTest::keyClick(edit(1007), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(window.values().snReadChannel, 64);
}

TEST_F(MainDialogTest, EnterOnAButtonPressesItAndEscapeCloses) {
    showWindow();
    line.reply(TemperatureFrame(4));
    QPushButton* acquire = control<QPushButton>(1009);
    acquire->setFocus();
    QTest::keyClick(acquire, Qt::Key_Return);
    EXPECT_EQ(line.written.size(), 1u);
    EXPECT_TRUE(window.isVisible());

    QTest::keyClick(edit(1000), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Rejected);
}

TEST_F(MainDialogTest, ChoosingABaudRateTakesTheValuesAtOnce) {
    showWindow();
    QComboBox* baud = control<QComboBox>(1001);
    baud->setFocus();
    QTest::keyClick(baud, Qt::Key_Down);
    EXPECT_EQ(window.values().baudRate, "19200");
    EXPECT_EQ(window.linkSettings().baudRate, 19200);

    line.reply(TemperatureFrame(4));
    pressAcquire();
    EXPECT_EQ(line.lastSettings.baudRate, 19200);
}

TEST_F(MainDialogTest, SnFieldsUpperCaseWhatIsTyped) {
    window.setSnEditsEnabled(true);
    type(1016, "a5");
    type(1025, "fF");
    EXPECT_EQ(edit(1016)->text(), "A5");
    EXPECT_EQ(edit(1025)->text(), "FF");
    ASSERT_TRUE(window.refresh());
    EXPECT_EQ(window.values().snTexts[0], "A5");
    EXPECT_EQ(window.values().snTexts[7], "FF");
}

TEST_F(MainDialogTest, TransactionsRunWithTheWindowsSettingsAndTraceOnlyWhileATargetIsSet) {
    type(1000, "5");
    type(1002, "2");
    line.reply(ReplyFrame(2, command::kReadClock, Bytes(8)));
    const TransactResult first = Transact(window, window.link(), 2, {}, command::kReadClock);
    EXPECT_EQ(first.count, 17);
    EXPECT_EQ(line.lastSettings.portNumber, 5);

    TraceLines trace;
    window.setTraceTarget(&trace);
    line.reply(ReplyFrame(2, command::kReadClock, Bytes(8)));
    Transact(window, window.link(), 2, {}, command::kReadClock);
    EXPECT_EQ(trace.lines().size(), 2u);
    window.setTraceTarget(nullptr);
}

// Probe registration from the main window.
class RegistrationGuiTest : public MainDialogTest {};

TEST_F(RegistrationGuiTest, ModeRadiosEnableTheFieldsTheModeUses) {
    const int sn = MainDialog::kSnEdits[0];
    const int last = MainDialog::kSnEdits[7];
    click(MainDialog::kManualRadio);
    EXPECT_TRUE(enabled(sn) && enabled(last));
    EXPECT_TRUE(enabled(1005) && enabled(1072) && enabled(1073));
    click(MainDialog::kFullyAutomaticRadio);
    EXPECT_FALSE(enabled(sn) || enabled(last) || enabled(1005) || enabled(1072) || enabled(1073));
    click(MainDialog::kSemiAutomaticRadio);
    EXPECT_FALSE(enabled(sn) || enabled(last));
    EXPECT_TRUE(enabled(1005) && enabled(1072) && enabled(1073));
    EXPECT_EQ(window.values().registrationMode, 0);
}

TEST_F(RegistrationGuiTest, ManualRegistrationSendsTheTypedSerialNumberAndMovesOn) {
    click(MainDialog::kManualRadio);
    type(MainDialog::kSnEdits[0], "28");
    for (int i = 1; i < 8; ++i)
        edit(MainDialog::kSnEdits[i])->clear();
    click(MainDialog::kPortBRadio);
    line.reply(ReplyFrame(0, command::kRegisterManual, Bytes{0}));
    click(MainDialog::kRegisterButton);
    EXPECT_EQ(payloadSent(), (Bytes{2, 1, 0x28, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(person.messages, std::vector<std::string>{"注册成功!"});
    EXPECT_EQ(edit(1005)->text(), "2");

    type(MainDialog::kSnEdits[0], "028");
    click(MainDialog::kRegisterButton);
    EXPECT_EQ(line.written.size(), 1u);
    EXPECT_EQ(person.messages.back(), "SN号输入格式错误!");
}

TEST_F(RegistrationGuiTest, ReadSnCopiesTheLineAndSelectsThePortItWasFoundOn) {
    type(1007, "7");
    const Bytes reply = ReplyFrame(0, command::kReadProbeSn,
                                   Bytes{2, 0x28, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0x01, 0x9F});
    line.reply(reply);
    click(MainDialog::kReadSnButton);
    EXPECT_EQ(payloadSent(), Bytes{7});
    EXPECT_EQ(person.clipboard, "02:07:28-AA-BB-CC-DD-EE-01-9F");
    EXPECT_EQ(person.messages,
              std::vector<std::string>{
                  "02:07:28-AA-BB-CC-DD-EE-01-9F\n数字已送到剪贴板,按Ctrl+V粘贴ID号"});
    EXPECT_TRUE(window.control<QRadioButton>(MainDialog::kPortBRadio)->isChecked());
    EXPECT_EQ(edit(1007)->text(), "8");

    // A reply cut short leaves the clipboard and the channel alone.
    line.reply(Bytes(reply.begin(), reply.begin() + 15));
    click(MainDialog::kReadSnButton);
    EXPECT_EQ(person.messages.back(), "读数据错误!");
    EXPECT_EQ(person.clipboard, "02:07:28-AA-BB-CC-DD-EE-01-9F");
    EXPECT_EQ(edit(1007)->text(), "8");
}

// A bad field refused by the window's refresh stops every operation at once: one message, the
// focus in the field, nothing on the line and nothing else changed. With "1a" as the address
// and 12 typed as the registration channel, a registration that went on would bind the probe
// to the old channel.
TEST_F(RegistrationGuiTest, ARefusedFieldStopsEachOperationWithOneMessageAndNothingSent) {
    const std::filesystem::path file = directory.path() / "probes.txt";
    std::ofstream(file) << "02:05:28-FF-64-1E-0F-00-00-9A\n02:06:28-FF-64-1E-0F-00-00-9B\n";
    person.chosenFile = file;
    line.responder = [](ByteView request) {
        return std::vector<testing::Chunk>{{{}, ReplyFrame(0, request[4], Bytes(9, 0x28))}};
    };
    showWindow();
    click(MainDialog::kManualRadio);
    type(MainDialog::kSnEdits[0], "28");
    type(1002, "1a");
    type(1005, "12");
    for (int button :
         {MainDialog::kAcquireButton, MainDialog::kRegisterButton, MainDialog::kReadSnButton,
          MainDialog::kFileRegisterButton, MainDialog::kContinuousButton}) {
        person.messages.clear();
        edit(1000)->setFocus();
        click(button);
        EXPECT_EQ(person.messages, std::vector<std::string>{"请输入一个整数。"}) << button;
        EXPECT_EQ(QApplication::focusWidget(), edit(1002)) << button;
    }
    EXPECT_TRUE(line.written.empty());
    EXPECT_EQ(line.opens, 0);
    EXPECT_TRUE(person.fileChoices.empty());
    EXPECT_FALSE(window.acquiring());
    EXPECT_EQ(window.values().registrationChannel, 1);
    EXPECT_EQ(edit(1005)->text(), "12");
    EXPECT_EQ(edit(1002)->text(), "1a");

    // A mode change whose refresh fails keeps the mode it had.
    click(MainDialog::kFullyAutomaticRadio);
    EXPECT_TRUE(window.control<QRadioButton>(MainDialog::kManualRadio)->isChecked());
    EXPECT_TRUE(enabled(1005));
}

// Runs `inspect` on the modal window that `open` brings up, then closes that window.
template <typename Open, typename Inspect>
void WithModal(Open open, Inspect inspect) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        seen = true;
        inspect(*modal);
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->done(QDialog::Accepted);
    });
    open();
    EXPECT_TRUE(seen) << "no modal window came up";
}

QStringList LabelTexts(const QWidget& window) {
    QList<QLabel*> labels = window.findChildren<QLabel*>();
    std::sort(labels.begin(), labels.end(),
              [](const QLabel* a, const QLabel* b) { return a->y() < b->y(); });
    QStringList texts;
    for (const QLabel* label : labels)
        texts << label->text();
    return texts;
}

QPoint Centre(const QWidget& window) {
    return window.geometry().center();
}

// The help window, the registered popup, the about box and message boxes, over the shown window.
class SmallDialogsTest : public MainDialogTest {
protected:
    void SetUp() override {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
};

TEST_F(SmallDialogsTest, HelpShowsOnlyWhileThePointerIsOverTheHelpArea) {
    const DialogUnits units = DialogUnits::ForPointSize(9);
    const auto move = [&](int x, int y) {
        const QPoint belowMenuBar(units.pixels(x), units.pixels(y) + window.menu().height());
        QTest::mouseMove(window.windowHandle(), belowMenuBar);
        return window.registrationHelp().isVisible();
    };
    EXPECT_FALSE(window.registrationHelp().isVisible());
    EXPECT_TRUE(move(751, 590));
    EXPECT_LE((Centre(window.registrationHelp()) - Centre(window)).manhattanLength(), 2);
    EXPECT_FALSE(move(750, 595));
    EXPECT_TRUE(move(811, 600));
    EXPECT_FALSE(move(812, 595));
    EXPECT_TRUE(move(780, 595));
    EXPECT_FALSE(move(780, 589));
    EXPECT_TRUE(move(760, 598));
    EXPECT_FALSE(move(780, 601));
}

TEST_F(SmallDialogsTest, HelpWindowHoldsTheFourTextsFromTopToBottom) {
    const RegistrationHelpDialog& help = window.registrationHelp();
    EXPECT_TRUE(help.windowTitle().trimmed().isEmpty());
    EXPECT_TRUE(help.findChildren<QPushButton*>().isEmpty());
    const QStringList texts = LabelTexts(help);
    ASSERT_EQ(texts.size(), 4);
    EXPECT_EQ(texts[0], QStringLiteral("1.全自动注册每个端口最多接32个探头，超过32个的注册不了。"));
    EXPECT_EQ(
        texts[1],
        QStringLiteral("2.全自动注册成功后，默认两个端口所接探头的通道号是连续的，例如：端口A接"
                       "10个探头，端口B接15个探头，注册成功后，通道1~通道10表示的是端口A的10"
                       "个探头，通道11~通道25表示的是端口B的15个探头。"));
    EXPECT_EQ(texts[2], QStringLiteral("3.半自动注册时，只能接一个探头，随便接在端口A还是端口B。"));
    EXPECT_EQ(texts[3], QStringLiteral("4.无论何种注册方式，注册时所勾选的端口号必须和探头所接的端"
                                       "口号一致，否则读不到数据。"));
    // Each block wraps inside its own band: the longest needs more than one line.
    for (const QLabel* label : help.findChildren<QLabel*>()) {
        EXPECT_TRUE(label->wordWrap());
        EXPECT_GE(label->height(), label->heightForWidth(label->width()) - 2)
            << label->text().toStdString();
    }
}

// The file registration end-to-end test checks the channel the popup shows while it runs.
TEST_F(SmallDialogsTest, RegisteredPopupHoldsItsTextsCentredOverTheWindow) {
    RegisteredDialog& popup = window.registeredPopup();
    EXPECT_FALSE(popup.isVisible());
    EXPECT_EQ(LabelTexts(popup).join('|'), QStringLiteral("通道：|  |注册成功！"));
    popup.centreOverOwner();
    popup.show();
    EXPECT_LE((Centre(popup) - Centre(window)).manhattanLength(), 2);
    popup.setChannelNumber(12);
    QWidget* number = popup.findChild<QWidget*>(QStringLiteral("1087"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(number)->text(QAccessible::Name),
              QStringLiteral("通道 12"));
}

TEST_F(SmallDialogsTest, AboutItemOpensTheAboutBox) {
    EXPECT_EQ(window.aboutAction().text(), QStringLiteral("关于 TAVOLEX(&A)..."));
    WithModal(
        [&] { window.aboutAction().trigger(); },
        [](QWidget& about) {
            EXPECT_NE(qobject_cast<AboutDialog*>(&about), nullptr);
            EXPECT_EQ(about.windowTitle(), QStringLiteral("关于 温度巡检仪  KORVA VELTA-2 Ver3.2"));
            EXPECT_TRUE(LabelTexts(about).contains(QStringLiteral("温度巡检仪  KORVA VELTA-2")));
            EXPECT_TRUE(LabelTexts(about).contains(QStringLiteral("TAVOLEX " TAVOLEX_VERSION)));
            EXPECT_EQ(about.findChild<QPushButton*>("1")->text(), QStringLiteral("确定"));
        });
}

// The menu bar holds every item of the window's context menu, and the keys reach them there.
TEST_F(SmallDialogsTest, TheMenuBarHoldsEveryContextMenuItemWithItsAccelerator) {
    QList<QAction*> inBar;
    for (QAction* menu : window.menu().bar().actions()) {
        EXPECT_TRUE(menu->text().contains('&')) << menu->text().toStdString();
        inBar += menu->menu()->actions();
    }
    int items = 0;
    for (QAction* item : window.menu().contextItems()) {
        if (!item) continue;
        ++items;
        EXPECT_TRUE(inBar.contains(item)) << item->text().toStdString();
        EXPECT_TRUE(item->text().contains('&')) << item->text().toStdString();
    }
    EXPECT_EQ(items, 8);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    WithModal(
        [&] {
            QTest::keyClick(&window, Qt::Key_H, Qt::AltModifier);
            QWidget* help = QApplication::activePopupWidget();
            ASSERT_NE(help, nullptr);
            QTest::keyClick(help, Qt::Key_A);
        },
        [](QWidget& about) { EXPECT_NE(qobject_cast<AboutDialog*>(&about), nullptr); });
}

TEST_F(SmallDialogsTest, MessageBoxHasOneOkButtonAndTheApplicationsName) {
    QtOperator onScreen(&window);
    WithModal([&] { onScreen.message("打开串口错误!"); },
              [&](QWidget& modal) {
                  auto* box = qobject_cast<QMessageBox*>(&modal);
                  ASSERT_NE(box, nullptr);
                  EXPECT_EQ(box->windowTitle(), QCoreApplication::applicationName());
                  EXPECT_EQ(box->text(), QStringLiteral("打开串口错误!"));
                  EXPECT_EQ(box->accessibleName(), QStringLiteral("打开串口错误!"));
                  EXPECT_EQ(box->buttons().size(), 1);
                  EXPECT_EQ(box->parentWidget(), &window);
              });
}

}  // namespace
}  // namespace tavolex
