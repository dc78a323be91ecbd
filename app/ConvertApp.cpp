#include "ConvertApp.h"

#include <QTimer>

#include <filesystem>
#include <system_error>

#include "AppIcon.h"
#include "ConvertDlg.h"
#include "Interrupt.h"
#include "NativeText.h"
#include "PathParts.h"
#include "PreviewWindow.h"
#include "Settings.h"
#include "Version.h"

namespace drovana {

namespace {

char kFallbackName[] = "drovana";

// The dialog lists a folder as written, so a relative one would follow the
// current folder of whoever reads the settings later.
QString AbsoluteFolder(const std::string& given) {
    if (given.empty()) {
        return {};
    }
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(given, error);
    if (error) {
        return FromNative(given);
    }
    return FromNative(TextOf(absolute));
}

}  // namespace

detail::ProgramNameOnly::ProgramNameOnly(char* program)
    : argv{program ? program : kFallbackName, nullptr} {}

void CloseWhenSet(QWidget& window, const std::atomic<bool>& flag) {
    // Checked often enough to feel at once; a signal handler may do no more
    // than set the flag.
    auto* timer = new QTimer(&window);
    QObject::connect(timer, &QTimer::timeout, &window, [&window, &flag] {
        if (flag.load()) {
            window.close();
        }
    });
    timer->start(50);
}

CConvertApp::CConvertApp(int argc, char** argv)
    : detail::ProgramNameOnly(argc > 0 ? argv[0] : nullptr),
      QApplication(ProgramNameOnly::argc, ProgramNameOnly::argv) {
    setApplicationVersion(QString::fromLatin1(kVersion));
    setWindowIcon(LoadAppIcon());
    // The desktop entry's name, so that docks group the window with its launcher.
    setDesktopFileName(QStringLiteral("org.quenmoor.Drovana"));
}

void CConvertApp::SetStartFolders(const StartFolders& folders) {
    m_strStartShpFolder = AbsoluteFolder(folders.shp);
    m_strStartPegFolder = AbsoluteFolder(folders.peg);
}

int CConvertApp::RunViewer(const std::vector<std::string>& files) {
    setDesktopFileName(QStringLiteral("org.quenmoor.Drovana.Viewer"));
    std::vector<std::filesystem::path> paths;
    for (const std::string& file : files) {
        paths.push_back(PathOf(file));
    }
    OpenViewer(paths);
    return exec();
}

bool CConvertApp::InitInstance() {
    // The root is named before the dialog exists, so that its first read
    // already finds the user's settings.
    SetSettingsRoot(QString::fromLatin1(kSettingsRoot), applicationFilePath());

    CatchInterrupts();
    CConvertDlg dlg;
    dlg.SetStartFolders(m_strStartShpFolder, m_strStartPegFolder);
    CloseWhenSet(dlg, InterruptRequested());
    g_pMainDlg = &dlg;
    dlg.exec();  // always rejected: OK does not close the dialog
    g_pMainDlg = nullptr;
    return false;
}

}  // namespace drovana
