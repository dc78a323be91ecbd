// The dialog's three entries in the registry.
#include "ConvertDlg.h"
#include "FileChecks.h"
#include "WideText.h"

namespace drovana {

namespace {

// A folder given at start replaces the stored one for this opening.
void UseStartFolder(std::wstring& folder, const std::wstring& start) {
    if (!start.empty()) {
        folder = start;
    }
}

}  // namespace

void CConvertDlg::LoadSettings() {
    m_strShpFolder = m_settings.GetString(kSettingsSectionW, L"Folder");
    if (m_strShpFolder.empty()) {
        m_strShpFolder = WideOf(GetProgramFolder());
    }
    m_bUpdateOnly = m_settings.GetInt(kSettingsSectionW, L"Update", 0) != 0;
    m_strPegFolder = m_settings.GetString(kSettingsSectionW, L"UpdateFolder");
    UseStartFolder(m_strShpFolder, m_strStartShpFolder);
    UseStartFolder(m_strPegFolder, m_strStartPegFolder);
    // Stored by hand or by an older version, a folder may lack its separator;
    // "C:\x\peg" must not name files "C:\x\pegMAP01.s16".
    m_strShpFolder = ConfirmedFolder(m_strShpFolder);
    m_strPegFolder = ConfirmedFolder(m_strPegFolder);
}

void CConvertDlg::SaveSettings() {
    // A folder still the one given at start leaves the stored one alone.
    const auto saveFolder = [this](const wchar_t* entry, const std::wstring& folder,
                                   const std::wstring& start) {
        if (start.empty() || folder != start) {
            m_settings.WriteString(kSettingsSectionW, entry, folder);
        }
    };
    saveFolder(L"Folder", m_strShpFolder, m_strStartShpFolder);
    m_settings.WriteInt(kSettingsSectionW, L"Update", m_bUpdateOnly ? 1 : 0);
    saveFolder(L"UpdateFolder", m_strPegFolder, m_strStartPegFolder);
}

void CConvertDlg::SetStartFolders(const std::string& shpFolder, const std::string& pegFolder) {
    m_strStartShpFolder = ConfirmedFolder(WideOf(shpFolder));
    m_strStartPegFolder = ConfirmedFolder(WideOf(pegFolder));
}

}  // namespace drovana
