#pragma once

#include <string>
#include <vector>

// How the dialog programs read their command line, the same for the Qt
// dialog and the native Windows one: [SHP_FOLDER [PEG_FOLDER]], or
// --view FILE [FILE] where the program offers it; -h/--help, -v/--version,
// and "--" before a name that starts with "-".
namespace drovana {

// Folders named on the command line, as the bytes the system gave; empty
// when not given.
struct StartFolders {
    std::string shp;
    std::string peg;
};

enum class StartAction { kOpenDialog, kView, kHelp, kVersion, kUsageError };

struct StartRequest {
    StartAction action = StartAction::kOpenDialog;
    StartFolders folders;
    std::vector<std::string> files;  // the pictures to view
    std::string error;               // why the usage is wrong
};

// Whether the program can show pictures on their own (--view).
enum class ViewOption { kOffered, kNotOffered };

// `arguments` come after the program's name.
StartRequest ParseStartArguments(const std::vector<std::string>& arguments, ViewOption view);

}  // namespace drovana
