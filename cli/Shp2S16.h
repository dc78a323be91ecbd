#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The command-line front end: arguments, usage text and exit status. The
// conversions are the core's and the batch module's.
namespace drovana {

enum ExitStatus : int {
    kExitSuccess = 0,
    kExitFailure = 1,       // a conversion failed
    kExitUsage = 2,         // wrong arguments, or a folder missing or unreadable
    kExitInterrupted = 130  // stopped by Ctrl-C, as shells report SIGINT
};

// A run stopped by a signal exits with 128 + its number, as shells report
// it: SIGINT 130, SIGTERM 143, SIGHUP 129.
inline constexpr int kExitSignalBase = 128;

// Runs shp2s16 with `arguments` (program name first), printing to the given
// streams; returns the exit status. The arguments are the bytes the system
// gave (UTF-8 on Windows), so that any file name is found. Output that could
// not be written (a full disk, a closed pipe) turns a success into
// kExitFailure.
int RunShp2S16(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err);

}  // namespace drovana
