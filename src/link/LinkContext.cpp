#include "LinkContext.h"

#include <algorithm>

namespace tavolex {

bool LinkContext::pause(Clock::Duration duration) const {
    const Clock::TimePoint end = clock.now() + duration;
    if (stop != nullptr) {
        for (Clock::TimePoint now = clock.now(); now < end && !stopping(); now = clock.now())
            stop->sleepFor(clock, end - now);
        return !stopping();
    }
    for (Clock::TimePoint now = clock.now(); now < end; now = clock.now()) {
        if (stopping()) return false;
        clock.sleepFor(std::min<Clock::Duration>(end - now, kWaitSliceMs));
        runIdle();
    }
    return !stopping();
}

}  // namespace tavolex
