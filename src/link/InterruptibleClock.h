// The time source of a worker thread that must stop at once when asked: time comes from the
// given clock, and after interrupt() no sleep lasts. Over the steady clock a sleep is a timed
// wait on a condition variable, so an interrupt wakes a worker in the middle of a long pause
// rather than after it.
#pragma once

#include <condition_variable>
#include <mutex>

#include "Clock.h"

namespace tavolex {

class InterruptibleClock final : public Clock {
public:
    explicit InterruptibleClock(Clock& base);

    TimePoint now() override { return m_base.now(); }
    void sleepFor(Duration duration) override;

    // Ends the sleep in progress, if any, and makes every later sleep return at once.
    // Callable from any thread.
    void interrupt();

private:
    Clock& m_base;
    // A base clock that only moves when slept on (a test's manual clock) cannot be waited on.
    const bool m_realTime;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_interrupted = false;
};

}  // namespace tavolex
