#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "AcquisitionRun.h"
#include "TemperatureFrames.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::RisingTemperatureFrame;

class AcquisitionLoopTest : public testing::AcquisitionRun {
protected:
    // Every request is answered at once with this frame.
    void always(Bytes frame) {
        line.responder = [frame](ByteView) { return std::vector<testing::Chunk>{{0ms, frame}}; };
    }
    // Records every reading (period 0) into the data file, for `readings` readings.
    void record(int readings) {
        shared.recordEnabled = true;
        shared.recordPeriodSeconds = 0;
        window.stopAfter = static_cast<std::size_t>(readings);
    }
    std::vector<std::string> lines(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::vector<std::string> found;
        for (std::string text; std::getline(in, text);)
            found.push_back(text);
        return found;
    }
    std::vector<std::string> dataLines() { return lines(shared.dataFileName); }
};

// Surplus bytes after a good reply are purged: they would be read as the next reply's header.
TEST_F(AcquisitionLoopTest, CountsSuccessesAndFailuresSeparatelyAndLogsFailures) {
    Bytes surplus = RisingTemperatureFrame(4, 100), bad = RisingTemperatureFrame(4, 300);
    surplus.insert(surplus.end(), {0x00, 0x00, 0x00});
    bad.back() ^= 1;
    for (const Bytes& reply :
         {surplus, RisingTemperatureFrame(4, 200), bad, RisingTemperatureFrame(4, 400)})
        line.reply(reply);
    window.stopAfter = 4;
    run();
    ASSERT_EQ(window.results.size(), 4u);
    EXPECT_EQ(std::tuple(window.results[1].count, window.results[1].firstWord), std::tuple(2, 200));
    EXPECT_EQ(std::tuple(window.results[2].success, window.results[2].count), std::tuple(false, 1));
    EXPECT_EQ(std::tuple(window.results[3].count, window.results[3].firstWord), std::tuple(3, 400));
    EXPECT_EQ(line.lastProfile, PortProfile::Acquisition);
    EXPECT_EQ(line.purges, 2);
    EXPECT_TRUE(fs::exists(environment.errorLog.path));
    EXPECT_FALSE(line.held());
    EXPECT_FALSE(shared.runFlag);
}

TEST_F(AcquisitionLoopTest, ResultsComeOnePeriodApartAndPeriodZeroRecordsEachNewSecond) {
    always(RisingTemperatureFrame(4, 5));
    record(10);  // readings at 0, 0.6, 1.2 ... 5.4 s: seconds 0 to 5
    window.settings.periodMs = 600;
    run();
    EXPECT_EQ(clock.elapsed(), 6000ms);
    EXPECT_EQ(dataLines().size(), 6u);
}

TEST_F(AcquisitionLoopTest, RecordsTheFirstSuccessThenAtMostOncePerPeriod) {
    always(RisingTemperatureFrame(10, 5));
    record(100);
    shared.recordPeriodSeconds = 30;
    run();
    const auto recorded = dataLines();
    ASSERT_EQ(recorded.size(), 4u);             // at 0, 31, 62 and 93 seconds
    EXPECT_EQ(recorded[1].substr(6, 2), "51");  // second 20 + 31: more than the period later
    EXPECT_EQ(recorded[1].substr(8), "\t0.5\t0.6\t0.7\t0.8\t0.9\t1.0\t1.1\t1.2\t1.3\t1.4\r");
}

// The sibling takes the same records with their dates, so a run past midnight stays in order.
TEST_F(AcquisitionLoopTest, TheCsvSiblingTakesEveryRecordOfTheDataFileWithItsDate) {
    always(RisingTemperatureFrame(6, 5));
    constexpr std::time_t kBeforeMidnightUtc = 1'700'006'397;  // 2023-11-14 23:59:57 UTC
    environment.wallTime = [this] {
        return kBeforeMidnightUtc +
               std::chrono::duration_cast<std::chrono::seconds>(clock.elapsed()).count();
    };
    environment.localTime = [](std::time_t t) {
        std::tm utc{};
        gmtime_r(&t, &utc);
        return utc;
    };
    shared.csvFileName = dir.path() / "data.csv";
    shared.csvHeading = "heading\r\n";
    record(5);
    run();
    const auto txt = dataLines(), csv = lines(shared.csvFileName);
    ASSERT_EQ(txt.size(), 5u);
    ASSERT_EQ(csv.size(), 6u);
    EXPECT_EQ(csv[0], "\xEF\xBB\xBFheading\r");
    const std::string values = ",0.5,0.6,0.7,0.8,0.9,1.0" + std::string(62, ',') + "\r";
    EXPECT_EQ(txt[0], "23:59:57\t0.5\t0.6\t0.7\t0.8\t0.9\t1.0\r");
    EXPECT_EQ(csv[1], "2023-11-14T23:59:57" + values);
    EXPECT_EQ(txt[4].substr(0, 8), "00:00:01");
    EXPECT_EQ(csv[5], "2023-11-15T00:00:01" + values);
}

TEST_F(AcquisitionLoopTest, FailedReadingsWriteNoDataFile) {
    line.responder = [](ByteView) { return std::vector<testing::Chunk>{}; };
    record(2);
    run();
    EXPECT_EQ(window.results.size(), 2u);
    EXPECT_FALSE(fs::exists(shared.dataFileName));
}

TEST_F(AcquisitionLoopTest, APortThatDoesNotOpenIsReportedOnceUnlessStoppedBeforeOpening) {
    line.refuseOpen = true;
    run();
    EXPECT_EQ(window.openFailures, 1);
    EXPECT_TRUE(window.results.empty());

    window.stopWhileFetching = true;
    run();
    EXPECT_EQ(window.openFailures, 1);
    line.refuseOpen = false;
    shared.runFlag = true;
    run();
    EXPECT_EQ(line.opens, 0);
}

TEST_F(AcquisitionLoopTest, AStopEndsALongPauseOrWaitAtOnceWithoutCountingOrLogging) {
    Clock::Duration stopAt = 200ms;
    clock.onAdvance = [&] {
        if (clock.elapsed() >= stopAt) shared.runFlag = false;
    };
    window.settings.periodMs = 60'000;
    line.reply(RisingTemperatureFrame(4, 5));
    run();
    EXPECT_TRUE(window.results.empty());
    EXPECT_LT(clock.elapsed(), 250ms);

    // Stopped inside the wait for a silent instrument: no failure, no log entry.
    stopAt = clock.elapsed() + 200ms;
    shared.runFlag = true;
    line.silence();
    run();
    EXPECT_TRUE(window.results.empty());
    EXPECT_LT(clock.elapsed(), 500ms);
    EXPECT_FALSE(fs::exists(environment.errorLog.path));
    EXPECT_FALSE(line.held());
}

TEST_F(AcquisitionLoopTest, AReadingThatArrivedAsTheStopCameIsStillRecorded) {
    clock.onAdvance = [&] {
        if (clock.elapsed() >= 100ms) shared.runFlag = false;
    };
    line.reply(RisingTemperatureFrame(4, 5), 100ms);
    shared.recordEnabled = true;
    run();
    EXPECT_TRUE(window.results.empty());
    const auto recorded = dataLines();
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].substr(8), "\t0.5\t0.6\t0.7\t0.8\r");
}

}  // namespace
}  // namespace tavolex
