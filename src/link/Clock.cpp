#include "Clock.h"

#include <thread>

namespace tavolex {

Clock::TimePoint SteadyClock::now() {
    return std::chrono::steady_clock::now();
}

void SteadyClock::sleepFor(Duration duration) {
    std::this_thread::sleep_for(duration);
}

Clock& SystemClock() {
    static SteadyClock clock;
    return clock;
}

}  // namespace tavolex
