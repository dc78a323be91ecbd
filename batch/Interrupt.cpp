#include "Interrupt.h"

#include <csignal>

#ifdef _WIN32
#include "WindowsApi.h"
#endif

namespace drovana {
namespace {

std::atomic<bool> g_interrupted{false};
std::atomic<int> g_signal{0};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set in a signal handler");
static_assert(std::atomic<int>::is_always_lock_free, "the signal is kept in a signal handler");

extern "C" void OnInterrupt(int signal) {
    // The first signal is the one that stopped the run; a second one changes nothing.
    int none = 0;
    g_signal.compare_exchange_strong(none, signal);
    g_interrupted.store(true);
}

#ifdef _WIN32
// Runs on a thread of its own. Ctrl-C, Ctrl-Break and a closed console window
// all stop the run as SIGINT does. After a close the system ends the process
// as soon as this returns, so it waits instead: the process ends when the run
// has cleaned up and returns from main(), or when the system's grace period is over.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
        return FALSE;
    }
    OnInterrupt(SIGINT);
    if (event == CTRL_CLOSE_EVENT) {
        Sleep(INFINITE);
    }
    return TRUE;
}
#endif

}  // namespace

const std::atomic<bool>& InterruptRequested() {
    return g_interrupted;
}

int InterruptSignal() {
    return g_signal.load();
}

void CatchInterrupts() {
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    std::signal(SIGHUP, OnInterrupt);
#endif
}

void IgnoreBrokenPipes() {
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

}  // namespace drovana
