// What every exchange needs besides its port: where ports come from, the time source, and
// the caller's hooks for long waits.
#pragma once

#include <chrono>
#include <functional>

#include "Clock.h"
#include "SerialPort.h"

namespace tavolex {

// Waits are cut into slices no longer than this, so that the idle hook runs often enough to
// keep a window painting and a stop request takes effect at once.
inline constexpr std::chrono::milliseconds kWaitSliceMs{10};

struct LinkContext {
    PortOpener& ports;
    Clock& clock;
    // Called between wait slices; a window passes a hook that processes paint events.
    std::function<void()> idle = {};
    // True when the owner wants every wait to end now (a worker being stopped).
    std::function<bool()> stopRequested = {};

    bool stopping() const { return stopRequested && stopRequested(); }
    void runIdle() const {
        if (idle) idle();
    }
    // Sleeps for the duration in slices, running the idle hook; ends early when stopping.
    // Returns false when it was cut short.
    bool pause(Clock::Duration duration) const;
};

}  // namespace tavolex
