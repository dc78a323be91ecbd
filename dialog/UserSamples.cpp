#include "UserSamples.h"

#include <QDir>
#include <QStandardPaths>
#include <QStringList>
#include <filesystem>
#include <system_error>

#include "NativeText.h"
#include "PathParts.h"

namespace drovana {

namespace {

namespace fs = std::filesystem;

constexpr char kSamples[] = "drovana/samples";

fs::path PathOfQt(const QString& text) {
    return PathOf(ToNative(QDir::toNativeSeparators(text)));
}

// $XDG_DATA_HOME, or where the system keeps a user's data.
fs::path UserDataFolder() {
    const QString home = qEnvironmentVariable("XDG_DATA_HOME");
    return PathOfQt(home.isEmpty()
                        ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                        : home);
}

// The installed samples: beside the program first, for an installation
// under any prefix, then in the system's data folders.
fs::path InstalledSamples(const QString& programFolder) {
    QStringList folders{programFolder + QStringLiteral("../share")};
    QString system = qEnvironmentVariable("XDG_DATA_DIRS");
    if (system.isEmpty()) {
        system = QStringLiteral("/usr/local/share:/usr/share");
    }
    folders += system.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& folder : folders) {
        const fs::path samples = PathOfQt(folder) / kSamples;
        std::error_code error;
        if (fs::is_directory(samples / "maps", error)) {
            return samples;
        }
    }
    return {};
}

// Copied under a passing name and renamed when whole, so that a copy cut
// short is never taken for the user's own.
bool CopySamples(const fs::path& from, const fs::path& to) {
    const fs::path partial = to.string() + ".part";
    std::error_code error;
    fs::remove_all(partial, error);
    fs::create_directories(partial / "peg", error);
    if (!error) {
        fs::copy(from / "maps", partial / "maps", fs::copy_options::recursive, error);
    }
    if (!error) {
        fs::rename(partial, to, error);
    }
    if (error) {
        fs::remove_all(partial, error);
        return false;
    }
    return true;
}

QString FolderText(const fs::path& folder) {
    return FromNative(WithTrailingSeparator(TextOf(folder)));
}

}  // namespace

SampleFolders UserSampleFolders(const QString& programFolder) {
    const fs::path copy = UserDataFolder() / kSamples;
    std::error_code error;
    if (!fs::is_directory(copy / "maps", error)) {
        const fs::path installed = InstalledSamples(programFolder);
        if (installed.empty() || !CopySamples(installed, copy)) {
            return {};
        }
    }
    return {FolderText(copy / "maps"), FolderText(copy / "peg")};
}

}  // namespace drovana
