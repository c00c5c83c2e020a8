#include <gtest/gtest.h>

#include <thread>

#include "InterruptibleClock.h"

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

}  // namespace
}  // namespace tavolex
