#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>

#include "InterruptibleClock.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;

// True once the thread is blocked in the kernel (state S), as a thread inside a timed wait is.
bool Blocked(pid_t thread) {
    std::ifstream stat("/proc/self/task/" + std::to_string(thread) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const std::size_t state = text.rfind(')');
    return state != std::string::npos && state + 2 < text.size() && text[state + 2] == 'S';
}

TEST(InterruptibleClockTest, AnInterruptBeforeTheSleepMakesEverySleepReturnAtOnce) {
    InterruptibleClock clock(SystemClock());
    const auto start = std::chrono::steady_clock::now();
    clock.interrupt();
    clock.sleepFor(60s);
    clock.sleepFor(60s);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST(InterruptibleClockTest, AnInterruptWakesASleepInProgress) {
    InterruptibleClock clock(SystemClock());
    std::atomic<pid_t> sleeperId = 0;
    std::thread sleeper([&] {
        sleeperId = static_cast<pid_t>(syscall(SYS_gettid));
        clock.sleepFor(60s);
    });
    while (sleeperId == 0 || !Blocked(sleeperId))
        std::this_thread::yield();
    const auto start = std::chrono::steady_clock::now();
    clock.interrupt();
    sleeper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

}  // namespace
}  // namespace tavolex
