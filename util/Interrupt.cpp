#include "Interrupt.h"

#include <csignal>

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

}  // namespace

const std::atomic<bool>& InterruptRequested() {
    return g_interrupted;
}

int InterruptSignal() {
    return g_signal.load();
}

void CatchInterrupts() {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
#ifdef SIGHUP
    std::signal(SIGHUP, OnInterrupt);
#endif
}

void IgnoreBrokenPipes() {
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

}  // namespace drovana
