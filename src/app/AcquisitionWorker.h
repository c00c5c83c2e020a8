// One run of continuous acquisition on a thread of its own. The thread runs RunAcquisition and
// reaches its window only through blocking queued invocations: each call of the window runs on
// the window's thread while the worker waits for it, so the worker never touches a widget and
// the window never reads what the worker is writing.
#pragma once

#include <QObject>

#include "AcquisitionLoop.h"
#include "TemperatureReply.h"
#include "WorkerThread.h"

namespace tavolex {

class AcquisitionWorker final : public QObject {
    Q_OBJECT
public:
    // Starts the thread at once. Make the worker on the window's thread: `window` is called
    // there. `shared` and what `environment` refers to must outlive the worker.
    AcquisitionWorker(AcquisitionObserver& window, AcquisitionShared& shared,
                      const AcquisitionEnvironment& environment);
    // Stops the run and waits for its end, as waitUntilEnded() does.
    ~AcquisitionWorker() override;

    AcquisitionWorker(const AcquisitionWorker&) = delete;
    AcquisitionWorker& operator=(const AcquisitionWorker&) = delete;

    // Clears the run flag and wakes the worker from its wait or pause; any thread, returns at
    // once.
    void requestStop();
    bool ended() const { return m_thread.ended(); }
    // On the window's thread: serves the worker's calls until the thread has ended.
    void waitUntilEnded() { m_thread.waitUntilEnded(); }

    // The reply of the latest reading; the window reads it inside showResult(), while the
    // worker waits.
    const TemperatureReply& reply() const { return m_reply; }

private:
    class Forwarder;

    void run();

    AcquisitionObserver& m_window;
    AcquisitionShared& m_shared;
    AcquisitionEnvironment m_environment;
    TemperatureReply m_reply;

    WorkerThread m_thread{*this};
};

}  // namespace tavolex
