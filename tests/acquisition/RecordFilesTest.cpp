// The two files a run records into: the data file, named after the start of the run, and its
// CSV sibling with a heading and dates. Both take only whole lines.
#include <gtest/gtest.h>

#include <filesystem>

#include "CsvFile.h"
#include "DataFile.h"
#include "DiskLimit.h"
#include "TemperatureFrames.h"
#include "TemporaryDirectory.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using testing::FileText;

std::tm At(int year, int month, int day, int hour, int minute, int second) {
    std::tm time{};
    time.tm_year = year - 1900, time.tm_mon = month - 1, time.tm_mday = day;
    time.tm_hour = hour, time.tm_min = minute, time.tm_sec = second;
    return time;
}

TEST(RecordFiles, TheDataFileIsNamedAfterTheUnpaddedStartAndTheCsvBesideIt) {
    const fs::path data = DataFileName("/scan", At(2024, 3, 5, 14, 7, 9));
    EXPECT_EQ(data, fs::path("/scan/2024年3月5日14时7分9秒.txt"));
    EXPECT_EQ(CsvBesideDataFile(data), fs::path("/scan/2024年3月5日14时7分9秒.csv"));
}

TEST(RecordFiles, ALineHasTheTimeAndEveryWordTheCsvAColumnPerChannelUnderItsHeading) {
    const TemperatureReply reply =
        testing::TemperatureReplyOf({251, -251, 0, 1, 2, 3, 4, 5, 6, 32767});
    EXPECT_EQ(RecordLine(At(2024, 3, 5, 4, 7, 9), reply),
              "04:07:09\t25.1\t-25.1\t0.0\t0.1\t0.2\t0.3\t0.4\t0.5\t0.6\t3276.7\r\n");
    EXPECT_EQ(CsvRecordLine(At(2024, 3, 5, 4, 7, 9), reply),
              "2024-03-05T04:07:09,25.1,-25.1,0.0,0.1,0.2,0.3,0.4,0.5,0.6,3276.7" +
                  std::string(58, ',') + "\r\n");
    // Quoting a field is RecordTextsTest's.
    EXPECT_EQ(CsvHeading({"PT100通道1", "通道1 (a,b)"}), "时间,PT100通道1,\"通道1 (a,b)\"\r\n");
}

TEST(RecordFiles, RecordsAreAppendedTheCsvAfterItsMarkAndHeadingAndAMissingFolderFails) {
    const testing::TemporaryDirectory dir;
    const fs::path data = dir.path() / "data.txt", csv = dir.path() / "data.csv";
    EXPECT_TRUE(AppendRecord(data, "a\r\n"));
    EXPECT_TRUE(AppendRecord(data, "b\r\n"));
    EXPECT_EQ(FileText(data), "a\r\nb\r\n");
    ASSERT_TRUE(AppendCsvRecord(csv, "时间,a\r\n", "1,2\r\n"));
    ASSERT_TRUE(AppendCsvRecord(csv, "时间,a\r\n", "3,4\r\n"));
    EXPECT_EQ(FileText(csv), "\xEF\xBB\xBF时间,a\r\n1,2\r\n3,4\r\n");
    EXPECT_FALSE(AppendRecord(dir.path() / "missing" / "x.txt", "a\r\n"));
    EXPECT_FALSE(AppendCsvRecord(dir.path() / "missing" / "x.csv", "h\r\n", "1\r\n"));
}

// The files may grow by only a few bytes: neither a record nor the CSV's first write (mark,
// heading and line together) may leave a part of itself behind, and writing goes on after.
TEST(RecordFiles, WhatCannotBeWrittenWholeLeavesNoPartBehind) {
    const testing::TemporaryDirectory dir;
    const fs::path data = dir.path() / "data.txt", csv = dir.path() / "data.csv";
    ASSERT_TRUE(AppendRecord(data, "first\r\n"));
    const std::string heading = "时间,a\r\n";
    std::vector<bool> written;
    {
        const testing::DiskLimit full(8);
        written.push_back(AppendRecord(data, "a record longer than one byte\r\n"));
        written.push_back(AppendCsvRecord(csv, heading, "1,2\r\n"));
    }
    {
        const testing::DiskLimit full(30);
        written.push_back(AppendCsvRecord(csv, heading, "1,2\r\n"));
        written.push_back(AppendCsvRecord(csv, heading, "a line longer than the rest\r\n"));
    }
    EXPECT_EQ(written, (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(FileText(data), "first\r\n");
    EXPECT_TRUE(AppendRecord(data, "next\r\n"));
    EXPECT_EQ(FileText(data), "first\r\nnext\r\n");
    EXPECT_EQ(FileText(csv), "\xEF\xBB\xBF时间,a\r\n1,2\r\n");
}

}  // namespace
}  // namespace tavolex
