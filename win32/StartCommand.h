#pragma once

#include <string>
#include <vector>

#include "StartArguments.h"

// drovana.exe's command line, read as the Qt dialog reads its own, less
// --view: the native dialog has no picture viewer of its own.
namespace drovana {

// The program's arguments after its name, as UTF-8.
std::vector<std::string> CommandLineArguments();

// A folder named on the command line made absolute, since the dialog lists a
// folder as written and a relative one would follow the current folder of
// whoever reads the settings later; empty stays empty.
std::string AbsoluteFolder(const std::string& given);

// Help, the version or what is wrong with the usage, in a message box: a
// program without a console has nowhere else to say it. Returns the exit
// status.
int AnswerWithoutDialog(const StartRequest& request);

}  // namespace drovana
