#include "PortWaits.h"

#include <algorithm>
#include <chrono>

namespace tavolex {

using std::chrono::milliseconds;

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
        const Clock::Duration left = deadline - now + milliseconds(1);
        port.waitForInput(queued, std::min<Clock::Duration>(left, kWaitSliceMs));
        link.runIdle();
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
        port.waitForInput(0, std::min<Clock::Duration>(deadline - now, kWaitSliceMs));
        link.runIdle();
    }
}

}  // namespace tavolex
