#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "StartArguments.h"

// What the command line asks of the program, decided before Qt starts: help,
// the version and wrong usage need no display, and without a display Qt
// would abort.
namespace drovana {

// The variables Qt picks its window system by on Linux and its kin.
struct DisplayEnvironment {
    std::string qpaPlatform;     // QT_QPA_PLATFORM
    std::string display;         // DISPLAY, for X11
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string waylandSocket;   // WAYLAND_SOCKET, a connection handed over
};

DisplayEnvironment ReadDisplayEnvironment();

// Whether Qt can find a window system. A platform the user names, such as
// offscreen, is Qt's to open; without one Qt needs an X11 or Wayland display.
bool DisplayAvailable(const DisplayEnvironment& environment);

// Answers what needs no dialog: prints help, the version, a usage error or
// that there is no display, and returns the exit status. Nothing when the
// dialog is to open.
std::optional<int> AnswerWithoutDialog(const StartRequest& request,
                                       const DisplayEnvironment& environment, std::FILE* out,
                                       std::FILE* err);

}  // namespace drovana
