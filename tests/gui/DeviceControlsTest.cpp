// The device clock, the recording interval and the ID wipe, driven from the main window on a
// scripted line: what each shows, what it sends, and the wipe's question.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QPushButton>
#include <QTableWidget>

#include "ChannelLists.h"
#include "Commands.h"
#include "DeleteAllConfirmDialog.h"
#include "DeviceClockControls.h"
#include "WindowDriver.h"

namespace tavolex {
namespace {

using Messages = std::vector<std::string>;
using D = MainDialog;

class DeviceControlsTest : public testing::MainDialogFixture {
protected:
    // What the six clock edits show, checking that assistive tools read the same.
    QStringList clockTexts() {
        QStringList texts;
        for (int id = D::kYearEdit; id < D::kYearEdit + 6; ++id) {
            texts << edit(id)->text();
            EXPECT_EQ(QAccessible::queryAccessibleInterface(edit(id))->text(QAccessible::Value),
                      texts.back());
        }
        return texts;
    }
};

TEST_F(DeviceControlsTest, ClockEditsShowTheTimeReadAndTheLocalTimeSent) {
    line.reply(ReplyFrame(0, command::kReadClock, Bytes{0x00, 0x24, 0x12, 0x1A, 0x23, 0x59, 0}));
    click(D::kReadClockButton);
    EXPECT_EQ(clockTexts()[0], "24");

    type(D::kYearEdit, QStringLiteral("1999"));  // typed text is never sent
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
    line.silence();  // a failed reading keeps what the edits show
    click(D::kReadClockButton);
    EXPECT_EQ(clockTexts(), sent);
}

TEST_F(DeviceControlsTest, IntervalSetKeepsTheTypedTextAndReadShowsTheValue) {
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

TEST_F(DeviceControlsTest, WipeAsksFirstAndCancellingTouchesNothing) {
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
    QTableWidgetItem* cell = control<QTableWidget>(D::kLowChannelList)->item(0, kTemperatureColumn);
    cell->setText("21.5");
    line.reply(ReplyFrame(0, command::kWipeIds, Bytes{0}));
    wipe([](QDialog& asked) { QTest::keyClick(&asked, Qt::Key_Return); });  // OK is the default
    EXPECT_EQ(line.written.at(0)[4], command::kWipeIds);
    EXPECT_EQ(person.messages, Messages{"全部ID已删除!"});
    EXPECT_EQ(cell->text(), QStringLiteral("21.5"));
}

}  // namespace
}  // namespace tavolex
