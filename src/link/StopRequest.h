// The one way to ask a worker to stop. A request is a flag that every loop checks and a
// descriptor (an event object on Windows) that a wait sleeps on beside the port, so a worker
// that sleeps on a silent line or through a pause wakes the moment a stop is asked for, and
// nothing wakes on a timer meanwhile.
#pragma once

#include <atomic>

#include "Clock.h"

namespace tavolex {

class StopRequest {
public:
    StopRequest();
    ~StopRequest();

    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

    // Any thread, returns at once; every wait in progress or to come ends.
    void request();
    bool requested() const { return m_requested.load(); }

    // Sleeps for `duration` of `clock`. On the steady clock the sleep is a wait on the
    // descriptor that a request ends; a test's manual clock sleeps its own way (it moves only
    // when slept on) and is not slept on once a stop is requested.
    void sleepFor(Clock& clock, Clock::Duration duration) const;

#ifdef _WIN32
    // A manual-reset event, signalled from the request on.
    void* event() const {
        return m_event;
    }
#else
    // Readable from the request on; -1 when the system gave none (waits then cannot be woken
    // and end at their deadline).
    int descriptor() const {
        return m_readEnd;
    }
#endif

private:
    std::atomic<bool> m_requested{false};
#ifdef _WIN32
    void* m_event = nullptr;
#else
    int m_readEnd = -1;
    int m_writeEnd = -1;
#endif
};

}  // namespace tavolex
