#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "ConvertDlg.h"
#include "RegistrySettings.h"
#include "StartCommand.h"
#include "StartOptions.h"

namespace {

// What the command line's answer without the dialog says, as text.
std::string AnswerText(const drovana::StartRequest& request, int& status) {
    // tmpfile() would make its file in the drive's root, closed to most users.
    wchar_t folder[MAX_PATH + 1] = L"";
    wchar_t path[MAX_PATH + 1] = L"";
    std::FILE* out = nullptr;
    if (GetTempPathW(MAX_PATH + 1, folder) && GetTempFileNameW(folder, L"dro", 0, path)) {
        out = _wfopen(path, L"w+bD");  // D: deleted once closed
    }
    if (!out) {
        status = 2;
        return "Usage: drovana [SHP_FOLDER [PEG_FOLDER]]";
    }
    status = drovana::AnswerWithoutDialog(request, drovana::ReadDisplayEnvironment(), out, out)
                 .value_or(0);
    std::rewind(out);
    std::string text;
    for (int c = std::fgetc(out); c != EOF; c = std::fgetc(out)) {
        text.push_back(static_cast<char>(c));
    }
    std::fclose(out);
    return text;
}

std::wstring ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    const drovana::StartRequest request =
        drovana::ParseStartArguments(drovana::CommandLineArguments());
    if (request.action != drovana::StartAction::kOpenDialog) {
        int status = 0;
        const std::string text = AnswerText(request, status);
        drovana::ShowStartText(text, status != 0);
        return status;
    }

    drovana::CConvertDlg dlg(drovana::ApplicationNameFor(ExecutablePath()));
    dlg.SetStartFolders(drovana::AbsoluteFolder(request.folders.shp),
                        drovana::AbsoluteFolder(request.folders.peg));
    const HWND window = dlg.Create(instance);
    if (!window) {
        return 1;
    }
    ShowWindow(window, show);
    MSG message;
    while (dlg.GetSafeHwnd() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!dlg.PreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}
