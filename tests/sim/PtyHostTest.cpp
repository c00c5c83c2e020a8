// The simulated instrument served on a pseudo-terminal, and the program that runs it.
#include "PtyHost.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <thread>

#include "ChildProcess.h"
#include "Commands.h"
#include "PortWaits.h"
#include "PosixSerialPort.h"
#include "TemporaryDirectory.h"

namespace tavolex::sim {
namespace {

namespace fs = std::filesystem;
namespace chr = std::chrono;
using namespace std::chrono_literals;

using TempDir = testing::TemporaryDirectory;
using ::testing::ElementsAre, ::testing::Field, ::testing::IsEmpty;

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

Bytes Ask(SerialPort& port, std::uint8_t code, std::size_t replySize,
          std::uint32_t timeoutMs = 2000) {
    port.write(RequestFrame(1, code));
    return Receive(port, replySize, timeoutMs);
}

TEST(PtyHost, LinksServesAndCleansUpButNeverReplacesADevicesLink) {
    TempDir dir;
    const fs::path link = dir.path() / "ports" / "com4";
    PtyHost host(InstrumentModel{}, LinkedAt(link));
    std::string error;
    ASSERT_TRUE(host.start(&error)) << error;
    EXPECT_EQ(fs::read_symlink(link), fs::path(host.slavePath()));
    auto port = OpenPort(link);
    ASSERT_NE(port, nullptr);
    host.withModel([](InstrumentModel& model) { model.setSignalCount(10); });
    host.faults().add(*FaultRule::Parse("checksum:0x0B:count=1"));
    host.faults().add(*FaultRule::Parse("late:0x10:ms=300"));
    const Bytes first = Ask(*port, command::kReadTemperatures, 37);
    ASSERT_EQ(first.size(), 37u);
    EXPECT_FALSE(HasValidChecksum(first));
    EXPECT_TRUE(HasValidChecksum(Ask(*port, command::kReadTemperatures, 37)));
    const auto sent = host.withModel([](InstrumentModel& model) { return model.sentReadings(); });
    EXPECT_THAT(sent,
                ElementsAre(Field(&SentReading::faults, ElementsAre(FaultKind::WrongChecksum)),
                            Field(&SentReading::faults, IsEmpty())));
    EXPECT_TRUE(Ask(*port, command::kReadClock, 16, 150).empty());
    EXPECT_EQ(Receive(*port, 16, 1000).size(), 16u);
    port.reset();

    const std::clock_t cpuBefore = std::clock();
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(std::clock() - cpuBefore, CLOCKS_PER_SEC / 10);
    port = OpenPort(link);
    EXPECT_EQ(Ask(*port, command::kReadRecordingInterval, 10).size(), 10u);
    port.reset();
    EXPECT_EQ(host.requestsReceived(), 4u);

    const auto stopStart = chr::steady_clock::now();
    host.stop();
    EXPECT_LT(chr::steady_clock::now() - stopStart, 500ms);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    // A stale link is replaced, a link to a device is not.
    fs::create_symlink("/dev/pts/99999", link);
    {
        PtyHost again(InstrumentModel{}, LinkedAt(link));
        ASSERT_TRUE(again.start());
        EXPECT_EQ(fs::read_symlink(link), fs::path(again.slavePath()));
    }
    fs::create_symlink("/dev/null", link);
    PtyHost refused(InstrumentModel{}, LinkedAt(link));
    EXPECT_FALSE(refused.start(&error));
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
    EXPECT_EQ(Ask(*port, command::kReadClock, 16).size(), 16u);
    // 9 request and 16 reply bytes of 10 bits at 1200 bit/s take 208 ms.
    EXPECT_GE(chr::steady_clock::now() - start, 200ms);
    EXPECT_EQ(host.lineSpeed(), 1200);
    // A 145-byte reply at 300 bit/s would take almost five seconds.
    port.reset();
    port = OpenPort(host.slavePath(), 300);
    EXPECT_EQ(Ask(*port, command::kReadTemperatures, 1, 1000).size(), 1u);
    start = chr::steady_clock::now();
    host.stop();
    EXPECT_LT(chr::steady_clock::now() - start, 300ms);
}

TEST(SimProgram, LinksItselfAnnouncesTheLinkAndRemovesItOnSigterm) {
    TempDir dir;
    const std::vector<std::string> inDir{"TAVOLEX_PORTS_DIR=" + dir.path().string()};
    testing::ChildProcess sim(TAVOLEX_SIM_PROGRAM, {"--com", "2", "--signals", "8"}, dir.path(),
                              inDir);
    ASSERT_TRUE(sim.waitForLines(1, 5s));
    const fs::path link = dir.path() / "com2";
    auto port = OpenPort(link);
    EXPECT_EQ(Ask(*port, command::kReadTemperatures, 9 + 24).size(), 9u + 24);
    port.reset();

    sim.signal(SIGTERM);
    const testing::ChildResult result = sim.finish();
    EXPECT_EQ(result.status, 0);
    EXPECT_THAT(result.out,
                ::testing::MatchesRegex(
                    "tavolex-sim: serving com2 on /dev/pts/[0-9]+ \\(link .*com2\\)\n"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    testing::ChildProcess refused(TAVOLEX_SIM_PROGRAM, {"--signals", "99"}, dir.path(), inDir);
    EXPECT_EQ(refused.finish().status, 2);
}

}  // namespace
}  // namespace tavolex::sim
