// The PT100 service operations on a scripted line: the frames they send, the fields they take
// from the replies, and what the operator hears when a reply falls short.
#include <gtest/gtest.h>

#include "Commands.h"
#include "FakeLine.h"
#include "Pt100Operations.h"
#include "RecordingOperator.h"
#include "StaticHost.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using testing::Chunk;

class Pt100OperationsTest : public ::testing::Test {
protected:
    OperationContext fresh() { return {window, link.context, person}; }
    std::optional<Pt100Parameters> readParameters(std::uint8_t channel) {
        return ReadPt100Parameters(OneCall(fresh()), channel).value;
    }

    ManualClock clock;
    testing::FakeLine line{clock};
    testing::FakeLink link{line};
    testing::StaticHost window;
    testing::RecordingOperator person;
};

TEST_F(Pt100OperationsTest, FramesGoOutByteForByte) {
    for (int i = 0; i < 3; ++i)
        line.silence();
    readParameters(0);
    CalibratePt100(OneCall(fresh()), Pt100Calibration::ZeroPoint, 0);
    ReadPt100Temperatures(OneCall(fresh()));
    EXPECT_EQ(line.written, (std::vector<Bytes>{
                                {0x14, 0x3F, 0x00, 0x00, 0x08, 0x00, 0x01, 0x00, 0xFF, 0xB7},
                                {0x14, 0x3F, 0x00, 0x00, 0x09, 0x00, 0x02, 0x01, 0x00, 0xFF, 0xB4},
                                {0x14, 0x3F, 0x00, 0x00, 0x07, 0x00, 0x00, 0xFF, 0xB9}}));
}

TEST_F(Pt100OperationsTest, ParametersTakeEachFieldWithTheOffsetRule) {
    line.reply(ReplyFrame(0, command::kReadPt100ParametersOrVersion,
                          Bytes{200, 0x85, 0x00, 0x01, 0x2C, 0x0F, 0xA0}));
    const auto parameters = readParameters(3);
    ASSERT_TRUE(parameters);
    EXPECT_EQ(line.written.back()[7], 3);
    EXPECT_EQ(std::tuple(parameters->zeroPointAd, parameters->offsetTenths, parameters->resistor1Ad,
                         parameters->resistor2Ad),
              std::tuple(200, -5, 300, 4000));

    for (const auto& [byte, text] : {std::pair<std::uint8_t, const char*>{0x85, "-0.50"},
                                     {0x80, "12.80"},
                                     {3, "0.30"},
                                     {0xFF, "-12.70"},
                                     {0, "0.00"}})
        EXPECT_EQ(Pt100OffsetText(Pt100OffsetTenths(byte)), text) << int(byte);
}

TEST_F(Pt100OperationsTest, CalibrationStepsSendTheirKindAndTakeTheirValue) {
    line.reply(ReplyFrame(0, command::kCalibrate, Bytes{0x9C, 0x01}));
    EXPECT_EQ(CalibratePt100(OneCall(fresh()), Pt100Calibration::ZeroPoint, 1).value, 0x9C);
    line.reply(ReplyFrame(0, command::kCalibrate, Bytes{0x0B, 0xB8}));
    EXPECT_EQ(CalibratePt100(OneCall(fresh()), Pt100Calibration::Resistor2, 1).value, 3000);
    EXPECT_EQ(line.written.back(), RequestFrame(0, command::kCalibrate, Bytes{3, 1}));
    EXPECT_TRUE(person.messages.empty());
}

TEST_F(Pt100OperationsTest, TemperaturesAreTenthDegreeWords) {
    line.reply(ReplyFrame(0, command::kReadPt100Temperatures,
                          Bytes{0x80, 0x05, 0x00, 0xFA, 0x80, 0x00, 0x7F, 0xFF}));
    const auto temperatures = ReadPt100Temperatures(OneCall(fresh()));
    ASSERT_TRUE(temperatures);
    std::vector<std::string> texts;
    for (const TenthDegree& word : *temperatures)
        texts.push_back(word.text());
    EXPECT_EQ(texts, (std::vector<std::string>{"-0.5", "25.0", "-0.0", "3276.7"}));
}

// The wait table waits for 10 bytes of these replies, but their fields run to byte 13 and 14:
// the exchange waits on, within the same second, for the bytes the fields need.
TEST_F(Pt100OperationsTest, RepliesWhoseFieldsRunPastTheWaitTableAreWaitedForOrRefused) {
    const Bytes parameters =
        ReplyFrame(0, command::kReadPt100ParametersOrVersion, Bytes{1, 2, 0, 0, 4, 0, 5});
    line.replyInChunks({Chunk{20ms, Bytes(parameters.begin(), parameters.begin() + 10)},
                        Chunk{700ms, Bytes(parameters.begin() + 10, parameters.end())}});
    const auto late = readParameters(0);
    ASSERT_TRUE(late);
    EXPECT_EQ(late->resistor2Ad, 5);

    const Bytes temperatures = ReplyFrame(0, command::kReadPt100Temperatures, Bytes(8, 0x01));
    line.replyInChunks({Chunk{20ms, Bytes(temperatures.begin(), temperatures.begin() + 10)},
                        Chunk{1200ms, Bytes(temperatures.begin() + 10, temperatures.end())}});
    EXPECT_FALSE(ReadPt100Temperatures(OneCall(fresh())));
    EXPECT_EQ(person.messages, std::vector<std::string>{"读数据错误!"});
}

TEST(Pt100OffsetSpin, TypedOffsetsMoveTheSpinTruncatedAndClamped) {
    const struct {
        const char* text;
        int position;
    } cases[] = {{"9", 100},  {"abc", 50}, {"", 50},  {"-0.15", 48}, {"-1.25", 37},
                 {"0.3", 53}, {" +2", 70}, {"-9", 0}, {"1.27x", 62}, {"nan", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(SpinOfOffsetText(c.text), c.position) << c.text;
    EXPECT_EQ(OffsetTextOfSpin(100), "5.0");
    EXPECT_EQ(OffsetTextOfSpin(49), "-0.1");
    EXPECT_EQ(OffsetTextOfSpin(0), "-5.0");
}

}  // namespace
}  // namespace tavolex
