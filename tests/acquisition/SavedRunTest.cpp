// Saved runs read back: each kind of file against the samples it holds, written out here.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <map>

#include "SavedRun.h"
#include "TemporaryDirectory.h"

namespace tavolex {
namespace {

// Milliseconds of a local date and time, by the C library.
std::int64_t Local(int year, int month, int day, int hour, int minute, int second) {
    std::tm time{};
    time.tm_year = year - 1900, time.tm_mon = month - 1, time.tm_mday = day;
    time.tm_hour = hour, time.tm_min = minute, time.tm_sec = second, time.tm_isdst = -1;
    return std::int64_t{std::mktime(&time)} * 1000;
}

struct Sample {
    std::int64_t timeMs;
    std::vector<std::optional<int>> values;  // the channels asked for
    bool operator==(const Sample&) const = default;
};

std::vector<Sample> Samples(const SavedRun& run, const std::vector<int>& channels) {
    std::vector<Sample> samples;
    for (std::size_t i = 0; i < run.history.size(); ++i) {
        Sample& sample = samples.emplace_back(Sample{run.history.timeAt(i), {}});
        for (int channel : channels)
            sample.values.push_back(run.history.valueAt(channel, i));
    }
    return samples;
}

// A CSV line of `fields` fields, all empty but those given.
std::string CsvLine(std::size_t fields, const std::map<std::size_t, std::string>& given) {
    std::string line;
    for (std::size_t i = 0; i < fields; ++i) {
        if (i > 0) line += ',';
        if (given.count(i)) line += given.at(i);
    }
    return line + "\r\n";
}

constexpr std::string_view kPlainName = "2024年3月5日23时59分50秒.txt";
const std::optional<int> kGap;

// A time earlier than the line before (or, first, than the name's) is on the next day.
TEST(SavedRun, PlainDataFileTakesItsDateFromTheNameAndRollsOverAtMidnight) {
    const SavedRun run = ParseSavedRun(
        "23:59:58\t25.0\t-1.5\t30.2\t0.0\r\n"
        "00:00:01\t25.2\t-1.3\t30.4\t0.2\r\n"
        "00:00:01\t25.3\t-1.2\r\n"
        "\r\n"
        "23:00:00\t1.0\t2.0\t3.0\t4.0\t5.0\r\n",
        kPlainName);
    EXPECT_EQ(std::tuple(run.kind, run.fault),
              std::tuple(SavedRunKind::PlainDataFile, SavedRunFault::None));
    EXPECT_EQ(Samples(run, {0, 1, 2, 3, 4}),
              (std::vector<Sample>{{Local(2024, 3, 5, 23, 59, 58), {250, -15, 302, 0, kGap}},
                                   {Local(2024, 3, 6, 0, 0, 1), {252, -13, 304, 2, kGap}},
                                   {Local(2024, 3, 6, 0, 0, 1), {253, -12, kGap, kGap, kGap}},
                                   {Local(2024, 3, 6, 23, 0, 0), {10, 20, 30, 40, 50}}}));
    EXPECT_EQ(ParseSavedRun("00:00:01\t1.0\r\n", kPlainName).history.timeAt(0),
              Local(2024, 3, 6, 0, 0, 1));
    EXPECT_EQ(ParseSavedRun("12:00:00\t1.0\r\n", "数据.txt").fault, SavedRunFault::NoDateInName);
    // The last second of a day is a time of day, in the name as on a line; one past it is not.
    EXPECT_EQ(ParseSavedRun("23:59:59\t1.0\r\n", "2024年3月5日23时59分59秒.txt").history.timeAt(0),
              Local(2024, 3, 5, 23, 59, 59));
    for (const char* name :
         {"2024年3月5日24时0分0秒", "2024年3月5日23时60分0秒", "2024年3月5日23时59分60秒"})
        EXPECT_EQ(ParseSavedRun("12:00:00\t1.0\r\n", name).fault, SavedRunFault::NoDateInName)
            << name;
}

// In UTF-8 with its byte-order mark or in GBK as a spreadsheet saves it again.
TEST(SavedRun, DataAndRecordsCsvTakeTheirColumnsAndReportWhatIsLeftOut) {
    std::map<std::size_t, std::string> heading{{0, "时间"},
                                               {1, "\"PT100通道1 (进口, \"\"左\"\")\""},
                                               {2, "PT100通道2"},
                                               {5, "通道1 (炉膛)"}};
    for (std::size_t i = 6; i <= 68; ++i)
        heading[i] = "x";
    const std::string lines = CsvLine(69, {{0, "2024-03-05T14:07:09"}, {1, "25.0"}, {68, "-3.5"}}) +
                              CsvLine(69, {{0, "2024-03-05T14:07:10"}, {5, "99.9"}}) +
                              "2024-03-05T14:07:11,25.";
    const SavedRun run = ParseSavedRun("\xEF\xBB\xBF" + CsvLine(69, heading) + lines, "a.csv");
    EXPECT_EQ(run.kind, SavedRunKind::DataCsv);
    EXPECT_EQ((std::vector<std::string>{run.names[0], run.names[1], run.names[4], run.names[5]}),
              (std::vector<std::string>{"进口, \"左\"", "", "炉膛", "x"}));
    EXPECT_EQ(Samples(run, {0, 4, 67}),
              (std::vector<Sample>{{Local(2024, 3, 5, 14, 7, 9), {250, kGap, -35}},
                                   {Local(2024, 3, 5, 14, 7, 10), {kGap, 999, kGap}}}));
    EXPECT_EQ(std::tuple(run.fault, run.faultLine), std::tuple(SavedRunFault::IncompleteLine, 4u));

    heading[0] = "\xCA\xB1\xBC\xE4";  // 时间
    heading[1] = "a", heading[2] = "b";
    heading[5] = "\xC2\xAF\xCC\xC5";  // 炉膛
    const SavedRun gbk = ParseSavedRun(CsvLine(69, heading) + lines, "b.csv");
    EXPECT_EQ(std::tuple(gbk.names[4], gbk.history.size()), std::tuple("炉膛", 2u));

    // Columns: label, time, channels 1-64, PT100 1-4; in time order across a clock change.
    const std::string text =
        "\xEF\xBB\xBF" + CsvLine(70, {{0, "记录条目"}}) +
        CsvLine(70, {{0, "记录#1"}, {1, "2024-05-07 09:03:01"}, {2, "21.5"}, {66, "-0.5"}}) +
        CsvLine(70, {{0, "记录#2"}, {1, "读取失败"}}) +
        CsvLine(70, {{0, "记录#3"}, {1, "2024/13/01/00/00/00"}, {2, "1.0"}}) +
        CsvLine(70, {{0, "记录#4"}, {1, "2024-05-07 08:00:00"}, {2, "20.0"}, {69, "7.0"}});
    const SavedRun records = ParseSavedRun(text, "记录.csv");
    EXPECT_EQ(std::tuple(records.kind, records.fault, records.leftOut),
              std::tuple(SavedRunKind::RecordsCsv, SavedRunFault::None, 2u));
    EXPECT_EQ(Samples(records, {4, 0, 3}),
              (std::vector<Sample>{{Local(2024, 5, 7, 8, 0, 0), {200, kGap, 70}},
                                   {Local(2024, 5, 7, 9, 3, 1), {215, -5, kGap}}}));
}

TEST(SavedRun, ReadingStopsAtTheFirstBadLineKeepingTheLinesBefore) {
    const std::string good = "14:00:00\t1.0\r\n";
    const struct {
        std::string text;
        SavedRunFault fault;
        std::size_t line, kept;
    } cases[] = {
        {"", SavedRunFault::Empty, 0, 0},
        {"hello\n", SavedRunFault::UnknownKind, 1, 0},
        {"a,b,c\n", SavedRunFault::UnknownKind, 1, 0},
        {std::string(68, ',') + "\"a\"\"\r\n", SavedRunFault::BadLine, 1, 0},  // left open
        {good + good + "14:00:01\t1.0\tabc\r\n" + good, SavedRunFault::BadLine, 3, 2},
        {good + "24:00:00\t1.0\r\n", SavedRunFault::BadLine, 2, 1},
        {good + "23:60:00\t1.0\r\n", SavedRunFault::BadLine, 2, 1},
        {good + "23:59:60\t1.0\r\n", SavedRunFault::BadLine, 2, 1},
        {good + "14:00:02\t1.05\r\n", SavedRunFault::BadLine, 2, 1},
        {good + "14:00:02\t4000.0\r\n", SavedRunFault::BadLine, 2, 1},
        {good + "14:00:02" + std::string(69, '\t') + "\r\n", SavedRunFault::BadLine, 2, 1},
        {good + std::string(3 << 20, '1'), SavedRunFault::BadLine, 2, 1},
    };
    for (const auto& each : cases) {
        const SavedRun run = ParseSavedRun(each.text, kPlainName);
        EXPECT_EQ(std::tuple(run.fault, run.faultLine, run.history.size()),
                  std::tuple(each.fault, each.line, each.kept))
            << each.text.substr(0, 60);
    }
    const SavedRun dates = ParseSavedRun(
        "\xEF\xBB\xBF" + CsvLine(69, {}) + CsvLine(69, {{0, "2023-02-29T00:00:00"}}), "c.csv");
    EXPECT_EQ(std::tuple(dates.fault, dates.faultLine), std::tuple(SavedRunFault::BadLine, 2u));
}

TEST(SavedRun, AFileIsReadInChunksWithProgressAndCanBeCancelled) {
    testing::TemporaryDirectory folder;
    const std::filesystem::path file = folder.path() / std::filesystem::u8path(kPlainName);
    {
        std::ofstream out(file, std::ios::binary);
        for (int i = 0; i < 200'000; ++i)
            out << "14:00:00\t" << i % 1000 << ".5\r\n";
    }
    std::vector<int> progress;
    const SavedRun run = ReadSavedRun(file, [&](int permille) {
        progress.push_back(permille);
        return true;
    });
    ASSERT_EQ(std::tuple(run.fault, run.history.size()), std::tuple(SavedRunFault::None, 200'000u));
    EXPECT_EQ(run.history.valueAt(0, 199'999), 9995);
    EXPECT_GT(progress.size(), 2u);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));

    EXPECT_EQ(ReadSavedRun(file, [](int permille) { return permille == 0; }).fault,
              SavedRunFault::Cancelled);
    EXPECT_EQ(ReadSavedRun(folder.path() / "none.txt").fault, SavedRunFault::Unreadable);
}

}  // namespace
}  // namespace tavolex
