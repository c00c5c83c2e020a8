// Probe serial numbers, registration lines and files, and registration on a scripted line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "Commands.h"
#include "FakeLine.h"
#include "FileRegistration.h"
#include "ProbeRegistration.h"
#include "ProbeSn.h"
#include "RecordingOperator.h"
#include "RegistrationFile.h"
#include "StaticHost.h"
#include "TemporaryDirectory.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using testing::FakeLine;
using testing::FakeLink;
using testing::RecordingOperator;
using testing::StaticHost;

const ProbeSn kSn{0x28, 0xFF, 0x64, 0x1E, 0x0F, 0x00, 0x00, 0x9A};

Bytes SnReply(std::uint8_t code, std::uint8_t port, const ProbeSn& sn) {
    Bytes data{port};
    data.insert(data.end(), sn.begin(), sn.end());
    return ReplyFrame(0, code, data);
}

class ProbeRegistrationTest : public ::testing::Test {
protected:
    // A manual registration types the serial number 28-00-00-00-00-00-00-00.
    RegisterOutcome registerProbe(RegistrationMode mode, std::int32_t channel = 4,
                                  ProbePort port = ProbePort::A) {
        const RegistrationInputs inputs{mode, port, channel, {"28", "", "", "", "", "", "", ""}};
        return *RegisterProbe(OneCall({window, link.context, person}), inputs);
    }
    Bytes payloadSent() const {
        return Bytes(line.written.back().begin() + 7, line.written.back().end() - 2);
    }

    ManualClock clock;
    FakeLine line{clock};
    FakeLink link{line};
    StaticHost window;
    RecordingOperator person;
};

// A reply may end right after the serial number; the channel stays at the largest number rather
// than wrapping; channel 257 travels as 1.
TEST_F(ProbeRegistrationTest, EachReplyGivesItsMessageAndTheChannelToGoOnWith) {
    using enum RegistrationMode;
    using Told = std::vector<std::string>;
    constexpr std::int32_t kLargest = std::numeric_limits<std::int32_t>::max();
    const ProbeSn ones{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const auto semi = [](std::uint8_t port, const ProbeSn& sn) {
        return SnReply(command::kRegisterSemiAutomatic, port, sn);
    };
    const auto manual = [](std::uint8_t status) {
        return ReplyFrame(0, command::kRegisterManual, Bytes{status});
    };
    const auto found = [](const char* port, const std::string& channel) {
        return Told{"注册成功!\r\nSN号为:端口" + (port + ("通道号" + channel)) +
                    ";28-FF-64-1E-0F-00-00-9A"};
    };
    const Bytes whole = semi(1, kSn);
    const Bytes count = ReplyFrame(0, command::kRegisterFullyAutomatic, Bytes{200});
    const struct {
        RegistrationMode mode;
        std::int32_t channel;
        Bytes reply;
        Told told;
        bool update;
        std::optional<std::int32_t> next;
    } cases[] = {
        {SemiAutomatic, 257, semi(2, kSn), found("B", "257"), true, 258},
        {SemiAutomatic, 257, semi(0, ones), {"注册错误!SN号无效!"}, false, {}},
        {SemiAutomatic, 257, semi(0, ProbeSn{}), {"注册错误!通道号无效!"}, false, {}},
        {SemiAutomatic, 257, semi(7, kSn), found("", "257"), true, 258},
        {SemiAutomatic, 257, Bytes(whole.begin(), whole.begin() + 15), {"读数据错误!"}, false, {}},
        {SemiAutomatic, 257, Bytes(whole.begin(), whole.begin() + 16), found("A", "257"), true,
         258},
        {SemiAutomatic, kLargest, whole, found("A", "2147483647"), true, kLargest},
        {Manual, kLargest, manual(0), {"注册成功!"}, true, kLargest},
        {Manual, 257, manual(1), {"通道过大!"}, true, {}},
        {Manual, 257, manual(2), {"SN无效!"}, true, {}},
        {Manual, 257, manual(3), {}, true, {}},
        {FullyAutomatic, 257, count, {"共搜索到的探头数为200"}, true, {}},
    };
    for (const auto& c : cases) {
        line.reply(c.reply);
        const RegisterOutcome outcome = registerProbe(c.mode, c.channel, ProbePort::B);
        const Bytes sent = payloadSent(), head(sent.begin(), sent.begin() + (sent.empty() ? 0 : 2));
        EXPECT_EQ(head, c.mode == FullyAutomatic ? Bytes{} : Bytes({2, std::uint8_t(c.channel)}));
        EXPECT_EQ(std::exchange(person.messages, {}), c.told);
        EXPECT_EQ(outcome.updateWindow, c.update) << ::testing::PrintToString(c.told);
        EXPECT_EQ(outcome.nextChannel, c.next) << ::testing::PrintToString(c.told);
    }
    // A port that does not open changes nothing in the window either.
    line.refuseOpen = true;
    EXPECT_FALSE(registerProbe(SemiAutomatic).updateWindow);
}

TEST(ProbeSn, TextFormsLinesAndFilesParseOrGiveTheirFault) {
    EXPECT_EQ(SnDisplayText(kSn), "28-FF-64-1E-0F-00-00-9A");
    EXPECT_EQ(RegistrationLine("02", 7, kSn), "02:07:28-FF-64-1E-0F-00-00-9A");
    EXPECT_EQ(RegistrationLine("01", 64, kSn).size(), 29u);
    EXPECT_EQ(RegistrationLine("01", 100, kSn), "01:100:28-FF-64-1E-0F-00-00-9A");
    const std::pair<const char*, std::optional<std::uint8_t>> cases[] = {
        {"", 0x00},  {"0", 0x00}, {"28", 0x28}, {"F", 0x0F}, {"FF", 0xFF},
        {"028", {}}, {"ff", {}},  {"G0", {}},   {" 1", {}}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseSnField(text), value) << text;
    // The channel to read next walks on and wraps before leaving the window's range.
    for (const auto& [channel, next] : {std::pair{0, 0}, {5, 6}, {62, 63}, {63, 1}, {64, 1}})
        EXPECT_EQ(NextSnReadChannel(channel), next) << channel;

    // Well-formed lines give the bytes to send, bad ones their fault.
    const auto parsed = [](const char* text) {
        const auto line = std::get<FileRegistration>(ParseRegistrationLine(text));
        return std::tuple(line.port, line.channel, line.sn);
    };
    EXPECT_EQ(parsed("  02:05:28-FF-64-1E-0F-00-00-9A\r\n"), std::tuple(2, 5, kSn));
    // Port and channel digits are not checked: the instrument decides ('A' is taken as 17).
    EXPECT_EQ(std::get<0>(parsed("03:99:28-00-00-00-00-00-00-00")), 3);
    EXPECT_EQ(std::get<0>(parsed("0A:00:28-00-00-00-00-00-00-00")), 17);
    // Bad lines tell a wrong format apart from a wrong serial number.
    for (const char* bad : {"", "02:05:28-FF-64-1E-0F-00-00-9", "02:05:28-FF-64-1E-0F-00-00-9A0",
                            "02-05:28-FF-64-1E-0F-00-00-9A", "02:05:28:FF-64-1E-0F-00-00-9A",
                            "02:05:28-FF-64-1E-0F-00-00 9A"}) {
        EXPECT_EQ(std::get<LineError>(ParseRegistrationLine(bad)), LineError::Format) << bad;
    }
    for (const char* bad : {"02:05:28-ff-64-1E-0F-00-00-9A", "02:05:27-FF-64-1E-0F-00-00-9A",
                            "02:05:28-FF-64-1E-0F-00-0G-9A"}) {
        EXPECT_EQ(std::get<LineError>(ParseRegistrationLine(bad)), LineError::Sn) << bad;
    }

    // A file's lines are read like a text file, in pieces of 1023 bytes.
    const testing::TemporaryDirectory directory;
    const fs::path path = directory.path() / "probes.txt";
    // "中" in GBK: a line of 29 bytes whose last field is not hexadecimal.
    const std::string gbkLine = "02:05:28-FF-64-1E-0F-00-00-\xD6\xD0";
    std::ofstream(path, std::ios::binary) << "01:01:28-FF-64-1E-0F-00-00-9A\r\n\n"
                                          << std::string(1500, 'x') << "\n"
                                          << gbkLine << "\nlast\n";
    std::vector<std::string> lines;
    auto reader = RegistrationFileReader::Open(path);
    ASSERT_TRUE(reader);
    while (std::optional<std::string> line = reader->next())
        lines.push_back(std::move(*line));
    ASSERT_EQ(lines, (std::vector<std::string>{"01:01:28-FF-64-1E-0F-00-00-9A\r\n", "\n",
                                               std::string(1023, 'x'), std::string(477, 'x') + "\n",
                                               gbkLine + "\n", "last\n"}));
    // Measured in the file's own bytes, the line has the right length but a bad serial number.
    EXPECT_EQ(std::get<LineError>(ParseRegistrationLine(lines[4])), LineError::Sn);
    EXPECT_FALSE(RegistrationFileReader::Open(directory.path() / "missing.txt"));
}

// Settings that start refusing at a given take, and what the run told of its progress.
class FileRunWindow final : public SettingsSource, public FileRegistrationProgress {
public:
    bool takeSettings() override { return ++refreshes < refuseFromRefresh; }
    LinkSettings linkSettings() const override { return {}; }
    TraceTarget* traceTarget() const override { return nullptr; }
    void runStarted() override { controlsEnabled = false; }
    void lineRegistered(int channel) override { popupChannels.push_back(channel); }
    void runEnded() override { controlsEnabled = true; }

    int refreshes = 0;
    int refuseFromRefresh = 1000;
    bool controlsEnabled = true;
    std::vector<int> popupChannels;
};

class FileRegistrationTest : public ::testing::Test {
protected:
    void run(const fs::path& file) {
        person.chosenFile = file;
        RegisterFromFile(OneCall({window, link.context, person}), window, directory.path());
    }
    fs::path fileOf(const std::string& text) {
        const fs::path path = directory.path() / "probes.txt";
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    testing::TemporaryDirectory directory;
    ManualClock clock;
    FakeLine line{clock};
    FakeLink link{line};
    FileRunWindow window;
    RecordingOperator person;
};

TEST_F(FileRegistrationTest, AnEndlessFileOrARefusedFieldStopsTheRun) {
    run("/dev/zero");
    EXPECT_EQ(std::exchange(person.messages, {}),
              std::vector<std::string>{"第1行格式错误,该行无注册,程序退出!"});
    EXPECT_TRUE(line.written.empty());
    EXPECT_TRUE(window.controlsEnabled);
    person.fileChoices.clear();
    const std::string good = "02:05:28-FF-64-1E-0F-00-00-9A\n";
    // Refused before the file is chosen: nothing is asked, nothing is sent.
    window.refuseFromRefresh = 1;
    run(fileOf(good + good));
    EXPECT_TRUE(person.fileChoices.empty());
    // Refused at the second line: the first is registered, the run stops without a message.
    window.refreshes = 0;
    window.refuseFromRefresh = 3;
    line.responder = [](ByteView) {
        return std::vector<testing::Chunk>{{{}, ReplyFrame(0, command::kRegisterManual, Bytes{0})}};
    };
    run(fileOf(good + good + good));
    EXPECT_EQ(line.written.size(), 1u);
    EXPECT_EQ(window.popupChannels, std::vector<int>{5});
    EXPECT_TRUE(person.messages.empty());
    EXPECT_TRUE(window.controlsEnabled);
}

}  // namespace
}  // namespace tavolex
