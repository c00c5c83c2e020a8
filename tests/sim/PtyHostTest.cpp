#include "PtyHost.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "Commands.h"

extern char** environ;

namespace tavolex::sim {
namespace {

namespace fs = std::filesystem;
namespace chr = std::chrono;
using namespace std::chrono_literals;

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "tavolex-sim-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(m_path); }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

HostOptions LinkedAt(const fs::path& link) {
    HostOptions options;
    options.linkPath = link;
    return options;
}

HostOptions Paced() {
    HostOptions options;
    options.pace = true;
    return options;
}

// The application's side: a plain raw-mode open of the slave at the given speed.
int OpenPort(const fs::path& path, speed_t speed = B115200) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    termios settings{};
    if (fd < 0 || ::tcgetattr(fd, &settings) != 0) return -1;
    ::cfmakeraw(&settings);
    ::cfsetspeed(&settings, speed);
    ::tcsetattr(fd, TCSANOW, &settings);
    return fd;
}

Bytes ReadUpTo(int fd, std::size_t wanted, chr::milliseconds timeout) {
    Bytes bytes;
    const auto deadline = chr::steady_clock::now() + timeout;
    while (bytes.size() < wanted) {
        const auto left =
            chr::duration_cast<chr::milliseconds>(deadline - chr::steady_clock::now());
        pollfd pfd{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&pfd, 1, static_cast<int>(left.count()) + 1) <= 0) break;
        std::uint8_t buffer[256];
        const ssize_t got = ::read(fd, buffer, std::min(sizeof buffer, wanted - bytes.size()));
        if (got <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

std::string ReadLine(int fd, chr::milliseconds timeout) {
    std::string line;
    while (line.empty() || line.back() != '\n') {
        const Bytes next = ReadUpTo(fd, 1, timeout);
        if (next.empty()) break;
        line += static_cast<char>(next[0]);
    }
    return line;
}

Bytes Ask(int fd, std::uint8_t code, Bytes payload, std::size_t replySize,
          chr::milliseconds timeout = 2s) {
    const Bytes request = RequestFrame(1, code, payload);
    EXPECT_EQ(::write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    return ReadUpTo(fd, replySize, timeout);
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

    int fd = OpenPort(link);
    ASSERT_GE(fd, 0);
    const Bytes noise{0x00, 0x14, 0x3F, 0x7E};
    ASSERT_EQ(::write(fd, noise.data(), noise.size()), 4);
    const Bytes clock = Ask(fd, command::kReadClock, {}, 16);
    ASSERT_EQ(clock.size(), 16u);
    EXPECT_EQ(clock[4], command::kReadClock);
    EXPECT_TRUE(HasValidChecksum(clock));
    ::close(fd);

    // With nobody on the port the host must idle, not spin on the master.
    const double cpuBefore = ProcessCpuSeconds();
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(ProcessCpuSeconds() - cpuBefore, 0.1);

    fd = OpenPort(link);
    EXPECT_EQ(Ask(fd, command::kReadRecordingInterval, {}, 10).size(), 10u);
    ::close(fd);
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
    EXPECT_THAT(error, testing::HasSubstr("/dev/null"));
    EXPECT_EQ(fs::read_symlink(link), "/dev/null");
}

TEST(PtyHost, PacesAtThePortSpeedAndStillStopsAtOnce) {
    PtyHost host(InstrumentModel{}, Paced());
    ASSERT_TRUE(host.start());
    int fd = OpenPort(host.slavePath(), B1200);
    auto start = chr::steady_clock::now();
    EXPECT_EQ(Ask(fd, command::kReadClock, {}, 16).size(), 16u);
    // 9 request and 16 reply bytes of 10 bits at 1200 bit/s take 208 ms.
    EXPECT_GE(chr::steady_clock::now() - start, 200ms);
    EXPECT_EQ(host.lineSpeed(), 1200);
    ::close(fd);

    // A 145-byte reply at 300 bit/s would take almost five seconds.
    fd = OpenPort(host.slavePath(), B300);
    EXPECT_EQ(Ask(fd, command::kReadTemperatures, {}, 1, 1s).size(), 1u);
    start = chr::steady_clock::now();
    host.stop();
    EXPECT_LT(chr::steady_clock::now() - start, 300ms);
    ::close(fd);
}

TEST(PtyHost, ModelAndFaultsCanBeChangedWhileItServes) {
    PtyHost host(InstrumentModel{});
    ASSERT_TRUE(host.start());
    const int fd = OpenPort(host.slavePath());
    host.withModel([](InstrumentModel& model) { model.setSignalCount(10); });
    host.faults().add(*FaultRule::Parse("checksum:0x0B:count=1"));
    host.faults().add(*FaultRule::Parse("late:0x10:ms=300"));

    const Bytes first = Ask(fd, command::kReadTemperatures, {}, 37);
    const Bytes second = Ask(fd, command::kReadTemperatures, {}, 37);
    ASSERT_EQ(first.size(), 37u);
    EXPECT_FALSE(HasValidChecksum(first));
    EXPECT_TRUE(HasValidChecksum(second));
    host.withModel([](InstrumentModel& model) {
        ASSERT_EQ(model.sentReadings().size(), 2u);
        EXPECT_THAT(model.sentReadings()[0].faults, testing::ElementsAre(FaultKind::WrongChecksum));
        EXPECT_TRUE(model.sentReadings()[1].faults.empty());
    });

    EXPECT_TRUE(Ask(fd, command::kReadClock, {}, 16, 150ms).empty());
    EXPECT_EQ(ReadUpTo(fd, 16, 1s).size(), 16u);
    ::close(fd);
}

// Runs tavolex-sim with the ports folder in dir; returns its pid and its stdout's read end.
pid_t Spawn(const fs::path& dir, std::vector<std::string> args, int& out) {
    std::vector<std::string> env{"TAVOLEX_PORTS_DIR=" + dir.string()};
    for (char** e = environ; *e; ++e) {
        if (std::string_view(*e).starts_with("TAVOLEX_PORTS_DIR=")) continue;
        env.emplace_back(*e);
    }
    args.insert(args.begin(), TAVOLEX_SIM_PROGRAM);
    std::vector<char*> argv, envp;
    for (auto& a : args)
        argv.push_back(a.data());
    for (auto& e : env)
        envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
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
    const std::string text = ReadLine(out, 5s);
    const fs::path link = dir.path() / "com2";
    EXPECT_THAT(text, testing::MatchesRegex(
                          "tavolex-sim: serving com2 on /dev/pts/[0-9]+ \\(link .*com2\\)\n"));

    const int fd = OpenPort(link);
    const Bytes reply = Ask(fd, command::kReadTemperatures, {}, 9 + 24);
    EXPECT_EQ(reply.size(), 9u + 24);
    ::close(fd);

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
