// The "连续采集" button of the main window, driven as a user drives it, on the fake line.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

#include "ChannelLists.h"
#include "Commands.h"
#include "ContinuousAcquisition.h"
#include "FakeLine.h"
#include "Gbk.h"
#include "MainDialog.h"
#include "RecordingOperator.h"
#include "TemporaryWorkingDirectory.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using testing::Chunk;
using testing::FakeLine;
using testing::FakePortOpener;
using testing::ManualClock;
using testing::RecordingOperator;

constexpr int kLockedWhileRunning[] = {1061, 1060, 1069, 1068, 1050, 1049, 1074, 1077, 1081, 1082};

Bytes TemperatureFrame(int words, int tenths) {
    Bytes data;
    for (int i = 0; i < words; ++i) {
        const TenthDegree word = TenthDegree::FromTenths(tenths + i);
        data.push_back(word.high());
        data.push_back(word.low());
    }
    return ReplyFrame(0, command::kReadTemperatures, data);
}

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ContinuousAcquisitionTest : public ::testing::Test {
protected:
    ContinuousAcquisitionTest() {
        window.continuousAcquisition().ownerlessMessage = [this](std::string_view text) {
            ownerless.emplace_back(text);
        };
        line.responder = [this](ByteView) {
            ++replies;
            return std::vector<Chunk>{{0ms, TemperatureFrame(40, 250)}};
        };
    }

    template <typename Control>
    Control* control(int id) {
        Control* found = window.control<Control>(id);
        EXPECT_NE(found, nullptr) << "no control " << id;
        return found;
    }
    void type(int id, const QString& text) {
        QLineEdit* field = control<QLineEdit>(id);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }
    void press() { QTest::mouseClick(control<QPushButton>(1010), Qt::LeftButton); }
    QString buttonText() { return control<QPushButton>(1010)->text(); }
    int count(int label) { return control<QLabel>(label)->text().toInt(); }
    bool anyLockedControlEnabled(bool enabled) {
        for (int id : kLockedWhileRunning) {
            if (control<QWidget>(id)->isEnabled() == enabled) return true;
        }
        return false;
    }
    // Ends the window the way closing it does, which waits for the worker; only then may the
    // test look at the fake line again.
    void close() { window.done(QDialog::Rejected); }

    testing::TemporaryWorkingDirectory directory{
        ::testing::UnitTest::GetInstance()->current_test_info()->name()};
    ManualClock clock;
    FakeLine line{clock};
    FakePortOpener ports{line};
    RecordingOperator person;
    MainDialog window{ports, clock, person};
    std::vector<std::string> ownerless;
    std::atomic<int> replies = 0;
};

TEST_F(ContinuousAcquisitionTest, APeriodBelow600IsRefusedAndSetTo600WhetherStartingOrStopping) {
    type(1011, "599");
    press();
    EXPECT_EQ(person.messages, std::vector<std::string>{"最小采集周期600ms"});
    EXPECT_EQ(control<QLineEdit>(1011)->text(), "600");
    EXPECT_FALSE(window.acquiring());
    EXPECT_EQ(buttonText(), "连续采集");

    press();
    EXPECT_TRUE(window.acquiring());
    EXPECT_EQ(buttonText(), "取消采集");
    EXPECT_FALSE(anyLockedControlEnabled(true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(1012) >= 2; }));

    type(1011, "599");
    press();
    EXPECT_EQ(person.messages.size(), 2u);
    EXPECT_EQ(control<QLineEdit>(1011)->text(), "600");
    EXPECT_TRUE(window.acquiring());
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(1012) >= 4; }));

    // Stopped while the worker hands over its next result, which must not bring the counters
    // back. The click is delivered without serving the worker first.
    const int shown = count(1012);
    while (replies <= shown)
        std::this_thread::yield();
    std::this_thread::sleep_for(5ms);
    control<QPushButton>(1010)->click();
    EXPECT_FALSE(window.acquiring());
    EXPECT_EQ(buttonText(), "连续采集");
    EXPECT_FALSE(anyLockedControlEnabled(false));
    QTest::qWait(20);
    EXPECT_EQ(control<QLabel>(1012)->text(), "");
    EXPECT_EQ(control<QLabel>(1013)->text(), "");
    close();
    EXPECT_FALSE(line.held());
    EXPECT_EQ(line.lastProfile, PortProfile::Acquisition);
    EXPECT_EQ(person.messages.size(), 2u);
}

TEST_F(ContinuousAcquisitionTest, ResultsShowCountsAndListsButLeaveWhatIsBeingTypedAlone) {
    // Every third reply is corrupt.
    line.responder = [n = 0](ByteView) mutable {
        Bytes frame = TemperatureFrame(40, 250);
        if (++n % 3 == 0) frame.back() ^= 1;
        return std::vector<Chunk>{{0ms, frame}};
    };
    press();
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(1012) >= 1; }));
    type(1002, "5");
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(1012) >= 4 && count(1013) >= 2; }));
    EXPECT_EQ(control<QLineEdit>(1002)->text(), "5");
    EXPECT_EQ(
        control<QTableWidget>(MainDialog::kHighChannelList)->item(3, kTemperatureColumn)->text(),
        "28.9");
    close();
    EXPECT_EQ(buttonText(), "连续采集");
    EXPECT_EQ(control<QLabel>(1012)->text(), "");
    EXPECT_FALSE(line.held());
    // Failures went to the error log; nothing was recorded with the record option off.
    EXPECT_EQ(directory.files(), std::vector<std::filesystem::path>{"QRNA_log.txt"});
    EXPECT_NE(FileText(directory.path() / "QRNA_log.txt").find(Utf8ToGbk("校验错误，")),
              std::string::npos);
}

TEST_F(ContinuousAcquisitionTest, APortThatDoesNotOpenIsToldOnceWithoutOwnerAndTheRunStaysOn) {
    line.refuseOpen = true;
    press();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ownerless.empty(); }));
    EXPECT_EQ(ownerless.size(), 1u);
    EXPECT_EQ(ownerless.front(), "打开串口失败!");
    EXPECT_TRUE(person.messages.empty());
    EXPECT_TRUE(window.acquiring());
    EXPECT_EQ(buttonText(), "取消采集");
    press();
    EXPECT_FALSE(window.acquiring());
    close();
    EXPECT_EQ(ownerless.size(), 1u);
}

TEST_F(ContinuousAcquisitionTest, TheMenuShowsTheRecordOptionsAndARunRecordsWhenTheyAreOn) {
    QAction& options = window.continuousAcquisition().recordOptionsAction();
    EXPECT_EQ(options.text(), "显示保存选项");
    EXPECT_TRUE(control<QCheckBox>(1061)->isHidden());
    options.trigger();
    EXPECT_FALSE(control<QCheckBox>(1061)->isHidden());
    EXPECT_FALSE(control<QLineEdit>(1060)->isHidden());

    control<QCheckBox>(1061)->setChecked(true);
    press();
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(1012) >= 2; }));
    close();
    const auto files = directory.files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(files.front().string().find("秒.txt"), std::string::npos);
    // The first success of a run is always recorded; the rest wait out the 30 s period.
    const std::string text = FileText(directory.path() / files.front());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
    EXPECT_NE(text.find("\t25.0\t25.1\t25.2"), std::string::npos);

    options.trigger();
    EXPECT_TRUE(control<QCheckBox>(1061)->isHidden());
    EXPECT_TRUE(control<QLineEdit>(1060)->isHidden());
}

}  // namespace
}  // namespace tavolex
