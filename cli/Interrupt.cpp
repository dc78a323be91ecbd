#include "Interrupt.h"

#include <csignal>

namespace drovana {
namespace {

std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set in a signal handler");

extern "C" void OnInterrupt(int) {
    g_interrupted.store(true);
}

}  // namespace

const std::atomic<bool>& InterruptRequested() {
    return g_interrupted;
}

void CatchInterrupts() {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
}

}  // namespace drovana
