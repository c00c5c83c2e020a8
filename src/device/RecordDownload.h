// Downloading every stored record on a port the download holds to its end: records are asked
// one at a time, in order, and each is handed to the window before the next is asked.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "LinkContext.h"
#include "SerialPort.h"
#include "StoredRecords.h"

namespace tavolex {

// What the records window shares with a download running on another thread.
struct RecordTransferState {
    // The count read before the download started; left alone while it runs.
    std::atomic<int> total{0};
    // Records finished, each row complete: the progress shown.
    std::atomic<int> done{0};
};

// Where the download hands its records.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    // Record `number`, or none when it could not be read. Called in record order; the row is
    // complete when the call returns.
    virtual void showRecord(int number, const std::optional<StoredRecord>& record) = 0;
};

// Downloads records 1 to state.total and closes the port. Records beyond the last one a
// request can name are shown as unreadable without being asked for. A stop of the link ends every
// wait at once; a record that the stop cut short is not shown. After a record that failed, the line
// is left to fall silent before the next request, so that the rest of a late reply is not taken for
// the next record.
void DownloadRecords(PortHandle port, std::uint8_t address, RecordTransferState& state,
                     RecordSink& sink, const LinkContext& link);

}  // namespace tavolex
