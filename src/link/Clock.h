// The time source of every wait in the link. Production uses the steady clock; tests use a
// manual clock so that protocol time-outs cost no real time.
#pragma once

#include <chrono>

namespace tavolex {

class Clock {
public:
    using Duration = std::chrono::steady_clock::duration;
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint now() = 0;
    virtual void sleepFor(Duration duration) = 0;
};

class SteadyClock final : public Clock {
public:
    TimePoint now() override;
    void sleepFor(Duration duration) override;
};

// One process-wide steady clock for production code.
Clock& SystemClock();

}  // namespace tavolex
