#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "TemperatureFrames.h"
#include "TrendHistory.h"

namespace tavolex {
namespace {

TemperatureReply Reply(const std::vector<int>& tenths) {
    const Bytes frame = testing::TemperatureFrame(tenths);
    TemperatureReply reply;
    std::copy(frame.begin(), frame.end(), reply.bytes.begin());
    return reply;
}

// Channel 0 carries the value, channels 1-3 zero: the shortest reply there is.
TemperatureReply OneValue(int tenths) {
    return Reply({tenths, 0, 0, 0});
}

TEST(TrendHistory, KeepsTheNewestSamplesUpToItsCapacityOldestFirst) {
    TrendHistory history(3);
    for (int i = 1; i <= 5; ++i)
        history.addReading(i * 1000, OneValue(i * 10));
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history.firstTime(), 3000);
    EXPECT_EQ(history.lastTime(), 5000);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(history.timeAt(i), static_cast<std::int64_t>(i + 3) * 1000);
        EXPECT_EQ(history.valueAt(0, i), static_cast<int>(i + 3) * 10);
    }
    // A span after the last sample, or an empty history, has no points.
    EXPECT_TRUE(history.points(0, 5001, 10).empty());
    history.clear();
    EXPECT_EQ(history.size(), 0u);
    EXPECT_FALSE(history.lastTime());
    EXPECT_TRUE(history.points(0, 0, 10).empty());
}

TEST(TrendHistory, AFailureAndAChannelTheReplyLacksAreGapsNeverValues) {
    TrendHistory history;
    history.addReading(0, Reply({-251, 1, 2, 3, 44}));  // PT100 1-4 and digital channel 1
    history.addFailure(600);
    history.addReading(1200, Reply({7, 1, 2, 3}));
    EXPECT_EQ(history.valueAt(0, 0), -251);
    EXPECT_EQ(history.valueAt(4, 0), 44);
    EXPECT_FALSE(history.valueAt(5, 0));
    for (int channel : {0, 4, 67})
        EXPECT_FALSE(history.valueAt(channel, 1));
    EXPECT_FALSE(history.valueAt(4, 2));
    // Undecimated, the gap stays in place and the values around it are untouched.
    EXPECT_EQ(history.points(0, 0, 100),
              (std::vector<TrendPoint>{{0, -251}, {600, std::nullopt}, {1200, 7}}));
    EXPECT_EQ(history.points(0, 601, 100), (std::vector<TrendPoint>{{1200, 7}}));
}

TEST(TrendHistory, DecimationKeepsEveryBucketsMinimumAndMaximumInTimeOrder) {
    TrendHistory history;
    // 1000 samples of a slow ramp with one spike up and one down, and a failed stretch.
    for (int i = 0; i < 1000; ++i) {
        if (i >= 600 && i < 700) {
            history.addFailure(i * 100);
            continue;
        }
        int value = i;
        if (i == 123) value = 5000;
        if (i == 456) value = -5000;
        history.addReading(i * 100, OneValue(value));
    }
    const std::size_t buckets = 10;
    const std::vector<TrendPoint> points = history.points(0, 0, buckets);
    EXPECT_LE(points.size(), 2 * buckets);
    EXPECT_TRUE(std::is_sorted(points.begin(), points.end(),
                               [](auto& a, auto& b) { return a.timeMs < b.timeMs; }));
    // The failed bucket breaks the line once; no bucket with values does.
    for (const TrendPoint& p :
         {TrendPoint{12300, 5000}, {45600, -5000}, {0, 0}, {99900, 999}, {60000, std::nullopt}})
        EXPECT_TRUE(std::find(points.begin(), points.end(), p) != points.end()) << p.timeMs;
    EXPECT_EQ(std::count_if(points.begin(), points.end(), [](auto& p) { return !p.tenths; }), 1);
    // A span that starts later decimates only what lies in it.
    const auto late = history.points(0, 70000, 10);
    EXPECT_EQ(late.front(), (TrendPoint{70000, 700}));
    EXPECT_EQ(late.back(), (TrendPoint{99900, 999}));
}

// A zoomed span: only its samples are drawn and summed, ends included; the readout takes the
// sample nearest in time.
TEST(TrendHistory, ASpanWithBothEndsLimitsPointsAndStatistics) {
    TrendHistory history;
    for (int i = 1; i <= 6; ++i)
        history.addReading(i * 1000, OneValue(i * 10));
    history.addFailure(7000);
    EXPECT_EQ(history.points(0, 2000, 4000, 10),
              (std::vector<TrendPoint>{{2000, 20}, {3000, 30}, {4000, 40}}));
    const ChannelSummary summary = history.summary(0, 2500, 7000);
    EXPECT_EQ(
        std::make_tuple(summary.minTenths, summary.maxTenths, summary.sumTenths, summary.count),
        std::make_tuple(30, 60, 180, 4));
    EXPECT_EQ(history.summary(0, 7001, 9000).count, 0);
    EXPECT_EQ(history.nearest(2400), 1u);
    EXPECT_EQ(history.nearest(2600), 2u);
    EXPECT_EQ(history.nearest(-5), 0u);
    EXPECT_EQ(history.nearest(99'000), 6u);
}

}  // namespace
}  // namespace tavolex
