#include "StartCommand.h"

#include <windows.h>

#include <shellapi.h>

#include <filesystem>
#include <system_error>

#include "PathParts.h"
#include "WideText.h"

namespace drovana {

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

void ShowStartText(const std::string& text, bool error) {
    MessageBoxW(nullptr, WideOf(text).c_str(), L"drovana",
                MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

}  // namespace drovana
