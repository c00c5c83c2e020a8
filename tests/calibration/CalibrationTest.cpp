// Channel count, version, offsets, low-temperature and PT100 calibration on a scripted line: what
// is sent, the fields taken from the replies and what the operator is told.
#include <gtest/gtest.h>

#include "ChannelCount.h"
#include "Commands.h"
#include "FakeLine.h"
#include "Offsets.h"
#include "ProbeCalibration.h"
#include "Pt100Operations.h"
#include "RecordingOperator.h"
#include "StaticHost.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using Messages = std::vector<std::string>;

using testing::Chunk;

class Pt100OperationsTest : public ::testing::Test {
protected:
    // The operator's messages since the last call.
    Messages told() { return std::exchange(person.messages, {}); }
    OperationContext fresh() { return {window, link.context, person}; }

    ManualClock clock;
    testing::FakeLine line{clock};
    testing::FakeLink link{line};
    testing::StaticHost window;
    testing::RecordingOperator person;
};

// Address 300 travels as its low byte, 0x2C.
struct CalibrationTest : Pt100OperationsTest {
    CalibrationTest() { window.settings.deviceAddress = 300; }
};

TEST_F(CalibrationTest, SignalCountReportsTheCountServedAndVersionIsInTenths) {
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

    window.settings.deviceAddress = 300;
    const std::pair<std::uint8_t, const char*> versions[] = {
        {32, "Ver3.2"}, {0, "Ver0.0"}, {255, "Ver25.5"}, {100, "Ver10.0"}};
    for (const auto& [byte, text] : versions) {
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

TEST_F(CalibrationTest, ReadAllShowsSignedTenthsInTheirRowsAndTakesOnlyItsOwnLength) {
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

    // Beyond the shared faults: another length byte, under a checksum that matches it.
    const Bytes good = ReplyFrame(0, command::kReadOffsets, std::array<std::uint8_t, 68>{});
    Bytes otherLength = good;
    otherLength[6] = 0x43;
    const std::uint16_t sum = FrameChecksum(otherLength, 75);
    otherLength[75] = static_cast<std::uint8_t>(sum >> 8);
    otherLength[76] = static_cast<std::uint8_t>(sum & 0xFF);
    line.reply(otherLength);
    EXPECT_FALSE(ReadAllOffsets(OneCall(fresh()), false));
    EXPECT_EQ(told(), Messages{"数据读取失败!"});
}

TEST_F(CalibrationTest, SetSendsTypeChannelAndTenthsAfterAPause) {
    Clock::Duration sentAt{};
    line.responder = [&](ByteView) {
        sentAt = clock.elapsed();
        return std::vector<Chunk>{{1900ms, ReplyFrame(0, command::kSetOffset, Bytes{0})}};
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

TEST(OffsetTenths, ExactTenthsTruncatedTowardZeroWithinTenDegrees) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"10.0", 100},      {"-10.0", -100}, {"10.000", 100},  {"10.01", {}},   {"-10.01", {}},
        {"10.0000001", {}}, {"999", {}},     {"0.7", 7},       {"0.9", 9},      {"2.3", 23},
        {"-1.25", -12},     {"0.05", 0},     {"", 0},          {"abc", 0},      {".", 0},
        {" \t3.5℃", 35},    {"+.5", 5},      {"1.2.3", 12},    {"1e1", 100},    {"1.01e1", {}},
        {"5e-1", 5},        {"2e", 20},      {"1e999999", {}}, {"7e-99999", 0}, {"0000009", 90},
        {"-", 0},           {" ", 0},        {"2e-", 20}};
    for (const auto& [text, tenths] : cases) {
        const std::string_view view(text);
        const std::vector<char> exact(view.begin(), view.end());  // nothing to read past its end
        EXPECT_EQ(OffsetTenths({exact.data(), exact.size()}), tenths) << text;
    }
}

TEST_F(Pt100OperationsTest, FramesRepliesAndTypedOffsets) {
    for (int i = 0; i < 3; ++i)
        line.silence();
    ReadPt100Parameters(OneCall(fresh()), 0);
    CalibratePt100(OneCall(fresh()), Pt100Calibration::ZeroPoint, 0);
    ReadPt100Temperatures(OneCall(fresh()));
    EXPECT_EQ(line.written, (std::vector<Bytes>{
                                {0x14, 0x3F, 0x00, 0x00, 0x08, 0x00, 0x01, 0x00, 0xFF, 0xB7},
                                {0x14, 0x3F, 0x00, 0x00, 0x09, 0x00, 0x02, 0x01, 0x00, 0xFF, 0xB4},
                                {0x14, 0x3F, 0x00, 0x00, 0x07, 0x00, 0x00, 0xFF, 0xB9}}));
    EXPECT_EQ(told(), Messages(3, "读数据错误!"));
    line.reply(ReplyFrame(0, command::kCalibrate, Bytes{0x9C, 0x01}));
    EXPECT_EQ(CalibratePt100(OneCall(fresh()), Pt100Calibration::ZeroPoint, 1).value, 0x9C);
    line.reply(ReplyFrame(0, command::kCalibrate, Bytes{0x0B, 0xB8}));
    EXPECT_EQ(CalibratePt100(OneCall(fresh()), Pt100Calibration::Resistor2, 1).value, 3000);
    EXPECT_EQ(line.written.back(), RequestFrame(0, command::kCalibrate, Bytes{3, 1}));

    line.reply(ReplyFrame(0, command::kReadPt100Temperatures,
                          Bytes{0x80, 0x05, 0x00, 0xFA, 0x80, 0x00, 0x7F, 0xFF}));
    const auto temperatures = ReadPt100Temperatures(OneCall(fresh()));
    ASSERT_TRUE(temperatures);
    std::vector<std::string> texts;
    for (const TenthDegree& word : *temperatures)
        texts.push_back(word.text());
    EXPECT_EQ(texts, (std::vector<std::string>{"-0.5", "25.0", "-0.0", "3276.7"}));
    EXPECT_TRUE(person.messages.empty());

    // Parameters take each field with the offset rule.
    line.reply(ReplyFrame(0, command::kReadPt100ParametersOrVersion,
                          Bytes{200, 0x85, 0x00, 0x01, 0x2C, 0x0F, 0xA0}));
    const auto parameters = ReadPt100Parameters(OneCall(fresh()), 3).value;
    ASSERT_TRUE(parameters);
    EXPECT_EQ(line.written.back()[7], 3);
    EXPECT_EQ(std::tuple(parameters->zeroPointAd, parameters->offsetTenths, parameters->resistor1Ad,
                         parameters->resistor2Ad),
              std::tuple(200, -5, 300, 4000));

    const std::pair<std::uint8_t, const char*> offsets[] = {
        {0x85, "-0.50"}, {0x80, "12.80"}, {3, "0.30"}, {0xFF, "-12.70"}, {0, "0.00"}};
    for (const auto& [byte, text] : offsets)
        EXPECT_EQ(Pt100OffsetText(Pt100OffsetTenths(byte)), text) << int(byte);

    // Fields past the 10 bytes the wait table waits for are waited for within the same second.
    const Bytes parametersReply =
        ReplyFrame(0, command::kReadPt100ParametersOrVersion, Bytes{1, 2, 0, 0, 4, 0, 5});
    line.replyInChunks({Chunk{20ms, Bytes(parametersReply.begin(), parametersReply.begin() + 10)},
                        Chunk{700ms, Bytes(parametersReply.begin() + 10, parametersReply.end())}});
    const auto late = ReadPt100Parameters(OneCall(fresh()), 0);
    ASSERT_TRUE(late);
    EXPECT_EQ(late->resistor2Ad, 5);

    const Bytes temperaturesReply = ReplyFrame(0, command::kReadPt100Temperatures, Bytes(8, 0x01));
    line.replyInChunks(
        {Chunk{20ms, Bytes(temperaturesReply.begin(), temperaturesReply.begin() + 10)},
         Chunk{1200ms, Bytes(temperaturesReply.begin() + 10, temperaturesReply.end())}});
    EXPECT_FALSE(ReadPt100Temperatures(OneCall(fresh())));
    EXPECT_EQ(person.messages, Messages{"读数据错误!"});

    // Typed offsets move the spin, truncated and clamped.
    const struct {
        const char* text;
        int position;
    } cases[] = {{"9", 100},  {"abc", 50}, {"", 50},  {"-0.15", 48}, {"-1.25", 37},
                 {"0.3", 53}, {" +2", 70}, {"-9", 0}, {"1.27x", 62}, {"nan", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(SpinOfOffsetText(c.text), c.position) << c.text;
    EXPECT_EQ((std::vector{OffsetTextOfSpin(100), OffsetTextOfSpin(49), OffsetTextOfSpin(0)}),
              (std::vector<std::string>{"5.0", "-0.1", "-5.0"}));
}

}  // namespace
}  // namespace tavolex
