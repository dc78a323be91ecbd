#pragma once

#include <QStringList>

#include <cstdio>

// The command-line front end: arguments, usage text and exit status. The
// conversions are the core's and the batch module's.
namespace drovana {

enum ExitStatus : int {
    kExitSuccess = 0,
    kExitFailure = 1,       // a conversion failed
    kExitUsage = 2,         // wrong arguments or a missing folder
    kExitInterrupted = 130  // stopped by Ctrl-C, as shells report SIGINT
};

// The program's arguments as text that turns back into the same bytes, even
// where they are not valid UTF-8 (QCoreApplication::arguments() replaces
// such bytes, and a file named with them would not be found).
QStringList ArgumentsFromNative(int argc, const char* const* argv);

// Runs shp2s16 with `arguments` (program name first), printing to the given
// streams; returns the exit status.
int RunShp2S16(const QStringList& arguments, std::FILE* out, std::FILE* err);

}  // namespace drovana
