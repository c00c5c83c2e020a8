#include "RecordDownload.h"

#include <chrono>

#include "PortWaits.h"

namespace tavolex {

namespace {

using std::chrono::milliseconds;

// A line with no new byte for this long has finished sending; it is also the read interval of
// the records profile.
constexpr milliseconds kQuietMs{100};

// Waits until no byte has arrived for kQuietMs, or one record's wait has passed on a line that
// keeps sending, or the download is stopped.
void WaitForQuietLine(SerialPort& port, const LinkContext& link) {
    const Clock::TimePoint giveUp = link.clock.now() + milliseconds(kRecordWaitMs);
    std::size_t known = port.queuedBytes();
    Clock::TimePoint lastArrival = link.clock.now();
    for (;;) {
        const Clock::TimePoint now = link.clock.now();
        if (now - lastArrival >= kQuietMs || now >= giveUp || link.stopping()) return;
        WaitForMore(port, known, lastArrival + kQuietMs - now, link);
        const std::size_t queued = port.queuedBytes();
        if (queued != known) {
            known = queued;
            lastArrival = link.clock.now();
        }
    }
}

}  // namespace

void DownloadRecords(PortHandle port, std::uint8_t address, RecordTransferState& state,
                     RecordSink& sink, const LinkContext& link) {
    state.done = 0;
    const int total = state.total;
    bool lastFailed = false;
    for (int number = 1; number <= total && !link.stopping(); ++number) {
        std::optional<StoredRecord> record;
        if (number <= kLastAddressableRecord) {
            if (lastFailed) WaitForQuietLine(*port, link);
            record = ReadStoredRecord(*port, address, number, link);
            lastFailed = !record;
            if (!record && link.stopping()) break;
        }
        sink.showRecord(number, record);
        state.done = number;
    }
    port.reset();
}

}  // namespace tavolex
