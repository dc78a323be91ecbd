// The list of maps to convert and the handlers that rebuild it.
#include <QByteArray>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <system_error>

#include "BatchRules.h"
#include "ConvertDlg.h"
#include "NativeText.h"
#include "PathParts.h"

namespace drovana {

namespace {

// A folder that does not exist lists nothing, quietly, as it always did; any
// other reason is shown, or an unreadable folder would pass for an empty one.
QString StatusFor(const CandidateList& candidates) {
    const std::error_code& error = candidates.error;
    if (!error || error == std::errc::no_such_file_or_directory ||
        error == std::errc::not_a_directory) {
        return QStringLiteral("Select desired options and press OK button to convert");
    }
    return CConvertDlg::CannotReadFolder(candidates.failedFolder, error);
}

}  // namespace

QString CConvertDlg::CannotReadFolder(const std::filesystem::path& folder,
                                      const std::error_code& error) {
    return QStringLiteral("Cannot read folder %1: %2")
        .arg(ReadableText(TextOf(folder)),
             QString::fromLocal8Bit(QByteArray::fromStdString(error.message())));
}

void CConvertDlg::RefreshFileList() {
    m_strRunStatus.clear();
    m_fileList->clear();
    const CandidateList candidates =
        ListCandidates(ToNative(m_strShpFolder), ToNative(m_strPegFolder), m_bUpdateOnly);

    // Each entry shows its name as text and keeps the name's own bytes, so
    // that the run opens the file even when the name is not valid text.
    const int count = static_cast<int>(candidates.names.size());
    for (const std::filesystem::path& name : candidates.names) {
        auto* item = new QListWidgetItem(ReadableText(TextOf(name)));
        item->setData(kNativeNameRole, QByteArray::fromStdString(TextOf(name)));
        m_fileList->addItem(item);
    }
    m_fileList->clearSelection();

    m_fileCount->setText(QString::asprintf("%d files", count));
    m_statusLine->setText(StatusFor(candidates));
    m_nFiles = count;
    m_okButton->setEnabled(count > 0);
    WriteControls();
}

QString CConvertDlg::ConfirmedFolder(const QString& text) {
    // An empty text stays empty: it names no folder, never the root or the
    // current one.
    return text.isEmpty() ? text : FromNative(WithTrailingSeparator(ToNative(text)));
}

void CConvertDlg::OnFolderEditLeft(QString& field) {
    ReadControls();
    field = ConfirmedFolder(field);
    RefreshFileList();
}

void CConvertDlg::OnUpdateOnlyClicked() {
    ReadControls();
    RefreshFileList();
}

}  // namespace drovana
