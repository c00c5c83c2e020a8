// Continuous acquisition on the real port against the simulated instrument: a minute of the
// instrument's time records what it sent, counts and logs the faults it was given, alarms once
// for a channel that crossed its limit, and writes a CSV file that matches the data file.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QTableWidget>
#include <algorithm>
#include <atomic>
#include <sstream>

#include "ChannelLists.h"
#include "ContinuousAcquisitionControls.h"
#include "Gbk.h"
#include "TrendMonitor.h"
#include "WindowDriver.h"

namespace tavolex {
namespace {

using testing::FileText;
using D = MainDialog;

// The parts of a text between separators; a line's CR, before its LF, goes with it.
std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) {
        if (separator == '\n' && !part.empty() && part.back() == '\r') part.pop_back();
        parts.push_back(part);
    }
    return parts;
}

// A clock that moves only when the worker pauses on it, shared by the worker, the window and
// the simulated instrument's thread.
class SteppingClock final : public Clock {
public:
    TimePoint now() override { return TimePoint{} + Duration(m_ticks.load()); }
    void sleepFor(Duration duration) override {
        const Duration elapsed = Duration(m_ticks += duration.count());
        if (onSleep) onSleep(elapsed);
    }
    Duration elapsed() const { return Duration(m_ticks.load()); }
    // Runs on the sleeping thread after time moved; set before a run starts.
    std::function<void(Duration)> onSleep;

private:
    std::atomic<Duration::rep> m_ticks{0};
};

using ContinuousAcquisitionE2eTest = testing::MainDialogSimulatorTest;

// A minute of instrument time at the shortest period, passed in as fast as the line allows:
// channel 1 is pushed above its limit for twenty seconds by an offset on the instrument, and the
// first two readings arrive corrupted.
TEST_F(ContinuousAcquisitionE2eTest, AMinuteRecordsWhatTheInstrumentSentLogsItsFaultsAndAlarms) {
    using namespace std::chrono;
    constexpr int kChannel1 = 4;
    SteppingClock clock;
    const auto start = floor<seconds>(system_clock::now());
    const auto wall = [&clock, start] {
        return start + duration_cast<system_clock::duration>(clock.elapsed());
    };
    startSimulator({}, {}, wall);
    host->faults().add(*sim::FaultRule::Parse("checksum:0x0B:count=2"));
    const int startTenths = host->withModel([](sim::InstrumentModel& model) {
        return model.currentTemperatures()[kChannel1].tenths();
    });
    // The offset is on from the 20th to the 40th second.
    clock.onSleep = [this, step = 0](Clock::Duration elapsed) mutable {
        if (step < 2 && elapsed >= (step + 1) * 20s) {
            const int offset = step++ == 0 ? 127 : 0;
            host->withModel(
                [offset](sim::InstrumentModel& model) { model.setDigitalOffset(1, offset); });
        }
    };

    MainDialog run{opener, clock, person};
    int notifications = 0;
    run.trend().notify = [&notifications](const QString&, const QString&) { ++notifications; };
    run.trend().nowMs = [&wall] {
        return duration_cast<milliseconds>(wall().time_since_epoch()).count();
    };
    run.continuousAcquisition().wallTime = [&wall] { return system_clock::to_time_t(wall()); };
    // The sine the sensor drifts along moves it far less than 5 °C in a minute; the offset
    // moves it 12.7 °C.
    ChannelSettings channels;
    channels[kChannel1].name = "炉膛, 上";
    channels[kChannel1].limits.highTenths = startTenths + 50;
    run.trend().applySettings(channels);
    // Every second recorded to the data file, and the error log kept, at the shortest period.
    run.continuousAcquisition().recordOptionsAction().trigger();
    testing::DriverOf<MainDialog> ui(run);
    ui.control<QCheckBox>(D::kSaveLogCheck)->setChecked(true);
    ui.edit(D::kRecordPeriodEdit)->setText("0");
    ui.edit(D::kPeriodEdit)->setText("600");
    ui.click(D::kContinuousButton);
    const auto count = [&ui](int label) { return ui.control<QLabel>(label)->text().toInt(); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(D::kSuccessCountLabel) >= 100; }, 60'000));
    EXPECT_EQ(count(D::kFailureCountLabel), 2);
    run.done(QDialog::Rejected);
    ASSERT_TRUE(person.messages.empty()) << person.messages.front();

    // The readings that arrived intact, in order.
    std::vector<std::vector<TenthDegree>> intact;
    host->withModel([&intact](sim::InstrumentModel& model) {
        for (const sim::SentReading& reading : model.sentReadings()) {
            if (reading.faults.empty()) intact.push_back(reading.words);
        }
    });
    // Every intact reading was shown; the alarm counts those above the limit.
    const std::int64_t shown = run.trend().statistics().of(kChannel1).count;
    ASSERT_LE(static_cast<std::size_t>(shown), intact.size());
    const int above = static_cast<int>(std::count_if(
        intact.begin(), intact.begin() + shown,
        [&](const auto& words) { return words[kChannel1].tenths() > startTenths + 50; }));
    EXPECT_GT(above, 25);
    EXPECT_LT(above, 40);
    EXPECT_EQ(run.trend().alarms().count(kChannel1), above);
    EXPECT_EQ(notifications, 1);
    EXPECT_FALSE(run.trend().alarms().inAlarm(kChannel1));
    EXPECT_FALSE(run.control<QTableWidget>(MainDialog::kLowChannelList)
                     ->item(0, kCaptionColumn)
                     ->data(Qt::BackgroundRole)
                     .isValid());

    std::filesystem::path txtFile;
    for (const auto& name : directory.files()) {
        if (name != "QRNA_log.txt" && name.extension() == ".txt") txtFile = directory.path() / name;
    }
    const std::vector<std::string> txt = Split(FileText(txtFile), '\n');
    const std::vector<std::string> csv = Split(FileText(txtFile.replace_extension(".csv")), '\n');
    ASSERT_GE(txt.size(), 55u);  // a record per second of the minute
    ASSERT_EQ(csv.size(), txt.size() + 1);
    EXPECT_EQ(csv[0].rfind("\xEF\xBB\xBF时间,PT100通道1,", 0), 0u);
    EXPECT_NE(csv[0].find(",\"通道1 (炉膛, 上)\",通道2,"), std::string::npos);
    // With a record period of 0 a reading is recorded when its second differs from the last
    // record's; every line is one intact reading, the first one always, and
    // the CSV line under it holds the same local time with its date, and the same values.
    std::size_t next = 0;
    for (std::size_t i = 0; i < txt.size(); ++i) {
        const std::vector<std::string> fields = Split(txt[i], '\t');
        const std::vector<std::string> values(fields.begin() + 1, fields.end());
        const std::vector<std::string> csvFields = Split(csv[i + 1], ',');
        ASSERT_EQ(fields.front().size(), 8u) << txt[i];
        std::vector<std::string> expected;
        for (; next < intact.size() && expected != values; ++next) {
            expected.clear();
            for (const TenthDegree& word : intact[next])
                expected.push_back(word.text());
        }
        ASSERT_EQ(values, expected) << "line " << i << " matches no reading after the last";
        EXPECT_TRUE(i > 0 || next == 1) << "the first intact reading was not recorded";
        ASSERT_EQ(csvFields.size(), fields.size()) << csv[i + 1];
        std::tm local{};
        ASSERT_NE(strptime(csvFields[0].c_str(), "%Y-%m-%dT%H:%M:%S", &local), nullptr);
        local.tm_isdst = -1;
        const auto when = system_clock::from_time_t(std::mktime(&local));
        EXPECT_TRUE(when >= start && when <= start + 70s) << csvFields[0];
        EXPECT_EQ(csvFields[0].substr(11), fields[0]);
        EXPECT_EQ(std::vector(csvFields.begin() + 1, csvFields.end()), values) << csv[i + 1];
    }
    // Each corrupted reading is one entry of the error log.
    const std::string log = FileText(directory.path() / "QRNA_log.txt");
    const std::string checksum = Utf8ToGbk("校验错误，");
    int entries = 0;
    for (auto at = log.find(checksum); at != std::string::npos; at = log.find(checksum, at + 1))
        ++entries;
    EXPECT_EQ(entries, 2);
}

}  // namespace
}  // namespace tavolex
