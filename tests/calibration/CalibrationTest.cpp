// Channel count, firmware version, offsets and the low-temperature calibration on a scripted
// line: what is sent, what the operator is told, and that the port is closed on every way out.
#include <gtest/gtest.h>

#include "ChannelCount.h"
#include "Commands.h"
#include "FakeLine.h"
#include "Offsets.h"
#include "ProbeCalibration.h"
#include "RecordingOperator.h"
#include "StaticHost.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using Messages = std::vector<std::string>;

const Bytes kSetReply = ReplyFrame(0, command::kSetOffset, Bytes{0});

class CalibrationTest : public ::testing::Test {
protected:
    // The operator's messages since the last call.
    Messages told() { return std::exchange(person.messages, {}); }
    OperationContext fresh() { return {window, link.context, person}; }

    ManualClock clock;
    testing::FakeLine line{clock};
    testing::FakeLink link{line};
    testing::StaticHost window{LinkSettings{1, 9600, 300}};
    testing::RecordingOperator person;
};

TEST_F(CalibrationTest, SignalCountReportsTheCountTheInstrumentServes) {
    const std::tuple<std::int32_t, std::uint8_t, std::uint8_t, const char*> cases[] = {
        {300, 0x2C, 44, "设置的信号数为44失败!"},
        {0, 0, 0, "设置的信号数为0成功!"},
        {200, 200, 200, "设置的信号数为200成功!"},
        {-56, 200, 200, "设置的信号数为200失败!"}};
    window.settings.deviceAddress = 7;
    for (const auto& [entered, sent, reported, message] : cases) {
        line.reply(ReplyFrame(0, command::kSetSignalCount, Bytes{reported}));
        SetSignalCount(OneCall(fresh()), entered);
        EXPECT_EQ(told(), Messages{message});
        EXPECT_EQ(line.written.back(), RequestFrame(7, command::kSetSignalCount, Bytes{sent}));
    }
    EXPECT_GE(clock.elapsed(), 4 * 3050ms);  // 10 bytes never make the 17 waited for
}

TEST_F(CalibrationTest, VersionInTenths) {
    for (const auto& [byte, text] : {std::pair<std::uint8_t, const char*>{32, "Ver3.2"},
                                     {0, "Ver0.0"},
                                     {255, "Ver25.5"},
                                     {100, "Ver10.0"}}) {
        line.reply(ReplyFrame(0, command::kReadPt100ParametersOrVersion, Bytes{byte}));
        EXPECT_EQ(ReadFirmwareVersion(OneCall(fresh())).value, text);
        EXPECT_EQ(line.written.back(), RequestFrame(0x2C, command::kReadPt100ParametersOrVersion));
    }
}

TEST_F(CalibrationTest, CalibrationNamesTheResistorAndCountsAnyReplyAsDone) {
    for (const auto& [ohms, code] : {std::pair{23, 1}, {100, 2}, {143, 3}}) {
        line.reply(ReplyFrame(0, command::kCalibrate, Bytes{0}));  // 10 of the 11 bytes waited for
        CalibrateLowTemperatureProbes(OneCall(fresh()), ohms);
        EXPECT_EQ(told(), Messages{"校机成功!!!"});
        EXPECT_EQ(line.written.back(),
                  RequestFrame(0x2C, command::kCalibrate, Bytes{static_cast<std::uint8_t>(code)}));
    }
    EXPECT_GE(clock.elapsed(), 3 * 10050ms);
}

TEST_F(CalibrationTest, ReadAllShowsSignedTenthsInTheirRows) {
    std::array<std::uint8_t, 68> offsets{};
    offsets[0] = 0xFF, offsets[31] = 0x80, offsets[32] = 0x7F, offsets[63] = 0x05;
    offsets[64] = 0x9C, offsets[67] = 0x64;
    line.reply(ReplyFrame(0, command::kReadOffsets, offsets), 4900ms);
    const std::optional<OffsetColumnTexts> texts = ReadAllOffsets(OneCall(fresh()), false).value;
    ASSERT_TRUE(texts);
    EXPECT_EQ(line.written, std::vector<Bytes>{RequestFrame(0x2C, command::kReadOffsets)});
    EXPECT_EQ(
        (std::vector<std::string>{texts->low[0], texts->low[1], texts->low[31], texts->high[0],
                                  texts->high[31], texts->pt100[0], texts->pt100[3]}),
        (std::vector<std::string>{"-0.1", "0.0", "-12.8", "12.7", "0.5", "-10.0", "10.0"}));
    EXPECT_TRUE(person.messages.empty());
}

// Beyond the faults every operation shares: a length byte other than the one waited for, under
// a checksum that matches it, a data byte changed, and a reply after the wait.
TEST_F(CalibrationTest, ReadAllTakesOnlyItsOwnLengthInTime) {
    const Bytes good = ReplyFrame(0, command::kReadOffsets, std::array<std::uint8_t, 68>{});
    Bytes otherLength = good;
    otherLength[6] = 0x43;
    const std::uint16_t sum = FrameChecksum(otherLength, 75);
    otherLength[75] = static_cast<std::uint8_t>(sum >> 8);
    otherLength[76] = static_cast<std::uint8_t>(sum & 0xFF);
    line.reply(otherLength);
    EXPECT_FALSE(ReadAllOffsets(OneCall(fresh()), false));
    EXPECT_EQ(told(), Messages{"数据读取失败!"});
    Bytes flipped = good;
    flipped[40] ^= 1;
    line.reply(flipped);
    EXPECT_FALSE(ReadAllOffsets(OneCall(fresh()), false));
    EXPECT_EQ(told(), Messages{"校验错误!"});
    line.reply(good, 5100ms);
    EXPECT_FALSE(ReadAllOffsets(OneCall(fresh()), false));
    EXPECT_EQ(person.messages, Messages{"数据读取失败!"});
}

TEST_F(CalibrationTest, SetSendsTypeChannelAndTenthsAfterAPause) {
    Clock::Duration sentAt{};
    line.responder = [&](ByteView) {
        sentAt = clock.elapsed();
        return std::vector<testing::Chunk>{{1900ms, kSetReply}};
    };
    const std::tuple<ProbeType, int, const char*, Bytes> cases[] = {
        {ProbeType::Platinum, 3, "-1.25", {1, 3, 0xF4}},
        {ProbeType::Digital, 0, "10.0", {2, 0, 0x64}},
        {ProbeType::Digital, -1, "-10.0", {2, 0xFF, 0x9C}},
        {ProbeType::Digital, 63, "0.7", {2, 63, 7}}};
    for (const auto& [type, channel, value, payload] : cases) {
        EXPECT_TRUE(SetOffset(OneCall(fresh()), false, {type, channel, value}));
        EXPECT_EQ(line.written.back(), RequestFrame(0x2C, command::kSetOffset, payload)) << value;
    }
    EXPECT_GE(sentAt, 3 * (200ms + 1900ms) + 200ms);
    EXPECT_EQ(person.messages, Messages(4, "设置成功!"));
    EXPECT_FALSE(line.held());
}

TEST_F(CalibrationTest, ASetReplyAfterTheWaitIsAFailure) {
    line.reply(kSetReply, 2100ms);
    EXPECT_FALSE(SetOffset(OneCall(fresh()), false, {ProbeType::Digital, 4, "1"}));
    EXPECT_EQ(person.messages, Messages{"读取数据失败!"});
}

TEST(OffsetTenths, ExactTenthsTruncatedTowardZeroWithinTenDegrees) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"10.0", 100},      {"-10.0", -100}, {"10.000", 100},  {"10.01", {}},   {"-10.01", {}},
        {"10.0000001", {}}, {"999", {}},     {"0.7", 7},       {"0.9", 9},      {"2.3", 23},
        {"-1.25", -12},     {"0.05", 0},     {"", 0},          {"abc", 0},      {".", 0},
        {" \t3.5℃", 35},    {"+.5", 5},      {"1.2.3", 12},    {"1e1", 100},    {"1.01e1", {}},
        {"5e-1", 5},        {"2e", 20},      {"1e999999", {}}, {"7e-99999", 0}, {"0000009", 90}};
    for (const auto& [text, tenths] : cases)
        EXPECT_EQ(OffsetTenths(text), tenths) << text;
}

}  // namespace
}  // namespace tavolex
