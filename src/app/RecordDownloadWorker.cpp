#include "RecordDownloadWorker.h"

#include <QMetaObject>
#include <memory>
#include <utility>

namespace tavolex {

// The window as the download sees it: every record travels to the window's thread.
class RecordDownloadWorker::Forwarder final : public RecordSink {
public:
    explicit Forwarder(RecordDownloadWorker& worker) : m_worker(worker) {}
    void showRecord(int number, const std::optional<StoredRecord>& record) override {
        m_worker.callWindow(number, record);
    }

private:
    RecordDownloadWorker& m_worker;
};

RecordDownloadWorker::RecordDownloadWorker(RecordSink& sink, RecordTransferState& state,
                                           PortHandle port, std::uint8_t address,
                                           const LinkContext& link)
    : m_sink(sink), m_state(state), m_link{link.ports, link.clock} {
    m_state.stop = false;
    // std::function needs a copyable body: the port travels in a shared holder.
    auto owned = std::make_shared<PortHandle>(std::move(port));
    m_thread.start([this, address, owned] { run(std::move(*owned), address); });
}

RecordDownloadWorker::~RecordDownloadWorker() {
    requestStop();
    waitUntilEnded();
}

void RecordDownloadWorker::run(PortHandle port, std::uint8_t address) {
    Forwarder window(*this);
    DownloadRecords(std::move(port), address, m_state, window, m_link);
}

void RecordDownloadWorker::callWindow(int number, const std::optional<StoredRecord>& record) {
    {
        const std::lock_guard lock(m_callMutex);
        m_number = number;
        m_record = record;
    }
    QMetaObject::invokeMethod(this, "serveCall", Qt::BlockingQueuedConnection);
    // Taking the mutex after the window released it orders everything the window did in the
    // call before whatever the worker does next.
    const std::lock_guard lock(m_callMutex);
}

void RecordDownloadWorker::serveCall() {
    const std::lock_guard lock(m_callMutex);
    m_sink.showRecord(m_number, m_record);
}

}  // namespace tavolex
