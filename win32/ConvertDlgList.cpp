// The list of maps to convert, the handlers that rebuild it, and how its
// entries are drawn: a failed map carries a warning icon.
#include <algorithm>
#include <system_error>

#include "BatchRules.h"
#include "ConvertDlg.h"
#include "ConvertDlgLayout.h"
#include "PathParts.h"
#include "PreviewWindow.h"
#include "WideText.h"

namespace drovana {

namespace {

// Room around an entry's icon and text, in pixels.
constexpr int kEntryPadding = 4;

std::wstring CannotReadFolder(const std::filesystem::path& folder, const std::error_code& error) {
    return L"Cannot read folder " + WideOf(QuotedPath(folder)) + L": " + WideOf(error.message());
}

// A folder that does not exist lists nothing, quietly, as it always did; any
// other reason is shown, or an unreadable folder would pass for an empty one.
std::wstring StatusFor(const CandidateList& candidates) {
    const std::error_code& error = candidates.error;
    if (!error || error == std::errc::no_such_file_or_directory ||
        error == std::errc::not_a_directory) {
        return L"Select desired options and press OK button to convert";
    }
    return CannotReadFolder(candidates.failedFolder, error);
}

}  // namespace

void CConvertDlg::RefreshFileList() {
    m_strRunStatus.clear();
    const HWND list = GetDlgItem(kIdFileList);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    const CandidateList candidates =
        ListCandidates(Utf8Of(m_strShpFolder), Utf8Of(m_strPegFolder), m_bUpdateOnly);
    m_names = candidates.names;
    m_failures.clear();
    for (const std::filesystem::path& name : m_names) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.wstring().c_str()));
    }
    FitListColumns();
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);

    const int count = static_cast<int>(m_names.size());
    SetDlgItemTextW(m_hWnd, kIdFileCount, (std::to_wstring(count) + L" files").c_str());
    SetStatus(StatusFor(candidates));
    m_nFiles = count;
    EnableWindow(GetDlgItem(kIdOk), count > 0);
    WriteControls();
}

void CConvertDlg::OnFolderEditLeft(std::wstring& field) {
    ReadControls();
    field = ConfirmedFolder(field);
    RefreshFileList();
}

void CConvertDlg::OnUpdateOnlyClicked() {
    ReadControls();
    RefreshFileList();
}

void CConvertDlg::OnListSelectionChanged() {
    const auto index = static_cast<int>(SendMessageW(GetDlgItem(kIdFileList), LB_GETCURSEL, 0, 0));
    if (index >= 0 && index < static_cast<int>(m_names.size())) {
        const auto failure = m_failures.find(m_names[static_cast<std::size_t>(index)]);
        if (failure != m_failures.end()) {
            SetStatus(failure->second);
            return;
        }
    }
    if (!m_strRunStatus.empty()) {
        SetStatus(m_strRunStatus);
    }
}

void CConvertDlg::OnFileDoubleClicked() {
    const auto index = static_cast<int>(SendMessageW(GetDlgItem(kIdFileList), LB_GETCURSEL, 0, 0));
    if (m_bRunning || index < 0 || index >= static_cast<int>(m_names.size())) {
        return;
    }
    const std::filesystem::path& name = m_names[static_cast<std::size_t>(index)];
    OpenPreview(m_hWnd, SourcePathFor(Utf8Of(m_strShpFolder), name),
                TargetPathFor(Utf8Of(m_strPegFolder), name));
}

// Columns as wide as the longest name and its mark, which is as tall as
// the list's text, so that both follow the font at every DPI.
void CConvertDlg::FitListColumns() {
    const HWND list = GetDlgItem(kIdFileList);
    const HDC dc = GetDC(list);
    const HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    m_markSide = metrics.tmHeight;
    int widest = 0;
    for (const std::filesystem::path& name : m_names) {
        const std::wstring text = name.wstring();
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, oldFont);
    ReleaseDC(list, dc);
    SendMessageW(list, LB_SETITEMHEIGHT, 0, m_markSide + kEntryPadding / 2);
    SendMessageW(list, LB_SETCOLUMNWIDTH, widest + m_markSide + 3 * kEntryPadding, 0);
}

void CConvertDlg::DrawListItem(const DRAWITEMSTRUCT& item) const {
    if (item.CtlID != static_cast<UINT>(kIdFileList) || item.itemID == static_cast<UINT>(-1) ||
        item.itemID >= m_names.size()) {
        return;
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    RECT text = item.rcItem;
    text.left += kEntryPadding;
    // Once a run has failed somewhere every entry makes room for the mark, so
    // that the names stay aligned.
    if (!m_failures.empty()) {
        if (item.itemData != 0) {
            const int top =
                item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - m_markSide) / 2;
            DrawIconEx(item.hDC, text.left, top, LoadIconW(nullptr, IDI_WARNING), m_markSide,
                       m_markSide, 0, nullptr, DI_NORMAL);
        }
        text.left += m_markSide + kEntryPadding;
    }
    const std::wstring name = m_names[item.itemID].wstring();
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    DrawTextW(item.hDC, name.c_str(), static_cast<int>(name.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS) {
        DrawFocusRect(item.hDC, &item.rcItem);
    }
}

}  // namespace drovana
