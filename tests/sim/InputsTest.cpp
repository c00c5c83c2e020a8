// What the simulator is given: fault rules, its command line, and the bytes of requests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ranges>

#include "CommandLine.h"
#include "Commands.h"
#include "FaultPlan.h"
#include "RequestParser.h"

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

TEST(FaultPlan, EachKindAltersTheReplyAsNamedAndBadRulesAreRefused) {
    EXPECT_FALSE(ApplyOnce("silence:any").reply);

    const Bytes checksum = *ApplyOnce("checksum:0x0B").reply;
    EXPECT_TRUE(checksum.size() == kReply.size() && !HasValidChecksum(checksum));

    EXPECT_EQ(*ApplyOnce("short:0x0B:bytes=5").reply, Bytes(kReply.begin(), kReply.begin() + 5));

    const Bytes surplus = *ApplyOnce("surplus:11:bytes=3").reply;
    EXPECT_EQ(Bytes(surplus.begin(), surplus.end() - 3), kReply);

    Bytes expected = kReply;
    expected[5] = 0x00, expected[6] = 138;
    EXPECT_EQ(*ApplyOnce("length:0x0B:len=138").reply, expected);

    const FaultOutcome late = ApplyOnce("late:0x0B:ms=2500");
    EXPECT_EQ(std::tuple(late.reply, late.delay), std::tuple(kReply, 2500ms));
}

TEST(FaultPlan, ProbabilityIsHonouredRepeatableAndACountLimitsARule) {
    const auto pattern = [](std::uint64_t seed, std::string_view rule) {
        FaultPlan plan(seed);
        plan.add(Rule(rule));
        std::vector<bool> silenced;
        for (int i = 0; i < 2000; ++i)
            silenced.push_back(!plan.apply(0x0B, kReply).reply);
        return silenced;
    };
    const auto half = pattern(7, "silence:any:p=0.5");
    EXPECT_NEAR(std::count(half.begin(), half.end(), true), 1000, 99);
    EXPECT_EQ(pattern(7, "silence:any:p=0.5"), half);
    EXPECT_NE(pattern(8, "silence:any:p=0.5"), half);

    EXPECT_EQ(std::ranges::count(pattern(7, "silence:any:p=0.5:count=10"), true), 10);
    // A counted rule fires on its code only, until used up.
    FaultPlan plan;
    plan.add(Rule("checksum:0x0B:count=3"));
    EXPECT_EQ(plan.apply(command::kReadClock, kReply).reply, kReply);
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(plan.apply(command::kReadTemperatures, kReply).reply, kReply);
    EXPECT_EQ(plan.apply(command::kReadTemperatures, kReply).reply, kReply);
    EXPECT_EQ(plan.activeRules(), 0u);
    EXPECT_EQ(plan.firedCount(FaultKind::WrongChecksum), 3u);

    const FaultRule late = Rule("late:0x10:ms=2500:p=0.5");
    EXPECT_EQ(std::tuple(late.kind, late.code.value_or(0), late.delay, late.probability),
              std::tuple(FaultKind::LateReply, 0x10, 2500ms, 0.5));
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

CommandLineResult Parse(std::string_view line) {
    std::vector<std::string_view> args;
    for (const auto word : std::views::split(line, ' '))
        args.emplace_back(word.begin(), word.end());
    return ParseCommandLine(args);
}

TEST(CommandLine, ReadsEveryOptionAndRefusesBadOnes) {
    const auto parsed = Parse(
        "--com 3 --address=0x2C --delay 40 --pace --fault short:0x0B:bytes=5 "
        "--fault silence:any:p=0.1 --signals 10 --records 5 --interval 15 --seed 9 --probes 10,15");
    ASSERT_TRUE(parsed.options) << parsed.error;
    const SimOptions& o = *parsed.options;
    EXPECT_EQ(std::tuple(o.com, o.model.address, o.host.replyDelay, o.host.pace, o.faults.size(),
                         o.model.probesOnPortB),
              std::tuple(3, 0x2C, 40ms, true, 2u, 15));

    for (std::string_view bad : {"--com 0", "--signals 65", "--interval 61", "--fault short:0x0B",
                                 "--com", "--frobnicate", "com1", "--probes 10"}) {
        const auto refused = Parse(bad);
        EXPECT_FALSE(refused.options) << bad;
        EXPECT_FALSE(refused.error.empty()) << bad;
    }
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Bytes kReadClock = RequestFrame(1, command::kReadClock);
const Bytes kSetInterval = RequestFrame(7, command::kSetRecordingInterval, Bytes{5});

// Noise: a lone 14, an impossible length, a wrong checksum, a frame cut short by a newer one.
TEST(RequestParser, FindsWholeFramesAmongNoiseHoweverTheBytesAreSplit) {
    Bytes broken = kReadClock;
    broken.back() ^= 0x01;
    const Bytes noise = Concat({Bytes{0x00, 0x14, 0x55, 0x14, 0x3F, 0x00, 0x01, 0x0B, 0x00, 0xFF},
                                broken, Bytes{0x14, 0x3F, 0x00, 0x01, 0x0B}});
    const Bytes stream = Concat({noise, kReadClock, kSetInterval});
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        RequestParser parser;
        auto requests = parser.feed(ByteView(stream).first(cut));
        EXPECT_EQ(requests.size(), std::size_t{cut >= noise.size() + kReadClock.size()} +
                                       std::size_t{cut == stream.size()})
            << "cut at " << cut;
        const auto rest = parser.feed(ByteView(stream).subspan(cut));
        requests.insert(requests.end(), rest.begin(), rest.end());
        ASSERT_EQ(requests.size(), 2u) << "cut at " << cut;
        EXPECT_EQ(requests[0].code, command::kReadClock);
        EXPECT_EQ(std::tuple(requests[1].address, requests[1].code, requests[1].payload),
                  std::tuple(7, command::kSetRecordingInterval, Bytes{5}));
        EXPECT_EQ(parser.pendingBytes(), 0u);
        EXPECT_GT(parser.discardedBytes(), 0u);
    }
}

}  // namespace
}  // namespace tavolex::sim
