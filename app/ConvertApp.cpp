#include "ConvertApp.h"

#include "AppIcon.h"
#include "ConvertDlg.h"
#include "Settings.h"
#include "Version.h"

namespace drovana {

namespace {

char kFallbackName[] = "drovana";

}  // namespace

detail::ProgramNameOnly::ProgramNameOnly(char* program)
    : argv{program ? program : kFallbackName, nullptr} {}

CConvertApp::CConvertApp(int argc, char** argv)
    : detail::ProgramNameOnly(argc > 0 ? argv[0] : nullptr),
      QApplication(ProgramNameOnly::argc, ProgramNameOnly::argv) {
    setApplicationVersion(QString::fromLatin1(kVersion));
    setWindowIcon(LoadAppIcon());
}

bool CConvertApp::InitInstance() {
    // The root is named before the dialog exists, so that its first read
    // already finds the user's settings.
    SetSettingsRoot(QString::fromLatin1(kSettingsRoot), applicationFilePath());

    CConvertDlg dlg;
    g_pMainDlg = &dlg;
    dlg.exec();  // always rejected: OK does not close the dialog
    g_pMainDlg = nullptr;
    return false;
}

}  // namespace drovana
