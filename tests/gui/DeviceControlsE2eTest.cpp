// The device clock, the recording interval and the ID wipe from the main window, on the real
// port against the simulated instrument.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
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
using Messages = std::vector<std::string>;

class DeviceControlsE2eTest : public testing::SimulatorTest {
protected:
    // The simulator as com1, its wall clock moved only by the test.
    void startInstrument() {
        sim::HostOptions options;
        options.linkPath = portsDir / "com1";
        const sim::WallClock wall = [this] {
            return chr::system_clock::time_point{} + chr::seconds{m_wallSeconds.load()};
        };
        host = std::make_unique<sim::PtyHost>(sim::InstrumentModel({}, wall), options);
        std::string error;
        ASSERT_TRUE(host->start(&error)) << error;
    }
    void click(int id) { QTest::mouseClick(window.control<QAbstractButton>(id), Qt::LeftButton); }
    void setText(int id, const QString& text) { window.control<QLineEdit>(id)->setText(text); }
    QString text(int id) { return window.control<QLineEdit>(id)->text(); }

    std::atomic<long long> m_wallSeconds{1'700'000'000};
    testing::RecordingOperator person;
    MainDialog window{opener, SystemClock(), person};
};

TEST_F(DeviceControlsE2eTest, ClockSetIsReadBackMovedOnByTheSecondsBetween) {
    startInstrument();
    window.deviceClock().localTime = [] {
        std::tm local{};
        local.tm_year = 124;
        local.tm_mon = 4;
        local.tm_mday = 7;
        local.tm_hour = 9;
        local.tm_min = 3;
        local.tm_sec = 1;
        return local;
    };
    click(MainDialog::kSetClockButton);
    m_wallSeconds += 75;
    for (int id = MainDialog::kYearEdit; id < MainDialog::kYearEdit + 6; ++id)
        setText(id, QString());
    click(MainDialog::kReadClockButton);
    EXPECT_TRUE(person.messages.empty());
    QStringList shown;
    for (int id = MainDialog::kYearEdit; id < MainDialog::kYearEdit + 6; ++id)
        shown << text(id);
    EXPECT_EQ(shown, (QStringList{"2024", "5", "7", "9", "4", "16"}));
}

TEST_F(DeviceControlsE2eTest, IntervalSetIsReadBack) {
    startInstrument();
    setText(MainDialog::kIntervalEdit, QStringLiteral("15"));
    click(MainDialog::kSetIntervalButton);
    setText(MainDialog::kIntervalEdit, QString());
    click(MainDialog::kReadIntervalButton);
    EXPECT_EQ(person.messages, Messages{"设置成功!"});
    EXPECT_EQ(text(MainDialog::kIntervalEdit), QStringLiteral("15"));
    EXPECT_EQ(host->withModel([](sim::InstrumentModel& m) { return m.intervalMinutes(); }), 15);
}

TEST_F(DeviceControlsE2eTest, AWipedProbeReadsBackAsUnregistered) {
    startInstrument();
    host->withModel([](sim::InstrumentModel& m) { m.wipeBindings(); });
    const auto probe = host->withModel(
        [](sim::InstrumentModel& m) { return m.probeOfPort(sim::ProbePort::A, 0); });

    // Register it by hand on channel 5.
    click(MainDialog::kManualRadio);
    for (int i = 0; i < kSnBytes; ++i) {
        setText(MainDialog::kSnEdits[i], QString::asprintf("%02X", probe[i]));
    }
    setText(MainDialog::kRegistrationChannelEdit, QStringLiteral("5"));
    click(MainDialog::kRegisterButton);
    ASSERT_EQ(person.messages, Messages{"注册成功!"});
    ASSERT_TRUE(host->withModel([](sim::InstrumentModel& m) { return m.binding(5); }));

    QTimer::singleShot(0, [] {
        if (auto* asked = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            asked->accept();
    });
    click(MainDialog::kDeleteIdsButton);
    setText(MainDialog::kSnReadChannelEdit, QStringLiteral("5"));
    click(MainDialog::kReadSnButton);
    EXPECT_EQ(person.messages.at(1), "全部ID已删除!");
    EXPECT_EQ(person.clipboard, "02:05:FF-FF-FF-FF-FF-FF-FF-FF");
}

}  // namespace
}  // namespace tavolex
