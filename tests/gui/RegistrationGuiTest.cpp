// Probe registration from the main window, on a scripted line.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "Commands.h"
#include "FakeLine.h"
#include "MainDialog.h"
#include "RecordingOperator.h"

namespace tavolex {
namespace {

using testing::FakeLine;
using testing::FakePortOpener;
using testing::ManualClock;
using testing::RecordingOperator;

class RegistrationGuiTest : public ::testing::Test {
protected:
    void click(int id) { QTest::mouseClick(window.control<QAbstractButton>(id), Qt::LeftButton); }
    QLineEdit* edit(int id) { return window.control<QLineEdit>(id); }
    void type(int id, const QString& text) {
        edit(id)->clear();
        QTest::keyClicks(edit(id), text);
    }
    bool enabled(int id) { return window.control<QWidget>(id)->isEnabled(); }
    Bytes payloadSent() const {
        const Bytes& frame = line.written.back();
        return Bytes(frame.begin() + 7, frame.end() - 2);
    }

    ManualClock clock;
    FakeLine line{clock};
    FakePortOpener ports{line};
    RecordingOperator person;
    MainDialog window{ports, clock, person};
};

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
    const Bytes data{2, 0x28, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0x01, 0x9F};
    line.reply(ReplyFrame(0, command::kReadProbeSn, data));
    click(MainDialog::kReadSnButton);
    EXPECT_EQ(person.clipboard, "02:07:28-AA-BB-CC-DD-EE-01-9F");
    EXPECT_TRUE(window.control<QRadioButton>(MainDialog::kPortBRadio)->isChecked());
    EXPECT_EQ(edit(1007)->text(), "8");

    line.silence();
    click(MainDialog::kReadSnButton);
    EXPECT_EQ(person.messages.back(), "读数据错误!");
    EXPECT_EQ(edit(1007)->text(), "8");
}

}  // namespace
}  // namespace tavolex
