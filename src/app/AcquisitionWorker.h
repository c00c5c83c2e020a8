// One run of continuous acquisition on a thread of its own. The thread runs RunAcquisition and
// reaches its window only through blocking queued invocations: each call of the window runs on
// the window's thread while the worker waits for it, so the worker never touches a widget and
// the window never reads what the worker is writing.
#pragma once

#include <QObject>
#include <mutex>

#include "AcquisitionLoop.h"
#include "InterruptibleClock.h"
#include "TemperatureReply.h"
#include "WorkerThread.h"

namespace tavolex {

class AcquisitionWorker final : public QObject {
    Q_OBJECT
public:
    // Starts the thread at once. Make the worker on the window's thread: `window` is called
    // there. `shared` and what `environment` refers to must outlive the worker.
    AcquisitionWorker(AcquisitionWindow& window, AcquisitionShared& shared,
                      const AcquisitionEnvironment& environment);
    // Stops the run and waits for its end, as waitUntilEnded() does.
    ~AcquisitionWorker() override;

    AcquisitionWorker(const AcquisitionWorker&) = delete;
    AcquisitionWorker& operator=(const AcquisitionWorker&) = delete;

    // Clears the run flag and wakes the worker from its pause; any thread, returns at once.
    void requestStop();
    bool ended() const { return m_thread.ended(); }
    // On the window's thread: serves the worker's calls until the thread has ended.
    void waitUntilEnded() { m_thread.waitUntilEnded(); }

    // The reply of the latest reading; the window reads it inside showResult(), while the
    // worker waits.
    const TemperatureReply& reply() const { return m_reply; }

private:
    class Forwarder;
    enum class Call { FetchSettings, ShowResult, ReportOpenFailure };

    void run();
    // On the worker's thread: has the window thread perform the call and waits for it.
    void callWindow(Call call);
    Q_INVOKABLE void serveCall();

    AcquisitionWindow& m_window;
    AcquisitionShared& m_shared;
    InterruptibleClock m_clock;
    AcquisitionEnvironment m_environment;
    TemperatureReply m_reply;

    // The pending call with its arguments and result. Qt's blocking invocation orders the two
    // threads; the mutex states that order in the program itself, so that the thread
    // sanitizer, which cannot see inside Qt, sees it too.
    std::mutex m_callMutex;
    Call m_call = Call::FetchSettings;
    bool m_success = false;
    int m_count = 0;
    AcquisitionSettings m_settings;

    WorkerThread m_thread;
};

}  // namespace tavolex
