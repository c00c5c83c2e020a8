#include <gtest/gtest.h>

#include <thread>

#include "InterruptibleClock.h"
#include "ManualClock.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;

TEST(InterruptibleClockTest, AnInterruptEndsALongSleepOnTheSteadyClockAndEverySleepAfterIt) {
    InterruptibleClock clock(SystemClock());
    const auto start = std::chrono::steady_clock::now();
    std::thread sleeper([&] {
        clock.sleepFor(60s);
        clock.sleepFor(60s);
    });
    clock.interrupt();
    sleeper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST(InterruptibleClockTest, OverAManualClockSleepsMoveItsTimeUntilInterrupted) {
    testing::ManualClock manual;
    InterruptibleClock clock(manual);
    clock.sleepFor(1500ms);
    EXPECT_EQ(clock.now() - Clock::TimePoint{}, 1500ms);
    clock.interrupt();
    clock.sleepFor(1500ms);
    EXPECT_EQ(manual.elapsed(), 1500ms);
}

}  // namespace
}  // namespace tavolex
