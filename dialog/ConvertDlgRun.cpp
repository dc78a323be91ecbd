// The batch run behind OK.
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>

#include "BatchRules.h"
#include "ConvertDlg.h"
#include "ConvertShpToS16.h"
#include "NativeText.h"
#include "PathParts.h"

namespace drovana {

namespace {

// A folder text the user typed but never confirmed gets the separator that
// leaving its edit would have added.
void CompleteTypedFolder(QString& field, const QString& confirmed) {
    if (field != confirmed) {
        field = FromNative(WithTrailingSeparator(ToNative(field)));
    }
}

// The run opens its folders once, as a batch of shp2s16 does: listed names
// are found in them even if a path is swapped while the run goes on, and
// links others may have planted there are guarded.
ConvertOptions OpenRunFolders(const std::string& shpFolder, const std::string& pegFolder) {
    std::error_code ignored;  // each file then fails with its own reason
    return FolderBatchOptions(Folder::Open(FolderOfText(shpFolder), ignored),
                              Folder::Open(FolderOfText(pegFolder), ignored), nullptr);
}

}  // namespace

void CConvertDlg::RunConversion() {
    m_nFiles = m_fileList->count();
    if (m_nFiles < 1) {
        return;
    }
    m_progress->show();

    // Enter in an edit reaches here with its text unconfirmed.
    const QString shpListed = m_strShpFolder;
    const QString pegListed = m_strPegFolder;
    const bool updateOnlyListed = m_bUpdateOnly;
    ReadControls();
    CompleteTypedFolder(m_strShpFolder, shpListed);
    CompleteTypedFolder(m_strPegFolder, pegListed);
    // The list was made for the folders as they were; the listed names mean
    // nothing in another folder, so convert what the new folders hold.
    if (m_strShpFolder != shpListed || m_strPegFolder != pegListed ||
        m_bUpdateOnly != updateOnlyListed) {
        RefreshFileList();
        if (m_nFiles < 1) {
            m_progress->hide();
            return;
        }
    }

    const int count = m_nFiles;
    const std::string shpFolder = ToNative(m_strShpFolder);
    const std::string pegFolder = ToNative(m_strPegFolder);
    const ConvertOptions options = OpenRunFolders(shpFolder, pegFolder);
    // From empty to full as the last file starts; a range of 0 to 0 would
    // show Qt's busy indicator for a single file.
    m_progress->setRange(0, count);
    m_progress->setValue(0);
    int failed = 0;
    for (int i = 0; i < count; ++i) {
        // The run holds the event loop; paint what changes directly, so no
        // user input slips in before it ends.
        m_progress->setValue(i + 1);
        m_progress->repaint();

        const std::filesystem::path name =
            m_fileList->item(i)->data(kNativeNameRole).toByteArray().toStdString();
        const std::filesystem::path source = SourcePathFor(shpFolder, name);
        const std::filesystem::path target = TargetPathFor(pegFolder, name);
        m_statusLine->setText(ReadableText(target.string()));
        m_statusLine->repaint();

        if (ConvertOneFile(source, target, options) != 1) {
            ++failed;
        }
    }
    // Until the folder is synced, none of the new names is sure to last.
    if (options.targetFolder && options.targetFolder->Sync()) {
        failed = count;
    }
    m_progress->hide();
    RefreshFileList();

    if (failed > 0) {
        m_statusLine->setText(
            QString::asprintf("%d of %d files could not be converted", failed, count));
    }
}

int CConvertDlg::ConvertOneFile(const std::filesystem::path& source,
                                const std::filesystem::path& target,
                                const ConvertOptions& options) {
    return ConvertShpFile(source, target, options).Ok() ? 1 : 0;
}

}  // namespace drovana
