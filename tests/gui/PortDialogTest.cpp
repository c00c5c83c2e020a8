// The port chooser opened from the main window, on a device tree of the test's own.
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
using D = MainDialog;

constexpr const char* kFtdi = "usb-FTDI_FT232R_USB_UART_A9M9DV3R-if00-port0";

class PortDialogTest : public testing::MainDialogFixture {
protected:
    static int RowOf(const PortDialog& chooser, const fs::path& device) {
        const auto& entries = chooser.entries();
        const auto found = std::ranges::find(entries, device, &PortEntry::device);
        EXPECT_NE(found, entries.end()) << device << " is not listed";
        return found == entries.end() ? 0 : static_cast<int>(found - entries.begin());
    }
    static QString Cell(PortDialog& c, int row, int column) {
        return c.list().item(row, column)->text();
    }
    static void ClickRow(PortDialog& chooser, int row) {
        QTableWidget& list = chooser.list();
        const QRect cell = list.visualItemRect(list.item(row, PortDialog::kDeviceColumn));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
    }
    static void TypeNumber(PortDialog& chooser, const QString& number) {
        chooser.numberBox().setFocus();
        chooser.numberBox().selectAll();
        QTest::keyClicks(&chooser.numberBox(), number);
    }
    static void Click(PortDialog& chooser, const char* name) {
        QTest::mouseClick(chooser.findChild<QPushButton*>(name), Qt::LeftButton);
    }
    PortDialogTest() {
        fake.onBoard(0, 4);  // port 1
        usb = fake.device("ttyUSB0");
        byId = fake.byId(kFtdi, "ttyUSB0");
        window.portChoice().setDeviceTree(fake.tree);
    }
    fs::path linkOf(int port) { return fs::read_symlink(PortLinkPath(port, fake.tree)); }
    bool hasLink(int port) { return fs::exists(fs::symlink_status(PortLinkPath(port, fake.tree))); }
    template <typename Act>
    void choose(Act act, std::function<void()> open = {}) {
        if (!open) open = [this] { window.portChoice().choose(); };
        EXPECT_TRUE(testing::WithModal<PortDialog>(open, act)) << "the chooser did not come up";
    }

    testing::FakeDeviceTree fake;
    fs::path usb;
    fs::path byId;
};

TEST_F(PortDialogTest, AnAdapterChosenForPort3IsLinkedAndABindingCanBeRemoved) {
    choose(
        [&](PortDialog& chooser) {
            // What each row shows is the port discovery test's.
            ClickRow(chooser, RowOf(chooser, usb));
            EXPECT_EQ(chooser.numberBox().value(), 2);  // 1 is the on-board port's
            TypeNumber(chooser, "3");
            Click(chooser, "1");
        },
        [&] { window.portChoice().action().trigger(); });
    EXPECT_EQ(linkOf(3), byId);
    EXPECT_EQ(edit(D::kPortEdit)->text(), "3");
    EXPECT_TRUE(person.questions.empty() && person.messages.empty());

    // Next time the adapter shows under its number, and keeping it changes nothing.
    choose([&](PortDialog& chooser) {
        ASSERT_EQ(chooser.list().selectedRanges().size(), 1);
        const int row = chooser.list().selectedRanges().front().topRow();
        EXPECT_EQ(Cell(chooser, row, PortDialog::kNumberColumn), "3");
        EXPECT_EQ(Cell(chooser, row, PortDialog::kDeviceColumn),
                  QString::fromStdString(usb.string()));
        Click(chooser, "1");
    });
    EXPECT_EQ(linkOf(3), byId);

    // The field's button opens the chooser, where a binding can be removed.
    fs::remove(PortLinkPath(3, fake.tree));
    fake.link(5, byId);
    type(D::kPortEdit, "5");
    QTest::mouseDClick(edit(D::kPortEdit), Qt::LeftButton);  // selects, as in any field
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    QToolButton* button = nullptr;
    for (auto* candidate : edit(D::kPortEdit)->findChildren<QToolButton*>())
        if (candidate->defaultAction() == &window.portChoice().fieldButton()) button = candidate;
    ASSERT_NE(button, nullptr);
    choose(
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
        },
        [&] { QTest::mouseClick(button, Qt::LeftButton); });
    EXPECT_EQ(edit(D::kPortEdit)->text(), "5");
}

TEST_F(PortDialogTest, TakingANumberThatNamesAnotherDeviceAsksFirstAndOkNeedsAChoice) {
    const fs::path sim = fake.device("pts/4");
    fake.link(2, sim);
    person.answers = {false, true};
    const auto chooseUsbAs2 = [&](PortDialog& chooser) {
        ClickRow(chooser, RowOf(chooser, usb));
        TypeNumber(chooser, "2");
        Click(chooser, "1");
    };
    choose(chooseUsbAs2);
    ASSERT_EQ(person.questions.size(), 1u);
    EXPECT_EQ(person.questions[0], "串口2现在指向 " + sim.string() +
                                       "(伪终端(如模拟仪器)),改为指向 " + usb.string() +
                                       "(FTDI FT232R USB UART A9M9DV3R) 吗?");
    EXPECT_EQ(linkOf(2), sim);
    EXPECT_EQ(edit(D::kPortEdit)->text(), "1");

    choose(chooseUsbAs2);
    EXPECT_EQ(linkOf(2), byId);
    EXPECT_EQ(edit(D::kPortEdit)->text(), "2");

    // OK without a choice asks for one.
    choose([&](PortDialog& chooser) {
        chooser.list().clearSelection();
        Click(chooser, "1");
        EXPECT_TRUE(chooser.isVisible());
    });
    EXPECT_EQ(person.messages, testing::Messages{"请先在列表中选中一个串口。"});
}

}  // namespace
}  // namespace tavolex
