// A thread that a window starts and later waits for. Waiting serves the calls the thread
// queues to the window (user input held back) until the thread's body has returned, so a
// thread that is handing something to the window can always finish.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <thread>

class QEventLoop;

namespace tavolex {

class WorkerThread final : public QObject {
    Q_OBJECT
public:
    WorkerThread() = default;
    // Waits for the body's end, as waitUntilEnded() does.
    ~WorkerThread() override;

    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs `body` on a new thread. Call once, on the window's thread.
    void start(std::function<void()> body);
    // The body has returned.
    bool ended() const { return m_ended; }
    // On the window's thread: runs a local event loop until the body has returned, then joins
    // the thread. A wait that begins inside another wait ends both.
    void waitUntilEnded();

private:
    Q_INVOKABLE void noteEnded();

    std::atomic<bool> m_ended{false};
    QEventLoop* m_waitLoop = nullptr;
    std::thread m_thread;
};

}  // namespace tavolex
