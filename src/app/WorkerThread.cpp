#include "WorkerThread.h"

#include <QEventLoop>
#include <QMetaObject>
#include <utility>

namespace tavolex {

WorkerThread::~WorkerThread() {
    waitUntilEnded();
}

void WorkerThread::start(std::function<void()> body) {
    m_thread = std::thread([this, body = std::move(body)] {
        body();
        m_ended = true;
        QMetaObject::invokeMethod(this, "noteEnded", Qt::QueuedConnection);
    });
}

void WorkerThread::callOnWindow(const std::function<void()>& call) {
    {
        const std::lock_guard lock(m_callMutex);
        m_pendingCall = &call;
    }
    QMetaObject::invokeMethod(this, "servePendingCall", Qt::BlockingQueuedConnection);
    // Taking the mutex after the window released it orders everything the window did in the
    // call before whatever the worker does next.
    const std::lock_guard lock(m_callMutex);
    m_pendingCall = nullptr;
}

void WorkerThread::servePendingCall() {
    const std::lock_guard lock(m_callMutex);
    (*m_pendingCall)();
}

void WorkerThread::noteEnded() {
    if (m_waitLoop != nullptr) m_waitLoop->quit();
}

void WorkerThread::waitUntilEnded() {
    if (!m_thread.joinable()) return;
    if (!m_ended) {
        QEventLoop loop;
        QEventLoop* const outer = std::exchange(m_waitLoop, &loop);
        while (!m_ended)
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        m_waitLoop = outer;
        // A wait further out, if any, ends with this one.
        if (outer != nullptr) outer->quit();
    }
    if (m_thread.joinable()) m_thread.join();
}

}  // namespace tavolex
