#include "PtyHost.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <utility>

#include "Commands.h"

namespace tavolex::sim {

namespace fs = std::filesystem;
namespace chr = std::chrono;

namespace {

// Without traffic the thread still wakes this often to let the instrument log its records.
constexpr chr::milliseconds kIdleTick{200};
constexpr int kFallbackSpeed = 9600;
constexpr int kBitsPerByte = 10;  // start bit, 8 data bits, stop bit

struct SpeedCode {
    speed_t code;
    int bitsPerSecond;
};

constexpr SpeedCode kSpeeds[] = {
    {B50, 50},           {B75, 75},           {B110, 110},         {B134, 134},
    {B150, 150},         {B200, 200},         {B300, 300},         {B600, 600},
    {B1200, 1200},       {B1800, 1800},       {B2400, 2400},       {B4800, 4800},
    {B9600, 9600},       {B19200, 19200},     {B38400, 38400},     {B57600, 57600},
    {B115200, 115200},   {B230400, 230400},   {B460800, 460800},   {B500000, 500000},
    {B576000, 576000},   {B921600, 921600},   {B1000000, 1000000}, {B1152000, 1152000},
    {B1500000, 1500000}, {B2000000, 2000000}, {B2500000, 2500000}, {B3000000, 3000000},
    {B3500000, 3500000}, {B4000000, 4000000},
};

int SpeedOf(speed_t code) {
    for (const SpeedCode& speed : kSpeeds) {
        if (speed.code == code) return speed.bitsPerSecond;
    }
    return kFallbackSpeed;
}

bool Fail(std::string* error, const std::string& what, int code = errno) {
    if (error) *error = what + ": " + std::strerror(code);
    return false;
}

std::string Hex(std::string_view label, ByteView bytes) {
    std::string line(label);
    char part[4];
    for (std::uint8_t byte : bytes) {
        std::snprintf(part, sizeof part, " %02X", byte);
        line += part;
    }
    return line;
}

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

PtyHost::PtyHost(InstrumentModel model, HostOptions options)
    : m_model(std::move(model)), m_faults(options.faultSeed), m_options(std::move(options)) {}

PtyHost::~PtyHost() {
    stop();
}

bool PtyHost::start(std::string* error) {
    if (running()) return true;
    if (!openTerminal(error) || (m_options.linkPath && !makeLink(error))) {
        closeAll();
        return false;
    }
    m_thread = std::thread([this] { serve(); });
    return true;
}

void PtyHost::stop() {
    if (m_thread.joinable()) {
        const std::uint64_t one = 1;
        // An eventfd write of 1 cannot fail short of overflow; the thread reads nothing else.
        [[maybe_unused]] const auto written = ::write(m_wake, &one, sizeof one);
        m_thread.join();
    }
    removeLink();
    closeAll();
}

bool PtyHost::openTerminal(std::string* error) {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0) return Fail(error, "posix_openpt");
    if (::grantpt(m_master) != 0) return Fail(error, "grantpt");
    if (::unlockpt(m_master) != 0) return Fail(error, "unlockpt");
    std::array<char, 128> name{};
    if (const int code = ::ptsname_r(m_master, name.data(), name.size()); code != 0) {
        return Fail(error, "ptsname_r", code);
    }
    m_slavePath = name.data();

    m_slave = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0) return Fail(error, "open " + m_slavePath);

    termios settings{};
    if (::tcgetattr(m_master, &settings) != 0) return Fail(error, "tcgetattr");
    ::cfmakeraw(&settings);
    ::cfsetspeed(&settings, B9600);
    if (::tcsetattr(m_master, TCSANOW, &settings) != 0) return Fail(error, "tcsetattr");

    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0) {
        return Fail(error, "fcntl O_NONBLOCK");
    }
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wake < 0) return Fail(error, "eventfd");
    return true;
}

bool PtyHost::makeLink(std::string* error) {
    const fs::path& link = *m_options.linkPath;
    std::error_code code;
    if (link.has_parent_path()) fs::create_directories(link.parent_path(), code);
    if (code) return Fail(error, "create " + link.parent_path().string(), code.value());

    const fs::file_status status = fs::symlink_status(link, code);
    if (fs::exists(status)) {
        if (!fs::is_symlink(status)) {
            if (error) *error = link.string() + " exists and is not a link; not replacing it";
            return false;
        }
        // A link to a pseudo-terminal, or to nothing, is left over from an earlier run. A link
        // to anything else (a real serial device) belongs to the user.
        const fs::path target = fs::read_symlink(link, code);
        const bool stale = !fs::exists(link, code) || target.string().starts_with("/dev/pts/");
        if (!stale) {
            if (error)
                *error = link.string() + " links to " + target.string() + "; not replacing it";
            return false;
        }
        fs::remove(link, code);
    }
    fs::create_symlink(m_slavePath, link, code);
    if (code) return Fail(error, "link " + link.string(), code.value());
    m_linkMade = link;
    return true;
}

void PtyHost::removeLink() {
    if (!m_linkMade) return;
    // Another instance may have taken the name over since; its link is not ours to remove.
    std::error_code code;
    if (fs::read_symlink(*m_linkMade, code) == fs::path(m_slavePath)) fs::remove(*m_linkMade, code);
    m_linkMade.reset();
}

void PtyHost::closeAll() {
    CloseFd(m_wake);
    CloseFd(m_slave);
    CloseFd(m_master);
}

chr::nanoseconds PtyHost::byteTime() {
    termios settings{};
    const int speed =
        ::tcgetattr(m_master, &settings) == 0 ? SpeedOf(::cfgetospeed(&settings)) : kFallbackSpeed;
    m_lineSpeed = speed;
    return chr::nanoseconds(chr::seconds(kBitsPerByte)) / speed;
}

void PtyHost::serve() {
    while (true) {
        const SteadyTime now = chr::steady_clock::now();
        SteadyTime wakeAt = now + kIdleTick;
        if (const auto next = transmit(now)) wakeAt = std::min(wakeAt, *next);

        const auto wait = std::max(chr::nanoseconds(0), wakeAt - now);
        const timespec timeout{static_cast<time_t>(wait.count() / 1'000'000'000),
                               static_cast<long>(wait.count() % 1'000'000'000)};
        std::array<pollfd, 2> fds{pollfd{m_master, POLLIN, 0}, pollfd{m_wake, POLLIN, 0}};
        if (m_writeBlocked) fds[0].events |= POLLOUT;
        const int ready = ::ppoll(fds.data(), fds.size(), &timeout, nullptr);
        if (ready < 0) {
            if (errno == EINTR) continue;
            std::perror("tavolex-sim: ppoll");
            return;
        }
        if (fds[1].revents != 0) return;
        if (fds[0].revents & POLLOUT) m_writeBlocked = false;
        if (fds[0].revents & POLLIN) {
            receive(chr::steady_clock::now());
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            // Not expected while the host holds the slave open; wait instead of spinning.
            ::poll(&fds[1], 1, static_cast<int>(kIdleTick.count()));
            if (fds[1].revents != 0) return;
        }
        if (const auto after = chr::steady_clock::now(); after - m_lastAdvance >= kIdleTick) {
            m_lastAdvance = after;
            std::lock_guard lock(m_modelMutex);
            m_model.advance();
        }
    }
}

void PtyHost::receive(SteadyTime now) {
    std::array<std::uint8_t, 512> buffer;
    while (true) {
        const ssize_t got = ::read(m_master, buffer.data(), buffer.size());
        if (got <= 0) return;  // EAGAIN: all read
        const auto requests = m_parser.feed(ByteView(buffer.data(), static_cast<std::size_t>(got)));
        for (const Request& request : requests)
            answer(request, now);
    }
}

void PtyHost::answer(const Request& request, SteadyTime arrival) {
    ++m_requestsReceived;
    if (m_options.trace) {
        m_options.trace(Hex("<-", RequestFrame(request.address, request.code, request.payload)));
    }
    FaultOutcome outcome;
    {
        std::lock_guard lock(m_modelMutex);
        std::optional<Bytes> reply = m_model.handle(request);
        if (!reply) return;
        outcome = m_faults.apply(request.code, std::move(*reply));
        if (request.code == command::kReadTemperatures) {
            for (FaultKind kind : outcome.applied)
                m_model.noteLastReadingFault(kind);
        }
    }
    if (!outcome.reply) {
        if (m_options.trace) m_options.trace("-> (silent)");
        return;
    }
    if (m_options.trace) m_options.trace(Hex("->", *outcome.reply));

    SteadyTime due = arrival + m_options.replyDelay + outcome.delay;
    // On a real line the request's last byte arrives only after the whole frame has
    // travelled; the pty delivered it at once.
    if (m_options.pace) {
        const std::size_t frameSize = kFrameOverhead + request.payload.size();
        due += byteTime() * static_cast<long>(frameSize);
    }
    Outgoing outgoing;
    outgoing.due = due;
    outgoing.bytes = std::move(*outcome.reply);
    m_outbox.push_back(std::move(outgoing));
}

std::optional<PtyHost::SteadyTime> PtyHost::transmit(SteadyTime now) {
    while (!m_outbox.empty()) {
        Outgoing& item = m_outbox.front();
        if (now < item.due) return item.due;
        if (m_writeBlocked) return std::nullopt;  // poll reports when the line takes bytes again

        std::size_t target = item.bytes.size();
        if (m_options.pace) {
            if (!item.started) {
                item.started = now;
                item.byteTime = byteTime();
            }
            // Byte k has left the line once k + 1 byte times have passed.
            const auto sent = static_cast<std::size_t>((now - *item.started) / item.byteTime);
            target = std::min(target, sent);
        }
        if (target > item.written) {
            const ssize_t wrote =
                ::write(m_master, item.bytes.data() + item.written, target - item.written);
            if (wrote < 0) {
                if (errno != EAGAIN && errno != EINTR) {
                    std::perror("tavolex-sim: write");
                    m_outbox.pop_front();
                    continue;
                }
                m_writeBlocked = true;
                return std::nullopt;
            }
            item.written += static_cast<std::size_t>(wrote);
            if (item.written < target) {
                m_writeBlocked = true;
                return std::nullopt;
            }
        }
        if (item.written == item.bytes.size()) {
            m_outbox.pop_front();
            ++m_repliesSent;
            continue;
        }
        return *item.started + item.byteTime * static_cast<long>(item.written + 1);
    }
    return std::nullopt;
}

}  // namespace tavolex::sim
