// The dialog's three entries in the settings store.
#include <QString>

#include "ConvertDlg.h"
#include "FileChecks.h"
#include "NativeText.h"
#include "Settings.h"

namespace drovana {

namespace {

QString Section() {
    return QString::fromLatin1(kSettingsSection);
}

}  // namespace

void CConvertDlg::LoadSettings() {
    m_strShpFolder = GetProfileString(Section(), QStringLiteral("Folder"));
    if (m_strShpFolder.isEmpty()) {
        m_strShpFolder = FromNative(GetProgramFolder());
    }
    m_bUpdateOnly = GetProfileInt(Section(), QStringLiteral("Update"), 0) != 0;
    m_strPegFolder = GetProfileString(Section(), QStringLiteral("UpdateFolder"));
    // Stored by hand or by an older version, a folder may lack its separator;
    // "/x/peg" must not name files "/x/pegMAP01.s16".
    m_strShpFolder = ConfirmedFolder(m_strShpFolder);
    m_strPegFolder = ConfirmedFolder(m_strPegFolder);
}

void CConvertDlg::SaveSettings() {
    WriteProfileString(Section(), QStringLiteral("Folder"), m_strShpFolder);
    WriteProfileInt(Section(), QStringLiteral("Update"), m_bUpdateOnly ? 1 : 0);
    WriteProfileString(Section(), QStringLiteral("UpdateFolder"), m_strPegFolder);
}

}  // namespace drovana
