// A thread that a window starts, asks to stop and later waits for. The thread reaches its
// window only through callOnWindow(): the call runs on the window's thread while the thread
// waits, so a worker never touches a widget and the window never reads what the worker is
// writing. Waiting for the end serves those calls (user input held back) until the thread's
// body has returned, so a thread that is handing something to the window can always finish.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "StopRequest.h"

class QEventLoop;

namespace tavolex {

class WorkerThread final : public QObject {
    Q_OBJECT
public:
    // A child of `owner`, which lives on the window's thread: the calls to the window are queued
    // to this object there.
    explicit WorkerThread(QObject& owner) : QObject(&owner) {}
    // Waits for the body's end, as waitUntilEnded() does.
    ~WorkerThread() override;

    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs `body` on a new thread. Call once, on the window's thread.
    void start(std::function<void()> body);
    // The one stop of the worker: the body's waits and pauses sleep on it. Any thread.
    void requestStop() { m_stop.request(); }
    const StopRequest& stop() const { return m_stop; }
    // On the worker's thread: runs `call` on the window's thread and returns when it is done.
    void callOnWindow(const std::function<void()>& call);
    // The body has returned.
    bool ended() const { return m_ended; }
    // On the window's thread: runs a local event loop until the body has returned, then joins
    // the thread. A wait that begins inside another wait ends both.
    void waitUntilEnded();

private:
    Q_INVOKABLE void noteEnded();
    Q_INVOKABLE void servePendingCall();

    StopRequest m_stop;
    // The call is handed over under this mutex and runs holding it. Qt's blocking invocation
    // orders the two threads; the mutex states that order in the program itself, so that the
    // thread sanitizer, which cannot see inside Qt, sees it too. Nothing else crosses: the
    // invocation itself carries no data.
    std::mutex m_callMutex;
    const std::function<void()>* m_pendingCall = nullptr;
    std::atomic<bool> m_ended{false};
    QEventLoop* m_waitLoop = nullptr;
    std::thread m_thread;
};

}  // namespace tavolex
