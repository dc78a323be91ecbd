#pragma once

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

// What a benchmark of the dialog needs: an application drawing offscreen
// unless told otherwise, and settings of its own, so that the dialog's
// loading and saving never touch the user's.
namespace drovana::bench {

class OffscreenDialogApp {
public:
    // The platform is chosen before the application starts.
    OffscreenDialogApp(int& argc, char** argv) : app_((UseOffscreen(), argc), argv) {
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
    }

private:
    static void UseOffscreen() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
    }

    QApplication app_;
    QTemporaryDir settings_;
};

}  // namespace drovana::bench
