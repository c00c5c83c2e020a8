// Channel captions, rows, names and limits, alarms and statistics, and the trend history.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "ChannelAlarms.h"
#include "ChannelSettings.h"
#include "ChannelStatistics.h"
#include "TemperatureFrames.h"
#include "TrendHistory.h"

namespace tavolex {
namespace {

TEST(Channels, NumberingFollowsTheReplyRowsAndLabelsAddTheNameAndLimitsAreInclusive) {
    for (const auto& [channel, caption] :
         {std::pair{0, "PT100通道1"}, {3, "PT100通道4"}, {4, "通道1"}, {67, "通道64"}})
        EXPECT_EQ(ChannelCaption(channel), caption);
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const ListRow at = RowOfChannel(channel);
        EXPECT_EQ(ChannelOfRow(at.list, at.row), channel);
    }
    EXPECT_EQ(ChannelOfRow(ChannelList::High, 0), 36);  // channel 33 is word 36
    ChannelSettings settings;
    settings[8].name = "炉膛";
    EXPECT_EQ(settings.label(8), "通道5 (炉膛)");
    EXPECT_EQ(settings.label(9), "通道6");

    const std::pair<const char*, std::optional<int>> accepted[] = {
        {"", {}},     {"  ", {}},   {"35", 350},        {" 35.5 ", 355},
        {"+1.2", 12}, {"-0.3", -3}, {"-3276.7", -32767}};
    for (const auto& [text, tenths] : accepted)
        EXPECT_EQ(ParseLimit(text), (ParsedLimit{true, tenths})) << text;
    for (const char* text : {"3276.8", "35.55", "35,5", "abc", "1e3", "12x"})
        EXPECT_EQ(ParseLimit(text), ParsedLimit{}) << text;
    EXPECT_EQ((std::vector{LimitText(355), LimitText(-3), LimitText(std::nullopt)}),
              (std::vector<std::string>{"35.5", "-0.3", ""}));
    // A reading on a limit is inside.
    const ChannelLimits both{-100, 300};
    for (const auto& [tenths, outside] :
         {std::pair{-100, false}, {300, false}, {-101, true}, {301, true}})
        EXPECT_EQ(IsOutside(tenths, both), outside) << tenths;
    EXPECT_FALSE(IsOutside(30000, ChannelLimits{-100, std::nullopt}));
    EXPECT_FALSE(IsOutside(-30000, ChannelLimits{}));
}

TEST(ChannelAlarms, OneNotificationPerRunHoweverOftenAChannelEntersAndStatisticsUntilReset) {
    const ChannelLimits limits{std::nullopt, 300};
    ChannelAlarms alarms;
    const struct {
        std::optional<int> tenths;
        AlarmChange change;
        bool notify;
        bool inAlarm;
    } steps[] = {
        {250, AlarmChange::None, false, false},
        {301, AlarmChange::Entered, true, true},          // enter
        {400, AlarmChange::None, false, true},            // stay
        {300, AlarmChange::Left, false, false},           // leave
        {310, AlarmChange::Entered, false, true},         // enter again: no second notification
        {std::nullopt, AlarmChange::Left, false, false},  // the reply no longer carries it
    };
    for (const auto& s : steps) {
        const AlarmStep step = alarms.take(5, s.tenths, limits);
        EXPECT_EQ(step.change, s.change) << s.tenths.value_or(-1);
        EXPECT_EQ(step.notify, s.notify) << s.tenths.value_or(-1);
        EXPECT_EQ(alarms.inAlarm(5), s.inAlarm);
    }
    EXPECT_EQ(alarms.count(5), 3);
    EXPECT_EQ(alarms.count(6), 0);
    // Another channel notifies on its own first entry.
    EXPECT_TRUE(alarms.take(6, 999, limits).notify);

    alarms.startRun();
    EXPECT_FALSE(alarms.inAlarm(5));
    EXPECT_EQ(alarms.count(5), 0);
    EXPECT_TRUE(alarms.take(5, 301, limits).notify);

    ChannelStatistics statistics;
    EXPECT_FALSE(statistics.of(2).meanCelsius());
    for (int tenths : {-50, 250, 100})
        statistics.add(2, tenths);
    const ChannelSummary& summary = statistics.of(2);
    EXPECT_EQ(std::tuple(summary.minTenths, summary.maxTenths, summary.count),
              std::tuple(-50, 250, 3));
    EXPECT_DOUBLE_EQ(*summary.meanCelsius(), 10.0);
    EXPECT_EQ(statistics.of(3).count, 0);
    // A first reading above zero is the minimum, not the zero the summary started with.
    statistics.add(3, 40);
    EXPECT_EQ(statistics.of(3).minTenths, 40);
    statistics.reset();
    EXPECT_EQ(statistics.of(2).count, 0);
}

using testing::TemperatureReplyOf;

// Channel 0 carries the value, channels 1-3 zero: the shortest reply there is.
TemperatureReply OneValue(int tenths) {
    return TemperatureReplyOf({tenths, 0, 0, 0});
}

TEST(TrendHistory, KeepsTheNewestSpansGapsAndEachBucketsExtremes) {
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
    // Across the ring's wrap the span is read in two parts: the later holds the maximum.
    const ChannelSummary wrapped = history.summary(0, 0, 9000);
    EXPECT_EQ(std::make_tuple(wrapped.minTenths, wrapped.maxTenths, wrapped.count),
              std::make_tuple(30, 50, 3));
    // A span after the last sample, or an empty history, has no points.
    EXPECT_TRUE(history.points(0, 5001, 10).empty());
    history.clear();
    EXPECT_EQ(history.size(), 0u);
    EXPECT_FALSE(history.lastTime());
    EXPECT_TRUE(history.points(0, 0, 10).empty());

    // A zoomed span: only its samples, ends included; the readout takes the nearest in time.
    history = TrendHistory();
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
    EXPECT_EQ((std::vector{history.nearest(2400), history.nearest(2600), history.nearest(-5),
                           history.nearest(99'000)}),
              (std::vector<std::optional<std::size_t>>{1, 2, 0, 6}));

    // A failure and a channel the reply lacks are gaps, never values.
    history = TrendHistory();
    history.addReading(0,
                       TemperatureReplyOf({-251, 1, 2, 3, 44}));  // PT100 1-4 and digital channel 1
    history.addFailure(600);
    history.addReading(1200, TemperatureReplyOf({7, 1, 2, 3}));
    EXPECT_EQ((std::vector{history.valueAt(0, 0), history.valueAt(4, 0), history.valueAt(5, 0)}),
              (std::vector<std::optional<int>>{-251, 44, std::nullopt}));
    for (int channel : {0, 4, 67})
        EXPECT_FALSE(history.valueAt(channel, 1));
    EXPECT_FALSE(history.valueAt(4, 2));
    // Undecimated, the gap stays in place and the values around it are untouched.
    EXPECT_EQ(history.points(0, 0, 100),
              (std::vector<TrendPoint>{{0, -251}, {600, std::nullopt}, {1200, 7}}));
    EXPECT_EQ(history.points(0, 601, 100), (std::vector<TrendPoint>{{1200, 7}}));

    // Decimation keeps every bucket's minimum and maximum, in time order.
    history = TrendHistory();
    // 1000 samples of a slow ramp with one spike up and one down, and a failed stretch.
    for (int i = 0; i < 1000; ++i) {
        if (i >= 600 && i < 700) {
            history.addFailure(i * 100);
            continue;
        }
        // Of two equal extremes, the first is drawn.
        const int value = i == 123 || i == 124 ? 5000 : (i == 456 ? -5000 : i);
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
    EXPECT_TRUE(std::find(points.begin(), points.end(), TrendPoint{12400, 5000}) == points.end());
    // A span that starts later decimates only what lies in it.
    const auto late = history.points(0, 70000, 10);
    EXPECT_EQ(late.front(), (TrendPoint{70000, 700}));
    EXPECT_EQ(late.back(), (TrendPoint{99900, 999}));
    // The statistics of a decimated span merge its buckets: extremes in early buckets stay.
    ChannelSummary all;
    history.points(0, 0, 99900, buckets, &all);
    EXPECT_EQ(std::make_tuple(all.minTenths, all.maxTenths, all.count),
              std::make_tuple(-5000, 5000, 900));
}

}  // namespace
}  // namespace tavolex
