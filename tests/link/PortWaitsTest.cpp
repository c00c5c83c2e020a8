// Waiting for reply bytes on a port: what each wait returns, how long it lasts, and how a link
// that can sleep on the port's descriptor (a window's) sleeps instead of slicing the wait.
#include "PortWaits.h"

#include <gtest/gtest.h>

#include <array>

#include "FakeLine.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using testing::Chunk;
using testing::FakeLine;
using testing::FakeLink;

constexpr int kDescriptor = 7;

struct WaitCase {
    const char* name;
    PortProfile profile;
    const std::vector<Chunk>& reply;  // none: silence
    std::uint32_t wanted;             // bytes waited for in 3000 ms; 0: a read into `readSize`
    std::size_t readSize;
    bool sleeping;
    Clock::Duration wakeEvery;  // a window event cutting each sleep short
    std::size_t got;
    Clock::Duration least, most;
    std::size_t sleeps;
    Clock::Duration lastSleep;
};

void PrintTo(const WaitCase& c, std::ostream* out) {
    *out << c.name;
}

class PortWaitsTest : public ::testing::Test {
protected:
    // A sleeping link sleeps on the fake port's descriptor as the fake port's wait for one byte.
    PortHandle open(PortProfile profile, bool sleeping = false) {
        if (sleeping) line.descriptor = kDescriptor;
        PortHandle port = link.opener.open({}, profile);
        port->write(Bytes{0x00});  // lets the scripted reply start
        if (sleeping) {
            link.context.idle = [this] { ++idles; };
            link.context.waitReadable = [this, raw = port.get()](int fd, Clock::Duration most) {
                EXPECT_EQ(fd, kDescriptor);
                sleeps.push_back(most);
                raw->waitForInput(0, wakeEvery.count() ? std::min(most, wakeEvery) : most);
            };
        }
        return port;
    }

    ManualClock clock;
    FakeLine line{clock};
    FakeLink link{line};
    std::vector<Clock::Duration> sleeps;
    int idles = 0;
    Clock::Duration wakeEvery{};
};

class PortWaitCases : public PortWaitsTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(PortWaitCases, ReturnWhatArrivedAtTheRightTime) {
    const WaitCase& c = GetParam();
    c.reply.empty() ? line.silence() : line.replyInChunks(c.reply);
    wakeEvery = c.wakeEvery;
    PortHandle port = open(c.profile, c.sleeping);
    Bytes into(c.readSize);
    EXPECT_EQ(c.wanted ? WaitForBytes(*port, c.wanted, 3000, link.context)
                       : ReadFromPort(*port, into, link.context),
              c.got);
    EXPECT_GE(clock.elapsed(), c.least);
    EXPECT_LE(clock.elapsed(), c.most);
    ASSERT_EQ(sleeps.size(), c.sleeps);
    EXPECT_EQ(c.sleeps ? sleeps.back() : c.lastSleep, c.lastSleep);
    // A sleep that no byte ends costs no idle slices.
    EXPECT_EQ(c.sleeping && c.reply.empty() ? idles : 0, 0);
}

const std::vector<Chunk> kSilence, kFive{{0ms, Bytes(5, 1)}}, kThree{{10ms, Bytes(3, 1)}},
    kTwelve{{30ms, Bytes(4, 1)}, {70ms, Bytes(8, 2)}},
    kFiveThenFiveLate{{0ms, Bytes(5, 1)}, {300ms, Bytes(5, 2)}};

// The sleeping link sleeps until the deadline 3001 ms ahead, or for what is left of it.
INSTANTIATE_TEST_SUITE_P(
    , PortWaitCases,
    ::testing::Values(
        WaitCase{"WantedBytesQueuedEndTheWaitWhichReportsAllQueued", PortProfile::Command, kTwelve,
                 10, 0, false, 0ms, 12, 70ms, 70ms, 0, 0ms},
        // Once bytes are queued the descriptor stays readable: sleeping on it again would spin.
        WaitCase{"ReplyBytesEndTheOneSleep", PortProfile::Command, kTwelve, 10, 0, true, 0ms, 12,
                 70ms, 70ms, 1, 3001ms},
        WaitCase{"TimeOutGivesWhatArrivedAndOnlyTheLow16BitsOfTheCount", PortProfile::Command,
                 kThree, 0x10005, 0, false, 0ms, 3, 3001ms, 3010ms, 0, 0ms},
        WaitCase{"SilenceCostsOneSleepEndingJustPastTheDeadline", PortProfile::Command, kSilence,
                 17, 0, true, 0ms, 0, 3001ms, 3001ms, 1, 3001ms},
        WaitCase{"AnEarlyWakeSleepsAgainForWhatIsLeft", PortProfile::Command, kSilence, 10, 0, true,
                 700ms, 0, 3001ms, 3001ms, 5, 201ms},
        WaitCase{"ReadStopsAtTheProfilesTotalTimeOut", PortProfile::Acquisition, kFive, 0, 10,
                 false, 0ms, 5, 350ms, 350ms, 0, 0ms},
        WaitCase{"AReadSleepsUntilItsTimeOut", PortProfile::Acquisition, kFive, 0, 10, true, 0ms, 5,
                 350ms, 350ms, 1, 350ms},
        WaitCase{"RecordsReadEndsAfter100MsBetweenBytes", PortProfile::Records, kFiveThenFiveLate,
                 0, 152, false, 0ms, 5, 100ms, 100ms, 0, 0ms}),
    [](const ::testing::TestParamInfo<WaitCase>& row) { return std::string(row.param.name); });

// A link with nothing to do meanwhile waits whole. Without a descriptor, or with a stop request,
// the wait is sliced and the idle hook runs throughout.
TEST(PortWaits, ALinkThatCannotSleepWaitsWholeOrInSlices) {
    for (const int mode : {0, 1, 2}) {  // nothing to do; an idle hook; and a stop request
        ManualClock own;
        FakeLine silent(own);
        FakeLink fake(silent);
        silent.silence();
        silent.descriptor = mode == 2 ? kDescriptor : -1;
        int slices = 0, advances = 0;
        if (mode > 0) fake.context.idle = [&] { ++slices; };
        fake.context.waitReadable = [&](int, Clock::Duration) { ADD_FAILURE() << mode; };
        bool stop = false;
        if (mode == 2) fake.context.stopRequested = [&] { return stop; };
        own.onAdvance = [&] { stop = (++advances, own.elapsed() >= 100ms); };
        PortHandle port = fake.opener.open({}, PortProfile::Command);
        port->write(Bytes{0x00});
        EXPECT_EQ(WaitForBytes(*port, 17, 3000, fake.context), 0u);
        EXPECT_EQ(own.elapsed(), mode == 2 ? 100ms : 3001ms) << mode;
        EXPECT_GE(slices, (std::array{0, 300, 10}[mode])) << mode;
        EXPECT_EQ(mode == 0 ? advances : 1, 1);
    }
}

}  // namespace
}  // namespace tavolex
