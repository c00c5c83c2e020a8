// Channel captions and list rows, names and limits, alarms and statistics.
#include <gtest/gtest.h>

#include "ChannelAlarms.h"
#include "ChannelSettings.h"
#include "ChannelStatistics.h"

namespace tavolex {
namespace {

TEST(Channels, NumberingFollowsTheReplyAndTheListsRowsAndLabelsAddTheName) {
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
}

TEST(ChannelSettings, LimitsAreTemperaturesWithOneDecimalOrNothingAndInclusive) {
    const std::pair<const char*, std::optional<int>> accepted[] = {
        {"", {}},     {"  ", {}},   {"35", 350},        {" 35.5 ", 355},
        {"+1.2", 12}, {"-0.3", -3}, {"-3276.7", -32767}};
    for (const auto& [text, tenths] : accepted)
        EXPECT_EQ(ParseLimit(text), (ParsedLimit{true, tenths})) << text;
    for (const char* text : {"3276.8", "35.55", "35,5", "abc", "1e3", "12x"})
        EXPECT_EQ(ParseLimit(text), ParsedLimit{}) << text;
    EXPECT_EQ(LimitText(355), "35.5");
    EXPECT_EQ(LimitText(-3), "-0.3");
    EXPECT_EQ(LimitText(std::nullopt), "");
    // A reading on a limit is inside.
    const ChannelLimits both{-100, 300};
    for (const auto& [tenths, outside] :
         {std::pair{-100, false}, {300, false}, {-101, true}, {301, true}})
        EXPECT_EQ(IsOutside(tenths, both), outside) << tenths;
    EXPECT_FALSE(IsOutside(30000, ChannelLimits{-100, std::nullopt}));
    EXPECT_FALSE(IsOutside(-30000, ChannelLimits{}));
}

TEST(ChannelAlarms, OneNotificationPerRunHoweverOftenAChannelEnters) {
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
}

TEST(ChannelStatistics, MinMaxMeanAndCountUntilReset) {
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

}  // namespace
}  // namespace tavolex
