#pragma once

#include <atomic>

namespace drovana {

// Set once the user presses Ctrl-C (SIGINT), the terminal hangs up (SIGHUP)
// or the process is asked to stop (SIGTERM), after CatchInterrupts(). On
// Windows, Ctrl-C, Ctrl-Break and closing the console window count as SIGINT.
const std::atomic<bool>& InterruptRequested();

// The signal that set the flag first, or 0 while none has.
int InterruptSignal();

// From now on an interrupt sets the flag instead of ending the process, so
// that conversions under way can clean up.
void CatchInterrupts();

// A reader that goes away (`shp2s16 -n maps peg | head`) makes writes fail
// with EPIPE, which the program reports, instead of killing it silently.
void IgnoreBrokenPipes();

}  // namespace drovana
