// A clock that moves only when something sleeps or waits on it: the tests' clock, and the soak's
// virtual time.
#pragma once

#include <functional>

#include "Clock.h"

namespace tavolex {

class ManualClock final : public Clock {
public:
    TimePoint now() override { return m_now; }
    void sleepFor(Duration duration) override { advanceTo(m_now + duration); }
    void advanceTo(TimePoint when) {
        if (when <= m_now) return;
        m_now = when;
        if (onAdvance) onAdvance();
    }
    // Time passed since the clock was made.
    Duration elapsed() const { return m_now - TimePoint{}; }

    // Runs whenever time moves, e.g. to act as another thread would at a given moment.
    std::function<void()> onAdvance;

private:
    TimePoint m_now{};
};

}  // namespace tavolex
