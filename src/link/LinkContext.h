// What every exchange needs besides its port: where ports come from, the time source, and
// the caller's hooks for long waits.
#pragma once

#include <chrono>
#include <functional>

#include "Clock.h"
#include "SerialPort.h"
#include "StopRequest.h"

namespace tavolex {

// Waits of a link with an idle hook or a stop test (and no stop request to sleep on) are cut
// into slices no longer than this, so that the hook runs often enough to keep a window painting
// and the test is made often enough.
inline constexpr std::chrono::milliseconds kWaitSliceMs{10};

struct LinkContext {
    PortOpener& ports;
    Clock& clock;
    // Called between wait slices; a window passes a hook that processes paint events.
    std::function<void()> idle = {};
    // True when the owner wants every wait to end now (a worker being stopped).
    std::function<bool()> stopRequested = {};
    // The caller's own way to wait for input on a port's descriptor, for at most the given
    // time, doing its other work meanwhile (a window's event loop paints while it sleeps).
    // When set, and the link has no stop request, a wait for a reply whose bytes have not
    // begun to arrive is one call to it instead of slices running the idle hook.
    std::function<void(int descriptor, Clock::Duration maxWait)> waitReadable = {};

    // A worker's stop request: its waits and pauses sleep on it, with no slices, and end the
    // moment it is made.
    const StopRequest* stop = nullptr;

    bool stopping() const {
        return (stop != nullptr && stop->requested()) || (stopRequested && stopRequested());
    }
    void runIdle() const {
        if (idle) idle();
    }
    // Sleeps for the duration (in slices when there is an idle hook and no stop request);
    // ends early when stopping.
    // Returns false when it was cut short.
    bool pause(Clock::Duration duration) const;
};

}  // namespace tavolex
