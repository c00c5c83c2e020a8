#include <gtest/gtest.h>

#include <filesystem>

#include "FakeLine.h"
#include "Gbk.h"
#include "ReadTemperatures.h"
#include "TemperatureFrames.h"
#include "TemporaryDirectory.h"
#include "Trace.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::Chunk;
using testing::FakeLine;
using testing::FakeLink;

Bytes TemperatureFrame(const std::vector<int>& tenths) {
    return testing::TemperatureFrame(tenths, 0x01);
}

Bytes WithLength(Bytes frame, std::uint16_t length) {
    frame[5] = static_cast<std::uint8_t>(length >> 8);
    frame[6] = static_cast<std::uint8_t>(length & 0xFF);
    return frame;
}

Bytes Head(const Bytes& frame, std::size_t n) {
    return Bytes(frame.begin(), frame.begin() + n);
}

class ReadTemperaturesTest : public ::testing::Test {
protected:
    void SetUp() override { port = link.opener.open({}, PortProfile::Acquisition); }

    bool read() { return ReadTemperatures(*port, 0x01, reply, link.context); }
    bool readLogged() { return ReadTemperaturesLogged(*port, 0x01, reply, link.context, log); }
    std::string logText() { return GbkToUtf8(testing::FileText(log.path)).value_or("<not GBK>"); }

    ManualClock clock;
    FakeLine line{clock};
    FakeLink link{line};
    PortHandle port;
    TemperatureReply reply;
    testing::TemporaryDirectory dir;
    ErrorLogFile log = ErrorLogFile::InDirectory(dir.path());
};

TEST_F(ReadTemperaturesTest, ValidRepliesOfEveryAllowedSizeAreRead) {
    for (int words : {4, 36, 37, 68}) {
        std::vector<int> tenths(words);
        for (int i = 0; i < words; ++i)
            tenths[i] = (i % 2 ? -1 : 1) * (200 + i);
        tenths.back() = -32767;  // sign and magnitude, 0xFF 0xFF
        line.reply(TemperatureFrame(tenths));
        ASSERT_TRUE(read()) << words;
        EXPECT_EQ(reply.wordCount(), words);
        EXPECT_EQ(reply.word(words - 1).tenths(), tenths.back());
    }
    EXPECT_EQ(line.written.back(), (Bytes{0x14, 0x3F, 0x00, 0x01, 0x0B, 0x00, 0x00, 0xFF, 0xB4}));
    EXPECT_EQ(line.purges, 0);
}

TEST_F(ReadTemperaturesTest, OddLengthRoundsDownAndFindsTheChecksumAfterTheWords) {
    Bytes frame = WithLength(TemperatureFrame({251, 252, 253, 254}), 9);  // still four words
    const std::uint16_t sum = FrameChecksum(frame, 15);
    frame[15] = static_cast<std::uint8_t>(sum >> 8);
    frame[16] = static_cast<std::uint8_t>(sum & 0xFF);
    line.reply(frame);
    EXPECT_TRUE(read());
    EXPECT_EQ(reply.wordCount(), 4);
}

TEST_F(ReadTemperaturesTest, SilenceFailsAfterTheHeaderWaitAndReadTimeOut) {
    line.silence();
    EXPECT_FALSE(readLogged());
    EXPECT_GE(clock.elapsed(), 3000ms);
    EXPECT_LE(clock.elapsed(), 3000ms + 335ms + 20ms);  // wait, then the 7-byte read's time-out
    EXPECT_NE(logText().find(" 读错误，要读7个字节， 字节数:0 数据:"), std::string::npos);
}

// Each way a reply fails purges the port and logs the bytes that came.
TEST_F(ReadTemperaturesTest, EachFailureLogsTheBytesThatCame) {
    const Bytes six = TemperatureFrame({1, 2, 3, 4, 5, 6});
    const Bytes few = WithLength(TemperatureFrame(std::vector<int>(69, 100)), 6);
    const Bytes many = WithLength(TemperatureFrame(std::vector<int>(69, 100)), 138);
    Bytes corrupt = TemperatureFrame({251, -251, 0, 32767});
    corrupt.back() ^= 0x01;
    const struct {
        Bytes reply;
        std::string logged;
        bool waits;  // for bytes that might still come
    } cases[] = {{Head(six, 5), "读错误，要读7个字节， 字节数:5 数据:14 3f 00 01 0b ", true},
                 {few, "温度个数错误， 字节数:7 数据:" + HexBytes(Head(few, 7)), false},
                 {many, "温度个数错误， 字节数:7 数据:" + HexBytes(Head(many, 7)), false},
                 {Head(six, 12), "读温度错误， 字节数:12 数据:" + HexBytes(Head(six, 12)), true},
                 {corrupt, "校验错误， 字节数:17 数据:" + HexBytes(corrupt), false}};
    for (const auto& c : cases) {
        line.reply(c.reply);
        const Clock::TimePoint start = clock.now();
        EXPECT_FALSE(readLogged()) << c.logged;
        EXPECT_EQ(clock.now() > start, c.waits) << c.logged;
        EXPECT_NE(logText().find(c.logged), std::string::npos) << c.logged;
    }
    EXPECT_EQ(line.purges, 5);
}

// The rest of a reply may come late within the wait; surplus bytes after a valid reply stay
// queued; an interactive reading's failure neither purges nor logs.
TEST_F(ReadTemperaturesTest, LateRestCountsAndOnlyTheLoggedReadingPurgesAndLogs) {
    const Bytes frame = TemperatureFrame({1, 2, 3, 4});
    line.replyInChunks(
        {Chunk{0ms, Head(frame, 7)}, Chunk{2900ms, Bytes(frame.begin() + 7, frame.end())}});
    EXPECT_TRUE(read());
    Bytes corrupt = frame;
    corrupt.back() ^= 0x01;
    line.reply(corrupt);
    EXPECT_FALSE(read());
    EXPECT_EQ(line.purges, 0);
    EXPECT_FALSE(fs::exists(log.path));
    Bytes surplus = frame;
    surplus.insert(surplus.end(), {0xAA, 0xBB});
    line.reply(surplus);
    EXPECT_TRUE(read());
    EXPECT_EQ(port->queuedBytes(), 2u);
}

}  // namespace
}  // namespace tavolex
