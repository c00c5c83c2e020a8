// Every one-shot command of the client against the simulated instrument: what it prints, its
// messages and its exit status (the bytes it sends are SameWireTest's).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "Cli.h"
#include "CliTest.h"
#include "DataOutput.h"

namespace tavolex::testing {
namespace {

using ::testing::_;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::Not;
using ::testing::StartsWith;

std::string Written(cli::Format format, const std::vector<cli::Row>& rows, bool vertical = false) {
    std::ostringstream out;
    cli::DataOutput output(out, format, vertical);
    for (const cli::Row& row : rows)
        output.write(row);
    return out.str();
}

const std::vector<cli::Row> kRows = {
    {{"名称", "say \"hi\", then\nleave", false}, {"值", "-1.5", true}, {"空", "", true}},
    {{"名称", "back\\slash\x01", false}, {"值", "--", true}, {"空", "7", true}},
};

// The output formats, in-process: fields that carry the characters each format must escape.
TEST(DataOutput, EachFormatKeepsEveryFieldApart) {
    EXPECT_EQ(Written(cli::Format::Json, kRows),
              "{\"名称\":\"say \\\"hi\\\", then\\nleave\",\"值\":-1.5,\"空\":null}\n"
              "{\"名称\":\"back\\\\slash\\u0001\",\"值\":\"--\",\"空\":7}\n");
    EXPECT_EQ(Written(cli::Format::Csv, kRows),
              "名称,值,空\n\"say \"\"hi\"\", then\nleave\",-1.5,\nback\\slash\x01,--,7\n");
    EXPECT_EQ(Written(cli::Format::Text, {kRows[1]}), "back\\slash\x01\t--\t7\n");
    EXPECT_EQ(Written(cli::Format::Text, {kRows[1]}, true),
              "名称\tback\\slash\x01\n值\t--\n空\t7\n");
}

class CliCommandsTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        startSimulator();
        // Port 9 names a device that is not there.
        std::filesystem::create_symlink(work.path() / "unplugged", portsDir / "com9");
    }
    std::optional<sim::Binding> binding(int channel) {
        return model([&](sim::InstrumentModel& m) { return m.binding(channel); });
    }
};

TEST_F(CliCommandsTest, ReadPrintsEveryChannelTheInstrumentSendsInEachFormat) {
    model([](sim::InstrumentModel& m) { m.setSignalCount(6); });  // 4 PT100 and 6 digital words
    const auto fields = ParseJsonObject(expectRun({"read", "--format", "json"}, 0, ""));
    const auto sent = model([](sim::InstrumentModel& m) { return m.sentReadings().back().words; });
    ASSERT_EQ(fields.size(), 1u + sent.size());
    EXPECT_THAT(fields.at("time"), MatchesRegex("20[0-9-]+T[0-9:]+"));
    EXPECT_EQ(fields.at("pt100_1"), sent[0].text());
    EXPECT_EQ(fields.at("ch6"), sent[9].text());

    EXPECT_THAT(Lines(expectRun({"read"}, 0, "")), ElementsAre(_, StartsWith("pt100_1\t"), _, _, _,
                                                               _, _, _, _, _, StartsWith("ch6\t")));
    EXPECT_THAT(Lines(expectRun({"--format=csv", "read"}, 0, "")),
                ElementsAre(StartsWith("time,pt100_1,"), _));
}

TEST_F(CliCommandsTest, SettingsAreSentAndReadBack) {
    EXPECT_EQ(run({"clock", "set", "2024-05-07 09:03:01"}).out, "2024-05-07 09:03:01\n");
    EXPECT_THAT(run({"clock"}).out, StartsWith("2024-05-07 09:0"));
    expectRun({"interval", "set", "15"}, 0, "设置成功!\n");
    EXPECT_EQ(ParseJsonObject(run({"interval", "get", "--format", "json"}).out).at("interval"),
              "15");
    EXPECT_EQ(run({"version"}).out, "Ver3.2\n");

    expectRun({"offsets", "set", "digital", "5", "-1.5"}, 0, "设置成功!\n");
    expectRun({"offsets", "set", "pt100", "0", "0.7"}, 0, "设置成功!\n");
    const auto offsets = ParseJsonObject(run({"--format", "json", "offsets"}).out);
    EXPECT_EQ(std::tuple(offsets.size(), offsets.at("ch5"), offsets.at("pt100_1")),
              std::tuple(68u, "-1.5", "0.7"));
}

TEST_F(CliCommandsTest, ProbesAreRegisteredAndCalibratedAndAWipeAsksFirst) {
    expectRun({"register", "manual", "b", "3", "28-aa-01-02-03-04-05-06"}, 0, "注册成功!\n");
    const CliResult sn = run({"sn", "read", "3", "--format", "json"});
    EXPECT_EQ(sn.status, 0) << sn.err;
    const auto read = ParseJsonObject(sn.out);
    EXPECT_EQ(std::tuple(read.at("line"), read.at("port"), read.at("sn")),
              std::tuple("02:03:28-AA-01-02-03-04-05-06", "B", "28-AA-01-02-03-04-05-06"));

    EXPECT_EQ(run({"ids", "wipe"}).status, 2);
    EXPECT_TRUE(binding(3));

    const std::filesystem::path file = work.path() / "probes.txt";
    const std::string ninth = "01:09:28-00-00-00-00-00-00-09\n";
    const sim::ProbeSerial ninthSerial{0x28, 0, 0, 0, 0, 0, 0, 0x09};
    std::ofstream(file) << "01:07:28-00-00-00-00-00-00-07\nnot a line\n" << ninth;
    expectRun({"register", "--file", file.string()}, 1, "第2行格式错误,该行无注册,程序退出!\n");
    EXPECT_NE(binding(9)->serial, ninthSerial) << "registered past the bad line";

    // A line the instrument refuses is told, the run goes on, and the status says so.
    std::ofstream(file) << "01:70:28-00-00-00-00-00-00-07\n" << ninth;
    expectRun({"register", "--file", file.string()}, 1, "通道过大!\n注册成功!\n");
    EXPECT_EQ(binding(9)->serial, ninthSerial);

    // The PT100 service steps show what the instrument keeps.
    const std::string zero = expectRun({"pt100", "calibrate", "zero", "2"}, 0, "");
    const CliResult r2 = run({"pt100", "calibrate", "r2", "2", "--format", "json"});
    const auto kept = model([](sim::InstrumentModel& m) { return m.pt100Parameters(1); });
    EXPECT_EQ(zero, std::to_string(kept.zeroPointAd) + "\n");
    EXPECT_EQ(ParseJsonObject(r2.out).at("r2"), std::to_string(kept.resistor2Ad));

    const auto params = ParseJsonObject(run({"pt100", "params", "2", "--format", "json"}).out);
    EXPECT_EQ(params.at("zero"), std::to_string(kept.zeroPointAd));
    EXPECT_EQ(params.at("r1"), std::to_string(kept.resistor1Ad));
    EXPECT_EQ(params.at("r2"), std::to_string(kept.resistor2Ad));
    EXPECT_EQ(Lines(expectRun({"pt100", "temps", "--format", "csv"}, 0, "")).at(0),
              "pt100_1,pt100_2,pt100_3,pt100_4");
}

// A failure answered: exit status 1, the operation's own message and nothing printed.
TEST_F(CliCommandsTest, AFailureAnsweredExitsWithOneAndAPortThatWillNotOpenWithThree) {
    // It says why, pointing to the client's own way to choose a port, not to a window.
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--port", "9", "read"}, "打开串口错误!"},
        {{"--port", "9", "log", "--period", "600", "--count", "1"}, "打开串口失败!"},
        {{"--port", "9", "records", "download"}, "没有发现此串口或此串口被占用"},
    };
    for (const auto& [arguments, message] : cases) {
        const CliResult result = run(arguments);
        EXPECT_EQ(result.status, 3) << arguments[2] << ": " << result.err;
        EXPECT_THAT(result.err, AllOf(StartsWith(message), HasSubstr("tavolex-cli ports"),
                                      Not(HasSubstr("选择串口"))));
    }
    const CliResult missing = run({"--device", (work.path() / "ttyNone").string(), "clock"});
    EXPECT_EQ(missing.status, 3);
    EXPECT_THAT(missing.err, HasSubstr("ttyNone 不存在"));
    EXPECT_EQ(host->requestsReceived(), 0u);
    // The same device by its path works.
    EXPECT_EQ(run({"--device", host->slavePath(), "version"}).out, "Ver3.2\n");

    // A failure answered: exit status 1, the operation's own message and nothing printed.
    host->faults().add(*sim::FaultRule::Parse("checksum:0x0B:count=1"));
    EXPECT_EQ(expectRun({"read"}, 1, "返回数据错误!\n"), "");
    EXPECT_EQ(expectRun({"register", "manual", "A", "65", "28-1-2-3-4-5-6-7"}, 1, "通道过大!\n"),
              "");
}

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
        {{"log", "--period", "600", "--record", "-1"}, "--record needs"}};
    for (const auto& [arguments, message] : cases) {
        const CliResult result = run(arguments, {"LANGUAGE=zh_CN", "LC_MESSAGES=C"});
        EXPECT_EQ(result.status, 2) << ::testing::PrintToString(arguments);
        EXPECT_THAT(result.err, HasSubstr(message)) << ::testing::PrintToString(arguments);
    }
    EXPECT_EQ(host->requestsReceived(), 0u);
}

// The operations' messages follow the environment's language, as the window's do.
TEST_F(CliCommandsTest, MessagesAreEnglishUnlessTheEnvironmentPrefersChinese) {
    const std::vector<std::string> onPort9{"--port", "9", "read"};
    for (const std::vector<std::string>& language :
         {std::vector<std::string>{"LANG=C.UTF-8"}, {"LANGUAGE=en", "LANG=zh_CN.UTF-8"}, {}})
        EXPECT_THAT(run(onPort9, language).err, StartsWith("Error opening the serial port!\n"))
            << ::testing::PrintToString(language);
    EXPECT_THAT(run(onPort9, {"LANG=zh_CN.UTF-8"}).err, StartsWith("打开串口错误!\n"));
    EXPECT_THAT(run({"interval", "set", "61"}, {"LANG=C.UTF-8"}).err, Not(HasSubstr("输入的数值")));
}

// The window's program answers --help before it needs a window system.
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
        const CliResult help = run(arguments, {"LANG=C.UTF-8"});
        EXPECT_EQ(help.status, 0);
        EXPECT_THAT(help.out,
                    StartsWith("Usage: tavolex-cli [global options] " + std::string(command.name)));
        EXPECT_THAT(manual, HasSubstr(std::string(command.name)));
    }
    EXPECT_THAT(expectRun({"--version"}, 0, ""), MatchesRegex("tavolex-cli [0-9]+\\.[0-9]+\n"));

    const CliResult window =
        ChildProcess(TAVOLEX_WINDOW_PROGRAM, {"--help"}, work.path(),
                     {"LANG=C.UTF-8", "DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb",
                      "QT_QPA_PLATFORM_PLUGIN_PATH=/nonexistent"})
            .finish();
    EXPECT_EQ(window.status, 0) << window.err;
    EXPECT_THAT(window.out,
                AllOf(HasSubstr("Usage: tavolex [options]"), HasSubstr("--list-ports")));
}

}  // namespace
}  // namespace tavolex::testing
