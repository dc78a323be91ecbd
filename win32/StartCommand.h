#pragma once

#include <string>
#include <vector>

// The program's command line as UTF-8 arguments after its name.
namespace drovana {

std::vector<std::string> CommandLineArguments();

// A folder named on the command line made absolute, since the dialog lists a
// folder as written and a relative one would follow the current folder of
// whoever reads the settings later; empty stays empty.
std::string AbsoluteFolder(const std::string& given);

// The program's text for help, the version or wrong usage, shown in a message
// box: a program without a console has nowhere else to print it.
void ShowStartText(const std::string& text, bool error);

}  // namespace drovana
