// Choosing the two folders with the system's folder chooser.
#include <filesystem>
#include <system_error>

#include "ConvertDlg.h"
#include "FolderChooser.h"
#include "PathParts.h"
#include "WideText.h"

namespace drovana {

std::wstring CConvertDlg::BrowseForFolder(const std::wstring& initial, const std::wstring& title) {
    const std::wstring prompt = title.empty() ? L"Select Folder" : title;
    std::error_code error;
    const std::wstring startFolder =
        initial.empty() ? std::filesystem::current_path(error).wstring() : initial;
    const std::wstring chosen = m_chooseFolder ? m_chooseFolder(m_hWnd, startFolder, prompt)
                                               : ChooseFolder(m_hWnd, startFolder, prompt);
    // One chooser ends a folder with its separator, the other only a root.
    return chosen.empty() ? chosen : WideOf(WithTrailingSeparator(Utf8Of(chosen)));
}

void CConvertDlg::BrowseShpFolder() {
    const std::wstring folder =
        BrowseForFolder(m_strShpFolder, L"Select folder with PG2 picture maps to convert");
    if (!folder.empty()) {
        m_strShpFolder = folder;
    }
    RefreshFileList();
}

void CConvertDlg::BrowsePegFolder() {
    const std::wstring folder = BrowseForFolder(m_strPegFolder, L"PeG Folder to update");
    if (!folder.empty()) {
        m_strPegFolder = folder;
    }
    RefreshFileList();
}

}  // namespace drovana
