// The port chooser opened from the main window, on a device tree of the test's own; and the
// second line of the window's open-failure message, with the real opener on that tree.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <optional>

#include "FakeDeviceTree.h"
#include "MainDialogFixture.h"
#include "PortChoice.h"
#include "PortDialog.h"
#include "PosixSerialPort.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using testing::FakeDeviceTree;

constexpr const char* kFtdi = "usb-FTDI_FT232R_USB_UART_A9M9DV3R-if00-port0";

// Runs `act` on the chooser that `open` brings up; the chooser is cancelled if `act` left it
// open.
template <typename Open, typename Act>
void WithChooser(Open open, Act act) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* chooser = qobject_cast<PortDialog*>(QApplication::activeModalWidget());
        if (chooser == nullptr) return;
        seen = true;
        act(*chooser);
        if (chooser->isVisible()) chooser->reject();
    });
    open();
    EXPECT_TRUE(seen) << "the chooser did not come up";
}

int RowOf(const PortDialog& chooser, const fs::path& device) {
    const auto& entries = chooser.entries();
    for (std::size_t row = 0; row < entries.size(); ++row) {
        if (entries[row].device == device) return static_cast<int>(row);
    }
    ADD_FAILURE() << device << " is not listed";
    return 0;
}

QString Cell(const PortDialog& chooser, int row, int column) {
    return chooser.list().item(row, column)->text();
}

void ClickRow(PortDialog& chooser, int row) {
    QTableWidget& list = chooser.list();
    const QRect cell = list.visualItemRect(list.item(row, PortDialog::kDeviceColumn));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
}

void TypeNumber(PortDialog& chooser, const QString& number) {
    chooser.numberBox().setFocus();
    chooser.numberBox().selectAll();
    QTest::keyClicks(&chooser.numberBox(), number);
}

void Click(PortDialog& chooser, const char* name) {
    QTest::mouseClick(chooser.findChild<QPushButton*>(name), Qt::LeftButton);
}

class PortChoiceTest : public testing::MainDialogFixture {
protected:
    PortChoiceTest() {
        fake.onBoard(0, 4);  // port 1
        usb = fake.device("ttyUSB0");
        byId = fake.byId(kFtdi, "ttyUSB0");
        window.portChoice().setDeviceTree(fake.tree);
    }
    fs::path linkOf(int port) { return fs::read_symlink(PortLinkPath(port, fake.tree)); }
    bool hasLink(int port) { return fs::exists(fs::symlink_status(PortLinkPath(port, fake.tree))); }

    FakeDeviceTree fake;
    fs::path usb;
    fs::path byId;
};

TEST_F(PortChoiceTest, ChoosingAnAdapterForPort3LinksItsStableNameAndFillsTheField) {
    WithChooser([&] { window.portChoice().action().trigger(); },
                [&](PortDialog& chooser) {
                    const int row = RowOf(chooser, usb);
                    EXPECT_EQ(Cell(chooser, row, PortDialog::kNumberColumn), "");
                    EXPECT_EQ(Cell(chooser, row, PortDialog::kDescriptionColumn),
                              "FTDI FT232R USB UART A9M9DV3R");
                    EXPECT_EQ(Cell(chooser, row, PortDialog::kStateColumn), "可用");
                    ClickRow(chooser, row);
                    EXPECT_EQ(chooser.numberBox().value(), 2);  // 1 is the on-board port's
                    TypeNumber(chooser, "3");
                    Click(chooser, "1");
                });
    EXPECT_EQ(linkOf(3), byId);
    EXPECT_EQ(edit(MainDialog::kPortEdit)->text(), "3");
    EXPECT_TRUE(person.questions.empty());
    EXPECT_TRUE(person.messages.empty());

    // Next time the adapter shows under its number, and keeping it changes nothing.
    WithChooser([&] { window.portChoice().choose(); },
                [&](PortDialog& chooser) {
                    ASSERT_EQ(chooser.list().selectedRanges().size(), 1);
                    const int row = chooser.list().selectedRanges().front().topRow();
                    EXPECT_EQ(Cell(chooser, row, PortDialog::kNumberColumn), "3");
                    EXPECT_EQ(Cell(chooser, row, PortDialog::kDeviceColumn),
                              QString::fromStdString(usb.string()));
                    Click(chooser, "1");
                });
    EXPECT_EQ(linkOf(3), byId);
}

TEST_F(PortChoiceTest, TheFieldsButtonOpensTheChooserWhereABindingCanBeRemoved) {
    fake.link(5, byId);
    type(MainDialog::kPortEdit, "5");
    // A double click selects the field's text, as in any field.
    QTest::mouseDClick(edit(MainDialog::kPortEdit), Qt::LeftButton);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    QToolButton* button = nullptr;
    for (auto* candidate : edit(MainDialog::kPortEdit)->findChildren<QToolButton*>()) {
        if (candidate->defaultAction() == &window.portChoice().fieldButton()) button = candidate;
    }
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->defaultAction()->text(), "选择串口...");
    WithChooser([&] { QTest::mouseClick(button, Qt::LeftButton); },
                [&](PortDialog& chooser) {
                    EXPECT_EQ(chooser.numberBox().value(), 5);
                    EXPECT_TRUE(chooser.unbindButton().isEnabled());
                    Click(chooser, "unbind");
                    EXPECT_FALSE(hasLink(5));
                    // The adapter stays listed, now without a number.
                    EXPECT_EQ(Cell(chooser, RowOf(chooser, usb), PortDialog::kNumberColumn), "");
                    ClickRow(chooser, RowOf(chooser, fake.tree.dev / "ttyS0"));
                    EXPECT_FALSE(chooser.unbindButton().isEnabled());
                    Click(chooser, "2");
                });
    EXPECT_EQ(edit(MainDialog::kPortEdit)->text(), "5");
}

TEST_F(PortChoiceTest, TakingANumberThatNamesAnotherDeviceAsksFirst) {
    const fs::path sim = fake.device("pts/4");
    fake.link(2, sim);
    person.answers = {false, true};
    const auto chooseUsbAs2 = [&](PortDialog& chooser) {
        ClickRow(chooser, RowOf(chooser, usb));
        TypeNumber(chooser, "2");
        Click(chooser, "1");
    };
    WithChooser([&] { window.portChoice().choose(); }, chooseUsbAs2);
    ASSERT_EQ(person.questions.size(), 1u);
    EXPECT_EQ(person.questions[0], "串口2现在指向 " + sim.string() +
                                       "(伪终端(如模拟仪器)),改为指向 " + usb.string() +
                                       "(FTDI FT232R USB UART A9M9DV3R) 吗?");
    EXPECT_EQ(linkOf(2), sim);
    EXPECT_EQ(edit(MainDialog::kPortEdit)->text(), "1");

    WithChooser([&] { window.portChoice().choose(); }, chooseUsbAs2);
    EXPECT_EQ(linkOf(2), byId);
    EXPECT_EQ(edit(MainDialog::kPortEdit)->text(), "2");
}

TEST_F(PortChoiceTest, ChooserIsInTheWindowsMenuAndSpeaksItsLanguage) {
    QStringList items;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) return;
        for (QAction* action : menu->actions())
            items << action->text();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, {10, 10}, window.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(&window, &event);
    EXPECT_TRUE(items.contains("选择串口(&S)...")) << items.join('|').toStdString();

    WithChooser([&] { window.portChoice().choose(); },
                [&](PortDialog& chooser) {
                    EXPECT_EQ(chooser.windowTitle(), "选择串口");
                    QStringList headers;
                    for (int c = 0; c < chooser.list().columnCount(); ++c)
                        headers << chooser.list().horizontalHeaderItem(c)->text();
                    EXPECT_EQ(headers, QStringList({"串口号", "设备", "说明", "状态"}));
                    EXPECT_EQ(chooser.list().accessibleName(), "串口列表");
                    EXPECT_EQ(chooser.numberBox().accessibleName(), "串口号:");
                    // Nothing chosen yet: OK asks for a choice rather than closing.
                    chooser.list().clearSelection();
                    Click(chooser, "1");
                    EXPECT_TRUE(chooser.isVisible());
                });
    EXPECT_EQ(person.messages, std::vector<std::string>{"请先在列表中选中一个串口。"});
}

// The window with the real opener on a device tree of the test's own.
class OpenFailureReasonTest : public ::testing::Test {
protected:
    void press(int port, int button) {
        window.values().portNumber = port;
        window.updateControls();
        QTest::mouseClick(window.control<QPushButton>(button), Qt::LeftButton);
    }

    testing::TemporaryWorkingDirectory directory;
    FakeDeviceTree fake;
    PosixPortOpener opener{fake.tree};
    testing::RecordingOperator person;
    MainDialog window{opener, SystemClock(), person};
};

TEST_F(OpenFailureReasonTest, SecondLineSaysWhyTheWindowsPortWouldNotOpen) {
    const fs::path refused = fake.device("ttyUSB0");
    fake.refuse(refused);
    fake.link(5, refused);
    const fs::path held = fake.device("ttyACM0");
    fake.link(6, held);
    std::optional<testing::HeldDevice> holder(std::in_place, held);

    press(4, MainDialog::kAcquireButton);
    press(5, MainDialog::kAcquireButton);
    press(6, MainDialog::kReadSnButton);
    holder.reset();
    ASSERT_EQ(person.messages.size(), 3u);
    const std::string missing = "打开串口错误!\n串口4对应 " + (fake.tree.dev / "ttyS3").string() +
                                ",这台电脑上没有这个串口";
    EXPECT_TRUE(person.messages[0].starts_with(missing)) << person.messages[0];
    EXPECT_TRUE(person.messages[1].starts_with("打开串口错误!\n没有读写 " + refused.string() +
                                               " 的权限:请把当前用户加入 dialout 组"))
        << person.messages[1];
    EXPECT_TRUE(
        person.messages[2].starts_with("打开串口错误!\n" + held.string() + " 正被其他程序占用"))
        << person.messages[2];
}

}  // namespace
}  // namespace tavolex
