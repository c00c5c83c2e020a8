#include "RecordDownloadWorker.h"

#include <memory>
#include <utility>

namespace tavolex {

// The window as the download sees it: every record travels to the window's thread.
class RecordDownloadWorker::Forwarder final : public RecordSink {
public:
    Forwarder(RecordSink& sink, WorkerThread& thread) : m_sink(sink), m_thread(thread) {}
    void showRecord(int number, const std::optional<StoredRecord>& record) override {
        m_thread.callOnWindow([&] { m_sink.showRecord(number, record); });
    }

private:
    RecordSink& m_sink;
    WorkerThread& m_thread;
};

RecordDownloadWorker::RecordDownloadWorker(RecordSink& sink, RecordTransferState& state,
                                           PortHandle port, std::uint8_t address,
                                           const LinkContext& link)
    : m_sink(sink), m_state(state), m_link{link.ports, link.clock} {
    m_link.stop = &m_thread.stop();
    // std::function needs a copyable body: the port travels in a shared holder.
    auto owned = std::make_shared<PortHandle>(std::move(port));
    m_thread.start([this, address, owned] { run(std::move(*owned), address); });
}

RecordDownloadWorker::~RecordDownloadWorker() {
    requestStop();
    waitUntilEnded();
}

void RecordDownloadWorker::run(PortHandle port, std::uint8_t address) {
    Forwarder window(m_sink, m_thread);
    DownloadRecords(std::move(port), address, m_state, window, m_link);
}

}  // namespace tavolex
