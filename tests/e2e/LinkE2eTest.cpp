// The link on the real termios port against the simulated instrument on a pseudo-terminal:
// pacing at the line rate, corrupted and surplus bytes, exclusive opens, waits and every
// command's reply length.
#include <chrono>

#include "Commands.h"
#include "PortWaits.h"
#include "ReadTemperatures.h"
#include "SimulatorFixture.h"
#include "StaticHost.h"
#include "Transact.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using testing::SimulatorTest;
using testing::StaticHost;
using Steady = std::chrono::steady_clock;

class LinkE2eTest : public SimulatorTest {};

TEST_F(LinkE2eTest, ReadingPacedAtTheRealLineRateStillCompletes) {
    sim::HostOptions paced;
    paced.pace = true;
    startSimulator({}, paced);
    PortHandle port = open();
    TemperatureReply reply;
    const Steady::time_point start = Steady::now();
    ASSERT_TRUE(ReadTemperatures(*port, 0, reply, link));
    // 9 + 136 bytes at 9600 baud take about 151 ms on the line.
    EXPECT_GE(Steady::now() - start, 140ms);
    EXPECT_EQ(reply.wordCount(), 68);
}

// A reply announcing more words than its frame holds fails the reading (a bad checksum is the
// reading's own test); the rest left on the real port is purged before the next reading.
TEST_F(LinkE2eTest, AReplyLongerThanAnnouncedFailsAndItsRestIsPurged) {
    startSimulator();
    PortHandle port = open(PortProfile::Acquisition);
    TemperatureReply reply;
    host->faults().add(*sim::FaultRule::Parse("length:0x0B:len=138:count=1"));
    EXPECT_FALSE(ReadTemperatures(*port, 0, reply, link));
    EXPECT_EQ(reply.wordCount(), 69);
    WaitForBytes(*port, 138, 1000, link);
    port->purge();
    EXPECT_TRUE(ReadTemperatures(*port, 0, reply, link));
}

// A second open fails while the first holder has the port; then the whole reply comes back
// from the addressed instrument (an address above 255 travels as its low byte).
TEST_F(LinkE2eTest, ASecondOpenFailsWhileTheFirstHolderHasThePort) {
    sim::ModelOptions model;
    model.address = 0x2C;
    startSimulator(model);
    settings.deviceAddress = 300;
    PortHandle first = open(PortProfile::Acquisition);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(open(), nullptr);
    StaticHost window(settings);
    const auto ask = [&] {
        return Transact(window, link, settings.addressByte(), Bytes{5}, command::kReadProbeSn);
    };
    EXPECT_EQ(ask().count, -1);
    first.reset();
    const TransactResult result = ask();
    ASSERT_EQ(result.count, 18);
    EXPECT_EQ(result.statusFor(16), ReplyStatus::Received);
    EXPECT_TRUE(HasValidChecksum(result.reply));
}

TEST_F(LinkE2eTest, WaitForBytesReturnsWhenTheReplyIsCompleteOrAtTheTimeOut) {
    sim::HostOptions delayed;
    delayed.replyDelay = 100ms;
    startSimulator({}, delayed);
    PortHandle port = open();
    port->write(RequestFrame(0, command::kReadClock));
    Steady::time_point start = Steady::now();
    EXPECT_EQ(WaitForBytes(*port, 16, 3000, link), 16u);
    EXPECT_GE(Steady::now() - start, 90ms);
    EXPECT_LT(Steady::now() - start, 1500ms);
    Bytes reply(16);
    EXPECT_EQ(ReadFromPort(*port, reply, link), 16u);

    host->faults().add(*sim::FaultRule::Parse("silence:any"));
    port->write(RequestFrame(0, command::kReadClock));
    start = Steady::now();
    EXPECT_EQ(WaitForBytes(*port, 16, 300, link), 0u);
    EXPECT_GE(Steady::now() - start, 300ms);
}

// Every command of the catalogue, with the reply length its reply layout gives.
TEST_F(LinkE2eTest, EveryCommandGetsAReplyOfItsLengthWithAValidChecksum) {
    const Bytes manual{1, 3, 0x28, 1, 2, 3, 4, 5, 6, 7};
    const Bytes may7th{0x20, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01};
    // Request 0x02 is waited for as 17 bytes: port and serial number fill bytes 7 to 15.
    const struct {
        std::uint8_t code;
        Bytes payload;
        std::size_t length;
    } cases[] = {{0x01, {64}, 10},   {0x02, {1, 3}, 18}, {0x03, {3}, 18},       {0x04, manual, 10},
                 {0x05, {}, 10},     {0x07, {}, 17},     {0x08, {0}, 16},       {0x08, {}, 10},
                 {0x09, {1, 0}, 11}, {0x09, {2}, 11},    {0x0A, {2, 0, 5}, 10}, {0x0B, {}, 145},
                 {0x0D, {}, 77},     {0x10, {}, 16},     {0x11, may7th, 10},    {0x12, {0}, 11},
                 {0x12, {1}, 152},   {0x13, {5}, 10},    {0x14, {}, 10},        {0x15, {}, 10},
                 {0x16, {}, 10}};
    startSimulator();
    host->withModel([](sim::InstrumentModel& m) { m.preloadRecords(3); });
    PortHandle port = open();
    for (const auto& c : cases) {
        port->write(RequestFrame(0, c.code, c.payload));
        const std::uint32_t queued = WaitForBytes(*port, c.length, 2000, link);
        EXPECT_EQ(queued, c.length) << "code " << int(c.code);
        // Nothing more follows the reply.
        EXPECT_EQ(WaitForBytes(*port, c.length + 1, 30, link), c.length) << int(c.code);
        Bytes reply(queued);
        ReadFromPort(*port, reply, link);
        EXPECT_TRUE(HasValidChecksum(reply)) << "code " << int(c.code);
        EXPECT_EQ(BigEndian16(reply, 5), c.length - 9) << "code " << int(c.code);
    }
    // Codes outside the catalogue and requests with a bad checksum get no reply.
    Bytes broken = RequestFrame(0, command::kReadClock);
    broken.back() ^= 0x01;
    port->write(broken);
    port->write(RequestFrame(0, 0x06));
    port->write(RequestFrame(0, 0x17));
    EXPECT_EQ(WaitForBytes(*port, 1, 100, link), 0u);
}

}  // namespace
}  // namespace tavolex
