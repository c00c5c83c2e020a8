#include "FakeLine.h"

#include <algorithm>
#include <chrono>

namespace tavolex::testing {

std::vector<Chunk> FakeLine::answer(ByteView request) {
    if (!m_script.empty()) {
        std::vector<Chunk> chunks = std::move(m_script.front());
        m_script.pop_front();
        return chunks;
    }
    return responder ? responder(request) : std::vector<Chunk>{};
}

std::size_t FakeSerialPort::queuedBytes() {
    const Clock::TimePoint now = m_line.clock().now();
    while (!m_inFlight.empty() && m_inFlight.front().due <= now) {
        const Bytes& bytes = m_inFlight.front().bytes;
        m_queue.insert(m_queue.end(), bytes.begin(), bytes.end());
        m_inFlight.pop_front();
    }
    return m_queue.size();
}

std::size_t FakeSerialPort::readQueued(std::span<std::uint8_t> into) {
    const std::size_t n = std::min(into.size(), queuedBytes());
    std::copy_n(m_queue.begin(), n, into.begin());
    m_queue.erase(m_queue.begin(), m_queue.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

std::size_t FakeSerialPort::write(ByteView bytes) {
    m_line.written.emplace_back(bytes.begin(), bytes.end());
    const Clock::TimePoint now = m_line.clock().now();
    for (Chunk& chunk : m_line.answer(bytes)) {
        m_inFlight.push_back({now + chunk.after, std::move(chunk.bytes)});
    }
    std::stable_sort(m_inFlight.begin(), m_inFlight.end(),
                     [](const Pending& a, const Pending& b) { return a.due < b.due; });
    return bytes.size();
}

void FakeSerialPort::purge() {
    ++m_line.purges;
    queuedBytes();
    m_queue.clear();
}

void FakeSerialPort::waitForInput(std::size_t known, Clock::Duration maxWait) {
    if (queuedBytes() > known) return;
    const Clock::TimePoint end = m_line.clock().now() + maxWait;
    const bool arrives = !m_inFlight.empty() && m_inFlight.front().due < end;
    m_line.clock().advanceTo(arrives ? m_inFlight.front().due : end);
}

// Manual time moves only when the port moves it, so the wait moves it a millisecond at a time:
// a stop made at some moment of it (from the clock's onAdvance) ends the wait at that moment.
void FakeSerialPort::waitForInputOrStop(std::size_t known, Clock::Duration maxWait,
                                        const StopRequest& stop) {
    const Clock::TimePoint end = m_line.clock().now() + maxWait;
    while (!stop.requested() && queuedBytes() <= known && m_line.clock().now() < end) {
        waitForInput(known, std::min<Clock::Duration>(end - m_line.clock().now(),
                                                      std::chrono::milliseconds(1)));
    }
}

PortHandle FakePortOpener::open(const LinkSettings& settings, PortProfile profile) {
    if (m_line.refuseOpen || m_line.held()) return nullptr;
    ++m_line.opens;
    m_line.lastSettings = settings;
    m_line.lastProfile = profile;
    return std::make_unique<FakeSerialPort>(m_line, profile);
}

}  // namespace tavolex::testing
