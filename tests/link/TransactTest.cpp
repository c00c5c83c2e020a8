// One exchange with the instrument: opening, sending, waiting by the wait tables, reading, tracing.
#include "Transact.h"

#include <gtest/gtest.h>

#include "Commands.h"
#include "FakeLine.h"
#include "StaticHost.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using testing::Chunk;

class TransactTest : public ::testing::Test {
protected:
    void SetUp() override { host.trace = &trace; }
    TransactResult transact(std::uint8_t code, Bytes payload = {}, bool registration = false) {
        const Clock::TimePoint start = clock.now();
        TransactResult result = registration
                                    ? TransactForRegistration(host, link.context, 1, payload, code)
                                    : Transact(host, link.context, 0x01, payload, code);
        took = clock.now() - start;
        return result;
    }

    ManualClock clock;
    testing::FakeLine line{clock};
    testing::FakeLink link{line};
    testing::StaticHost host{{3, 19200, 300}};
    TraceLines trace;
    Clock::Duration took{};
};

TEST_F(TransactTest, PortNotOpenedSendsNothingAndTracesNothing) {
    line.refuseOpen = true;
    const TransactResult result = transact(command::kSetSignalCount, {5});
    EXPECT_EQ(result.count, -1);
    EXPECT_EQ(result.statusFor(8), ReplyStatus::PortNotOpened);
    EXPECT_TRUE(line.written.empty());
    EXPECT_TRUE(trace.lines().empty());
}

// The trace shows the request and the bytes actually read, none when none came.
TEST_F(TransactTest, OpensWithTheWindowsFreshSettingsAndTracesWhatWasRead) {
    const Bytes reply = ReplyFrame(1, command::kReadPt100ParametersOrVersion, Bytes{32});
    line.reply(reply);
    transact(command::kReadPt100ParametersOrVersion, {5});
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_EQ(
        std::tuple(line.lastSettings.portNumber, line.lastSettings.baudRate, line.lastProfile),
        std::tuple(3, 19200, PortProfile::Command));
    EXPECT_EQ(host.settings.addressByte(), 0x2C);  // 300: only the low byte travels
    const Bytes request = RequestFrame(0x01, command::kReadPt100ParametersOrVersion, Bytes{5});
    EXPECT_EQ(line.written.at(0), request);
    EXPECT_FALSE(line.held());
    line.silence();
    transact(command::kReadPt100ParametersOrVersion, {5});
    const std::string written = TraceLineText(kTraceWritten, request);
    EXPECT_EQ(trace.lines(), (std::deque<std::string>{written, TraceLineText(kTraceRead, reply),
                                                      written, "\n读 "}));
}

TEST_F(TransactTest, SilenceCostsThePauseAndTheTableTimeOut) {
    const std::tuple<std::uint8_t, bool, Clock::Duration> cases[] = {
        {command::kSetSignalCount, false, 3050ms},
        {command::kReadPt100Temperatures, false, 1050ms},
        {command::kRegisterFullyAutomatic, false, 10050ms},
        {command::kCalibrate, false, 10050ms},
        {command::kRegisterManual, false, 3050ms},
        {command::kRegisterManual, true, 550ms}};
    for (const auto& [code, registration, expected] : cases) {
        line.silence();
        const TransactResult result = transact(code, {}, registration);
        EXPECT_EQ(result.count, 0);
        EXPECT_TRUE(result.reply.empty());
        EXPECT_TRUE(took >= expected && took <= expected + 20ms) << int(code);
    }
    EXPECT_FALSE(line.held());
    // The registration table waits for a PT100 reading's whole reply.
    EXPECT_EQ(WaitRowFor(WaitTable::Registration, command::kReadPt100Temperatures).wantedBytes,
              17u);
}

// Read PT100 temperatures waits for 10 bytes and reads only those; a reply shorter than the
// row's wait waits out the time-out and is then accepted.
TEST_F(TransactTest, TheWaitEndsAtTheWantedBytesOrAtTheTimeOut) {
    const Bytes pt100 = ReplyFrame(1, command::kReadPt100Temperatures, Bytes(8, 0x01));
    line.replyInChunks({Chunk{20ms, Bytes(pt100.begin(), pt100.begin() + 10)},
                        Chunk{400ms, Bytes(pt100.begin() + 10, pt100.end())}});
    TransactResult result = transact(command::kReadPt100Temperatures);
    EXPECT_EQ(result.reply, Bytes(pt100.begin(), pt100.begin() + 10));
    EXPECT_LT(took, 100ms);
    EXPECT_EQ(result.statusFor(15), ReplyStatus::ReadFailed);  // the words never arrived

    line.reply(ReplyFrame(1, command::kSetSignalCount, Bytes{44}), 10ms);
    result = transact(command::kSetSignalCount, {44});
    EXPECT_EQ(result.count, 10);
    EXPECT_GE(took, 3050ms);
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
    const std::pair<Bytes, int> cases[] = {{Bytes(sn.begin(), sn.begin() + 8), 0},  // no reply
                                           {surplus, 21},
                                           {broken, 18},
                                           {Bytes(250, 0x55), 200}};
    for (const auto& [reply, count] : cases) {
        line.reply(reply);
        const TransactResult result = transact(command::kReadProbeSn, {7});
        EXPECT_EQ(result.count, count);
        EXPECT_EQ(result.reply, Bytes(reply.begin(), reply.begin() + count));
        EXPECT_EQ(result.statusFor(16),
                  count > 16 ? ReplyStatus::Received : ReplyStatus::ReadFailed);
    }
}

}  // namespace
}  // namespace tavolex
