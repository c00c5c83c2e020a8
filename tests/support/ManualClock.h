// A clock that moves only when something sleeps or waits on it.
#pragma once

#include "Clock.h"

namespace tavolex::testing {

class ManualClock final : public Clock {
public:
    TimePoint now() override { return m_now; }
    void sleepFor(Duration duration) override { m_now += duration; }
    void advanceTo(TimePoint when) {
        if (when > m_now) m_now = when;
    }
    // Time passed since the clock was made.
    Duration elapsed() const { return m_now - TimePoint{}; }

private:
    TimePoint m_now{};
};

}  // namespace tavolex::testing
