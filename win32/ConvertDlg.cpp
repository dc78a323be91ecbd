#include "ConvertDlg.h"

#include <commctrl.h>

#include "ConvertDlgLayout.h"
#include "DialogTemplate.h"
#include "PathParts.h"
#include "WideText.h"

namespace drovana {

namespace {

// The icon of the program and its dialog, in the resources.
constexpr int kIconId = 128;

struct ToolTip {
    int id;
    const wchar_t* text;
};

// Every control not named here shows no tip.
constexpr ToolTip kToolTips[] = {
    {kIdOk, L"Click here to convert SHP files to S16"},
    {kIdCancel,
     L"Exit application with no further warning.  Your settings and entries will be saved "
     L"automatically and will be retreived next time you open the application."},
    {kIdShpSelect, L"Click here to specify folder holding SHP files to convert"},
    {kIdPegFolderEdit, L"Folder holding Peoples S16 files"},
    {kIdUpdateOnly, L"If checked, only MAP nn files not existing on PeG Folder will be converted"},
    {kIdPegSelect, L"Click here to select PeG folder to update"},
    {kIdShpFolderEdit, L"Folder holding SHP files to convert"},
};

// Wide enough for the Cancel tip to wrap into a few lines.
constexpr int kToolTipWidth = 400;

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

CConvertDlg::CConvertDlg(std::wstring settingsApplication)
    : m_settings(std::move(settingsApplication)) {}

// Destroyed while still open: the run stops and the window goes now.
CConvertDlg::~CConvertDlg() {
    m_stopRun = true;
    if (m_engine.joinable()) {
        m_engine.join();
    }
    if (m_hWnd) {
        DestroyWindow(m_hWnd);
    }
}

HWND CConvertDlg::Create(HINSTANCE instance) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_PROGRESS_CLASS | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    const std::vector<WORD> dialogTemplate = BuildDialogTemplate(kConvertDlgLayout);
    return CreateDialogIndirectParamW(instance,
                                      reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()),
                                      nullptr, DialogProc, reinterpret_cast<LPARAM>(this));
}

bool CConvertDlg::PreTranslateMessage(MSG& message) const {
    return m_hWnd && IsDialogMessageW(m_hWnd, &message);
}

std::wstring CConvertDlg::ConfirmedFolder(const std::wstring& text) {
    // An empty text stays empty: it names no folder, never the root or the
    // current one.
    return text.empty() ? text : WideOf(WithTrailingSeparator(Utf8Of(text)));
}

INT_PTR CALLBACK CConvertDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CConvertDlg*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        dialog->m_hWnd = window;
        dialog->OnInitDialog();
        return TRUE;
    }
    auto* dialog = reinterpret_cast<CConvertDlg*>(GetWindowLongPtrW(window, DWLP_USER));
    return dialog ? dialog->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CConvertDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_CLOSE:
            OnClose();
            return TRUE;
        case WM_DRAWITEM:
            DrawListItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(SendMessageW(m_hWnd, WM_GETICON, ICON_BIG, 0));
        case kMsgFileStarted:
            OnFileStarted();
            return TRUE;
        case kMsgRunDone:
            OnRunDone();
            return TRUE;
        case WM_ENDSESSION:
            // The session ends without closing the window: stop the run,
            // which leaves no partial file, and save the entries now.
            if (wParam) {
                m_stopRun = true;
                if (m_engine.joinable()) {
                    m_engine.join();
                }
                OnWindowGone();
            }
            return TRUE;
        case WM_NCDESTROY:
            m_hWnd = nullptr;
            OnWindowGone();
            return FALSE;
        default:
            return FALSE;
    }
}

void CConvertDlg::OnInitDialog() {
    m_bOpen = true;
    EnableToolTips();
    SetIcons();
    LoadSettings();
    RefreshFileList();
    // The first control in tab order takes the focus.
    SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(kIdShpFolderEdit)),
                 TRUE);
}

void CConvertDlg::OnCommand(int id, int code) {
    // During a run only a stop counts; what else reaches a disabled control
    // never acts, then or later.
    if (m_bRunning && id != kIdCancel) {
        return;
    }
    switch (id) {
        case kIdOk:
            RunConversion();
            return;
        case kIdCancel:
            OnCancel();
            return;
        case kIdShpSelect:
            BrowseShpFolder();
            return;
        case kIdPegSelect:
            BrowsePegFolder();
            return;
        case kIdUpdateOnly:
            if (code == BN_CLICKED) {
                OnUpdateOnlyClicked();
            }
            return;
        case kIdShpFolderEdit:
        case kIdPegFolderEdit:
            if (code == EN_KILLFOCUS) {
                OnFolderEditLeft(id == kIdShpFolderEdit ? m_strShpFolder : m_strPegFolder);
            }
            return;
        case kIdFileList:
            if (code == LBN_SELCHANGE) {
                OnListSelectionChanged();
            } else if (code == LBN_DBLCLK) {
                OnFileDoubleClicked();
            }
            return;
        default:
            return;
    }
}

void CConvertDlg::OnCancel() {
    if (m_bRunning) {
        m_stopRun = true;
        return;
    }
    EndDialog();
}

void CConvertDlg::OnClose() {
    if (m_bRunning) {
        m_stopRun = true;
        m_bCloseAfterRun = true;
        return;
    }
    EndDialog();
}

void CConvertDlg::EndDialog() {
    // Closing leaves the edit that has the focus, so a folder typed into it
    // but not yet confirmed is read and saved like one the user tabbed out of.
    SetFocus(nullptr);
    DestroyWindow(m_hWnd);
}

void CConvertDlg::OnWindowGone() {
    if (m_bOpen) {
        m_bOpen = false;
        SaveSettings();
    }
}

void CConvertDlg::EnableToolTips() {
    m_toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd,
                                nullptr, nullptr, nullptr);
    SendMessageW(m_toolTip, TTM_SETMAXTIPWIDTH, 0, kToolTipWidth);
    for (const ToolTip& tip : kToolTips) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(tip.id));
        tool.lpszText = const_cast<wchar_t*>(tip.text);
        SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void CConvertDlg::SetIcons() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const auto& [which, metric] :
         {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
        const int side = GetSystemMetrics(metric);
        const auto icon = static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, side, side, LR_SHARED));
        SendMessageW(m_hWnd, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

void CConvertDlg::SetStatus(const std::wstring& text) {
    SetDlgItemTextW(m_hWnd, kIdStatus, text.c_str());
}

void CConvertDlg::ReadControls() {
    m_strShpFolder = WindowText(GetDlgItem(kIdShpFolderEdit));
    m_strPegFolder = WindowText(GetDlgItem(kIdPegFolderEdit));
    m_bUpdateOnly = IsDlgButtonChecked(m_hWnd, kIdUpdateOnly) == BST_CHECKED;
}

void CConvertDlg::WriteControls() {
    SetDlgItemTextW(m_hWnd, kIdShpFolderEdit, m_strShpFolder.c_str());
    SetDlgItemTextW(m_hWnd, kIdPegFolderEdit, m_strPegFolder.c_str());
    CheckDlgButton(m_hWnd, kIdUpdateOnly, m_bUpdateOnly ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace drovana
