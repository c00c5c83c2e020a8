// The device clock, the recording interval and the ID wipe from the main window, on the real
// port against the simulated instrument.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>

#include "DeviceClockControls.h"
#include "MainDialog.h"
#include "RecordingOperator.h"
#include "SimulatorFixture.h"

namespace tavolex {
namespace {

namespace chr = std::chrono;

class DeviceControlsE2eTest : public testing::SimulatorTest {
protected:
    // The simulator as com1, its wall clock moved only by the test.
    void SetUp() override {
        SimulatorTest::SetUp();
        sim::HostOptions options;
        options.linkPath = portsDir / "com1";
        const sim::WallClock wall = [this] { return chr::system_clock::time_point{m_wall.load()}; };
        host = std::make_unique<sim::PtyHost>(sim::InstrumentModel({}, wall), options);
        std::string error;
        ASSERT_TRUE(host->start(&error)) << error;
    }
    void click(int id) { QTest::mouseClick(window.control<QAbstractButton>(id), Qt::LeftButton); }
    QLineEdit* edit(int id) { return window.control<QLineEdit>(id); }

    std::atomic<chr::seconds> m_wall{chr::seconds{1'700'000'000}};
    testing::RecordingOperator person;
    MainDialog window{opener, SystemClock(), person};
};

TEST_F(DeviceControlsE2eTest, ClockAndIntervalSetAreReadBack) {
    window.deviceClock().localTime = [] {
        return std::tm{1, 3, 9, 7, 4, 124, 0, 0, 0, 0, nullptr};  // 2024-05-07 09:03:01
    };
    click(MainDialog::kSetClockButton);
    m_wall = m_wall.load() + chr::seconds{75};
    click(MainDialog::kReadClockButton);
    QStringList shown;
    for (int id = MainDialog::kYearEdit; id < MainDialog::kYearEdit + 6; ++id)
        shown << edit(id)->text();
    EXPECT_EQ(shown, (QStringList{"2024", "5", "7", "9", "4", "16"}));

    edit(MainDialog::kIntervalEdit)->setText(QStringLiteral("15"));
    click(MainDialog::kSetIntervalButton);
    edit(MainDialog::kIntervalEdit)->clear();
    click(MainDialog::kReadIntervalButton);
    EXPECT_EQ(edit(MainDialog::kIntervalEdit)->text(), QStringLiteral("15"));
    EXPECT_EQ(person.messages, std::vector<std::string>{"设置成功!"});
}

TEST_F(DeviceControlsE2eTest, AWipedProbeReadsBackAsUnregistered) {
    ASSERT_TRUE(host->withModel([](sim::InstrumentModel& m) { return m.binding(5); }));
    QTimer::singleShot(0, [] {
        if (auto* asked = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            asked->accept();
    });
    click(MainDialog::kDeleteIdsButton);
    edit(MainDialog::kSnReadChannelEdit)->setText(QStringLiteral("5"));
    click(MainDialog::kReadSnButton);
    EXPECT_EQ(person.messages.at(0), "全部ID已删除!");
    EXPECT_EQ(person.clipboard, "02:05:FF-FF-FF-FF-FF-FF-FF-FF");
}

}  // namespace
}  // namespace tavolex
