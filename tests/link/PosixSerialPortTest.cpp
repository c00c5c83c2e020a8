#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <numeric>
#include <string>
#include <thread>

#include "PortWaits.h"
#include "PosixSerialPort.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;

// A bare pseudo-terminal: the test plays the instrument on the master side.
class PseudoTerminal {
public:
    PseudoTerminal() : m_master(posix_openpt(O_RDWR | O_NOCTTY)) {
        grantpt(m_master);
        unlockpt(m_master);
        m_slavePath = ptsname(m_master);
        termios tio{};
        tcgetattr(m_master, &tio);
        cfmakeraw(&tio);
        tcsetattr(m_master, TCSANOW, &tio);
    }
    ~PseudoTerminal() { hangUp(); }
    void hangUp() {
        if (m_master >= 0) ::close(m_master);
        m_master = -1;
    }

    const std::string& slavePath() const { return m_slavePath; }
    void send(const Bytes& bytes) {
        ASSERT_EQ(::write(m_master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    Bytes receive(std::size_t count) {
        Bytes bytes(count);
        std::size_t got = 0;
        while (got < count) {
            pollfd pfd{m_master, POLLIN, 0};
            if (::poll(&pfd, 1, 2000) <= 0) break;
            const ssize_t n = ::read(m_master, bytes.data() + got, count - got);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
        return bytes;
    }

private:
    int m_master;
    std::string m_slavePath;
};

class PosixSerialPortTest : public ::testing::Test {
protected:
    std::unique_ptr<PosixSerialPort> open(std::int32_t baud = 9600) {
        return PosixSerialPort::Open(pty.slavePath(), baud, PortProfile::Command);
    }

    PseudoTerminal pty;
    PosixPortOpener opener;
    LinkContext link{opener, SystemClock()};
};

// Opening at a speed the platform has purges bytes left from an earlier exchange.
TEST_F(PosixSerialPortTest, SpeedsThePlatformLacksFailTheOpenAndAnOpenPurges) {
    for (const std::int32_t baud : {0, 12345, -9600})
        EXPECT_EQ(open(baud), nullptr) << baud;
    pty.send({1, 2, 3});
    std::this_thread::sleep_for(20ms);
    auto port = open(38400);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->queuedBytes(), 0u);
}

TEST_F(PosixSerialPortTest, BytesTravelUnalteredBothWaysAndInputWakesTheDescriptor) {
    auto port = open();
    Bytes all(256);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(port->write(all), all.size());
    EXPECT_EQ(pty.receive(all.size()), all);
    pty.send(all);
    EXPECT_EQ(WaitForBytes(*port, 256, 2000, link), 256u);
    Bytes got(256);
    EXPECT_EQ(ReadFromPort(*port, got, link), 256u);
    EXPECT_EQ(got, all);

    // The port offers a descriptor that wakes on input but not on a hung-up line.
    const int descriptor = port->readableDescriptor();
    ASSERT_GE(descriptor, 0);
    pollfd pfd{descriptor, POLLIN, 0};
    EXPECT_EQ(::poll(&pfd, 1, 0), 0);
    pty.send({1});
    EXPECT_EQ(::poll(&pfd, 1, 2000), 1);
    // A hung-up line reads as ready forever, so a sleep on it would spin.
    pty.hangUp();
    EXPECT_EQ(port->readableDescriptor(), -1);
}

TEST_F(PosixSerialPortTest, WithBytesQueuedAWaitSleepsUntilTheNextArrival) {
    auto port = open();
    pty.send({1});
    ASSERT_EQ(WaitForBytes(*port, 1, 2000, link), 1u);
    // Whatever the first wait finds left over from the first byte, a second one sleeps.
    port->waitForInput(1, 300ms);
    const auto start = std::chrono::steady_clock::now();
    port->waitForInput(1, 300ms);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);

    std::thread instrument([this] {
        std::this_thread::sleep_for(50ms);
        pty.send({2});
    });
    const auto before = std::chrono::steady_clock::now();
    for (int looks = 0; looks < 3 && port->queuedBytes() < 2; ++looks)
        port->waitForInput(1, 20s);
    instrument.join();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 10s);
    EXPECT_EQ(port->queuedBytes(), 2u);
}

TEST_F(PosixSerialPortTest, AFailedOpenLeavesTheHoldersExclusiveFlag) {
    const int observer = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(observer, 0);
    const auto exclusive = [observer] {
        int flag = -1;
        EXPECT_EQ(ioctl(observer, TIOCGEXCL, &flag), 0);
        return flag;
    };
    auto holder = open();
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(open(), nullptr);
    EXPECT_EQ(exclusive(), 1);
    holder.reset();
    EXPECT_EQ(exclusive(), 0);
    ::close(observer);
}

// System calls that fail with a given errno a set number of times, then go through.
struct FlakyCalls {
    static inline int readFailures = 0, writeFailures = 0, failWith = 0;
    static inline bool queuedFails = false;

    static bool fails(int& failures) {
        if (failures <= 0) return false;
        --failures;
        errno = failWith;
        return true;
    }
    static ssize_t read(int fd, void* buffer, size_t count) {
        return fails(readFailures) ? -1 : ::read(fd, buffer, count);
    }
    static ssize_t write(int fd, const void* buffer, size_t count) {
        return fails(writeFailures) ? -1 : ::write(fd, buffer, count);
    }
    static int queued(int fd, int* count) {
        if (!queuedFails) return ioctl(fd, FIONREAD, count);
        *count = 5;
        return -1;
    }
};

TEST_F(PosixSerialPortTest, InterruptedAndBusyCallsAreRetriedAndFailingCountsAreZero) {
    static const PortSystemCalls flaky{FlakyCalls::read, FlakyCalls::write, FlakyCalls::queued,
                                       ::poll};
    auto port = PosixSerialPort::Open(pty.slavePath(), 9600, PortProfile::Command, flaky);
    ASSERT_NE(port, nullptr);
    const Bytes bytes{1, 2, 3, 4};

    // A write interrupted or refused for now goes on within its time-out.
    for (int error : {EINTR, EAGAIN}) {
        FlakyCalls::failWith = error;
        FlakyCalls::writeFailures = 2;
        EXPECT_EQ(port->write(bytes), bytes.size()) << error;
        EXPECT_EQ(pty.receive(bytes.size()), bytes) << error;
    }

    // An interrupted read is read again; "nothing more now" ends the read with what it has.
    Bytes got(8);
    for (const auto& [error, reads] : {std::pair{EINTR, Bytes{4}}, {EAGAIN, Bytes{0, 4}}}) {
        pty.send(bytes);
        EXPECT_EQ(WaitForBytes(*port, 4, 2000, link), 4u);
        FlakyCalls::failWith = error;
        FlakyCalls::readFailures = 1;
        for (const std::uint8_t count : reads)
            EXPECT_EQ(port->readQueued(got), count) << error;
    }

    // A queue count that cannot be had is no bytes, whatever the call left behind.
    FlakyCalls::queuedFails = true;
    EXPECT_EQ(port->queuedBytes(), 0u);
    FlakyCalls::queuedFails = false;
}

}  // namespace
}  // namespace tavolex
