// Choosing the two folders with the platform's folder chooser.
#include <QDir>
#include <QFileDialog>

#include "ConvertDlg.h"
#include "NativeText.h"
#include "PathParts.h"

namespace drovana {

namespace {

QString ChooseWithFileDialog(QWidget* owner, const QString& startFolder, const QString& prompt) {
    return QFileDialog::getExistingDirectory(owner, prompt, startFolder, QFileDialog::ShowDirsOnly);
}

}  // namespace

void CConvertDlg::SetFolderChooser(FolderChooser chooser) {
    m_chooseFolder = std::move(chooser);
}

QString CConvertDlg::BrowseForFolder(const QString& initial, const QString& title) {
    const QString prompt = title.isEmpty() ? QStringLiteral("Select Folder") : title;
    const QString startFolder = initial.isEmpty() ? QDir::currentPath() : initial;
    const QString chosen = m_chooseFolder ? m_chooseFolder(this, startFolder, prompt)
                                          : ChooseWithFileDialog(this, startFolder, prompt);
    if (chosen.isEmpty()) {
        return {};
    }
    // The chooser names a folder without its separator, except a root.
    return FromNative(WithTrailingSeparator(ToNative(QDir::toNativeSeparators(chosen))));
}

void CConvertDlg::BrowseShpFolder() {
    const QString folder = BrowseForFolder(
        m_strShpFolder, QStringLiteral("Select folder with PG2 picture maps to convert"));
    if (!folder.isEmpty()) {
        m_strShpFolder = folder;
    }
    RefreshFileList();
}

void CConvertDlg::BrowsePegFolder() {
    const QString folder = BrowseForFolder(m_strPegFolder, QStringLiteral("PeG Folder to update"));
    if (!folder.isEmpty()) {
        m_strPegFolder = folder;
    }
    RefreshFileList();
}

}  // namespace drovana
