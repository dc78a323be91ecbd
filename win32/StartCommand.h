#pragma once

#include <string>
#include <vector>

// The command line of drovana.exe: [SHP_FOLDER [PEG_FOLDER]], -h/--help,
// -v/--version, and "--" before a folder that starts with "-".
namespace drovana {

struct StartCommand {
    enum class Action { kOpenDialog, kHelp, kVersion, kUsageError };
    Action action = Action::kOpenDialog;
    // As given, UTF-8; empty when not given.
    std::string shpFolder;
    std::string pegFolder;
    std::string error;  // why the usage is wrong
};

// `arguments` come after the program's name.
StartCommand ParseStartCommand(const std::vector<std::string>& arguments);

// The program's arguments after its name, as UTF-8.
std::vector<std::string> CommandLineArguments();

// A folder named on the command line made absolute, since the dialog lists a
// folder as written and a relative one would follow the current folder of
// whoever reads the settings later; empty stays empty.
std::string AbsoluteFolder(const std::string& given);

// Help, the version or what is wrong with the usage, in a message box: a
// program without a console has nowhere else to say it. Returns the exit
// status.
int AnswerWithoutDialog(const StartCommand& command);

}  // namespace drovana
