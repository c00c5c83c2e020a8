// The communication error log, and the GBK conversions its text goes through.
#include "ErrorLog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "Gbk.h"
#include "TemporaryDirectory.h"

namespace tavolex {
namespace {

// Characters GBK lacks become question marks; broken GBK bytes give no text.
TEST(ErrorLog, EntriesAreAppendedInGbkEachStartingOnANewLine) {
    testing::TemporaryDirectory dir;
    ErrorLogFile log = ErrorLogFile::InDirectory(dir.path());
    log.localTime = [] {
        std::tm time{};
        time.tm_hour = 9, time.tm_min = 3, time.tm_sec = 7;
        return time;
    };
    LogCommError(log, "校验错误，", Bytes{0x14, 0x3F, 0xAB});
    LogCommError(log, "读错误，要读7个字节，", {});

    const std::string onDisk = testing::FileText(dir.path() / "QRNA_log.txt");
    const std::string expected =
        "\r\n09:03:07 校验错误， 字节数:3 数据:14 3f ab \r\n09:03:07 读错误，要读7个字节， "
        "字节数:0 数据:";
    EXPECT_EQ(onDisk, Utf8ToGbk(expected));
    EXPECT_EQ(GbkToUtf8(onDisk), expected);
    // GBK, not UTF-8: 校 is two bytes rather than three.
    EXPECT_EQ(Utf8ToGbk("校").size(), 2u);
    // An unwritable log drops the entry silently.
    log.path = dir.path() / "missing-folder" / "QRNA_log.txt";
    LogCommError(log, "温度个数错误，", Bytes{1, 2});
    EXPECT_FALSE(std::filesystem::exists(log.path));
    EXPECT_EQ(Utf8ToGbk("a😀b"), "a?b");
    EXPECT_FALSE(GbkToUtf8("\x81").has_value());
}

}  // namespace
}  // namespace tavolex
