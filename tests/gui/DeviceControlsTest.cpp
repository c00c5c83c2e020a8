// The device clock, the recording interval and the ID wipe, driven from the main window on a
// scripted line.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <functional>

#include "ChannelLists.h"
#include "Commands.h"
#include "DeleteAllConfirmDialog.h"
#include "DeviceClockControls.h"
#include "MainDialogFixture.h"

namespace tavolex {
namespace {

using Messages = std::vector<std::string>;

class DeviceControlsTest : public testing::MainDialogFixture {
protected:
    // What the six clock edits show, checking that assistive tools read the same.
    QStringList clockTexts() {
        QStringList texts;
        for (int id = MainDialog::kYearEdit; id < MainDialog::kYearEdit + 6; ++id) {
            texts << edit(id)->text();
            EXPECT_EQ(QAccessible::queryAccessibleInterface(edit(id))->text(QAccessible::Value),
                      texts.back());
        }
        return texts;
    }
    // Presses "删除全部ID" and answers its question with `answer`.
    void wipe(const std::function<void(QDialog&)>& answer) {
        bool asked = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<DeleteAllConfirmDialog*>(QApplication::activeModalWidget());
            asked = dialog != nullptr;
            if (asked) answer(*dialog);
        });
        click(MainDialog::kDeleteIdsButton);
        EXPECT_TRUE(asked);
    }
    Bytes payloadSent() const {
        if (line.written.empty()) return {};
        const Bytes& frame = line.written.back();
        return Bytes(frame.begin() + kFrameHeaderSize, frame.end() - 2);
    }
};

TEST_F(DeviceControlsTest, ClockEditsShowTheTimeReadAndTheLocalTimeSent) {
    line.reply(ReplyFrame(0, command::kReadClock, Bytes{0x00, 0x24, 0x12, 0x1A, 0x23, 0x59, 0}));
    click(MainDialog::kReadClockButton);
    EXPECT_EQ(clockTexts(), (QStringList{"24", "12", "1A", "23", "59", "0"}));

    type(MainDialog::kYearEdit, QStringLiteral("1999"));  // typed text is never sent
    int taken = 0;
    window.deviceClock().localTime = [&] {
        std::tm may7th{1, 3, 9, 7, 4, 124, 0, 0, 0, 0, nullptr};  // 2024-05-07 09:03:01
        return ++taken, may7th;
    };
    line.reply(ReplyFrame(0, command::kSetClock, Bytes{0}));
    click(MainDialog::kSetClockButton);
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(payloadSent(), (Bytes{0x20, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01}));
    EXPECT_EQ(clockTexts(), (QStringList{"2024", "5", "7", "9", "3", "1"}));

    line.silence();
    click(MainDialog::kReadClockButton);
    EXPECT_EQ(clockTexts(), (QStringList{"2024", "5", "7", "9", "3", "1"}));
    EXPECT_EQ(person.messages, Messages{"读取数据失败!"});
}

TEST_F(DeviceControlsTest, IntervalSetTakesTheLeadingNumberAndKeepsTheTypedText) {
    for (const char* refused : {"0", "61", "-5", "abc", "", "271"}) {
        type(MainDialog::kIntervalEdit, refused);
        click(MainDialog::kSetIntervalButton);
    }
    EXPECT_EQ(person.messages, Messages(6, "输入的数值必须为1-60之间的整数"));
    EXPECT_TRUE(line.written.empty());

    person.messages.clear();
    for (const auto& [typed, sent] : {std::pair{"1", 1}, {"7.9", 7}}) {
        type(MainDialog::kIntervalEdit, typed);
        line.reply(ReplyFrame(0, command::kSetRecordingInterval, Bytes{0}));
        click(MainDialog::kSetIntervalButton);
        EXPECT_EQ(payloadSent(), Bytes{static_cast<std::uint8_t>(sent)});
        EXPECT_EQ(edit(MainDialog::kIntervalEdit)->text(), QString(typed));
    }

    line.reply(ReplyFrame(0, command::kReadRecordingInterval, Bytes{0x78}));
    click(MainDialog::kReadIntervalButton);
    EXPECT_EQ(edit(MainDialog::kIntervalEdit)->text(), QStringLiteral("120"));

    line.refuseOpen = true;  // the port is opened before the value is looked at
    type(MainDialog::kIntervalEdit, QStringLiteral("0"));
    click(MainDialog::kSetIntervalButton);
    EXPECT_EQ(person.messages, (Messages{"设置成功!", "设置成功!", "请先打开串口!"}));
}

TEST_F(DeviceControlsTest, WipeAsksFirstAndCancellingTouchesNothing) {
    line.refuseOpen = true;  // no instrument, and still not a word
    wipe([](QDialog& asked) {
        QTest::mouseClick(asked.findChild<QPushButton*>("2"), Qt::LeftButton);
    });
    wipe([](QDialog& asked) { QTest::keyClick(&asked, Qt::Key_Escape); });
    EXPECT_TRUE(person.messages.empty());
    EXPECT_EQ(line.opens, 0);

    line.refuseOpen = false;
    QTableWidgetItem* cell =
        control<QTableWidget>(MainDialog::kLowChannelList)->item(0, kTemperatureColumn);
    cell->setText("21.5");
    line.reply(ReplyFrame(0, command::kWipeIds, Bytes{0}));
    wipe([](QDialog& asked) {
        EXPECT_EQ(asked.windowTitle(), QStringLiteral("提示"));
        EXPECT_EQ(asked.font().pointSize(), 10);
        EXPECT_EQ(asked.findChild<QLabel*>()->text(), QStringLiteral("确定要删除全部ID号吗？"));
        EXPECT_EQ(asked.findChild<QPushButton*>("2")->text(), QStringLiteral("取消"));
        EXPECT_EQ(asked.findChild<QPushButton*>("1")->text(), QStringLiteral("确定"));
        QTest::keyClick(&asked, Qt::Key_Return);  // OK is the default
    });
    EXPECT_EQ(line.written.at(0)[4], command::kWipeIds);
    EXPECT_EQ(person.messages, Messages{"全部ID已删除!"});
    EXPECT_EQ(cell->text(), QStringLiteral("21.5"));
}

}  // namespace
}  // namespace tavolex
