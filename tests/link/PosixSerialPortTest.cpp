// The termios port on a bare pseudo-terminal, whose master side the test plays as the instrument.
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
#include <thread>

#include "PortWaits.h"
#include "PosixSerialPort.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;

class PosixSerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(grantpt(master) | unlockpt(master), 0);
        termios tio{};
        tcgetattr(master, &tio);
        cfmakeraw(&tio);
        tcsetattr(master, TCSANOW, &tio);
    }
    void TearDown() override { ::close(master); }
    std::unique_ptr<PosixSerialPort> open(std::int32_t baud = 9600,
                                          const PortSystemCalls& calls = PortSystemCalls::Real()) {
        return PosixSerialPort::Open(ptsname(master), baud, PortProfile::Command, calls);
    }
    void send(const Bytes& bytes) {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // What the port wrote, as far as it arrives within two seconds.
    Bytes receive(std::size_t count) {
        Bytes bytes(count);
        std::size_t got = 0;
        for (pollfd pfd{master, POLLIN, 0}; got<count&& ::poll(&pfd, 1, 2000)> 0;) {
            const ssize_t n = ::read(master, bytes.data() + got, count - got);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
        return bytes;
    }

    int master = posix_openpt(O_RDWR | O_NOCTTY);
    PosixPortOpener opener;
    LinkContext link{opener, SystemClock()};
};

// Opening at a speed the platform has purges bytes left from an earlier exchange.
TEST_F(PosixSerialPortTest, SpeedsThePlatformLacksOrAnotherHolderFailTheOpenAndAnOpenPurges) {
    for (const std::int32_t baud : {0, 12345, -9600})
        EXPECT_EQ(open(baud), nullptr) << baud;
    send({1, 2, 3});
    std::this_thread::sleep_for(20ms);
    auto port = open(38400);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->queuedBytes(), 0u);
    port.reset();
    // A failed open leaves the holder's exclusive flag.
    const int observer = ::open(ptsname(master), O_RDWR | O_NOCTTY | O_NONBLOCK);
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

TEST_F(PosixSerialPortTest, BytesTravelUnalteredBothWaysAndInputWakesTheDescriptor) {
    auto port = open();
    Bytes all(256);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(port->write(all), all.size());
    EXPECT_EQ(receive(all.size()), all);
    send(all);
    EXPECT_EQ(WaitForBytes(*port, 256, 2000, link), 256u);
    Bytes got(256);
    EXPECT_EQ(ReadFromPort(*port, got, link), 256u);
    EXPECT_EQ(got, all);

    // The port offers a descriptor that wakes on input but not on a hung-up line.
    const int descriptor = port->readableDescriptor();
    ASSERT_GE(descriptor, 0);
    pollfd pfd{descriptor, POLLIN, 0};
    EXPECT_EQ(::poll(&pfd, 1, 0), 0);
    send({1});
    EXPECT_EQ(::poll(&pfd, 1, 2000), 1);
    // A hung-up line reads as ready forever, so a sleep on it would spin.
    ::close(master);
    master = -1;
    EXPECT_EQ(port->readableDescriptor(), -1);
}

TEST_F(PosixSerialPortTest, WithBytesQueuedAWaitSleepsUntilTheNextArrival) {
    auto port = open();
    send({1});
    ASSERT_EQ(WaitForBytes(*port, 1, 2000, link), 1u);
    // Whatever the first wait finds left over from the first byte, a second one sleeps.
    port->waitForInput(1, 300ms);
    const auto start = std::chrono::steady_clock::now();
    port->waitForInput(1, 300ms);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);

    std::thread instrument([this] {
        std::this_thread::sleep_for(50ms);
        send({2});
    });
    const auto before = std::chrono::steady_clock::now();
    for (int looks = 0; looks < 3 && port->queuedBytes() < 2; ++looks)
        port->waitForInput(1, 20s);
    instrument.join();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 10s);
    EXPECT_EQ(port->queuedBytes(), 2u);
}

// System calls that fail with `failWith` a set number of times, then go through.
struct Flaky {
    static inline int reads = 0, writes = 0, failWith = 0;
    static inline bool queuedFails = false;
    static bool fails(int& left) { return left-- > 0 && (errno = failWith, true); }
    static ssize_t read(int fd, void* to, size_t n) {
        return fails(reads) ? -1 : ::read(fd, to, n);
    }
    static ssize_t write(int fd, const void* from, size_t n) {
        return fails(writes) ? -1 : ::write(fd, from, n);
    }
    static int queued(int fd, int* count) {
        return queuedFails ? (*count = 5, -1) : ioctl(fd, FIONREAD, count);
    }
};

TEST_F(PosixSerialPortTest, InterruptedAndBusyCallsAreRetriedAndFailingCountsAreZero) {
    static const PortSystemCalls flaky{Flaky::read, Flaky::write, Flaky::queued, ::poll};
    auto port = open(9600, flaky);
    ASSERT_NE(port, nullptr);
    const Bytes bytes{1, 2, 3, 4};
    // A write interrupted or refused for now goes on within its time-out.
    for (int error : {EINTR, EAGAIN}) {
        Flaky::failWith = error, Flaky::writes = 2;
        EXPECT_EQ(port->write(bytes), bytes.size()) << error;
        EXPECT_EQ(receive(bytes.size()), bytes) << error;
    }
    // An interrupted read is read again; "nothing more now" ends the read with what it has.
    Bytes got(8);
    for (const auto& [error, reads] : {std::pair{EINTR, Bytes{4}}, {EAGAIN, Bytes{0, 4}}}) {
        send(bytes);
        EXPECT_EQ(WaitForBytes(*port, 4, 2000, link), 4u);
        Flaky::failWith = error, Flaky::reads = 1;
        for (const std::uint8_t count : reads)
            EXPECT_EQ(port->readQueued(got), count) << error;
    }
    // A queue count that cannot be had is no bytes, whatever the call left behind.
    Flaky::queuedFails = true;
    EXPECT_EQ(port->queuedBytes(), 0u);
    Flaky::queuedFails = false;
}

}  // namespace
}  // namespace tavolex
