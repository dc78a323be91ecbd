#pragma once

#include <atomic>

namespace drovana {

// Set once the user presses Ctrl-C (SIGINT) or the process is asked to stop
// (SIGTERM), after CatchInterrupts().
const std::atomic<bool>& InterruptRequested();

// From now on an interrupt sets the flag instead of ending the process, so
// that conversions under way can clean up.
void CatchInterrupts();

}  // namespace drovana
