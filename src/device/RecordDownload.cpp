#include "RecordDownload.h"

#include <algorithm>
#include <chrono>

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
        port.waitForInput(known,
                          std::min<Clock::Duration>(lastArrival + kQuietMs - now, kWaitSliceMs));
        const std::size_t queued = port.queuedBytes();
        if (queued != known) {
            known = queued;
            lastArrival = link.clock.now();
        }
        link.runIdle();
    }
}

}  // namespace

void DownloadRecords(PortHandle port, std::uint8_t address, RecordTransferState& state,
                     RecordSink& sink, const LinkContext& link) {
    LinkContext own = link;
    own.stopRequested = [&state, &link] { return state.stop.load() || link.stopping(); };
    state.done = 0;
    const int total = state.total;
    bool lastFailed = false;
    for (int number = 1; number <= total && !own.stopping(); ++number) {
        std::optional<StoredRecord> record;
        if (number <= kLastAddressableRecord) {
            if (lastFailed) WaitForQuietLine(*port, own);
            record = ReadStoredRecord(*port, address, number, own);
            lastFailed = !record;
            if (!record && own.stopping()) break;
        }
        sink.showRecord(number, record);
        state.done = number;
    }
    port.reset();
}

}  // namespace tavolex
