#include "StartCommand.h"

#include <windows.h>

#include <shellapi.h>

#include <filesystem>
#include <system_error>

#include "PathParts.h"
#include "Version.h"
#include "WideText.h"

namespace drovana {

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitUsage = 2;

constexpr char kUsage[] = "Usage: drovana [SHP_FOLDER [PEG_FOLDER]]";

constexpr char kHelp[] =
    "Opens the converter dialog, which converts SHP picture maps into S16\n"
    "pictures in the PeG folder.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Displays help on commandline options.\n"
    "  -v, --version  Displays version information.\n"
    "\n"
    "Arguments:\n"
    "  SHP_FOLDER     Folder of SHP pictures to open the dialog on.\n"
    "  PEG_FOLDER     PeG folder to write into.\n"
    "\n"
    "A folder given here is used for this start only; it is kept for the next\n"
    "one if it is changed in the dialog.";

StartCommand UsageError(std::string error) {
    StartCommand command;
    command.action = StartCommand::Action::kUsageError;
    command.error = std::move(error);
    return command;
}

bool IsOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

}  // namespace

StartCommand ParseStartCommand(const std::vector<std::string>& arguments) {
    StartCommand command;
    std::vector<std::string> folders;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (optionsEnded || !IsOption(argument)) {
            folders.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-h" || argument == "--help") {
            command.action = StartCommand::Action::kHelp;
        } else if (argument == "-v" || argument == "--version") {
            if (command.action != StartCommand::Action::kHelp) {
                command.action = StartCommand::Action::kVersion;
            }
        } else {
            return UsageError("unknown option '" + argument + "'");
        }
    }
    if (folders.size() > 2) {
        return UsageError("too many folders: '" + folders[2] + "'");
    }
    for (const std::string& folder : folders) {
        if (folder.empty()) {
            return UsageError("a folder name is empty");
        }
    }
    folders.resize(2);
    command.shpFolder = folders[0];
    command.pegFolder = folders[1];
    return command;
}

std::vector<std::string> CommandLineArguments() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; arguments && i < count; ++i) {
        result.push_back(Utf8Of(arguments[i]));
    }
    LocalFree(arguments);
    return result;
}

std::string AbsoluteFolder(const std::string& given) {
    if (given.empty()) {
        return given;
    }
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(PathOf(given), error);
    return error ? given : TextOf(absolute);
}

int AnswerWithoutDialog(const StartCommand& command) {
    std::string text;
    UINT icon = MB_ICONINFORMATION;
    int status = kExitSuccess;
    switch (command.action) {
        case StartCommand::Action::kHelp:
            text = std::string(kUsage) + "\n" + kHelp;
            break;
        case StartCommand::Action::kVersion:
            text = std::string("drovana ") + kVersion;
            break;
        case StartCommand::Action::kUsageError:
            text = command.error + "\n" + kUsage;
            icon = MB_ICONERROR;
            status = kExitUsage;
            break;
        case StartCommand::Action::kOpenDialog:
            return kExitSuccess;
    }
    MessageBoxW(nullptr, WideOf(text).c_str(), L"drovana", MB_OK | icon);
    return status;
}

}  // namespace drovana
