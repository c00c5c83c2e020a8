// The commands that run for a while: continuous logging and the record download, each ended
// by its own limit or by a signal, with the files they write.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <sstream>

#include "CliProcess.h"
#include "Gbk.h"

namespace tavolex::testing {
namespace {

namespace fs = std::filesystem;
namespace chr = std::chrono;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::StartsWith;

// The one file in the folder whose name ends so.
fs::path OnlyFileEndingIn(const fs::path& folder, std::string_view ending) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().string().ends_with(ending)) found.push_back(entry.path());
    }
    EXPECT_EQ(found.size(), 1u) << "files ending in " << ending << " in " << folder;
    return found.empty() ? fs::path() : found.front();
}

// The port is free again: the program closed it.
void ExpectPortFree(const LinkSettings& settings) {
    EXPECT_NE(OpenPort(settings, PortProfile::Command), nullptr);
}

class CliRunsTest : public CliTest {};

TEST_F(CliRunsTest, LogWritesTheWindowsDataFileItsCsvAndPrintsEachReading) {
    startSimulator();
    const fs::path data = work.path() / "data";
    const CliResult result =
        run({"log", "--period", "600", "--count", "3", "--txt", data.string(), "--format", "json"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> rows = Lines(result.out);
    ASSERT_EQ(rows.size(), 3u);
    const auto sent = model([](sim::InstrumentModel& m) { return m.sentReadings(); });
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(ParseJsonObject(rows[2]).at("ch64"), sent[2].words[67].text());
    EXPECT_EQ(Lines(result.err).back(), "成功次数:3 失败次数:0");

    // One record (the first reading; the next is due after 30 s), in GBK with CR LF.
    const fs::path txt = OnlyFileEndingIn(data, "秒.txt");
    const std::string record = *GbkToUtf8(FileText(txt));
    EXPECT_THAT(record, MatchesRegex("[0-9]{2}:[0-9]{2}:[0-9]{2}(\t-?[0-9]+\\.[0-9]){68}\r\n"));
    EXPECT_THAT(record, HasSubstr("\t" + sent[0].words[4].text() + "\t"));
    const std::string csv = FileText(fs::path(txt).replace_extension(".csv"));
    EXPECT_THAT(csv, StartsWith("\xEF\xBB\xBF时间,PT100通道1,"));
    EXPECT_EQ(Lines(csv).size(), 2u);
    ExpectPortFree(settings);
}

// Record period 0: every reading that falls in a second of its own is a record.
TEST_F(CliRunsTest, RecordPeriodZeroRecordsEveryNewSecond) {
    startSimulator();
    const CliResult result = run(
        {"log", "--period", "600", "--count", "4", "--record", "0", "--txt", work.path().string()});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> records =
        Lines(*GbkToUtf8(FileText(OnlyFileEndingIn(work.path(), "秒.txt"))));
    // Four readings 600 ms apart cover at least two seconds and at most four.
    EXPECT_GE(records.size(), 2u);
    EXPECT_LE(records.size(), 4u);
    for (std::size_t i = 1; i < records.size(); ++i)
        EXPECT_NE(records[i].substr(0, 8), records[i - 1].substr(0, 8));
}

TEST_F(CliRunsTest, SigtermEndsALogCleanly) {
    startSimulator();
    host->faults().add(*sim::FaultRule::Parse("checksum:0x0B:count=1"));
    const fs::path csv = work.path() / "run.csv";
    CliProcess log({"log", "--period", "600", "--csv", csv.string()}, work.path());
    ASSERT_TRUE(log.waitForLines(1, chr::seconds(10)));
    const auto asked = chr::steady_clock::now();
    log.signal(SIGTERM);
    const CliResult result = log.finish();
    EXPECT_LT(chr::steady_clock::now() - asked, chr::milliseconds(500));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Lines(result.err).back(), "成功次数:1 失败次数:1");
    // The failed reading went to the error log beside the data file, the record to both files.
    EXPECT_THAT(*GbkToUtf8(FileText(work.path() / "QRNA_log.txt")), HasSubstr("校验错误，"));
    EXPECT_EQ(Lines(FileText(csv)).size(), 2u);
    EXPECT_EQ(Lines(*GbkToUtf8(FileText(OnlyFileEndingIn(work.path(), "秒.txt")))).size(), 1u);
    ExpectPortFree(settings);
}

TEST_F(CliRunsTest, RecordsAreCountedDownloadedSavedAndDeleted) {
    sim::ModelOptions options;
    options.signalCount = 64;
    startSimulator(options);
    model([](sim::InstrumentModel& m) { m.preloadRecords(4); });
    EXPECT_EQ(run({"records", "count"}).out, "4\n");

    const fs::path file = work.path() / "records.csv";
    const CliResult download =
        run({"records", "download", "--csv", file.string(), "--format", "json"});
    ASSERT_EQ(download.status, 0) << download.err;
    EXPECT_EQ(download.err, "") << "a progress line without a terminal";
    const std::vector<std::string> rows = Lines(download.out);
    ASSERT_EQ(rows.size(), 4u);
    const auto kept = model([](sim::InstrumentModel& m) { return m.records(); });
    const auto last = ParseJsonObject(rows[3]);
    EXPECT_EQ(last.at("record"), "4");
    EXPECT_EQ(last.at("ch7"), kept[3].digital[6].text());
    EXPECT_EQ(last.at("pt100_4"), kept[3].pt100[3].text());
    EXPECT_THAT(last.at("time"), MatchesRegex("20[0-9]{2}-[0-9]{2}-[0-9]{2} [0-9:]{8}"));

    // The file is the records window's CSV: its headings, then the same rows.
    const std::vector<std::string> saved = Lines(FileText(file));
    ASSERT_EQ(saved.size(), 5u);
    EXPECT_THAT(saved[0], StartsWith("\xEF\xBB\xBF记录条目,时间,通道1,"));
    EXPECT_THAT(saved[4], StartsWith("记录#4," + last.at("time") + "," + last.at("ch1") + ","));

    const CliResult deleted = run({"records", "delete", "--yes"});
    EXPECT_EQ(deleted.status, 0);
    EXPECT_EQ(deleted.err, "记录已全部删除!\n");
    EXPECT_EQ(run({"records", "count"}).out, "0\n");
}

TEST_F(CliRunsTest, SigtermCutsADownloadShortAndSavesTheRecordsInHand) {
    sim::HostOptions slow;
    slow.replyDelay = chr::milliseconds(20);
    startSimulator({}, slow);
    model([](sim::InstrumentModel& m) { m.preloadRecords(200); });
    const fs::path file = work.path() / "records.csv";
    CliProcess download({"records", "download", "--csv", file.string()}, work.path());
    ASSERT_TRUE(download.waitForLines(3, chr::seconds(10)));
    download.signal(SIGTERM);
    const CliResult result = download.finish();
    EXPECT_EQ(result.status, 128 + SIGTERM);
    const std::size_t printed = Lines(result.out).size();
    EXPECT_GE(printed, 3u);
    EXPECT_LT(printed, 200u);
    EXPECT_EQ(Lines(FileText(file)).size(), printed + 1) << "every row printed is saved";
    EXPECT_THAT(Lines(result.out).back(), StartsWith(std::to_string(printed) + "\t"));
    ExpectPortFree(settings);
}

// The service's command line, with its defaults and specifiers filled in as systemd fills
// them, logs to its data folder and stops cleanly.
TEST_F(CliRunsTest, TheLoggingServiceRunsItsCommandLine) {
    startSimulator();
    std::map<std::string, std::string> environment;
    std::vector<std::string> command;
    const auto specifiers = [this](std::string text) {
        const std::pair<std::string, std::string> fills[] = {
            {"%i", "1"}, {"%h", work.path().string()}, {"%E", (work.path() / "config").string()}};
        for (const auto& [specifier, fill] : fills) {
            for (std::size_t at; (at = text.find(specifier)) != std::string::npos;)
                text.replace(at, specifier.size(), fill);
        }
        return text;
    };
    for (const std::string& line : Lines(FileText(TAVOLEX_CLI_DIR "/tavolex-log@.service"))) {
        if (line.starts_with("Environment=")) {
            const std::string setting = specifiers(line.substr(12));
            environment[setting.substr(0, setting.find('='))] =
                setting.substr(setting.find('=') + 1);
        }
        if (!line.starts_with("ExecStart=")) continue;
        std::istringstream words(specifiers(line.substr(10)));
        for (std::string word; words >> word;) {
            if (word.starts_with("${")) word = environment.at(word.substr(2, word.size() - 3));
            command.push_back(word);
        }
    }
    ASSERT_FALSE(command.empty());
    EXPECT_EQ(command.front(), "tavolex-cli");
    command.erase(command.begin());
    CliProcess service(command, work.path());
    ASSERT_TRUE(service.waitForLines(1, chr::seconds(10)));
    service.signal(SIGTERM);
    EXPECT_EQ(service.finish().status, 0);
    OnlyFileEndingIn(work.path() / "tavolex" / "com1", "秒.txt");
}

}  // namespace
}  // namespace tavolex::testing
