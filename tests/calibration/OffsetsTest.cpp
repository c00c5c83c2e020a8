// Reading and setting temperature offsets on a scripted line, and how a typed offset becomes
// tenths.
#include <gtest/gtest.h>

#include "Commands.h"
#include "FakeLine.h"
#include "Offsets.h"
#include "RecordingOperator.h"
#include "StaticHost.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using testing::Chunk;
using testing::FakeLine;
using testing::FakeLink;
using testing::ManualClock;
using testing::RecordingOperator;
using testing::StaticHost;

Bytes OffsetsReply(const std::array<std::uint8_t, 68>& offsets) {
    return ReplyFrame(0, command::kReadOffsets, offsets);
}

const Bytes kSetReply = ReplyFrame(0, command::kSetOffset, Bytes{0});

class OffsetsTest : public ::testing::Test {
protected:
    std::optional<OffsetColumnTexts> readAll(bool acquisitionOn = false) {
        return ReadAllOffsets(window, link.context, person, acquisitionOn);
    }
    bool set(std::string value, bool acquisitionOn = false,
             std::optional<ProbeType> type = ProbeType::Digital, int channel = 4) {
        return SetOffset(window, link.context, person, acquisitionOn,
                         {type, channel, std::move(value)});
    }

    ManualClock clock;
    FakeLine line{clock};
    FakeLink link{line};
    StaticHost window{LinkSettings{1, 9600, 300}};
    RecordingOperator person;
};

TEST_F(OffsetsTest, ReadAllShowsSignedTenthsInTheirRows) {
    std::array<std::uint8_t, 68> offsets{};
    offsets[0] = 0xFF;
    offsets[31] = 0x80;
    offsets[32] = 0x7F;
    offsets[63] = 0x05;
    offsets[64] = 0x9C;
    offsets[67] = 0x64;
    line.reply(OffsetsReply(offsets), 4900ms);
    const std::optional<OffsetColumnTexts> texts = readAll();
    ASSERT_TRUE(texts);
    EXPECT_EQ(line.written, std::vector<Bytes>{RequestFrame(0x2C, command::kReadOffsets)});
    EXPECT_EQ(texts->low[0], "-0.1");
    EXPECT_EQ(texts->low[1], "0.0");
    EXPECT_EQ(texts->low[31], "-12.8");
    EXPECT_EQ(texts->high[0], "12.7");
    EXPECT_EQ(texts->high[31], "0.5");
    EXPECT_EQ(texts->pt100[0], "-10.0");
    EXPECT_EQ(texts->pt100[3], "10.0");
    EXPECT_TRUE(person.messages.empty());
    EXPECT_FALSE(line.held());
}

TEST_F(OffsetsTest, ReadAllFailures) {
    const Bytes good = OffsetsReply({});
    Bytes badChecksum = good;
    badChecksum[40] ^= 1;
    Bytes otherLength = good;  // 0x43 with a checksum that matches it
    otherLength[6] = 0x43;
    otherLength.resize(75);
    otherLength.push_back(static_cast<std::uint8_t>(FrameChecksum(otherLength, 75) >> 8));
    otherLength.push_back(static_cast<std::uint8_t>(FrameChecksum(otherLength, 75) & 0xFF));
    Bytes surplus = good;
    surplus.push_back(0);

    struct Case {
        const char* name;
        std::function<void()> script;
        bool acquisitionOn;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"no port", [&] { line.refuseOpen = true; }, false, {"请先打开串口!"}},
        {"acquiring", [] {}, true, {"请先取消当前采集!"}},
        {"silent", [&] { line.silence(); }, false, {"数据读取失败!"}},
        {"late", [&] { line.reply(good, 5100ms); }, false, {"数据读取失败!"}},
        {"short",
         [&] { line.reply(Bytes(good.begin(), good.end() - 1)); },
         false,
         {"数据读取失败!"}},
        {"surplus", [&] { line.reply(surplus); }, false, {"数据读取失败!"}},
        {"checksum", [&] { line.reply(badChecksum); }, false, {"校验错误!"}},
        {"length", [&] { line.reply(otherLength); }, false, {}},
    };
    for (const Case& c : cases) {
        person.messages.clear();
        line.refuseOpen = false;
        const std::size_t sentBefore = line.written.size();
        c.script();
        EXPECT_FALSE(readAll(c.acquisitionOn)) << c.name;
        EXPECT_EQ(person.messages, c.messages) << c.name;
        EXPECT_FALSE(line.held()) << c.name;
        EXPECT_EQ(line.written.size() - sentBefore, c.acquisitionOn || line.refuseOpen ? 0u : 1u)
            << c.name;
    }
}

TEST_F(OffsetsTest, SetSendsTypeChannelAndTenthsAfterAPause) {
    Clock::Duration sentAt{};
    line.responder = [&](ByteView) {
        sentAt = clock.elapsed();
        return std::vector<Chunk>{{1900ms, kSetReply}};
    };
    EXPECT_TRUE(set("-1.25", false, ProbeType::Platinum, 3));
    EXPECT_EQ(line.written,
              std::vector<Bytes>{RequestFrame(0x2C, command::kSetOffset, Bytes{1, 3, 0xF4})});
    EXPECT_GE(sentAt, 200ms);
    EXPECT_EQ(person.messages, std::vector<std::string>{"设置成功!"});

    for (const auto& [text, byte] : {std::pair<const char*, std::uint8_t>{"10.0", 0x64},
                                     {"-10.0", 0x9C},
                                     {"0.7", 7},
                                     {"1.25", 12}}) {
        EXPECT_TRUE(set(text, false, ProbeType::Digital, -1));
        EXPECT_EQ(line.written.back(),
                  RequestFrame(0x2C, command::kSetOffset, Bytes{2, 0xFF, byte}))
            << text;
    }
    EXPECT_FALSE(line.held());
}

TEST_F(OffsetsTest, SetFailures) {
    Bytes badChecksum = kSetReply;
    badChecksum[7] ^= 1;
    Bytes surplus = kSetReply;
    surplus.push_back(0);
    struct Case {
        const char* name;
        std::function<void()> script;
        std::function<bool()> run;
        const char* message;
        bool sent;
    };
    const Case cases[] = {
        {"no port", [&] { line.refuseOpen = true; }, [&] { return set("1"); }, "请先打开串口!",
         false},
        {"acquiring", [] {}, [&] { return set("1", true); }, "请先取消当前采集!", false},
        {"no type", [] {}, [&] { return set("1", false, std::nullopt); }, "请先选择探头类别!",
         false},
        {"range", [] {}, [&] { return set("10.01"); }, "偏移值设置范围在+10.0～-10.0，请再次输入。",
         false},
        {"silent", [&] { line.silence(); }, [&] { return set("1"); }, "读取数据失败!", true},
        {"late", [&] { line.reply(kSetReply, 2100ms); }, [&] { return set("1"); }, "读取数据失败!",
         true},
        {"short", [&] { line.reply(Bytes(kSetReply.begin(), kSetReply.end() - 1)); },
         [&] { return set("1"); }, "读取数据失败!", true},
        {"surplus", [&] { line.reply(surplus); }, [&] { return set("1"); }, "读取数据失败!", true},
        {"checksum", [&] { line.reply(badChecksum); }, [&] { return set("1"); }, "检验码错误!",
         true},
    };
    for (const Case& c : cases) {
        person.messages.clear();
        line.refuseOpen = false;
        const std::size_t sentBefore = line.written.size();
        c.script();
        EXPECT_FALSE(c.run()) << c.name;
        EXPECT_EQ(person.messages, std::vector<std::string>{c.message}) << c.name;
        EXPECT_FALSE(line.held()) << c.name;
        EXPECT_EQ(line.written.size() - sentBefore, c.sent ? 1u : 0u) << c.name;
    }
}

TEST(OffsetTenths, ExactTenthsTruncatedTowardZeroWithinTenDegrees) {
    const std::pair<const char*, std::optional<int>> cases[] = {{"10.0", 100},
                                                                {"-10.0", -100},
                                                                {"10", 100},
                                                                {"10.000", 100},
                                                                {"10.01", {}},
                                                                {"-10.01", {}},
                                                                {"10.0000001", {}},
                                                                {"999", {}},
                                                                {"0.7", 7},
                                                                {"0.9", 9},
                                                                {"2.3", 23},
                                                                {"-1.25", -12},
                                                                {"1.25", 12},
                                                                {"0.05", 0},
                                                                {"-0.09", 0},
                                                                {"", 0},
                                                                {"abc", 0},
                                                                {"-", 0},
                                                                {".", 0},
                                                                {" \t3.5℃", 35},
                                                                {"+.5", 5},
                                                                {"1x2", 10},
                                                                {"1.2.3", 12},
                                                                {"1e1", 100},
                                                                {"1.01e1", {}},
                                                                {"5e-1", 5},
                                                                {"100e-1", 100},
                                                                {"2e", 20},
                                                                {"1e999999", {}},
                                                                {"7e-99999", 0},
                                                                {"00000000000009", 90}};
    for (const auto& [text, tenths] : cases)
        EXPECT_EQ(OffsetTenths(text), tenths) << text;
}

TEST(OffsetChannelItems, PlatinumFromZeroDigitalFromOne) {
    EXPECT_EQ(OffsetChannelItems(ProbeType::Platinum),
              (std::vector<std::string>{"0", "1", "2", "3"}));
    const std::vector<std::string> digital = OffsetChannelItems(ProbeType::Digital);
    ASSERT_EQ(digital.size(), 64u);
    EXPECT_EQ(digital.front(), "1");
    EXPECT_EQ(digital.back(), "64");
    EXPECT_EQ(ProbeTypeOfIndex(0), ProbeType::Platinum);
    EXPECT_EQ(ProbeTypeOfIndex(1), ProbeType::Digital);
    EXPECT_FALSE(ProbeTypeOfIndex(-1));
}

}  // namespace
}  // namespace tavolex
