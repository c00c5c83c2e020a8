#include "StopRequest.h"

#include <algorithm>
#include <chrono>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#endif

namespace tavolex {

namespace {

bool IsRealTime(Clock& clock) {
    return dynamic_cast<SteadyClock*>(&clock) != nullptr;
}

long long WholeMilliseconds(Clock::Duration duration) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(duration).count();
    return std::clamp<long long>(ms, 0, 60'000);
}

}  // namespace

#ifdef _WIN32

StopRequest::StopRequest() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

StopRequest::~StopRequest() {
    if (m_event != nullptr) CloseHandle(m_event);
}

void StopRequest::request() {
    m_requested = true;
    if (m_event != nullptr) SetEvent(m_event);
}

void StopRequest::sleepFor(Clock& clock, Clock::Duration duration) const {
    if (requested()) return;
    if (!IsRealTime(clock) || m_event == nullptr) {
        clock.sleepFor(duration);
        return;
    }
    const Clock::TimePoint end = clock.now() + duration;
    // One wait lasts at most a minute; a longer pause takes several.
    for (Clock::TimePoint now = clock.now(); now < end && !requested(); now = clock.now())
        (void)WaitForSingleObject(m_event, static_cast<DWORD>(WholeMilliseconds(end - now)));
}

#else

StopRequest::StopRequest() {
    // An eventfd is one descriptor that stays readable once written; a pipe does the same
    // where the system has none.
    m_readEnd = m_writeEnd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_readEnd >= 0) return;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
    m_readEnd = ends[0];
    m_writeEnd = ends[1];
}

StopRequest::~StopRequest() {
    if (m_writeEnd >= 0 && m_writeEnd != m_readEnd) ::close(m_writeEnd);
    if (m_readEnd >= 0) ::close(m_readEnd);
}

void StopRequest::request() {
    m_requested = true;
    const std::uint64_t one = 1;  // eight bytes, as an eventfd wants; a pipe takes them too
    if (m_writeEnd >= 0) (void)!::write(m_writeEnd, &one, sizeof one);
}

void StopRequest::sleepFor(Clock& clock, Clock::Duration duration) const {
    if (requested()) return;
    if (!IsRealTime(clock)) {
        clock.sleepFor(duration);
        return;
    }
    const Clock::TimePoint end = clock.now() + duration;
    // One wait lasts at most a minute; a longer pause takes several.
    for (Clock::TimePoint now = clock.now(); now < end && !requested(); now = clock.now()) {
        pollfd stop{m_readEnd, POLLIN, 0};
        (void)::poll(&stop, 1, static_cast<int>(WholeMilliseconds(end - now)));
    }
}

#endif

}  // namespace tavolex
