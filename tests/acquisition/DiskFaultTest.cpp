// The files the program writes on a full disk, the disk filling up being the file-size limit
// of the process (writes past it fail as they would with no space left): a run goes on, every
// file holds only whole lines, entries and files, and writing resumes once there is room.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>

#include "AcquisitionRun.h"
#include "AtomicFile.h"
#include "CsvFile.h"
#include "DiskLimit.h"
#include "Gbk.h"
#include "TemperatureFrames.h"
#include "Trace.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using testing::DiskLimit;
using testing::FileText;
using testing::RisingTemperatureFrame;

// Every piece of the text, cut at `separator`, passes `whole`, and the text ends with one.
template <class Check>
void ExpectWholePieces(const std::string& text, std::string_view separator, Check whole) {
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos;
         start = end + separator.size()) {
        EXPECT_TRUE(whole(text.substr(start, end - start))) << text.substr(start, end - start);
    }
    EXPECT_EQ(start, text.size()) << "a torn end: " << text.substr(start);
}

class DiskFaultTest : public testing::AcquisitionRun {
protected:
    void SetUp() override {
        shared.recordEnabled = true;
        shared.recordPeriodSeconds = 0;
        shared.csvFileName = CsvBesideDataFile(shared.dataFileName);
        shared.csvHeading = "时间,PT100通道1,PT100通道2,PT100通道3,PT100通道4\r\n";
        // Every third reading fails with a bad checksum, so the error log grows as well.
        line.responder = [this](ByteView) {
            Bytes frame = RisingTemperatureFrame(4, 100 + replies);
            if (++replies % 3 == 0) frame.back() ^= 0xFF;
            return std::vector<testing::Chunk>{{std::chrono::milliseconds(0), frame}};
        };
    }
    // Runs `readings` readings; true when the run went through all of them.
    bool run(std::size_t readings) {
        shared.runFlag = true;
        window.results.clear();
        window.stopAfter = readings;
        AcquisitionRun::run();
        return window.results.size() == readings;
    }

    int replies = 0;
};

TEST_F(DiskFaultTest, AFullDiskCostsTheRecordsThatDoNotFitButNoRunAndNoWholeLine) {
    {
        const DiskLimit full(1000);
        ASSERT_TRUE(run(120));
    }
    const auto fieldsAre = [](std::size_t count, char separator) {
        return [count, separator](const std::string& text) {
            return static_cast<std::size_t>(std::count(text.begin(), text.end(), separator)) ==
                   count;
        };
    };
    const std::string data = FileText(shared.dataFileName);
    const std::string csv = FileText(shared.csvFileName);
    const std::string log = FileText(environment.errorLog.path);
    for (const std::string* file : {&data, &csv, &log}) {
        EXPECT_GT(file->size(), 500u);
        EXPECT_LE(file->size(), 1000u);
    }
    ExpectWholePieces(data, "\r\n", fieldsAre(4, '\t'));
    ExpectWholePieces(csv.substr(csv.find("\r\n") + 2), "\r\n", fieldsAre(68, ','));
    // Each entry starts with a line break and holds the bytes of a whole 17-byte reply.
    const std::regex entry("\\d\\d:\\d\\d:\\d\\d 校验错误， 字节数:17 数据:([0-9a-f]{2} ){17}");
    ExpectWholePieces(GbkToUtf8(log).value_or("").substr(2) + "\r\n", "\r\n",
                      [&entry](const std::string& text) { return std::regex_match(text, entry); });

    // With room again the next run's records are written.
    const std::size_t lines = static_cast<std::size_t>(std::count(data.begin(), data.end(), '\n'));
    ASSERT_TRUE(run(3));
    const std::string after = FileText(shared.dataFileName);
    EXPECT_EQ(static_cast<std::size_t>(std::count(after.begin(), after.end(), '\n')), lines + 2);
}

TEST_F(DiskFaultTest, SavedFilesAreWholeOrLeftAsTheyWere) {
    const fs::path trace = dir.path() / "trace.txt";
    const fs::path table = dir.path() / "records.csv";
    ASSERT_TRUE(WriteFileAtomically(table, "old table\r\n"));
    const std::deque<std::string> lines(200, "写入 14 3f 00 00 0b 00 00 ff b5");
    {
        const DiskLimit full(1000);
        EXPECT_FALSE(SaveTraceLog(trace, lines));
        EXPECT_FALSE(WriteFileAtomically(table, std::string(5000, 'x')));
        EXPECT_FALSE(AppendAllOrNothing(table, std::string(2000, 'y')));
    }
    EXPECT_FALSE(fs::exists(trace));
    EXPECT_EQ(FileText(table), "old table\r\n");
    // No temporary file is left beside them.
    EXPECT_EQ(dir.files(), std::vector<fs::path>{"records.csv"});
}

}  // namespace
}  // namespace tavolex
