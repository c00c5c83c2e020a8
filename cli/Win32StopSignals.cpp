// Ctrl+C, Ctrl+Break and closing the console as a request to stop. Windows runs a console
// control handler on a thread of its own, so the handler may call the hook itself; Ctrl+C is
// reported as SIGINT and the others as SIGTERM, as on Linux.
#include <windows.h>

#include <csignal>
#include <mutex>

#include "StopSignals.h"

namespace tavolex::cli {

namespace {

std::atomic<int> g_signal{0};
std::mutex g_hookLock;
std::function<void()> g_hook;

BOOL WINAPI OnConsoleControl(DWORD type) {
    const int number = type == CTRL_C_EVENT ? SIGINT : SIGTERM;
    int expected = 0;
    if (g_signal.compare_exchange_strong(expected, number)) {
        const std::lock_guard lock(g_hookLock);
        if (g_hook) g_hook();
    }
    return TRUE;  // handled: the process ends when the command has stopped
}

}  // namespace

StopSignals::StopSignals(std::function<void()> onStop) : m_onStop(std::move(onStop)) {
    g_signal = 0;
    {
        const std::lock_guard lock(g_hookLock);
        g_hook = m_onStop;
    }
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

StopSignals::~StopSignals() {
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    const std::lock_guard lock(g_hookLock);
    g_hook = nullptr;
}

bool StopSignals::stopped() const {
    return g_signal.load() != 0;
}

int StopSignals::signal() const {
    return g_signal.load();
}

void StopSignals::watch() {}

}  // namespace tavolex::cli
