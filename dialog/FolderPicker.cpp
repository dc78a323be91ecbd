// Choosing the two folders with the platform's folder chooser.
#include <QDir>
#include <QFileDialog>
#include <filesystem>
#include <system_error>

#include "ConvertDlg.h"
#include "NativeText.h"
#include "PathParts.h"

namespace drovana {

namespace {

namespace fs = std::filesystem;

// Folders to choose from, with the maps and pictures in them shown greyed,
// so that the user sees a folder is the right one before choosing it.
QString ChooseWithFileDialog(QWidget* owner, const QString& startFolder, const QString& prompt) {
    QFileDialog chooser(owner, prompt, startFolder);
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setNameFilter(QStringLiteral("PG2 maps and S16 pictures (*.shp *.s16)"));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
        return {};
    }
    return chooser.selectedFiles().constFirst();
}

// A folder typed wrong or since removed: the chooser opens where the path
// still holds, not at some default far from it.
QString NearestExistingFolder(const QString& folder) {
    std::error_code error;
    fs::path path = PathOf(ToNative(folder));
    while (!path.empty() && !fs::is_directory(path, error) && path != path.parent_path()) {
        path = path.parent_path();
    }
    return path.empty() ? QDir::currentPath() : FromNative(TextOf(path));
}

}  // namespace

void CConvertDlg::SetFolderChooser(FolderChooser chooser) {
    m_chooseFolder = std::move(chooser);
}

QString CConvertDlg::BrowseForFolder(const QString& initial, const QString& title) {
    const QString prompt = title.isEmpty() ? QStringLiteral("Select Folder") : title;
    const QString startFolder =
        initial.isEmpty() ? QDir::currentPath() : NearestExistingFolder(initial);
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
