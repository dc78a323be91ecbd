#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "ConvertDlg.h"
#include "ConvertDlgLayout.h"

// The Windows dialog under test, created hidden, and one way to act on it:
// find a control by id and send it a message, as the system would.
namespace drovana::test {

// The settings of the dialogs under test live under this name, not the
// program's.
inline constexpr wchar_t kTestApplication[] = L"drovana-test";

class DialogDriver {
public:
    // A new dialog, which loads the settings; the one before it, if any, is
    // closed first and saves them.
    // `prepare` sets the dialog up before its window exists.
    void Open(const std::function<void(CConvertDlg&)>& prepare = {}) {
        dlg_.reset();
        dlg_ = std::make_unique<CConvertDlg>(kTestApplication);
        if (prepare) {
            prepare(*dlg_);
        }
        dlg_->Create(GetModuleHandleW(nullptr));
    }

    // Closes the dialog, which saves the settings.
    void Close() { dlg_.reset(); }

    CConvertDlg& Dlg() { return *dlg_; }
    HWND Window() const { return dlg_->GetSafeHwnd(); }

    // The one helper every test acts through.
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageW(id == 0 ? Window() : dlg_->GetDlgItem(id), message, wParam, lParam);
    }

    std::wstring Text(int id) const {
        wchar_t text[1024] = L"";
        Send(id, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
        return text;
    }
    void SetText(int id, const std::wstring& text) const {
        Send(id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void Click(int id) const { Send(id, BM_CLICK); }
    // Gives the control the focus as the dialog manager does.
    void Focus(int id) const {
        Send(0, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dlg_->GetDlgItem(id)), TRUE);
    }
    // Types `text` over an edit's and leaves it for the next control.
    void Type(int id, const std::wstring& text) const {
        Focus(id);
        SetText(id, text);
        Focus(kIdCancel);
    }
    // A key as the message loop hands it to the dialog.
    void Key(WPARAM key) const {
        MSG message{GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
        dlg_->PreTranslateMessage(message);
    }
    // Tells the dialog the list's selection changed or an entry was
    // double-clicked, as the list does after a click.
    void SelectEntry(int index, WORD notification) const {
        Send(kIdFileList, LB_SETCURSEL, static_cast<WPARAM>(index));
        Send(0, WM_COMMAND, MAKEWPARAM(kIdFileList, notification),
             reinterpret_cast<LPARAM>(dlg_->GetDlgItem(kIdFileList)));
    }
    std::vector<std::wstring> Entries() const {
        std::vector<std::wstring> entries;
        const auto count = Send(kIdFileList, LB_GETCOUNT);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[MAX_PATH] = L"";
            Send(kIdFileList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }

    // Runs the message loop until `done` or the time is up; false then.
    static bool PumpUntil(const std::function<bool()>& done,
                          std::chrono::seconds limit = std::chrono::seconds(60)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            Sleep(1);
        }
        return true;
    }
    // Presses OK and waits for the run to end.
    bool Run() {
        Click(kIdOk);
        return PumpUntil([this] { return !dlg_->IsRunning(); });
    }

private:
    std::unique_ptr<CConvertDlg> dlg_;
};

}  // namespace drovana::test
