#include "AcquisitionWorker.h"

namespace tavolex {

// The window as the worker's loop sees it: every call travels to the window's thread.
class AcquisitionWorker::Forwarder final : public AcquisitionObserver {
public:
    Forwarder(AcquisitionObserver& window, WorkerThread& thread)
        : m_window(window), m_thread(thread) {}

    AcquisitionSettings fetchSettings() override {
        AcquisitionSettings settings;
        m_thread.callOnWindow([&] { settings = m_window.fetchSettings(); });
        return settings;
    }
    void showResult(bool success, int count) override {
        m_thread.callOnWindow([&] { m_window.showResult(success, count); });
    }
    void reportOpenFailure() override {
        m_thread.callOnWindow([&] { m_window.reportOpenFailure(); });
    }

private:
    AcquisitionObserver& m_window;
    WorkerThread& m_thread;
};

AcquisitionWorker::AcquisitionWorker(AcquisitionObserver& window, AcquisitionShared& shared,
                                     const AcquisitionEnvironment& environment)
    : m_window(window), m_shared(shared), m_environment(environment) {
    m_environment.stop = &m_thread.stop();
    m_thread.start([this] { run(); });
}

AcquisitionWorker::~AcquisitionWorker() {
    requestStop();
    waitUntilEnded();
}

void AcquisitionWorker::requestStop() {
    m_shared.runFlag = false;
    m_thread.requestStop();
}

void AcquisitionWorker::run() {
    Forwarder window(m_window, m_thread);
    RunAcquisition(window, m_shared, m_reply, m_environment);
}

}  // namespace tavolex
