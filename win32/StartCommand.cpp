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

}  // namespace

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

int AnswerWithoutDialog(const StartRequest& request) {
    std::string text;
    UINT icon = MB_ICONINFORMATION;
    int status = kExitSuccess;
    switch (request.action) {
        case StartAction::kHelp:
            text = std::string(kUsage) + "\n" + kHelp;
            break;
        case StartAction::kVersion:
            text = std::string("drovana ") + kVersion;
            break;
        case StartAction::kUsageError:
            text = request.error + "\n" + kUsage;
            icon = MB_ICONERROR;
            status = kExitUsage;
            break;
        case StartAction::kOpenDialog:
        case StartAction::kView:
            return kExitSuccess;
    }
    MessageBoxW(nullptr, WideOf(text).c_str(), L"drovana", MB_OK | icon);
    return status;
}

}  // namespace drovana
