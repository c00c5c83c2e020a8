#include "PtyHost.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "Commands.h"
#include "PortWaits.h"
#include "PosixSerialPort.h"
#include "TemporaryDirectory.h"

extern char** environ;

namespace tavolex::sim {
namespace {

namespace fs = std::filesystem;
namespace chr = std::chrono;
using namespace std::chrono_literals;

using TempDir = testing::TemporaryDirectory;

HostOptions LinkedAt(const fs::path& link) {
    HostOptions options;
    options.linkPath = link;
    return options;
}

// The application's side: its own port on the host's slave, at the given speed.
std::unique_ptr<PosixSerialPort> OpenPort(const fs::path& path, std::int32_t baud = 115200) {
    return PosixSerialPort::Open(path, baud, PortProfile::Command);
}

// What arrives within the time-out, up to at least `wanted` bytes.
Bytes Receive(SerialPort& port, std::size_t wanted, std::uint32_t timeoutMs) {
    static PosixPortOpener opener;
    static const LinkContext link{opener, SystemClock()};
    Bytes bytes(WaitForBytes(port, static_cast<std::uint32_t>(wanted), timeoutMs, link));
    bytes.resize(ReadFromPort(port, bytes, link));
    return bytes;
}

Bytes Ask(SerialPort& port, std::uint8_t code, Bytes payload, std::size_t replySize,
          std::uint32_t timeoutMs = 2000) {
    port.write(RequestFrame(1, code, payload));
    return Receive(port, replySize, timeoutMs);
}

// A line of the program's output.
std::string ReadLine(int fd) {
    std::string line;
    pollfd pfd{fd, POLLIN, 0};
    char c = 0;
    while ((line.empty() || line.back() != '\n') && ::poll(&pfd, 1, 5000) > 0 &&
           ::read(fd, &c, 1) == 1)
        line += c;
    return line;
}

double ProcessCpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

TEST(PtyHost, ServesThroughItsLinkSurvivesTheApplicationClosingAndCleansUp) {
    TempDir dir;
    const fs::path link = dir.path() / "ports" / "com4";
    PtyHost host(InstrumentModel{}, LinkedAt(link));
    std::string error;
    ASSERT_TRUE(host.start(&error)) << error;
    EXPECT_EQ(fs::read_symlink(link), fs::path(host.slavePath()));

    auto port = OpenPort(link);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(Ask(*port, command::kReadClock, {}, 16).size(), 16u);
    port.reset();

    // With nobody on the port the host must idle, not spin on the master.
    const double cpuBefore = ProcessCpuSeconds();
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(ProcessCpuSeconds() - cpuBefore, 0.1);

    port = OpenPort(link);
    EXPECT_EQ(Ask(*port, command::kReadRecordingInterval, {}, 10).size(), 10u);
    port.reset();
    EXPECT_EQ(host.requestsReceived(), 2u);

    const auto stopStart = chr::steady_clock::now();
    host.stop();
    EXPECT_LT(chr::steady_clock::now() - stopStart, 500ms);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST(PtyHost, ReplacesAStaleLinkButNotALinkToADevice) {
    TempDir dir;
    const fs::path link = dir.path() / "com1";
    fs::create_symlink("/dev/pts/99999", link);
    {
        PtyHost host(InstrumentModel{}, LinkedAt(link));
        ASSERT_TRUE(host.start());
        EXPECT_EQ(fs::read_symlink(link), fs::path(host.slavePath()));
    }
    fs::create_symlink("/dev/null", link);
    PtyHost host(InstrumentModel{}, LinkedAt(link));
    std::string error;
    EXPECT_FALSE(host.start(&error));
    EXPECT_THAT(error, ::testing::HasSubstr("/dev/null"));
    EXPECT_EQ(fs::read_symlink(link), "/dev/null");
}

TEST(PtyHost, PacesAtThePortSpeedAndStillStopsAtOnce) {
    HostOptions paced;
    paced.pace = true;
    PtyHost host(InstrumentModel{}, paced);
    ASSERT_TRUE(host.start());
    auto port = OpenPort(host.slavePath(), 1200);
    auto start = chr::steady_clock::now();
    EXPECT_EQ(Ask(*port, command::kReadClock, {}, 16).size(), 16u);
    // 9 request and 16 reply bytes of 10 bits at 1200 bit/s take 208 ms.
    EXPECT_GE(chr::steady_clock::now() - start, 200ms);
    EXPECT_EQ(host.lineSpeed(), 1200);
    port.reset();

    // A 145-byte reply at 300 bit/s would take almost five seconds.
    port = OpenPort(host.slavePath(), 300);
    EXPECT_EQ(Ask(*port, command::kReadTemperatures, {}, 1, 1000).size(), 1u);
    start = chr::steady_clock::now();
    host.stop();
    EXPECT_LT(chr::steady_clock::now() - start, 300ms);
}

TEST(PtyHost, ModelAndFaultsCanBeChangedWhileItServes) {
    PtyHost host(InstrumentModel{});
    ASSERT_TRUE(host.start());
    auto port = OpenPort(host.slavePath());
    host.withModel([](InstrumentModel& model) { model.setSignalCount(10); });
    host.faults().add(*FaultRule::Parse("checksum:0x0B:count=1"));
    host.faults().add(*FaultRule::Parse("late:0x10:ms=300"));

    const Bytes first = Ask(*port, command::kReadTemperatures, {}, 37);
    const Bytes second = Ask(*port, command::kReadTemperatures, {}, 37);
    ASSERT_EQ(first.size(), 37u);
    EXPECT_FALSE(HasValidChecksum(first));
    EXPECT_TRUE(HasValidChecksum(second));
    host.withModel([](InstrumentModel& model) {
        ASSERT_EQ(model.sentReadings().size(), 2u);
        EXPECT_THAT(model.sentReadings()[0].faults,
                    ::testing::ElementsAre(FaultKind::WrongChecksum));
        EXPECT_TRUE(model.sentReadings()[1].faults.empty());
    });

    EXPECT_TRUE(Ask(*port, command::kReadClock, {}, 16, 150).empty());
    EXPECT_EQ(Receive(*port, 16, 1000).size(), 16u);
}

// Runs tavolex-sim with the ports folder in dir; returns its pid and its stdout's read end.
pid_t Spawn(const fs::path& dir, std::vector<std::string> args, int& out) {
    args.insert(args.begin(), TAVOLEX_SIM_PROGRAM);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    ::setenv("TAVOLEX_PORTS_DIR", dir.c_str(), 1);  // inherited by the child

    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::unsetenv("TAVOLEX_PORTS_DIR");
    ::close(pipeFds[1]);
    out = pipeFds[0];
    return pid;
}

int ExitStatus(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SimProgram, LinksItselfAnnouncesTheLinkAndRemovesItOnSigterm) {
    TempDir dir;
    int out = -1;
    const pid_t pid = Spawn(dir.path(), {"--com", "2", "--signals", "8"}, out);
    ASSERT_GT(pid, 0);
    const std::string text = ReadLine(out);
    const fs::path link = dir.path() / "com2";
    EXPECT_THAT(text, ::testing::MatchesRegex(
                          "tavolex-sim: serving com2 on /dev/pts/[0-9]+ \\(link .*com2\\)\n"));

    auto port = OpenPort(link);
    const Bytes reply = Ask(*port, command::kReadTemperatures, {}, 9 + 24);
    EXPECT_EQ(reply.size(), 9u + 24);
    port.reset();

    ::kill(pid, SIGTERM);
    EXPECT_EQ(ExitStatus(pid), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    ::close(out);

    const pid_t bad = Spawn(dir.path(), {"--signals", "99"}, out);
    EXPECT_EQ(ExitStatus(bad), 2);
    ::close(out);
}

}  // namespace
}  // namespace tavolex::sim
