#include "AcquisitionWorker.h"

#include <QMetaObject>
#include <utility>

namespace tavolex {

// The window as the worker's loop sees it: every call travels to the window's thread.
class AcquisitionWorker::Forwarder final : public AcquisitionWindow {
public:
    explicit Forwarder(AcquisitionWorker& worker) : m_worker(worker) {}

    AcquisitionSettings fetchSettings() override {
        m_worker.callWindow(Call::FetchSettings);
        const std::lock_guard lock(m_worker.m_callMutex);
        return m_worker.m_settings;
    }
    void showResult(bool success, int count) override {
        {
            const std::lock_guard lock(m_worker.m_callMutex);
            m_worker.m_success = success;
            m_worker.m_count = count;
        }
        m_worker.callWindow(Call::ShowResult);
    }
    void reportOpenFailure() override { m_worker.callWindow(Call::ReportOpenFailure); }

private:
    AcquisitionWorker& m_worker;
};

AcquisitionWorker::AcquisitionWorker(AcquisitionWindow& window, AcquisitionShared& shared,
                                     const AcquisitionEnvironment& environment)
    : m_window(window),
      m_shared(shared),
      m_clock(environment.clock),
      m_environment(environment.ports, m_clock, environment.errorLog) {
    m_environment.wallTime = environment.wallTime;
    m_environment.localTime = environment.localTime;
    m_thread.start([this] { run(); });
}

AcquisitionWorker::~AcquisitionWorker() {
    requestStop();
    waitUntilEnded();
}

void AcquisitionWorker::requestStop() {
    m_shared.runFlag = false;
    m_clock.interrupt();
}

void AcquisitionWorker::run() {
    Forwarder window(*this);
    RunAcquisition(window, m_shared, m_reply, m_environment);
}

void AcquisitionWorker::callWindow(Call call) {
    {
        const std::lock_guard lock(m_callMutex);
        m_call = call;
    }
    QMetaObject::invokeMethod(this, "serveCall", Qt::BlockingQueuedConnection);
    // Taking the mutex after the window released it orders everything the window did in the
    // call before whatever the worker does next.
    const std::lock_guard lock(m_callMutex);
}

void AcquisitionWorker::serveCall() {
    const std::lock_guard lock(m_callMutex);
    switch (m_call) {
        case Call::FetchSettings:
            m_settings = m_window.fetchSettings();
            break;
        case Call::ShowResult:
            m_window.showResult(m_success, m_count);
            break;
        case Call::ReportOpenFailure:
            m_window.reportOpenFailure();
            break;
    }
}

}  // namespace tavolex
