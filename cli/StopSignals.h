// SIGINT and SIGTERM as a request to stop, for the commands that run until stopped (logging
// and a download). While an object lives, the first such signal sets its flag and wakes a
// thread of its own, which calls the hook: the handler itself only stores the signal number and
// writes one byte to a pipe, both safe inside a signal handler, and the hook may lock and
// wake what it likes. Only one object may live at a time.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace tavolex::cli {

class StopSignals {
public:
    explicit StopSignals(std::function<void()> onStop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    bool stopped() const;
    // The signal that asked to stop, 0 for none.
    int signal() const;

private:
    void watch();

    std::function<void()> m_onStop;
    int m_pipe[2] = {-1, -1};
    std::atomic<bool> m_ending{false};
    std::thread m_watcher;
};

}  // namespace tavolex::cli
