#include <gtest/gtest.h>

#include "FakeLine.h"
#include "PortWaits.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using testing::Chunk;
using testing::FakeLine;
using testing::FakeLink;
using testing::ManualClock;

class PortWaitsTest : public ::testing::Test {
protected:
    PortHandle open(PortProfile profile) {
        PortHandle port = link.opener.open({}, profile);
        port->write(Bytes{0x00});  // lets the scripted reply start
        return port;
    }

    ManualClock clock;
    FakeLine line{clock};
    FakeLink link{line};
};

TEST_F(PortWaitsTest, WaitEndsWhenTheWantedBytesAreQueuedAndReportsAllQueued) {
    line.replyInChunks({Chunk{30ms, Bytes(4, 1)}, Chunk{70ms, Bytes(8, 2)}});
    PortHandle port = open(PortProfile::Command);
    EXPECT_EQ(WaitForBytes(*port, 10, 3000, link.context), 12u);
    EXPECT_EQ(clock.elapsed(), 70ms);
}

TEST_F(PortWaitsTest, WaitTimesOutWithWhatArrivedAndUsesOnlyTheLow16BitsOfTheCount) {
    line.reply(Bytes(3, 1), 10ms);
    PortHandle port = open(PortProfile::Command);
    EXPECT_EQ(WaitForBytes(*port, 0x10005, 3000, link.context), 3u);  // wants 5
    EXPECT_GT(clock.elapsed(), 3000ms);
    EXPECT_LE(clock.elapsed(), 3010ms);
}

TEST_F(PortWaitsTest, ReadStopsAtTheProfilesTotalTimeOut) {
    line.reply(Bytes(5, 1));
    PortHandle port = open(PortProfile::Acquisition);
    Bytes into(10);
    EXPECT_EQ(ReadFromPort(*port, into, link.context), 5u);
    EXPECT_EQ(clock.elapsed(), 5ms * 10 + 300ms);
}

TEST_F(PortWaitsTest, RecordsProfileEndsAReadAfter100MsBetweenBytes) {
    line.replyInChunks({Chunk{0ms, Bytes(5, 1)}, Chunk{300ms, Bytes(5, 2)}});
    PortHandle port = open(PortProfile::Records);
    Bytes into(152);
    EXPECT_EQ(ReadFromPort(*port, into, link.context), 5u);
    EXPECT_EQ(clock.elapsed(), 100ms);
}

TEST_F(PortWaitsTest, IdleHookRunsThroughoutALongWait) {
    int idles = 0;
    link.context.idle = [&] { ++idles; };
    line.silence();
    PortHandle port = open(PortProfile::Command);
    WaitForBytes(*port, 17, 3000, link.context);
    EXPECT_GE(idles, 3000 / 15);
}

}  // namespace
}  // namespace tavolex
