#include "InterruptibleClock.h"

namespace tavolex {

InterruptibleClock::InterruptibleClock(Clock& base)
    : m_base(base), m_realTime(dynamic_cast<SteadyClock*>(&base) != nullptr) {}

void InterruptibleClock::sleepFor(Duration duration) {
    std::unique_lock lock(m_mutex);
    if (m_realTime) {
        m_wake.wait_for(lock, duration, [this] { return m_interrupted; });
        return;
    }
    if (m_interrupted) return;
    lock.unlock();
    m_base.sleepFor(duration);
}

void InterruptibleClock::interrupt() {
    {
        const std::lock_guard lock(m_mutex);
        m_interrupted = true;
    }
    m_wake.notify_all();
}

}  // namespace tavolex
