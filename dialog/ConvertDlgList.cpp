// The list of maps to convert and the handlers that rebuild it.
#include <QByteArray>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <system_error>

#include "BatchRules.h"
#include "ConvertDlg.h"
#include "NativeText.h"
#include "PathParts.h"
#include "PreRun.h"

namespace drovana {

namespace {

// What the status line says once the list is made: what is wrong with the
// maps folder, else which maps were left out, else the default line.
QString StatusFor(const QString& shpFolder, ShpFolderProblem problem,
                  const CandidateList& candidates) {
    const std::error_code& error = candidates.error;
    if (error && error != std::errc::no_such_file_or_directory &&
        error != std::errc::not_a_directory) {
        return CConvertDlg::CannotReadFolder(candidates.failedFolder, error);
    }
    switch (problem) {
        case ShpFolderProblem::kMissing:
            return shpFolder.isEmpty()
                       ? QStringLiteral("No PG2 maps folder chosen: type one or press Select...")
                       : QStringLiteral("The PG2 maps folder does not exist: %1").arg(shpFolder);
        case ShpFolderProblem::kNotAFolder:
            return QStringLiteral("%1 is a file, not a folder").arg(shpFolder);
        case ShpFolderProblem::kHoldsS16ButNoMaps:
            return QStringLiteral("%1 holds S16 pictures but no maps: are the two folders swapped?")
                .arg(shpFolder);
        case ShpFolderProblem::kUnreachable:
        case ShpFolderProblem::kNone:
            break;
    }
    if (candidates.hiddenOrReadOnly > 0) {
        return QStringLiteral("%1 %2 not listed: hidden or read-only")
            .arg(candidates.hiddenOrReadOnly)
            .arg(candidates.hiddenOrReadOnly == 1 ? QStringLiteral("map") : QStringLiteral("maps"));
    }
    return QStringLiteral("Select desired options and press OK button to convert");
}

}  // namespace

QString CConvertDlg::CannotReadFolder(const std::filesystem::path& folder,
                                      const std::error_code& error) {
    return QStringLiteral("Cannot read folder %1: %2")
        .arg(ReadableText(TextOf(folder)),
             QString::fromLocal8Bit(QByteArray::fromStdString(error.message())));
}

bool CConvertDlg::ShowsLastRun() const {
    return !m_strRunStatus.isEmpty() && m_lastRun.shpFolder == m_strShpFolder &&
           m_lastRun.pegFolder == m_strPegFolder && m_lastRun.updateOnly == m_bUpdateOnly;
}

void CConvertDlg::RefreshFileList() {
    // The run's marks and line stay while the list is of the folders it used.
    if (!ShowsLastRun()) {
        m_strRunStatus.clear();
        m_failures.clear();
    }
    m_fileList->clear();
    const std::string shpFolder = ToNative(m_strShpFolder);
    const ShpFolderProblem problem = CheckShpFolder(shpFolder);
    // A file named as the folder would list itself, as a search pattern.
    const CandidateList candidates =
        problem == ShpFolderProblem::kNotAFolder
            ? CandidateList{}
            : ListCandidates(shpFolder, ToNative(m_strPegFolder), m_bUpdateOnly);

    // Each entry shows its name as text and keeps the name's own bytes, so
    // that the run opens the file even when the name is not valid text.
    const int count = static_cast<int>(candidates.names.size());
    for (const std::filesystem::path& name : candidates.names) {
        auto* item = new QListWidgetItem(ReadableText(TextOf(name)));
        item->setData(kNativeNameRole, QByteArray::fromStdString(TextOf(name)));
        MarkEntry(*item);
        m_fileList->addItem(item);
    }
    m_fileList->clearSelection();

    m_fileCount->setText(QString::asprintf("%d files", count));
    m_statusLine->setText(ShowsLastRun() ? m_strRunStatus
                                         : StatusFor(m_strShpFolder, problem, candidates));
    m_nFiles = count;
    m_okButton->setEnabled(count > 0);
    WriteControls();
}

// A map whose conversion failed in the last run carries a warning and its
// reason; the others a blank of the same size, so that names never shift.
void CConvertDlg::MarkEntry(QListWidgetItem& item) const {
    const int side = m_fileList->iconSize().height();
    const auto failure = m_failures.find(item.data(kNativeNameRole).toByteArray().toStdString());
    if (failure != m_failures.end()) {
        item.setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
        item.setData(kFailureRole, failure->second);
        return;
    }
    QPixmap blank(side, side);
    blank.fill(Qt::transparent);
    item.setIcon(QIcon(blank));
}

QString CConvertDlg::ConfirmedFolder(const QString& text) {
    // An empty text stays empty: it names no folder, never the root or the
    // current one. A file keeps its name as typed, so that the line can say
    // it is a file.
    const std::string native = ToNative(text);
    if (text.isEmpty() || CheckFolder(native) == FolderState::kNotAFolder) {
        return text;
    }
    return FromNative(WithTrailingSeparator(native));
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
