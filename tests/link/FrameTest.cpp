// Frames and how their bytes are shown: in the trace and in the communication error log.
#include <gtest/gtest.h>

#include <filesystem>

#include "ErrorLog.h"
#include "Frame.h"
#include "Gbk.h"
#include "TemporaryDirectory.h"
#include "Trace.h"

namespace tavolex {
namespace {

TEST(Frame, RequestsCarryPayloadLengthAndPayload) {
    const Bytes payload{0x01, 0x00};
    EXPECT_EQ(RequestFrame(0x00, 0x09, payload),
              (Bytes{0x14, 0x3F, 0x00, 0x00, 0x09, 0x00, 0x02, 0x01, 0x00, 0xFF, 0xB4}));
    const Bytes channel{0x00};
    EXPECT_EQ(RequestFrame(0x00, 0x08, channel),
              (Bytes{0x14, 0x3F, 0x00, 0x00, 0x08, 0x00, 0x01, 0x00, 0xFF, 0xB7}));
}

TEST(Frame, ChecksumKeepsOnlyTheLow16BitsOfTheSum) {
    // 300 bytes of 0xFF sum to 0x12AD5 (the leading byte is not covered).
    Bytes frame(301, 0xFF);
    const std::uint16_t low16 = static_cast<std::uint16_t>(300 * 0xFF);
    EXPECT_EQ(FrameChecksum(frame, frame.size()), static_cast<std::uint16_t>(low16 ^ 0xFFFF));
}

TEST(Frame, ChecksumNeverReadsPastTheFrame) {
    const Bytes buffer{0x14, 0x01, 0x02, 0x50, 0x60};
    const ByteView frame(buffer.data(), 3);
    EXPECT_EQ(FrameChecksum(frame, 5), static_cast<std::uint16_t>((0x01 + 0x02) ^ 0xFFFF));
}

TEST(Frame, ReplyChecksumMustMatchInBothBytes) {
    const Bytes data{0x20};
    Bytes reply = ReplyFrame(0x00, 0x08, data);
    EXPECT_TRUE(HasValidChecksum(reply));
    reply[reply.size() - 1] ^= 0x01;
    EXPECT_FALSE(HasValidChecksum(reply));
    reply[reply.size() - 1] ^= 0x01;
    reply[reply.size() - 2] ^= 0x80;
    EXPECT_FALSE(HasValidChecksum(reply));
}

TEST(Trace, LineHasLabelAndLowerCaseHexBytes) {
    const Bytes request = RequestFrame(0x01, 0x07);
    EXPECT_EQ(TraceLineText(kTraceWritten, request), "\n写 14 3f 00 01 07 00 00 ff b8 ");
    EXPECT_EQ(TraceLineText(kTraceRead, {}), "\n读 ");
}

TEST(Trace, ListKeepsTheNewest900LinesWithTheNewestOnTop) {
    TraceLines lines;
    for (int i = 0; i < 901; ++i)
        lines.addLine(std::to_string(i));
    ASSERT_EQ(lines.lines().size(), 900u);
    EXPECT_EQ(lines.lines().front(), "1");
    EXPECT_EQ(lines.lines()[lines.topIndex()], "900");
}

namespace fs = std::filesystem;

class ErrorLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        log = ErrorLogFile::InDirectory(dir.path());
        log.localTime = [] {
            std::tm time{};
            time.tm_hour = 9;
            time.tm_min = 3;
            time.tm_sec = 7;
            return time;
        };
    }

    testing::TemporaryDirectory dir;
    ErrorLogFile log;
};

TEST_F(ErrorLogTest, EntriesAreAppendedInGbkEachStartingOnANewLine) {
    const Bytes bytes{0x14, 0x3F, 0xAB};
    LogCommError(log, "校验错误，", bytes);
    LogCommError(log, "读错误，要读7个字节，", {});

    const std::string onDisk = testing::FileText(dir.path() / "QRNA_log.txt");
    const std::string expected =
        "\r\n09:03:07 校验错误， 字节数:3 数据:14 3f ab \r\n09:03:07 读错误，要读7个字节， "
        "字节数:0 数据:";
    EXPECT_EQ(onDisk, Utf8ToGbk(expected));
    EXPECT_EQ(GbkToUtf8(onDisk), expected);
    // GBK, not UTF-8: 校 is two bytes, C0 ED... rather than three.
    EXPECT_EQ(Utf8ToGbk("校").size(), 2u);
}

TEST_F(ErrorLogTest, AnUnwritableLogDropsTheEntrySilently) {
    log.path = dir.path() / "missing-folder" / "QRNA_log.txt";
    LogCommError(log, "温度个数错误，", Bytes{1, 2});
    EXPECT_FALSE(fs::exists(log.path));
}

TEST(Gbk, UnconvertibleCharactersBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToGbk("a😀b"), "a?b");
    EXPECT_FALSE(GbkToUtf8("\x81").has_value());
}

}  // namespace
}  // namespace tavolex
