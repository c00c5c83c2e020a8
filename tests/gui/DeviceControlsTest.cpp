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

// Answers the modal dialog that `open` brings up with `answer`.
void AnswerModal(const std::function<void()>& open, const std::function<void(QDialog&)>& answer) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        seen = true;
        answer(*dialog);
    });
    open();
    EXPECT_TRUE(seen) << "no dialog came up";
}

std::tm May7th() {
    std::tm local{};
    local.tm_year = 124;
    local.tm_mon = 4;
    local.tm_mday = 7;
    local.tm_hour = 9;
    local.tm_min = 3;
    local.tm_sec = 1;
    return local;
}

class DeviceControlsTest : public testing::MainDialogFixture {
protected:
    QStringList clockTexts() {
        QStringList texts;
        for (int id = MainDialog::kYearEdit; id < MainDialog::kYearEdit + 6; ++id) {
            texts << edit(id)->text();
            // What assistive tools read is what the edit shows.
            QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(edit(id));
            EXPECT_EQ(shown->text(QAccessible::Value), edit(id)->text()) << id;
        }
        return texts;
    }
    Bytes payloadSent() const {
        const Bytes& frame = line.written.back();
        return Bytes(frame.begin() + kFrameHeaderSize, frame.end() - 2);
    }
};

TEST_F(DeviceControlsTest, ClockEditsShowTheTimeReadAndTheTimeSent) {
    line.reply(ReplyFrame(0, command::kReadClock, Bytes{0x00, 0x24, 0x12, 0x1A, 0x23, 0x59, 0x00}));
    click(MainDialog::kReadClockButton);
    EXPECT_EQ(clockTexts(), (QStringList{"24", "12", "1A", "23", "59", "0"}));

    // What is typed into the edits is not what is sent.
    type(MainDialog::kYearEdit, QStringLiteral("1999"));
    window.deviceClock().localTime = May7th;
    line.reply(ReplyFrame(0, command::kSetClock, Bytes{0}));
    click(MainDialog::kSetClockButton);
    EXPECT_EQ(payloadSent(), (Bytes{0x20, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01}));
    EXPECT_EQ(clockTexts(), (QStringList{"2024", "5", "7", "9", "3", "1"}));

    // A failed exchange leaves them as they are.
    line.silence();
    click(MainDialog::kReadClockButton);
    line.reply(ReplyFrame(0, command::kSetClock, Bytes{0, 0}));
    window.deviceClock().localTime = [] { return std::tm{}; };
    click(MainDialog::kSetClockButton);
    EXPECT_EQ(clockTexts(), (QStringList{"2024", "5", "7", "9", "3", "1"}));
    EXPECT_EQ(person.messages, (Messages{"读取数据失败!", "读取数据失败!"}));
}

TEST_F(DeviceControlsTest, IntervalSetReadsTheLeadingNumberAndKeepsTheTypedText) {
    for (const char* refused : {"0", "61", "-5", "abc", ""}) {
        type(MainDialog::kIntervalEdit, refused);
        click(MainDialog::kSetIntervalButton);
        EXPECT_EQ(edit(MainDialog::kIntervalEdit)->text(), QString(refused));
    }
    EXPECT_EQ(person.messages, Messages(5, "输入的数值必须为1-60之间的整数"));
    EXPECT_TRUE(line.written.empty());

    person.messages.clear();
    type(MainDialog::kIntervalEdit, QStringLiteral("7.9"));
    line.reply(ReplyFrame(0, command::kSetRecordingInterval, Bytes{0}));
    click(MainDialog::kSetIntervalButton);
    EXPECT_EQ(payloadSent(), Bytes{7});
    EXPECT_EQ(person.messages, Messages{"设置成功!"});
    EXPECT_EQ(edit(MainDialog::kIntervalEdit)->text(), QStringLiteral("7.9"));

    line.reply(ReplyFrame(0, command::kReadRecordingInterval, Bytes{0x78}));
    click(MainDialog::kReadIntervalButton);
    EXPECT_EQ(edit(MainDialog::kIntervalEdit)->text(), QStringLiteral("120"));
    line.silence();
    click(MainDialog::kReadIntervalButton);
    EXPECT_EQ(edit(MainDialog::kIntervalEdit)->text(), QStringLiteral("120"));
}

TEST_F(DeviceControlsTest, WipeAsksFirstAndCancellingTouchesNothing) {
    line.refuseOpen = true;  // no instrument: a cancelled wipe still says nothing
    const std::function<void(QDialog&)> cancels[] = {
        [](QDialog& asked) {
            QTest::mouseClick(asked.findChild<QPushButton*>("2"), Qt::LeftButton);
        },
        [](QDialog& asked) { QTest::keyClick(&asked, Qt::Key_Escape); },
        [](QDialog& asked) { asked.close(); },
    };
    for (const auto& cancel : cancels) {
        AnswerModal([&] { click(MainDialog::kDeleteIdsButton); }, cancel);
    }
    EXPECT_TRUE(person.messages.empty());
    EXPECT_EQ(line.opens, 0);

    line.refuseOpen = false;
    control<QTableWidget>(MainDialog::kLowChannelList)
        ->item(0, kTemperatureColumn)
        ->setText("21.5");
    line.reply(ReplyFrame(0, command::kWipeIds, Bytes{0}));
    AnswerModal([&] { click(MainDialog::kDeleteIdsButton); },
                [](QDialog& asked) {
                    EXPECT_NE(qobject_cast<DeleteAllConfirmDialog*>(&asked), nullptr);
                    EXPECT_EQ(asked.windowTitle(), QStringLiteral("提示"));
                    EXPECT_EQ(asked.font().pointSize(), 10);
                    EXPECT_EQ(asked.findChild<QLabel*>()->text(),
                              QStringLiteral("确定要删除全部ID号吗？"));
                    EXPECT_EQ(asked.findChild<QPushButton*>("2")->text(), QStringLiteral("取消"));
                    auto* ok = asked.findChild<QPushButton*>("1");
                    EXPECT_EQ(ok->text(), QStringLiteral("确定"));
                    EXPECT_TRUE(ok->isDefault());
                    QTest::keyClick(&asked, Qt::Key_Return);
                });
    EXPECT_EQ(line.written.at(0)[4], command::kWipeIds);
    EXPECT_EQ(person.messages, Messages{"全部ID已删除!"});
    EXPECT_EQ(
        control<QTableWidget>(MainDialog::kLowChannelList)->item(0, kTemperatureColumn)->text(),
        QStringLiteral("21.5"));
}

}  // namespace
}  // namespace tavolex
