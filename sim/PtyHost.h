// Serves the simulated instrument on a pseudo-terminal: the application opens the slave side
// as its serial port, and a serving thread answers on the master side.
//
// The master is put into raw mode (the termios of a pty pair belong to the slave, so this is
// what the application finds before it sets its own), and the host keeps a slave descriptor
// open itself: without it the application's close would make every read of the master fail
// with EIO at once, and the serving thread would spin. The host can also link the slave as a
// named port (e.g. <ports folder>/com1), delay its replies, pace them at the line's real rate
// (10 bits a byte at the speed the application set on the port), and inject faults.
#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "FaultPlan.h"
#include "InstrumentModel.h"
#include "RequestParser.h"

namespace tavolex::sim {

struct HostOptions {
    std::chrono::milliseconds replyDelay{0};
    bool pace = false;
    // Where to put a symbolic link to the slave (replacing a stale link left by an earlier
    // run); none for no link.
    std::optional<std::filesystem::path> linkPath;
    // Receives one line per request received and per reply queued, on the serving thread.
    std::function<void(std::string_view)> trace;
    std::uint64_t faultSeed = 1;
};

class PtyHost {
public:
    explicit PtyHost(InstrumentModel model, HostOptions options = {});
    ~PtyHost();
    PtyHost(const PtyHost&) = delete;
    PtyHost& operator=(const PtyHost&) = delete;

    // Opens the pseudo-terminal, makes the link and starts serving. On failure returns false
    // with the reason in *error and leaves nothing behind.
    bool start(std::string* error = nullptr);
    // Stops serving promptly (a paced or delayed reply does not hold it up), joins the thread,
    // removes the link if it is still ours and closes the pseudo-terminal. Idempotent.
    void stop();
    bool running() const { return m_thread.joinable(); }

    // The slave device, e.g. /dev/pts/5; empty before start.
    const std::string& slavePath() const { return m_slavePath; }
    // The link made at start, if any.
    std::optional<std::filesystem::path> linkPath() const { return m_linkMade; }

    // Runs f with the model while the serving thread is kept away from it.
    template <class F>
    decltype(auto) withModel(F&& f) {
        std::lock_guard lock(m_modelMutex);
        return std::forward<F>(f)(m_model);
    }
    // The fault plan is thread-safe itself.
    FaultPlan& faults() { return m_faults; }

    std::size_t requestsReceived() const { return m_requestsReceived; }
    std::size_t repliesSent() const { return m_repliesSent; }
    // The speed pacing used last, in bits per second, from the port's current settings.
    int lineSpeed() const { return m_lineSpeed; }

private:
    using SteadyTime = std::chrono::steady_clock::time_point;

    struct Outgoing {
        SteadyTime due;
        Bytes bytes;
        std::size_t written = 0;
        std::optional<SteadyTime> started;  // paced: when its first byte went onto the line
        std::chrono::nanoseconds byteTime{0};
    };

    bool openTerminal(std::string* error);
    bool makeLink(std::string* error);
    void removeLink();
    void closeAll();
    void serve();
    void receive(SteadyTime now);
    void answer(const Request& request, SteadyTime arrival);
    // Writes what is due; returns when it next needs to write, if it has more to write.
    std::optional<SteadyTime> transmit(SteadyTime now);
    std::chrono::nanoseconds byteTime();

    InstrumentModel m_model;
    std::mutex m_modelMutex;
    FaultPlan m_faults;
    HostOptions m_options;

    int m_master = -1;
    int m_slave = -1;
    int m_wake = -1;
    std::string m_slavePath;
    std::optional<std::filesystem::path> m_linkMade;
    std::thread m_thread;

    // Serving thread only.
    RequestParser m_parser;
    std::deque<Outgoing> m_outbox;
    bool m_writeBlocked = false;
    SteadyTime m_lastAdvance;

    std::atomic<std::size_t> m_requestsReceived{0};
    std::atomic<std::size_t> m_repliesSent{0};
    std::atomic<int> m_lineSpeed{9600};
};

}  // namespace tavolex::sim
