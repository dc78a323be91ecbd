#include <windows.h>

#include <string>

#include "ConvertDlg.h"
#include "RegistrySettings.h"
#include "StartCommand.h"

namespace {

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
    const drovana::StartRequest request = drovana::ParseStartArguments(
        drovana::CommandLineArguments(), drovana::ViewOption::kNotOffered);
    if (request.action != drovana::StartAction::kOpenDialog) {
        return drovana::AnswerWithoutDialog(request);
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
