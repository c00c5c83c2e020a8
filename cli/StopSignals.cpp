#include "StopSignals.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace tavolex::cli {

namespace {

// What the handler may touch: a lock-free atomic and a descriptor.
std::atomic<int> g_signal{0};
std::atomic<int> g_wakeFd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

struct sigaction g_previousInt {};
struct sigaction g_previousTerm {};

extern "C" void OnStopSignal(int number) {
    const int savedErrno = errno;
    int expected = 0;
    g_signal.compare_exchange_strong(expected, number);
    const int fd = g_wakeFd.load();
    if (fd >= 0) {
        const char byte = 's';
        // A full pipe already holds a wake-up; nothing more to do when the write fails.
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

}  // namespace

StopSignals::StopSignals(std::function<void()> onStop) : m_onStop(std::move(onStop)) {
    g_signal = 0;
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) m_pipe[0] = m_pipe[1] = -1;
    g_wakeFd = m_pipe[1];
    m_watcher = std::thread([this] { watch(); });

    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &g_previousInt);
    ::sigaction(SIGTERM, &action, &g_previousTerm);
}

StopSignals::~StopSignals() {
    ::sigaction(SIGINT, &g_previousInt, nullptr);
    ::sigaction(SIGTERM, &g_previousTerm, nullptr);
    m_ending = true;
    const char byte = 'e';
    if (m_pipe[1] >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(m_pipe[1], &byte, 1);
    }
    if (m_watcher.joinable()) m_watcher.join();
    g_wakeFd = -1;
    for (int fd : m_pipe) {
        if (fd >= 0) ::close(fd);
    }
}

bool StopSignals::stopped() const {
    return g_signal.load() != 0;
}

int StopSignals::signal() const {
    return g_signal.load();
}

void StopSignals::watch() {
    bool told = false;
    while (!m_ending) {
        pollfd wake{m_pipe[0], POLLIN, 0};
        // Without a pipe the flag is still set; the watcher then looks at it now and then.
        (void)::poll(&wake, m_pipe[0] >= 0 ? 1 : 0, m_pipe[0] >= 0 ? -1 : 50);
        char bytes[16];
        while (m_pipe[0] >= 0 && ::read(m_pipe[0], bytes, sizeof bytes) > 0) {
        }
        if (!told && stopped()) {
            told = true;
            if (m_onStop) m_onStop();
        }
    }
}

}  // namespace tavolex::cli
