#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "DataFile.h"
#include "TemperatureFrames.h"
#include "TemporaryDirectory.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;

std::tm At(int year, int month, int day, int hour, int minute, int second) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

TemperatureReply ReplyWithWords(const std::vector<int>& tenths) {
    const Bytes frame = testing::TemperatureFrame(tenths);
    TemperatureReply reply;
    std::copy(frame.begin(), frame.end(), reply.bytes.begin());
    return reply;
}

TEST(DataFile, NameIsTheUnpaddedStartTime) {
    EXPECT_EQ(DataFileName("/scan", At(2024, 3, 5, 14, 7, 9)),
              fs::path("/scan/2024年3月5日14时7分9秒.txt"));
}

TEST(DataFile, RecordLineHasTheTimeAndEveryWordOfTheReply) {
    const auto reply = ReplyWithWords({251, -251, 0, 1, 2, 3, 4, 5, 6, 32767});
    EXPECT_EQ(RecordLine(At(2024, 3, 5, 4, 7, 9), reply),
              "04:07:09\t25.1\t-25.1\t0.0\t0.1\t0.2\t0.3\t0.4\t0.5\t0.6\t3276.7\r\n");
}

TEST(DataFile, RecordsAreAppendedAndAMissingFolderFailsQuietly) {
    const testing::TemporaryDirectory dir;
    const fs::path file = DataFileName(dir.path(), At(2024, 3, 5, 14, 7, 9));
    EXPECT_TRUE(AppendRecord(file, "a\r\n"));
    EXPECT_TRUE(AppendRecord(file, "b\r\n"));
    EXPECT_EQ(testing::FileText(file), "a\r\nb\r\n");
    EXPECT_FALSE(AppendRecord(dir.path() / "missing" / "x.txt", "a\r\n"));
}

// The file may grow by only a few bytes more: a record longer than that cannot be written
// whole and must leave no part of itself behind.
TEST(DataFile, ARecordThatCannotBeWrittenWholeLeavesTheFileAsItWas) {
    const testing::TemporaryDirectory dir;
    const fs::path file = dir.path() / "data.txt";
    ASSERT_TRUE(AppendRecord(file, "first\r\n"));
    const std::string before = testing::FileText(file);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = before.size() + 4;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = AppendRecord(file, "a record longer than four bytes\r\n");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(testing::FileText(file), before);
    EXPECT_TRUE(AppendRecord(file, "next\r\n"));
    EXPECT_EQ(testing::FileText(file), before + "next\r\n");
}

}  // namespace
}  // namespace tavolex
