#include <gtest/gtest.h>

#include "Commands.h"
#include "FakeLine.h"
#include "PortWaits.h"
#include "StaticHost.h"
#include "Transact.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using testing::Chunk;
using testing::FakeLine;
using testing::FakeLink;
using testing::StaticHost;

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

// A window's link: it sleeps on the port's descriptor in its own loop, here as the fake port's
// wait for one byte, cut at `wakeEvery` when set (a window event ends the sleep early).
class SleepingWaitsTest : public PortWaitsTest {
protected:
    struct Sleep {
        int descriptor;
        Clock::Duration maxWait;
    };

    PortHandle openSleeping(PortProfile profile) {
        line.descriptor = kDescriptor;
        PortHandle port = open(profile);
        link.context.idle = [this] { ++idles; };
        link.context.waitReadable = [this, raw = port.get()](int descriptor, Clock::Duration most) {
            sleeps.push_back({descriptor, most});
            raw->waitForInput(
                0, wakeEvery.count() ? std::min<Clock::Duration>(most, wakeEvery) : most);
        };
        return port;
    }

    static constexpr int kDescriptor = 7;
    std::vector<Sleep> sleeps;
    int idles = 0;
    Clock::Duration wakeEvery{};
};

TEST_F(SleepingWaitsTest, ASilentInstrumentCostsOneSleepEndingJustPastTheDeadline) {
    line.silence();
    PortHandle port = openSleeping(PortProfile::Command);
    EXPECT_EQ(WaitForBytes(*port, 17, 3000, link.context), 0u);
    EXPECT_EQ(clock.elapsed(), 3001ms);
    ASSERT_EQ(sleeps.size(), 1u);
    EXPECT_EQ(sleeps[0].descriptor, kDescriptor);
    EXPECT_EQ(sleeps[0].maxWait, 3001ms);
    EXPECT_EQ(idles, 0);
}

TEST_F(SleepingWaitsTest, AnEarlyWakeSleepsAgainForWhatIsLeftAndKeepsTheDeadline) {
    wakeEvery = 700ms;
    line.silence();
    PortHandle port = openSleeping(PortProfile::Command);
    EXPECT_EQ(WaitForBytes(*port, 10, 1000, link.context), 0u);
    EXPECT_EQ(clock.elapsed(), 1001ms);
    ASSERT_EQ(sleeps.size(), 2u);
    EXPECT_EQ(sleeps[1].maxWait, 301ms);
}

TEST_F(SleepingWaitsTest, ReplyBytesEndTheSleepAndTheRestArriveThroughThePort) {
    line.replyInChunks({Chunk{30ms, Bytes(4, 1)}, Chunk{70ms, Bytes(8, 2)}});
    PortHandle port = openSleeping(PortProfile::Command);
    EXPECT_EQ(WaitForBytes(*port, 10, 3000, link.context), 12u);
    EXPECT_EQ(clock.elapsed(), 70ms);
    // Once bytes are queued the descriptor stays readable: sleeping on it would spin.
    EXPECT_EQ(sleeps.size(), 1u);
}

TEST_F(SleepingWaitsTest, AReadSleepsUntilItsTimeOut) {
    line.reply(Bytes(5, 1));
    PortHandle port = openSleeping(PortProfile::Acquisition);
    Bytes into(10);
    EXPECT_EQ(ReadFromPort(*port, into, link.context), 5u);
    EXPECT_EQ(clock.elapsed(), 5ms * 10 + 300ms);
    ASSERT_EQ(sleeps.size(), 1u);
    EXPECT_EQ(sleeps[0].maxWait, 350ms);
}

TEST_F(SleepingWaitsTest, WithoutADescriptorOrWithAStopRequestTheWaitIsSliced) {
    for (const bool stopper : {false, true}) {
        ManualClock own;
        FakeLine silent(own);
        FakeLink fake(silent);
        silent.silence();
        silent.descriptor = stopper ? kDescriptor : -1;
        int slices = 0;
        fake.context.idle = [&] { ++slices; };
        fake.context.waitReadable = [&](int, Clock::Duration) { ADD_FAILURE() << stopper; };
        bool stop = false;
        if (stopper) fake.context.stopRequested = [&] { return stop; };
        own.onAdvance = [&] { stop = own.elapsed() >= 100ms; };
        PortHandle port = fake.opener.open({}, PortProfile::Command);
        port->write(Bytes{0x00});
        EXPECT_EQ(WaitForBytes(*port, 17, 3000, fake.context), 0u);
        EXPECT_EQ(own.elapsed(), stopper ? 100ms : 3001ms) << stopper;
        EXPECT_GE(slices, stopper ? 10 : 300) << stopper;
    }
}

TEST_F(PortWaitsTest, ALinkWithNothingToDoMeanwhileWaitsWhole) {
    int advances = 0;
    clock.onAdvance = [&] { ++advances; };
    line.silence();
    PortHandle port = open(PortProfile::Command);
    EXPECT_EQ(WaitForBytes(*port, 17, 3000, link.context), 0u);
    EXPECT_EQ(clock.elapsed(), 3001ms);
    EXPECT_EQ(advances, 1);
}

class TransactTest : public PortWaitsTest {
protected:
    TransactResult transact(std::uint8_t code, Bytes payload = {}) {
        const Clock::TimePoint start = clock.now();
        TransactResult result = Transact(host, link.context, 0x01, payload, code);
        took = clock.now() - start;
        return result;
    }

    StaticHost host{{3, 19200, 300}};
    Clock::Duration took{};
};

TEST_F(TransactTest, PortNotOpenedSendsNothingAndTracesNothing) {
    TraceLines trace;
    host.trace = &trace;
    line.refuseOpen = true;
    const TransactResult result = transact(command::kSetSignalCount, {5});
    EXPECT_EQ(result.count, -1);
    EXPECT_EQ(result.statusFor(8), ReplyStatus::PortNotOpened);
    EXPECT_TRUE(line.written.empty());
    EXPECT_TRUE(trace.lines().empty());
    // A field the window refused stops it before the port: the caller adds no message.
    line.refuseOpen = false;
    host.refuses = true;
    EXPECT_EQ(transact(command::kSetSignalCount, {5}).statusFor(8), ReplyStatus::Refused);
    EXPECT_EQ(line.opens, 0);
    EXPECT_TRUE(line.written.empty());
}

TEST_F(TransactTest, OpensWithTheWindowsFreshSettingsAndCommandProfile) {
    line.reply(ReplyFrame(1, command::kSetSignalCount, Bytes{5}));
    transact(command::kSetSignalCount, {5});
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_EQ(line.lastSettings.portNumber, 3);
    EXPECT_EQ(line.lastSettings.baudRate, 19200);
    EXPECT_EQ(line.lastProfile, PortProfile::Command);
    EXPECT_EQ(line.written.at(0), RequestFrame(0x01, command::kSetSignalCount, Bytes{5}));
    EXPECT_FALSE(line.held());
}

TEST_F(TransactTest, SilenceCostsThePauseAndTheTableTimeOut) {
    struct Case {
        std::uint8_t code;
        Clock::Duration expected;
    };
    for (const Case& c :
         {Case{command::kSetSignalCount, 3050ms}, Case{command::kReadPt100Temperatures, 1050ms},
          Case{command::kRegisterFullyAutomatic, 10050ms}, Case{command::kCalibrate, 10050ms}}) {
        line.silence();
        const TransactResult result = transact(c.code);
        EXPECT_EQ(result.count, 0);
        EXPECT_TRUE(result.reply.empty());
        EXPECT_GE(took, c.expected) << int(c.code);
        EXPECT_LE(took, c.expected + 20ms) << int(c.code);
    }
    EXPECT_FALSE(line.held());
}

TEST_F(TransactTest, ReturnsOnceTheWantedBytesAreQueuedAndReadsOnlyThose) {
    // Read PT100 temperatures waits for 10 bytes; the rest of the 17-byte reply is late.
    const Bytes reply = ReplyFrame(1, command::kReadPt100Temperatures, Bytes(8, 0x01));
    line.replyInChunks({Chunk{20ms, Bytes(reply.begin(), reply.begin() + 10)},
                        Chunk{400ms, Bytes(reply.begin() + 10, reply.end())}});
    const TransactResult result = transact(command::kReadPt100Temperatures);
    EXPECT_EQ(result.count, 10);
    EXPECT_EQ(result.reply, Bytes(reply.begin(), reply.begin() + 10));
    EXPECT_LT(took, 100ms);
    EXPECT_EQ(result.statusFor(15), ReplyStatus::ReadFailed);  // the words never arrived
}

TEST_F(TransactTest, ShortReplyWaitsOutTheTimeOutThenIsAccepted) {
    const Bytes reply = ReplyFrame(1, command::kSetSignalCount, Bytes{44});
    line.reply(reply, 10ms);
    const TransactResult result = transact(command::kSetSignalCount, {44});
    EXPECT_EQ(result.count, 10);
    EXPECT_GE(took, 3050ms);
    EXPECT_EQ(result.statusFor(8), ReplyStatus::Received);
    // A caller whose fields end exactly where the reply ends has all it reads.
    EXPECT_EQ(result.statusFor(10), ReplyStatus::Received);
    EXPECT_EQ(result.statusFor(11), ReplyStatus::ReadFailed);
    EXPECT_EQ(result.at(7), 44);
}

// The count is what arrived, up to the reply buffer; the frame's contents are the caller's.
TEST_F(TransactTest, CountIsWhatArrivedUpToTheBufferWhateverItHolds) {
    const Bytes sn = ReplyFrame(1, command::kReadProbeSn, Bytes(9, 0x28));
    Bytes surplus = sn, broken = sn;
    surplus.insert(surplus.end(), {0xAA, 0xBB, 0xCC});
    broken[0] = 0x00;
    broken.back() ^= 0xFF;
    const struct {
        Bytes reply;
        int count;
    } cases[] = {{Bytes(sn.begin(), sn.begin() + 8), 0},  // fewer than nine bytes: no reply
                 {surplus, 21},
                 {broken, 18},
                 {Bytes(250, 0x55), 200}};
    for (const auto& c : cases) {
        line.reply(c.reply);
        const TransactResult result = transact(command::kReadProbeSn, {7});
        EXPECT_EQ(result.count, c.count);
        EXPECT_EQ(result.reply, Bytes(c.reply.begin(), c.reply.begin() + c.count));
        EXPECT_EQ(result.statusFor(16),
                  c.count > 16 ? ReplyStatus::Received : ReplyStatus::ReadFailed);
    }
}

TEST_F(TransactTest, TraceShowsRequestAndTheBytesActuallyRead) {
    TraceLines trace;
    host.trace = &trace;
    const Bytes reply = ReplyFrame(1, command::kReadPt100ParametersOrVersion, Bytes{32});
    line.reply(reply);
    transact(command::kReadPt100ParametersOrVersion);
    line.silence();
    transact(command::kReadPt100ParametersOrVersion);
    ASSERT_EQ(trace.lines().size(), 4u);
    EXPECT_EQ(trace.lines()[0], TraceLineText("写", RequestFrame(1, 0x08)));
    EXPECT_EQ(trace.lines()[1], TraceLineText("读", reply));
    EXPECT_EQ(trace.lines()[3], "\n读 ");
}

TEST_F(TransactTest, RegistrationUsesItsOwnWaitTable) {
    const Bytes sn{1, 7, 0x28, 1, 2, 3, 4, 5, 6, 7};
    line.silence();
    TransactForRegistration(host, link.context, 1, sn, command::kRegisterManual);
    EXPECT_GE(clock.elapsed(), 550ms);
    EXPECT_LE(clock.elapsed(), 560ms);
    EXPECT_EQ(WaitRowFor(WaitTable::Generic, command::kRegisterManual).timeoutMs, 3000u);
    EXPECT_EQ(WaitRowFor(WaitTable::Registration, command::kReadPt100Temperatures).wantedBytes,
              17u);
}

TEST_F(TransactTest, AStopRequestEndsTheWaitAtOnce) {
    bool stop = false;
    link.context.stopRequested = [&] { return stop; };
    link.context.idle = [&] { stop = clock.elapsed() > 200ms; };
    line.silence();
    transact(command::kRegisterFullyAutomatic);
    EXPECT_LT(took, 300ms);
}

}  // namespace
}  // namespace tavolex
