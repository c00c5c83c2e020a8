// Every one-shot command of the client against the simulated instrument: what it prints, its
// messages and its exit status. The bytes each command sends are the window's (SameWireTest);
// what the instrument makes of them is the operations' own tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "Cli.h"
#include "CliProcess.h"
#include "Session.h"

namespace tavolex::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::Not;
using ::testing::StartsWith;

class CliCommandsTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        startSimulator();
        // Port 9 names a device that is not there.
        std::filesystem::create_symlink(work.path() / "unplugged", portsDir / "com9");
    }
};

TEST_F(CliCommandsTest, ReadPrintsEveryChannelTheInstrumentSendsInEachFormat) {
    model([](sim::InstrumentModel& m) { m.setSignalCount(6); });  // 4 PT100 and 6 digital words
    const CliResult json = run({"read", "--format", "json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const auto fields = ParseJsonObject(Lines(json.out).at(0));
    const auto sent = model([](sim::InstrumentModel& m) { return m.sentReadings().back().words; });
    ASSERT_EQ(fields.size(), 1u + sent.size());
    EXPECT_THAT(fields.at("time"), ::testing::MatchesRegex("20[0-9-]+T[0-9:]+"));
    EXPECT_EQ(fields.at("pt100_1"), sent[0].text());
    EXPECT_EQ(fields.at("ch6"), sent[9].text());
    EXPECT_EQ(fields.count("ch7"), 0u);

    const CliResult text = run({"read"});
    const std::vector<std::string> lines = Lines(text.out);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_THAT(lines[1], StartsWith("pt100_1\t"));
    EXPECT_THAT(lines[10], StartsWith("ch6\t"));

    const CliResult csv = run({"--format=csv", "read"});
    ASSERT_EQ(Lines(csv.out).size(), 2u);
    EXPECT_THAT(Lines(csv.out)[0], StartsWith("time,pt100_1,"));
    EXPECT_EQ(json.err + text.err + csv.err, "");
}

TEST_F(CliCommandsTest, SettingsAreSentAndReadBack) {
    EXPECT_EQ(run({"clock", "set", "2024-05-07 09:03:01"}).out, "2024-05-07 09:03:01\n");
    EXPECT_THAT(run({"clock"}).out, StartsWith("2024-05-07 09:0"));
    EXPECT_EQ(run({"interval", "set", "15"}).err, "设置成功!\n");
    EXPECT_EQ(ParseJsonObject(run({"interval", "get", "--format", "json"}).out).at("interval"),
              "15");
    EXPECT_EQ(run({"version"}).out, "Ver3.2\n");

    const CliResult offset = run({"offsets", "set", "digital", "5", "-1.5"});
    EXPECT_EQ(offset.status, 0) << offset.err;
    const CliResult pt100Offset = run({"offsets", "set", "pt100", "0", "0.7"});
    EXPECT_EQ(pt100Offset.status, 0) << pt100Offset.err;
    const auto offsets = ParseJsonObject(run({"--format", "json", "offsets"}).out);
    EXPECT_EQ(offsets.size(), 68u);
    EXPECT_EQ(offsets.at("ch5"), "-1.5");
    EXPECT_EQ(offsets.at("pt100_1"), "0.7");

    // The instrument's count reply is shorter than the generic wait: a surplus fills it, so
    // the exchange ends without sitting out its time-out.
    host->faults().add(*sim::FaultRule::Parse("surplus:0x01:bytes=7"));
    const CliResult channels = run({"channels", "set", "10"});
    EXPECT_EQ(channels.status, 0);
    EXPECT_EQ(channels.err, "设置的信号数为10成功!\n");

    EXPECT_EQ(run({"calibrate", "100"}).err, "校机成功!!!\n");
}

TEST_F(CliCommandsTest, ProbesAreRegisteredReadAndWiped) {
    const CliResult manual = run({"register", "manual", "b", "3", "28-aa-01-02-03-04-05-06"});
    EXPECT_EQ(manual.status, 0) << manual.err;
    EXPECT_EQ(manual.err, "注册成功!\n");

    const CliResult sn = run({"sn", "read", "3", "--format", "json"});
    ASSERT_EQ(sn.status, 0) << sn.err;
    const auto read = ParseJsonObject(sn.out);
    EXPECT_EQ(read.at("line"), "02:03:28-AA-01-02-03-04-05-06");
    EXPECT_EQ(read.at("port"), "B");
    EXPECT_EQ(read.at("sn"), "28-AA-01-02-03-04-05-06");

    const std::filesystem::path file = work.path() / "probes.txt";
    std::ofstream(file) << "01:07:28-00-00-00-00-00-00-07\r\n02:08:28-00-00-00-00-00-00-08\r\n";
    const CliResult fromFile = run({"register", "--file", file.string()});
    EXPECT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromFile.err, "注册成功!\n");
    const auto bound = model([](sim::InstrumentModel& m) { return m.binding(8); });
    ASSERT_TRUE(bound);
    EXPECT_EQ(bound->serial[7], 0x08);

    const CliResult automatic = run({"register", "auto"});
    EXPECT_EQ(automatic.status, 0);
    EXPECT_EQ(automatic.err, "共搜索到的探头数为64\n");

    EXPECT_EQ(run({"ids", "wipe"}).status, 2);
    EXPECT_TRUE(model([](sim::InstrumentModel& m) { return m.binding(5); }));
    const CliResult wipe = run({"ids", "wipe", "--yes"});
    EXPECT_EQ(wipe.status, 0);
    EXPECT_EQ(wipe.err, "全部ID已删除!\n");
    EXPECT_FALSE(model([](sim::InstrumentModel& m) { return m.binding(5); }));
}

TEST_F(CliCommandsTest, Pt100ServiceStepsShowWhatTheInstrumentKeeps) {
    const CliResult zero = run({"pt100", "calibrate", "zero", "2"});
    ASSERT_EQ(zero.status, 0) << zero.err;
    const CliResult r2 = run({"pt100", "calibrate", "r2", "2", "--format", "json"});
    const auto kept = model([](sim::InstrumentModel& m) { return m.pt100Parameters(1); });
    EXPECT_EQ(zero.out, std::to_string(kept.zeroPointAd) + "\n");
    EXPECT_EQ(ParseJsonObject(r2.out).at("r2"), std::to_string(kept.resistor2Ad));

    const auto params = ParseJsonObject(run({"pt100", "params", "2", "--format", "json"}).out);
    EXPECT_EQ(params.at("zero"), std::to_string(kept.zeroPointAd));
    EXPECT_EQ(params.at("r1"), std::to_string(kept.resistor1Ad));
    EXPECT_EQ(params.at("r2"), std::to_string(kept.resistor2Ad));

    const CliResult temps = run({"pt100", "temps", "--format", "csv"});
    ASSERT_EQ(temps.status, 0) << temps.err;
    EXPECT_EQ(Lines(temps.out).at(0), "pt100_1,pt100_2,pt100_3,pt100_4");
}

TEST(ExitStatus, FollowsTheOutcome) {
    EXPECT_EQ(cli::ExitStatus(OutcomeKind::Done), cli::kExitSuccess);
    EXPECT_EQ(cli::ExitStatus(OutcomeKind::Refused), cli::kExitUsage);
    EXPECT_EQ(cli::ExitStatus(OutcomeKind::PortNotOpened), cli::kExitNoPort);
    EXPECT_EQ(cli::ExitStatus(OutcomeKind::Failed), cli::kExitFailed);
}

// The instrument answered, and its answer is a failure: exit status 1 with the operation's own
// message (each operation's messages are checked in the outcome table).
TEST_F(CliCommandsTest, AnAnswerThatIsAFailureExitsWithOne) {
    host->faults().add(*sim::FaultRule::Parse("checksum:0x0B:count=1"));
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"read"}, "返回数据错误!"},
        {{"register", "manual", "A", "65", "28-1-2-3-4-5-6-7"}, "通道过大!"},
    };
    for (const auto& [arguments, message] : cases) {
        const CliResult result = run(arguments);
        EXPECT_EQ(result.status, 1) << arguments[0] << " " << result.err;
        EXPECT_EQ(result.err, message + "\n") << arguments[0];
        EXPECT_EQ(result.out, "") << arguments[0];
    }
}

TEST_F(CliCommandsTest, ARegistrationFileStopsAtItsFirstBadLine) {
    const std::filesystem::path file = work.path() / "probes.txt";
    std::ofstream(file)
        << "01:07:28-00-00-00-00-00-00-07\nnot a line\n01:09:28-00-00-00-00-00-00-09\n";
    const CliResult result = run({"register", "--file", file.string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "第2行格式错误,该行无注册,程序退出!\n");
    const sim::ProbeSerial ninth{0x28, 0, 0, 0, 0, 0, 0, 0x09};
    EXPECT_NE(model([](sim::InstrumentModel& m) { return m.binding(9)->serial; }), ninth)
        << "registered past the bad line";

    // A line the instrument refuses is told, the run goes on, and the status says so.
    std::ofstream(file) << "01:70:28-00-00-00-00-00-00-07\n01:09:28-00-00-00-00-00-00-09\n";
    const CliResult refused = run({"register", "--file", file.string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "通道过大!\n注册成功!\n");
    EXPECT_EQ(model([](sim::InstrumentModel& m) { return m.binding(9)->serial; }), ninth);
}

// A command whose port cannot be opened exits with 3 and says why (each operation's message is
// checked in the outcome table; the runs have their own), pointing to the client's own way to
// choose a port, not to a window.
TEST_F(CliCommandsTest, APortThatWillNotOpenExitsWithThree) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"read"}, "打开串口错误!"},
        {{"log", "--period", "600", "--count", "1"}, "打开串口失败!"},
        {{"records", "download"}, "没有发现此串口或此串口被占用"},
    };
    for (const auto& [arguments, message] : cases) {
        std::vector<std::string> onPort9 = arguments;
        onPort9.insert(onPort9.begin(), {"--port", "9"});
        const CliResult result = run(onPort9);
        EXPECT_EQ(result.status, 3) << arguments[0] << ": " << result.err;
        EXPECT_THAT(result.err, StartsWith(message)) << arguments[0];
        EXPECT_THAT(result.err, HasSubstr("tavolex-cli ports")) << arguments[0];
        EXPECT_THAT(result.err, Not(HasSubstr("选择串口"))) << arguments[0];
    }
    const CliResult missing = run({"--device", (work.path() / "ttyNone").string(), "clock"});
    EXPECT_EQ(missing.status, 3);
    EXPECT_THAT(missing.err, HasSubstr("ttyNone 不存在"));
    EXPECT_EQ(host->requestsReceived(), 0u);

    // The same device by its path works.
    EXPECT_EQ(run({"--device", host->slavePath(), "version"}).out, "Ver3.2\n");
}

// A wrong command line sends nothing and exits with 2.
TEST_F(CliCommandsTest, BadUsageSendsNothing) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "Usage:"},
        {{"frobnicate"}, "no command 'frobnicate'"},
        {{"read", "--yes"}, "--yes does not belong to 'read'"},
        {{"--port", "x", "read"}, "--port needs a whole number"},
        {{"--port", "1", "--device", "/dev/null", "read"}, "either --port or --device"},
        {{"--format", "xml", "read"}, "--format is text, csv or json"},
        {{"channels", "set"}, "'channels set' takes N"},
        {{"records", "delete"}, "records delete needs --yes to confirm"},
        {{"records", "download", "--csv", "/nonexistent/records.csv"},
         "cannot write '/nonexistent/records.csv': No such file or directory"},
        {{"records", "download", "--csv", "/proc"}, "cannot write '/proc': Is a directory"},
        {{"offsets", "set", "digital", "65", "1"}, "not among 1-64"},
        {{"offsets", "set", "digital", "1", "10.1"}, "偏移值设置范围在+10.0～-10.0，请再次输入。"},
        {{"calibrate", "50"}, "请先选择电阻!"},
        {{"interval", "set", "61"}, "输入的数值必须为1-60之间的整数"},
        {{"clock", "set", "2024-02-30 10:00:00"},
         "'2024-02-30 10:00:00' is not a date and time (YYYY-MM-DD HH:MM:SS)"},
        {{"clock", "set"}, "either --now or"},
        {{"sn", "read", "65"}, "请输入一个介于 0 和 64 之间的整数。"},
        {{"register", "manual", "A", "1", "28-00-00"}, "SN号输入格式错误!"},
        {{"register", "--file", "/nonexistent/probes.txt"}, "cannot read"},
        {{"pt100", "params", "5"}, "the PT100 channel is 1 to 4"},
        {{"log", "--period", "599"}, "最小采集周期600ms"},
        {{"log", "--period", "600", "--txt", "/proc/none"}, "cannot make the folder"},
        {{"log", "--period", "600", "--count", "2", "--duration", "5"}, "either --count or"},
        {{"log", "--period", "600", "--count", "0"}, "--count and --duration need"},
        {{"log", "--period", "600", "--record", "-1"}, "--record needs"},
    };
    for (const auto& [arguments, message] : cases) {
        const CliResult result = runWith({"LANGUAGE=zh_CN", "LC_MESSAGES=C"}, arguments);
        EXPECT_EQ(result.status, 2) << ::testing::PrintToString(arguments);
        EXPECT_THAT(result.err, HasSubstr(message)) << ::testing::PrintToString(arguments);
    }
    EXPECT_EQ(host->requestsReceived(), 0u);
}

// The operations' messages follow the environment's language, as the window's do.
TEST_F(CliCommandsTest, MessagesAreEnglishUnlessTheEnvironmentPrefersChinese) {
    const std::vector<std::string> onPort9{"--port", "9", "read"};
    for (const std::vector<std::string>& language :
         {std::vector<std::string>{"LANG=C.UTF-8"}, {"LANGUAGE=en", "LANG=zh_CN.UTF-8"}, {}}) {
        const CliResult result = runWith(language, onPort9);
        EXPECT_EQ(result.status, 3);
        EXPECT_THAT(result.err, StartsWith("Error opening the serial port!\n"))
            << ::testing::PrintToString(language);
    }
    EXPECT_THAT(runWith({"LANG=zh_CN.UTF-8"}, onPort9).err, StartsWith("打开串口错误!\n"));
    EXPECT_THAT(runWith({"LANG=C.UTF-8"}, {"interval", "set", "61"}).err,
                Not(HasSubstr("输入的数值")));
}

// The window's program answers --help before it needs a window system: no display, no
// platform plugin.
TEST_F(CliCommandsTest, TheWindowProgramAnswersHelpWithoutADisplay) {
    const std::vector<std::string> noDisplay{"LANG=C.UTF-8",
                                             "DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb",
                                             "QT_QPA_PLATFORM_PLUGIN_PATH=/nonexistent"};
    const CliResult help =
        CliProcess({"--help"}, work.path(), noDisplay, TAVOLEX_WINDOW_PROGRAM).finish();
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_THAT(help.out, HasSubstr("Usage: tavolex [options]"));
    EXPECT_THAT(help.out, HasSubstr("--list-ports"));
}

TEST_F(CliCommandsTest, VersionNamesTheProgram) {
    const CliResult version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_THAT(version.out, MatchesRegex("tavolex-cli [0-9]+\\.[0-9]+\n"));
}

TEST_F(CliCommandsTest, EveryCommandHasHelpAndTheCompletionAndManualPageKnowIt) {
    const std::string completion = FileText(TAVOLEX_CLI_DIR "/tavolex-cli.bash-completion");
    const std::string manual = FileText(TAVOLEX_CLI_DIR "/tavolex-cli.1");
    for (const cli::CommandInfo& command : cli::CommandList()) {
        std::vector<std::string> arguments;
        std::istringstream words{std::string(command.name)};
        for (std::string word; words >> word;) {
            arguments.push_back(word);
            EXPECT_THAT(completion, HasSubstr(word));
        }
        arguments.push_back("--help");
        const CliResult help = runWith({"LANG=C.UTF-8"}, arguments);
        EXPECT_EQ(help.status, 0);
        EXPECT_THAT(help.out,
                    StartsWith("Usage: tavolex-cli [global options] " + std::string(command.name)));
        EXPECT_NE(manual.find(std::string(command.name)), std::string::npos) << command.name;
    }
}

}  // namespace
}  // namespace tavolex::testing
