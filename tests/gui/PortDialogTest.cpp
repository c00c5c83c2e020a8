// The port chooser opened from the main window, on a device tree of the test's own: binding a
// number to an adapter, removing a binding, and taking a number another device holds.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>

#include "FakeDeviceTree.h"
#include "PortChoice.h"
#include "PortDialog.h"
#include "WindowDriver.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFtdi = "usb-FTDI_FT232R_USB_UART_A9M9DV3R-if00-port0";

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

class PortDialogTest : public testing::MainDialogFixture {
protected:
    PortDialogTest() {
        fake.onBoard(0, 4);  // port 1
        usb = fake.device("ttyUSB0");
        byId = fake.byId(kFtdi, "ttyUSB0");
        window.portChoice().setDeviceTree(fake.tree);
    }
    fs::path linkOf(int port) { return fs::read_symlink(PortLinkPath(port, fake.tree)); }
    bool hasLink(int port) { return fs::exists(fs::symlink_status(PortLinkPath(port, fake.tree))); }
    template <typename Open, typename Act>
    void withChooser(Open open, Act act) {
        EXPECT_TRUE(testing::WithModal<PortDialog>(open, act)) << "the chooser did not come up";
    }

    testing::FakeDeviceTree fake;
    fs::path usb;
    fs::path byId;
};

TEST_F(PortDialogTest, ChoosingAnAdapterForPort3LinksItsStableNameAndFillsTheField) {
    withChooser([&] { window.portChoice().action().trigger(); },
                [&](PortDialog& chooser) {
                    // What each row shows is the port discovery test's.
                    ClickRow(chooser, RowOf(chooser, usb));
                    EXPECT_EQ(chooser.numberBox().value(), 2);  // 1 is the on-board port's
                    TypeNumber(chooser, "3");
                    Click(chooser, "1");
                });
    EXPECT_EQ(linkOf(3), byId);
    EXPECT_EQ(edit(MainDialog::kPortEdit)->text(), "3");
    EXPECT_TRUE(person.questions.empty());
    EXPECT_TRUE(person.messages.empty());

    // Next time the adapter shows under its number, and keeping it changes nothing.
    withChooser([&] { window.portChoice().choose(); },
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

TEST_F(PortDialogTest, TheFieldsButtonOpensTheChooserWhereABindingCanBeRemoved) {
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
    withChooser([&] { QTest::mouseClick(button, Qt::LeftButton); },
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

TEST_F(PortDialogTest, TakingANumberThatNamesAnotherDeviceAsksFirst) {
    const fs::path sim = fake.device("pts/4");
    fake.link(2, sim);
    person.answers = {false, true};
    const auto chooseUsbAs2 = [&](PortDialog& chooser) {
        ClickRow(chooser, RowOf(chooser, usb));
        TypeNumber(chooser, "2");
        Click(chooser, "1");
    };
    withChooser([&] { window.portChoice().choose(); }, chooseUsbAs2);
    ASSERT_EQ(person.questions.size(), 1u);
    EXPECT_EQ(person.questions[0], "串口2现在指向 " + sim.string() +
                                       "(伪终端(如模拟仪器)),改为指向 " + usb.string() +
                                       "(FTDI FT232R USB UART A9M9DV3R) 吗?");
    EXPECT_EQ(linkOf(2), sim);
    EXPECT_EQ(edit(MainDialog::kPortEdit)->text(), "1");

    withChooser([&] { window.portChoice().choose(); }, chooseUsbAs2);
    EXPECT_EQ(linkOf(2), byId);
    EXPECT_EQ(edit(MainDialog::kPortEdit)->text(), "2");
}

TEST_F(PortDialogTest, TheChooserIsInTheWindowsMenuAndOkWithoutAChoiceAsksForOne) {
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

    withChooser([&] { window.portChoice().choose(); },
                [&](PortDialog& chooser) {
                    chooser.list().clearSelection();
                    Click(chooser, "1");
                    EXPECT_TRUE(chooser.isVisible());
                });
    EXPECT_EQ(person.messages, std::vector<std::string>{"请先在列表中选中一个串口。"});
}

}  // namespace
}  // namespace tavolex
