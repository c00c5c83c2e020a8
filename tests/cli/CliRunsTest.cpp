// Logging and the record download, ended by their own limit or a signal, and their files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <sstream>

#include "CliTest.h"
#include "Gbk.h"

namespace tavolex::testing {
namespace {

namespace fs = std::filesystem;
namespace chr = std::chrono;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::StartsWith;

class CliRunsTest : public CliTest {
protected:
    // The one file in the folder whose name ends so.
    static fs::path OnlyFileEndingIn(const fs::path& folder, std::string_view ending) {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().string().ends_with(ending)) found.push_back(entry.path());
        EXPECT_EQ(found.size(), 1u) << "files ending in " << ending << " in " << folder;
        return found.empty() ? fs::path() : found.front();
    }
    // The program closed the port: it can be opened again.
    void expectPortFree() { EXPECT_NE(open(), nullptr); }
};

TEST_F(CliRunsTest, LogWritesTheWindowsDataFileItsCsvAndPrintsEachReading) {
    startSimulator();
    const fs::path data = work.path() / "data";
    const std::vector<std::string> rows = Lines(expectRun(
        {"log", "--period", "600", "--count", "3", "--txt", data.string(), "--format", "json"}, 0,
        "成功次数:3 失败次数:0\n"));
    const auto sent = model([](sim::InstrumentModel& m) { return m.sentReadings(); });
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(ParseJsonObject(rows[2]).at("ch64"), sent[2].words[67].text());

    // One record (the first reading; the next is due after 30 s), in GBK with CR LF.
    const fs::path txt = OnlyFileEndingIn(data, "秒.txt");
    const std::string record = *GbkToUtf8(FileText(txt));
    EXPECT_THAT(record, MatchesRegex("[0-9]{2}:[0-9]{2}:[0-9]{2}(\t-?[0-9]+\\.[0-9]){68}\r\n"));
    EXPECT_THAT(record, HasSubstr("\t" + sent[0].words[4].text() + "\t"));
    const std::string csv = FileText(fs::path(txt).replace_extension(".csv"));
    EXPECT_THAT(csv, StartsWith("\xEF\xBB\xBF时间,PT100通道1,"));
    EXPECT_EQ(Lines(csv).size(), 2u);
    expectPortFree();
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
    EXPECT_EQ(Lines(FileText(OnlyFileEndingIn(work.path(), "秒.txt"))).size(), 1u);
    expectPortFree();
}

TEST_F(CliRunsTest, RecordsAreCountedDownloadedSavedAndDeleted) {
    sim::ModelOptions options;
    options.signalCount = 64;
    startSimulator(options);
    model([](sim::InstrumentModel& m) { m.preloadRecords(4); });
    EXPECT_EQ(run({"records", "count"}).out, "4\n");

    // Without a terminal there is no progress line.
    const fs::path file = work.path() / "records.csv";
    const std::vector<std::string> rows = Lines(
        expectRun({"records", "download", "--csv", file.string(), "--format", "json"}, 0, ""));
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

    expectRun({"records", "delete", "--yes"}, 0, "记录已全部删除!\n");
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
    EXPECT_LT(printed, 200u);
    EXPECT_EQ(Lines(FileText(file)).size(), printed + 1) << "every row printed is saved";
    EXPECT_THAT(Lines(result.out).back(), StartsWith(std::to_string(printed) + "\t"));
    expectPortFree();
}

// Filled in as systemd fills it ("${NAME}" one word, even empty; "$NAME" split into words), it
// logs into its data folder.
TEST_F(CliRunsTest, TheLoggingServiceRunsItsCommandLine) {
    startSimulator();
    std::string unit = FileText(TAVOLEX_CLI_DIR "/tavolex-log@.service");
    for (const auto& [specifier, fill] :
         {std::pair<std::string, std::string>{"%i", "1"}, {"%h", work.path().string()}}) {
        for (std::size_t at; (at = unit.find(specifier)) != std::string::npos;)
            unit.replace(at, specifier.size(), fill);
    }
    std::map<std::string, std::string> environment;
    std::vector<std::string> command;
    for (const std::string& line : Lines(unit)) {
        if (line.starts_with("Environment=")) {
            const std::size_t equals = line.find('=', 12);
            environment[line.substr(12, equals - 12)] = line.substr(equals + 1);
        }
        if (!line.starts_with("ExecStart=")) continue;
        std::istringstream words(line.substr(10));
        for (std::string word; words >> word;) {
            if (word.starts_with("${")) {
                command.push_back(environment.at(word.substr(2, word.size() - 3)));
            } else if (word.starts_with("$")) {
                std::istringstream split(environment.at(word.substr(1)));
                for (std::string part; split >> part;)
                    command.push_back(part);
            } else {
                command.push_back(word);
            }
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
