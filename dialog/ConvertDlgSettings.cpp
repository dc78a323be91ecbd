// The dialog's three entries in the settings store.
#include <QString>

#include "BatchRules.h"
#include "ConvertDlg.h"
#include "FileChecks.h"
#include "NativeText.h"
#include "Settings.h"
#include "UserSamples.h"

namespace drovana {

namespace {

QString Section() {
    return QString::fromLatin1(kSettingsSection);
}

// A folder given at start replaces the stored one for this opening.
void UseStartFolder(QString& folder, const QString& start) {
    if (!start.isEmpty()) {
        folder = start;
    }
}

// A folder still the one given at start leaves the stored one alone.
void SaveFolder(const QString& key, const QString& folder, const QString& start) {
    if (start.isEmpty() || folder != start) {
        WriteProfileString(Section(), key, folder);
    }
}

}  // namespace

void CConvertDlg::LoadSettings() {
    m_strStartNote.clear();
    m_strShpFolder = GetProfileString(Section(), QStringLiteral("Folder"));
    m_bUpdateOnly = GetProfileInt(Section(), QStringLiteral("Update"), 0) != 0;
    m_strPegFolder = GetProfileString(Section(), QStringLiteral("UpdateFolder"));
    if (m_strShpFolder.isEmpty()) {
        m_strShpFolder = FromNative(GetProgramFolder());
        if (m_strStartShpFolder.isEmpty()) {
            OpenOnSamplesIfNoMaps();
        }
    }
    UseStartFolder(m_strShpFolder, m_strStartShpFolder);
    UseStartFolder(m_strPegFolder, m_strStartPegFolder);
    // Stored by hand or by an older version, a folder may lack its separator;
    // "/x/peg" must not name files "/x/pegMAP01.s16".
    m_strShpFolder = ConfirmedFolder(m_strShpFolder);
    m_strPegFolder = ConfirmedFolder(m_strPegFolder);
}

// Installed, the program's folder is a system folder without maps: a first
// start there would be a dead end.
void CConvertDlg::OpenOnSamplesIfNoMaps() {
    if (!ListCandidates(ToNative(m_strShpFolder), "", true).names.empty()) {
        return;
    }
    const SampleFolders samples = UserSampleFolders(m_strShpFolder);
    if (samples.maps.isEmpty()) {
        return;
    }
    m_strShpFolder = samples.maps;
    if (m_strPegFolder.isEmpty()) {
        m_strPegFolder = samples.peg;
    }
    m_strStartNote =
        QStringLiteral("Opened on your own copy of the sample maps: %1").arg(samples.maps);
}

void CConvertDlg::SaveSettings() {
    SaveFolder(QStringLiteral("Folder"), m_strShpFolder, m_strStartShpFolder);
    WriteProfileInt(Section(), QStringLiteral("Update"), m_bUpdateOnly ? 1 : 0);
    SaveFolder(QStringLiteral("UpdateFolder"), m_strPegFolder, m_strStartPegFolder);
}

void CConvertDlg::SetStartFolders(const QString& shpFolder, const QString& pegFolder) {
    m_strStartShpFolder = ConfirmedFolder(shpFolder);
    m_strStartPegFolder = ConfirmedFolder(pegFolder);
}

}  // namespace drovana
