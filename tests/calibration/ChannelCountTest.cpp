// The channel count, the firmware version and the low-temperature calibration on a scripted
// line.
#include <gtest/gtest.h>

#include "ChannelCount.h"
#include "Commands.h"
#include "FakeLine.h"
#include "ProbeCalibration.h"
#include "RecordingOperator.h"
#include "StaticHost.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using testing::FakeLine;
using testing::FakeLink;
using testing::ManualClock;
using testing::RecordingOperator;
using testing::StaticHost;

class GenericCommandTest : public ::testing::Test {
protected:
    Bytes payloadSent() const {
        const Bytes& frame = line.written.back();
        return Bytes(frame.begin() + 7, frame.end() - 2);
    }
    // The three ways a transaction gives nothing: no port, silence, fewer than 9 bytes.
    void runFailures(const std::function<void()>& run) {
        line.refuseOpen = true;
        run();
        line.refuseOpen = false;
        line.silence();
        line.reply({0x14, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x01, 0x20});
        run();
        run();
        EXPECT_FALSE(line.held());
    }

    ManualClock clock;
    FakeLine line{clock};
    FakeLink link{line};
    StaticHost window;
    RecordingOperator person;
};

TEST_F(GenericCommandTest, SignalCountReportsTheCountTheInstrumentServes) {
    struct Case {
        std::int32_t entered;
        std::uint8_t sent;
        std::uint8_t reported;
        const char* message;
    };
    const Case cases[] = {{300, 0x2C, 44, "设置的信号数为44失败!"},
                          {0, 0, 0, "设置的信号数为0成功!"},
                          {200, 200, 200, "设置的信号数为200成功!"},
                          {-56, 200, 200, "设置的信号数为200失败!"},
                          {12, 12, 8, "设置的信号数为8失败!"}};
    for (const Case& c : cases) {
        person.messages.clear();
        line.reply(ReplyFrame(0, command::kSetSignalCount, Bytes{c.reported}));
        SetSignalCount(window, link.context, person, 7, c.entered);
        EXPECT_EQ(line.written.back()[4], command::kSetSignalCount);
        EXPECT_EQ(line.written.back()[3], 7);
        EXPECT_EQ(payloadSent(), Bytes{c.sent}) << c.entered;
        EXPECT_EQ(person.messages, std::vector<std::string>{c.message}) << c.entered;
    }
    // The reply is shorter than the 17 bytes waited for, so the wait runs out first.
    EXPECT_GE(clock.elapsed(), 5 * 3050ms);
}

TEST_F(GenericCommandTest, SignalCountFailures) {
    runFailures([&] { SetSignalCount(window, link.context, person, 0, 5); });
    EXPECT_EQ(person.messages,
              (std::vector<std::string>{"打开串口错误!", "读数据错误!", "读数据错误!"}));
}

TEST_F(GenericCommandTest, VersionIsShownInTenths) {
    for (const auto& [byte, text] : {std::pair<std::uint8_t, const char*>{32, "Ver3.2"},
                                     {0, "Ver0.0"},
                                     {255, "Ver25.5"},
                                     {100, "Ver10.0"}}) {
        line.reply(ReplyFrame(0, command::kReadPt100ParametersOrVersion, Bytes{byte}));
        EXPECT_EQ(ReadFirmwareVersion(window, link.context, person, 0), text);
        EXPECT_EQ(line.written.back(), RequestFrame(0, command::kReadPt100ParametersOrVersion));
    }
    EXPECT_TRUE(person.messages.empty());
}

TEST_F(GenericCommandTest, VersionFailuresShareOneMessage) {
    runFailures([&] { EXPECT_FALSE(ReadFirmwareVersion(window, link.context, person, 0)); });
    EXPECT_EQ(person.messages, std::vector<std::string>(3, "读数据失败!!!"));
}

TEST(ResistorCode, OnlyTheThreeReferenceResistorsHaveACode) {
    EXPECT_EQ(ResistorCode(23), 1);
    EXPECT_EQ(ResistorCode(100), 2);
    EXPECT_EQ(ResistorCode(143), 3);
    for (std::int32_t ohms : {0, 1, 2, 3, 22, 24, 99, 101, 142, 144, -23, 279})
        EXPECT_FALSE(ResistorCode(ohms)) << ohms;
}

TEST_F(GenericCommandTest, CalibrationCountsAnyReplyAsDone) {
    line.reply(ReplyFrame(0, command::kCalibrate, Bytes{0}), 9s);
    CalibrateLowTemperatureProbes(window, link.context, person, 0, 143);
    EXPECT_EQ(line.written.back()[4], command::kCalibrate);
    EXPECT_EQ(payloadSent(), Bytes{3});
    EXPECT_EQ(person.messages, std::vector<std::string>{"校机成功!!!"});
    // Ten bytes never make the eleven waited for.
    EXPECT_GE(clock.elapsed(), 10050ms);
}

TEST_F(GenericCommandTest, CalibrationFailuresAndAnUnknownResistor) {
    CalibrateLowTemperatureProbes(window, link.context, person, 0, 50);
    EXPECT_EQ(line.opens, 0);
    runFailures([&] { CalibrateLowTemperatureProbes(window, link.context, person, 0, 23); });
    EXPECT_EQ(payloadSent(), Bytes{1});
    EXPECT_EQ(person.messages, (std::vector<std::string>{"请先选择电阻!", "读数据失败!!!",
                                                         "读数据失败!!!", "读数据失败!!!"}));
}

}  // namespace
}  // namespace tavolex
