#include "ModelPort.h"

#include <algorithm>

#include "Commands.h"

namespace tavolex::sim {

ModelPort::~ModelPort() {
    m_owner.m_held = false;
}

std::size_t ModelPort::queuedBytes() {
    const Clock::TimePoint now = m_owner.m_clock.now();
    while (!m_inFlight.empty() && m_inFlight.front().due <= now) {
        const Bytes& bytes = m_inFlight.front().bytes;
        m_queue.insert(m_queue.end(), bytes.begin(), bytes.end());
        m_inFlight.pop_front();
    }
    return m_queue.size();
}

std::size_t ModelPort::readQueued(std::span<std::uint8_t> into) {
    const std::size_t n = std::min(into.size(), queuedBytes());
    std::copy_n(m_queue.begin(), n, into.begin());
    m_queue.erase(m_queue.begin(), m_queue.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

std::size_t ModelPort::write(ByteView bytes) {
    const Clock::TimePoint sent = m_owner.m_clock.now();
    // The request's last byte reaches the instrument after the whole request has travelled.
    const Clock::TimePoint arrival =
        sent + std::chrono::duration_cast<Clock::Duration>(m_owner.byteTime * bytes.size());
    for (const Request& request : m_parser.feed(bytes)) {
        std::optional<Bytes> reply = m_owner.m_model.handle(request);
        if (!reply) continue;
        FaultOutcome outcome = m_owner.m_faults.apply(request.code, std::move(*reply));
        if (request.code == command::kReadTemperatures) {
            for (FaultKind kind : outcome.applied)
                m_owner.m_model.noteLastReadingFault(kind);
        }
        if (!outcome.reply) continue;
        // Readable once its last byte has arrived.
        const auto travel = m_owner.byteTime * outcome.reply->size();
        const Clock::TimePoint due =
            arrival + std::chrono::duration_cast<Clock::Duration>(outcome.delay + travel);
        m_inFlight.push_back({due, std::move(*outcome.reply)});
    }
    std::stable_sort(m_inFlight.begin(), m_inFlight.end(),
                     [](const Pending& a, const Pending& b) { return a.due < b.due; });
    return bytes.size();
}

void ModelPort::purge() {
    queuedBytes();
    m_queue.clear();
}

void ModelPort::waitForInput(std::size_t known, Clock::Duration maxWait) {
    if (queuedBytes() > known) return;
    Clock& clock = m_owner.m_clock;
    const Clock::TimePoint end = clock.now() + maxWait;
    const bool arrives = !m_inFlight.empty() && m_inFlight.front().due < end;
    const Clock::TimePoint until = arrives ? m_inFlight.front().due : end;
    if (until > clock.now()) clock.sleepFor(until - clock.now());
}

PortHandle ModelPortOpener::open(const LinkSettings&, PortProfile profile) {
    if (m_held) return nullptr;
    m_held = true;
    ++m_opens;
    return std::make_unique<ModelPort>(*this, profile);
}

}  // namespace tavolex::sim
