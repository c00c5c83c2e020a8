#include "PosixSerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>

#include "PortNaming.h"
#include "PortOpenFailure.h"
#include "SystemPorts.h"

namespace tavolex {

namespace {

std::optional<speed_t> SpeedFor(std::int32_t baudRate) {
    switch (baudRate) {
        case 50:
            return B50;
        case 75:
            return B75;
        case 110:
            return B110;
        case 134:
            return B134;
        case 150:
            return B150;
        case 200:
            return B200;
        case 300:
            return B300;
        case 600:
            return B600;
        case 1200:
            return B1200;
        case 1800:
            return B1800;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        case 230400:
            return B230400;
        case 460800:
            return B460800;
        case 500000:
            return B500000;
        case 576000:
            return B576000;
        case 921600:
            return B921600;
        case 1000000:
            return B1000000;
        case 1152000:
            return B1152000;
        case 1500000:
            return B1500000;
        case 2000000:
            return B2000000;
        default:
            return std::nullopt;  // 0 would mean "hang up", and odd rates have no speed
    }
}

bool ConfigureLine(int fd, speed_t speed) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0) return false;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

// Devices with modem lines get DTR lowered; a pseudo-terminal has none and says so.
void LowerDtr(int fd) {
    int dtr = TIOCM_DTR;
    (void)ioctl(fd, TIOCMBIC, &dtr);
}

int Milliseconds(Clock::Duration duration) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(duration).count();
    return static_cast<int>(std::clamp<long long>(ms, 0, 60'000));
}

int QueuedByIoctl(int fd, int* count) {
    return ioctl(fd, FIONREAD, count);
}

}  // namespace

const PortSystemCalls& PortSystemCalls::Real() {
    static const PortSystemCalls calls{::read, ::write, QueuedByIoctl, ::poll};
    return calls;
}

std::unique_ptr<PosixSerialPort> PosixSerialPort::Open(const std::filesystem::path& device,
                                                       std::int32_t baudRate, PortProfile profile,
                                                       const PortSystemCalls& calls) {
    const std::optional<speed_t> speed = SpeedFor(baudRate);
    if (!speed) return nullptr;
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    // flock makes a second open fail even for root, who ignores TIOCEXCL. The exclusive flag
    // belongs to the terminal: a failed open clears it only where this open set it, never
    // under another holder.
    bool exclusive = false;
    const bool opened = flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                        (exclusive = ioctl(fd, TIOCEXCL) == 0) && ConfigureLine(fd, *speed);
    if (!opened) {
        if (exclusive) (void)ioctl(fd, TIOCNXCL);
        ::close(fd);
        return nullptr;
    }
    LowerDtr(fd);
    std::unique_ptr<PosixSerialPort> port(new PosixSerialPort(fd, profile, calls));
    port->purge();
    return port;
}

PosixSerialPort::PosixSerialPort(int fd, PortProfile profile, const PortSystemCalls& calls)
    : m_fd(fd), m_profile(profile), m_calls(calls), m_arrivals(epoll_create1(EPOLL_CLOEXEC)) {
    epoll_event watch{};
    watch.events = EPOLLIN | EPOLLET;
    watch.data.fd = m_fd;
    if (m_arrivals >= 0 && epoll_ctl(m_arrivals, EPOLL_CTL_ADD, m_fd, &watch) != 0) {
        ::close(m_arrivals);
        m_arrivals = -1;
    }
}

PosixSerialPort::~PosixSerialPort() {
    if (m_arrivals >= 0) ::close(m_arrivals);
    // The exclusive flag belongs to the terminal, not to this descriptor: clear it so the
    // next holder can open the device even when another descriptor keeps it alive.
    (void)ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
}

std::size_t PosixSerialPort::queuedBytes() {
    int count = 0;
    if (m_calls.queued(m_fd, &count) != 0 || count < 0) return 0;
    return static_cast<std::size_t>(count);
}

std::size_t PosixSerialPort::readQueued(std::span<std::uint8_t> into) {
    std::size_t got = 0;
    while (got < into.size()) {
        const ssize_t n = m_calls.read(m_fd, into.data() + got, into.size() - got);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;  // nothing more queued (EAGAIN), or the line is gone
        }
    }
    return got;
}

std::size_t PosixSerialPort::write(ByteView bytes) {
    const PortTimeouts timeouts = TimeoutsOf(m_profile);
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(timeouts.writeTotalMultiplierMs * bytes.size() +
                                                    timeouts.writeTotalConstantMs);
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = m_calls.write(m_fd, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) break;
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= Clock::Duration::zero()) break;
        pollfd pfd{m_fd, POLLOUT, 0};
        (void)m_calls.poll(&pfd, 1, Milliseconds(left));
    }
    return sent;
}

void PosixSerialPort::purge() {
    (void)tcflush(m_fd, TCIOFLUSH);
}

void PosixSerialPort::waitForInput(std::size_t known, Clock::Duration maxWait) {
    waitForInputOr(known, maxWait, -1);
}

void PosixSerialPort::waitForInputOrStop(std::size_t known, Clock::Duration maxWait,
                                         const StopRequest& stop) {
    if (!stop.requested()) waitForInputOr(known, maxWait, stop.descriptor());
}

// poll() skips a negative descriptor, so without a stop descriptor the waits below are the
// port's alone.
void PosixSerialPort::waitForInputOr(std::size_t known, Clock::Duration maxWait, int stopFd) {
    const int timeoutMs = Milliseconds(maxWait);
    pollfd stop{stopFd, POLLIN, 0};
    if (known == 0) {
        pollfd fds[2]{{m_fd, POLLIN, 0}, stop};
        const int ready = m_calls.poll(fds, 2, timeoutMs);
        // A hung-up line reads as ready forever; wait out the time (or the stop) rather than
        // spin.
        if (ready > 0 && fds[1].revents == 0 &&
            (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 && queuedBytes() == 0) {
            (void)m_calls.poll(&stop, 1, timeoutMs);
        }
        return;
    }
    // Some bytes are queued already, so the device reads as ready; the edge-triggered watch
    // wakes on the next arrival instead. It may still hold the arrival of bytes already
    // counted and end this wait at once: the caller looks again and the next wait sleeps.
    if (m_arrivals >= 0) {
        pollfd fds[2]{{m_arrivals, POLLIN, 0}, stop};
        if (m_calls.poll(fds, 2, timeoutMs) > 0 && fds[0].revents != 0) {
            epoll_event event{};  // takes the arrival, so the watch is quiet until the next
            (void)epoll_wait(m_arrivals, &event, 1, 0);
        }
        return;
    }
    (void)m_calls.poll(&stop, 1, std::min(timeoutMs, 2));
}

int PosixSerialPort::readableDescriptor() const {
    // A hung-up line reads as ready forever: nobody should sleep on it.
    pollfd pfd{m_fd, POLLIN, 0};
    if (m_calls.poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        return -1;
    }
    return m_fd;
}

PortHandle OpenPort(const LinkSettings& settings, PortProfile profile) {
    return OpenPort(settings, profile, DeviceTree{});
}

PortHandle OpenPort(const LinkSettings& settings, PortProfile profile, const DeviceTree& tree) {
    const auto device = DevicePathForPort(settings.portNumber, tree);
    if (!device) return nullptr;
    return PosixSerialPort::Open(*device, settings.baudRate, profile);
}

PortHandle PosixPortOpener::open(const LinkSettings& settings, PortProfile profile) {
    return OpenPort(settings, profile, tree());
}

std::string PosixPortOpener::failureReason(const LinkSettings& settings) {
    return PortOpenFailureReason(settings, tree(), m_chooser);
}

std::string PosixPortOpener::noReplyReason(const LinkSettings& settings) {
    return PortNoReplyReason(settings, tree(), m_chooser);
}

std::unique_ptr<PortOpener> MakeSystemPortOpener(PortChooser chooser) {
    return std::make_unique<PosixPortOpener>(chooser);
}

PortHandle OpenSerialDevice(const std::filesystem::path& device, std::int32_t baudRate,
                            PortProfile profile) {
    return PosixSerialPort::Open(device, baudRate, profile);
}

std::string_view PortOptionHelp() {
    return "  --port N         port number (the ports folder's comN, else /dev/ttyS(N-1)); "
           "default 1\n";
}

}  // namespace tavolex
