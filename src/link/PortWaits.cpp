#include "PortWaits.h"

#include <algorithm>
#include <chrono>

namespace tavolex {

using std::chrono::milliseconds;

// A worker sleeps on its port and its stop request together. A window that waits on the port's
// descriptor sleeps until the first byte, the deadline or one of its own events; once bytes
// are queued the descriptor stays readable, so the port's own short waits take over. A link
// with neither an idle hook nor a stop test has nothing to do between looks and waits whole;
// the others wait in slices.
void WaitForMore(SerialPort& port, std::size_t known, Clock::Duration left,
                 const LinkContext& link) {
    if (link.stop != nullptr) {
        port.waitForInputOrStop(known, left, *link.stop);
        link.runIdle();
        return;
    }
    if (!link.stopRequested) {
        const int descriptor = port.readableDescriptor();
        if (known == 0 && descriptor >= 0 && link.waitReadable) {
            link.waitReadable(descriptor, left);
            return;
        }
        if (!link.idle) {
            port.waitForInput(known, left);
            return;
        }
    }
    port.waitForInput(known, std::min<Clock::Duration>(left, kWaitSliceMs));
    link.runIdle();
}

std::uint32_t WaitForBytes(SerialPort& port, std::uint32_t wanted, std::uint32_t timeoutMs,
                           const LinkContext& link) {
    const std::size_t target = wanted & 0xFFFF;
    const Clock::TimePoint deadline = link.clock.now() + milliseconds(timeoutMs);
    for (;;) {
        const std::size_t queued = port.queuedBytes();
        const Clock::TimePoint now = link.clock.now();
        if (queued >= target || now > deadline || link.stopping()) {
            return static_cast<std::uint32_t>(queued);
        }
        // One millisecond past the deadline, so the last look happens after it.
        WaitForMore(port, queued, deadline - now + milliseconds(1), link);
    }
}

std::size_t ReadFromPort(SerialPort& port, std::span<std::uint8_t> into, const LinkContext& link) {
    const PortTimeouts timeouts = TimeoutsOf(port.profile());
    const Clock::TimePoint start = link.clock.now();
    const Clock::TimePoint totalDeadline =
        start +
        milliseconds(timeouts.readTotalMultiplierMs * into.size() + timeouts.readTotalConstantMs);
    std::size_t got = 0;
    Clock::TimePoint lastByte = start;
    for (;;) {
        const std::size_t before = got;
        got += port.readQueued(into.subspan(got));
        const Clock::TimePoint now = link.clock.now();
        if (got > before) lastByte = now;
        if (got == into.size() || now >= totalDeadline || link.stopping()) return got;
        Clock::TimePoint deadline = totalDeadline;
        if (timeouts.readIntervalMs != 0 && got > 0) {
            const Clock::TimePoint intervalEnd = lastByte + milliseconds(timeouts.readIntervalMs);
            if (now >= intervalEnd) return got;
            deadline = std::min(deadline, intervalEnd);
        }
        WaitForMore(port, 0, deadline - now, link);
    }
}

}  // namespace tavolex
