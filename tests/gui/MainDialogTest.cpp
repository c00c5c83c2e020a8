// The main window on the scripted line: readings in the lists, the keys, the fields the window
// takes, registration, and the small windows around it.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <set>

#include "AboutDialog.h"
#include "ChannelLists.h"
#include "DialogUnits.h"
#include "QtOperator.h"
#include "RegisteredDialog.h"
#include "RegistrationHelpDialog.h"
#include "WindowDriver.h"
#include "WindowMenu.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using Messages = std::vector<std::string>;

using D = MainDialog;
constexpr int kLow = D::kLowChannelList;
constexpr int kHigh = D::kHighChannelList;
constexpr int kPt100 = D::kPt100List;

// Word i of a test reading is (i + 100) tenths of a degree, negative for odd i, so that every
// cell shows which word it came from.
int TenthsOfWord(int i) {
    return (i % 2 == 0 ? 1 : -1) * (i + 100);
}
QString TextOfWord(int i) {
    return QString::number(TenthsOfWord(i) / 10.0, 'f', 1);
}
Bytes TemperatureFrame(int words, std::uint8_t address = 0) {
    std::vector<int> tenths(words);
    for (int i = 0; i < words; ++i)
        tenths[i] = TenthsOfWord(i);
    return testing::TemperatureFrame(tenths, address);
}

class MainDialogTest : public testing::MainDialogFixture {
protected:
    // The temperature column of a list.
    QStringList column(int list) {
        QStringList texts;
        for (int row = 0; row < control<QTableWidget>(list)->rowCount(); ++row)
            texts << control<QTableWidget>(list)->item(row, kTemperatureColumn)->text();
        return texts;
    }
    // The column of a list whose first `filled` rows show the words from `first` on.
    QStringList filled(int list, int first, int filled) {
        QStringList texts;
        for (int row = 0; row < control<QTableWidget>(list)->rowCount(); ++row)
            texts << (row < filled ? TextOfWord(first + row) : QStringLiteral(" "));
        return texts;
    }
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
    EXPECT_EQ(window.linkSettings().baudRate, 19200);
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

// Probe registration from the main window.
using RegistrationGuiTest = MainDialogTest;

TEST_F(RegistrationGuiTest, ModeRadiosEnableTheFieldsTheModeUses) {
    const int sn = D::kSnEdits[0], channel = D::kRegistrationChannelEdit, portB = D::kPortBRadio;
    click(D::kManualRadio);
    EXPECT_TRUE(enabled(sn) && enabled(channel) && enabled(portB));
    click(D::kFullyAutomaticRadio);
    EXPECT_FALSE(enabled(sn) || enabled(channel) || enabled(portB));
    click(D::kSemiAutomaticRadio);
    EXPECT_FALSE(enabled(sn));
    EXPECT_TRUE(enabled(channel) && enabled(portB));

    // A mode change whose refresh fails keeps the mode it had.
    type(D::kAddressEdit, "1a");
    click(D::kFullyAutomaticRadio);
    EXPECT_TRUE(control<QRadioButton>(D::kSemiAutomaticRadio)->isChecked());
    EXPECT_TRUE(enabled(channel));
}

TEST_F(RegistrationGuiTest, ManualRegistrationSendsTheTypedSerialNumberAndMovesOn) {
    click(D::kManualRadio);
    type(D::kSnEdits[0], "28");
    for (int i = 1; i < 8; ++i)
        edit(D::kSnEdits[i])->clear();
    click(D::kPortBRadio);
    line.reply(ReplyFrame(0, command::kRegisterManual, Bytes{0}));
    click(D::kRegisterButton);
    EXPECT_EQ(payloadSent(), (Bytes{2, 1, 0x28, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(person.messages, Messages{"注册成功!"});
    EXPECT_EQ(edit(D::kRegistrationChannelEdit)->text(), "2");
}

TEST_F(RegistrationGuiTest, ReadSnCopiesTheLineAndSelectsThePortItWasFoundOn) {
    type(D::kSnReadChannelEdit, "7");
    const Bytes reply = ReplyFrame(0, command::kReadProbeSn,
                                   Bytes{2, 0x28, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0x01, 0x9F});
    line.reply(reply);
    click(D::kReadSnButton);
    EXPECT_EQ(payloadSent(), Bytes{7});
    EXPECT_EQ(person.clipboard, "02:07:28-AA-BB-CC-DD-EE-01-9F");
    EXPECT_EQ(person.messages,
              Messages{"02:07:28-AA-BB-CC-DD-EE-01-9F\n数字已送到剪贴板,按Ctrl+V粘贴ID号"});
    EXPECT_TRUE(control<QRadioButton>(D::kPortBRadio)->isChecked());
    EXPECT_EQ(edit(D::kSnReadChannelEdit)->text(), "8");

    // A reply cut short leaves the clipboard and the channel alone.
    line.reply(Bytes(reply.begin(), reply.begin() + 15));
    click(D::kReadSnButton);
    EXPECT_EQ(person.messages.back(), "读数据错误!");
    EXPECT_EQ(person.clipboard, "02:07:28-AA-BB-CC-DD-EE-01-9F");
    EXPECT_EQ(edit(D::kSnReadChannelEdit)->text(), "8");
}

// The help window, the registered popup, the menus and message boxes over the shown window.
class SmallDialogsTest : public MainDialogTest {
protected:
    void SetUp() override {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    bool centred(const QWidget& shown) {
        return (shown.geometry().center() - window.geometry().center()).manhattanLength() <= 2;
    }
};

// The file registration end-to-end test checks the channel the popup shows while it runs.
TEST_F(SmallDialogsTest, HelpAndPopupShowCentredAndEveryControlIsNamed) {
    const DialogUnits units = DialogUnits::ForPointSize(9);
    // Help shows only while the pointer is over the help area.
    const auto move = [&](int x, int y) {
        const QPoint belowMenuBar(units.pixels(x), units.pixels(y) + window.menu().height());
        QTest::mouseMove(window.windowHandle(), belowMenuBar);
        return window.registrationHelp().isVisible();
    };
    EXPECT_TRUE(move(780, 595));
    EXPECT_TRUE(centred(window.registrationHelp()));
    EXPECT_FALSE(move(750, 595));
    EXPECT_TRUE(move(811, 600));
    EXPECT_FALSE(move(780, 601));

    RegisteredDialog& popup = window.registeredPopup();
    popup.centreOverOwner();
    popup.show();
    EXPECT_TRUE(centred(popup));
    popup.setChannelNumber(12);
    QWidget* number = popup.findChild<QWidget*>(QStringLiteral("1087"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(number)->text(QAccessible::Name),
              QStringLiteral("通道 12"));

    for (const QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        bool isId = false;
        child->objectName().toInt(&isId);
        EXPECT_TRUE(!isId || !child->accessibleName().isEmpty())
            << child->objectName().toStdString();
    }
}

// The menu bar holds every item of the window's context menu, each with a key of its own, and
// the keys reach them there.
TEST_F(SmallDialogsTest, TheMenusHoldEveryItemWithAKeyOfItsOwn) {
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
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_TRUE(testing::WithModal<AboutDialog>(
        [&] {
            QTest::keyClick(&window, Qt::Key_H, Qt::AltModifier);
            QWidget* help = QApplication::activePopupWidget();
            ASSERT_NE(help, nullptr);
            QTest::keyClick(help, Qt::Key_A);
        },
        [](AboutDialog&) {}));
}

TEST_F(SmallDialogsTest, MessageBoxHasOneOkButtonOverTheWindow) {
    QtOperator onScreen(&window);
    const auto check = [&](QMessageBox& box) {
        EXPECT_EQ(box.text(), "打开串口错误!");
        EXPECT_EQ(box.accessibleName(), box.text());
        EXPECT_EQ(box.buttons().size(), 1);
        EXPECT_EQ(box.parentWidget(), &window);
    };
    EXPECT_TRUE(testing::WithModal<QMessageBox>([&] { onScreen.message("打开串口错误!"); }, check));
}

}  // namespace
}  // namespace tavolex
