#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

#include "CsvFile.h"
#include "TemperatureFrames.h"
#include "TemporaryDirectory.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;

TEST(CsvFile, NamedLikeTheDataFile) {
    EXPECT_EQ(CsvBesideDataFile("/scan/2024年3月5日14时7分9秒.txt"),
              fs::path("/scan/2024年3月5日14时7分9秒.csv"));
}

TEST(CsvFile, NamesWithCommasQuotesOrBreaksAreQuoted) {
    EXPECT_EQ(CsvField("炉膛"), "炉膛");
    EXPECT_EQ(CsvField("通道5 (炉膛, 左)"), "\"通道5 (炉膛, 左)\"");
    EXPECT_EQ(CsvField("a \"b\""), "\"a \"\"b\"\"\"");
    EXPECT_EQ(CsvField("a\nb"), "\"a\nb\"");
    EXPECT_EQ(CsvHeading({"PT100通道1", "通道1 (a,b)"}), "时间,PT100通道1,\"通道1 (a,b)\"\r\n");
}

TEST(CsvFile, ARecordHasTheDateTimeAndAColumnPerChannelEmptyWhereNoValueCame) {
    const Bytes frame = testing::TemperatureFrame({251, -251, 0, 1, 32767});
    TemperatureReply reply;
    std::copy(frame.begin(), frame.end(), reply.bytes.begin());
    std::tm time{};
    time.tm_year = 124;
    time.tm_mon = 2;
    time.tm_mday = 5;
    time.tm_hour = 4;
    time.tm_min = 7;
    time.tm_sec = 9;
    const std::string line = CsvRecordLine(time, reply);
    EXPECT_EQ(line,
              "2024-03-05T04:07:09,25.1,-25.1,0.0,0.1,3276.7" + std::string(63, ',') + "\r\n");
}

TEST(CsvFile, ANewFileStartsWithTheMarkAndTheHeadingThenALinePerRecord) {
    const testing::TemporaryDirectory dir;
    const fs::path file = dir.path() / "data.csv";
    ASSERT_TRUE(AppendCsvRecord(file, "时间,a\r\n", "1,2\r\n"));
    ASSERT_TRUE(AppendCsvRecord(file, "时间,a\r\n", "3,4\r\n"));
    EXPECT_EQ(testing::FileText(file), "\xEF\xBB\xBF时间,a\r\n1,2\r\n3,4\r\n");
    EXPECT_FALSE(AppendCsvRecord(dir.path() / "missing" / "x.csv", "h\r\n", "1\r\n"));
}

// The file may grow by only a few bytes: neither the first write (mark, heading and line
// together) nor a later line may leave a part of itself behind.
TEST(CsvFile, WhatCannotBeWrittenWholeLeavesNoTornLine) {
    const testing::TemporaryDirectory dir;
    const fs::path file = dir.path() / "data.csv";
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const auto limitTo = [&saved](rlim_t bytes) {
        rlimit small = saved;
        small.rlim_cur = bytes;
        return setrlimit(RLIMIT_FSIZE, &small) == 0;
    };
    const std::string heading = "时间,a\r\n";
    ASSERT_TRUE(limitTo(8));
    const bool firstWritten = AppendCsvRecord(file, heading, "1,2\r\n");
    ASSERT_TRUE(limitTo(30));
    const bool secondWritten = AppendCsvRecord(file, heading, "1,2\r\n");
    const bool thirdWritten = AppendCsvRecord(file, heading, "a line longer than the rest\r\n");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(firstWritten);
    EXPECT_TRUE(secondWritten);
    EXPECT_FALSE(thirdWritten);
    EXPECT_EQ(testing::FileText(file), "\xEF\xBB\xBF时间,a\r\n1,2\r\n");
}

}  // namespace
}  // namespace tavolex
