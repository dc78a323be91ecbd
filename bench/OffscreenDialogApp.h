#pragma once

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <filesystem>

#include "NativeText.h"
#include "PathParts.h"

// What a benchmark of the dialog needs: an application drawing offscreen
// unless told otherwise, settings of its own, so that the dialog's loading
// and saving never touch the user's, and folder texts as the dialog keeps them.
namespace drovana::bench {

// `folder` as the dialog's folder fields hold it: ending in its separator.
inline QString FolderText(const std::filesystem::path& folder) {
    return FromNative(WithTrailingSeparator(TextOf(folder)));
}

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
