// One download of the stored records on a thread of its own. The thread runs DownloadRecords
// on the port handed to it and reaches the records window only through blocking queued
// invocations: each record is shown on the window's thread while the worker waits, so rows
// appear in record order and the progress counts only complete rows.
#pragma once

#include <QObject>
#include <optional>

#include "LinkContext.h"
#include "RecordDownload.h"
#include "WorkerThread.h"

namespace tavolex {

class RecordDownloadWorker final : public QObject {
    Q_OBJECT
public:
    // Starts the thread at once with the port, which it closes at its end. Make the worker on
    // the window's thread: `sink` is called there. `state` and what `link` refers to must
    // outlive the worker; state.total is read once, at the start.
    RecordDownloadWorker(RecordSink& sink, RecordTransferState& state, PortHandle port,
                         std::uint8_t address, const LinkContext& link);
    // Stops the download and waits for its end, as waitUntilEnded() does.
    ~RecordDownloadWorker() override;

    RecordDownloadWorker(const RecordDownloadWorker&) = delete;
    RecordDownloadWorker& operator=(const RecordDownloadWorker&) = delete;

    // Ends the download after the record in hand; any thread, returns at once.
    void requestStop() { m_thread.requestStop(); }
    // The thread has closed the port and shows nothing more.
    bool ended() const { return m_thread.ended(); }
    // On the window's thread: serves the worker's calls until the thread has ended.
    void waitUntilEnded() { m_thread.waitUntilEnded(); }

private:
    class Forwarder;

    void run(PortHandle port, std::uint8_t address);

    RecordSink& m_sink;
    RecordTransferState& m_state;
    LinkContext m_link;

    WorkerThread m_thread{*this};
};

}  // namespace tavolex
