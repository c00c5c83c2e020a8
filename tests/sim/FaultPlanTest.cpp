#include "FaultPlan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Commands.h"

namespace tavolex::sim {
namespace {

using namespace std::chrono_literals;

const Bytes kReply = ReplyFrame(1, command::kReadTemperatures, Bytes(136, 0x01));

FaultRule Rule(std::string_view text) {
    std::string error;
    const auto rule = FaultRule::Parse(text, &error);
    EXPECT_TRUE(rule) << text << ": " << error;
    return rule.value_or(FaultRule{});
}

FaultOutcome ApplyOnce(std::string_view rule) {
    FaultPlan plan;
    plan.add(Rule(rule));
    return plan.apply(command::kReadTemperatures, kReply);
}

TEST(FaultPlan, EachKindAltersTheReplyAsNamed) {
    EXPECT_FALSE(ApplyOnce("silence:any").reply);

    const Bytes checksum = *ApplyOnce("checksum:0x0B").reply;
    EXPECT_EQ(checksum.size(), kReply.size());
    EXPECT_FALSE(HasValidChecksum(checksum));

    EXPECT_EQ(*ApplyOnce("short:0x0B:bytes=5").reply, Bytes(kReply.begin(), kReply.begin() + 5));

    const Bytes surplus = *ApplyOnce("surplus:11:bytes=3").reply;
    EXPECT_EQ(surplus.size(), kReply.size() + 3);
    EXPECT_TRUE(std::equal(kReply.begin(), kReply.end(), surplus.begin()));

    Bytes expected = kReply;
    expected[5] = 0x00;
    expected[6] = 138;
    EXPECT_EQ(*ApplyOnce("length:0x0B:len=138").reply, expected);

    const FaultOutcome late = ApplyOnce("late:0x0B:ms=2500");
    EXPECT_EQ(late.reply, kReply);
    EXPECT_EQ(late.delay, 2500ms);
}

TEST(FaultPlan, ACountedRuleFiresOnItsCodeOnlyUntilUsedUp) {
    FaultPlan plan;
    plan.add(Rule("checksum:0x0B:count=3"));
    EXPECT_EQ(plan.apply(command::kReadClock, kReply).reply, kReply);
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(plan.apply(command::kReadTemperatures, kReply).reply, kReply);
    EXPECT_EQ(plan.apply(command::kReadTemperatures, kReply).reply, kReply);
    EXPECT_EQ(plan.activeRules(), 0u);
    EXPECT_EQ(plan.firedCount(FaultKind::WrongChecksum), 3u);
}

TEST(FaultPlan, ProbabilityIsHonouredRepeatableAndLimitedByCount) {
    const auto pattern = [](std::uint64_t seed, std::string_view rule) {
        FaultPlan plan(seed);
        plan.add(Rule(rule));
        std::vector<bool> silenced;
        for (int i = 0; i < 2000; ++i)
            silenced.push_back(!plan.apply(0x0B, kReply).reply);
        return silenced;
    };
    const auto half = pattern(7, "silence:any:p=0.5");
    const auto fired = std::count(half.begin(), half.end(), true);
    EXPECT_GT(fired, 900);
    EXPECT_LT(fired, 1100);
    EXPECT_EQ(pattern(7, "silence:any:p=0.5"), half);
    EXPECT_NE(pattern(8, "silence:any:p=0.5"), half);

    const auto limited = pattern(7, "silence:any:p=0.5:count=10");
    EXPECT_EQ(std::count(limited.begin(), limited.end(), true), 10);
}

TEST(FaultPlan, ParsesTheDocumentedSyntaxAndRejectsTheRest) {
    const FaultRule late = Rule("late:0x10:ms=2500:p=0.5");
    EXPECT_EQ(late.kind, FaultKind::LateReply);
    EXPECT_EQ(late.code, 0x10);
    EXPECT_EQ(late.delay, 2500ms);
    EXPECT_DOUBLE_EQ(late.probability, 0.5);
    EXPECT_EQ(Rule(late.text()).text(), late.text());
    EXPECT_FALSE(Rule("silence:any:count=2").code);

    for (std::string_view bad :
         {"", "silence", "loud:0x0B", "short:0x0B", "checksum:0x0B:ms=5", "silence:0x100",
          "silence:any:p=1.5", "silence:any:count=0", "length:0x0B:len=x", "late:any:ms"}) {
        std::string error;
        EXPECT_FALSE(FaultRule::Parse(bad, &error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

}  // namespace
}  // namespace tavolex::sim
