#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include "FileIo.h"

// Clearing away what killed conversions left behind.
namespace drovana {
namespace {

// A file in flight, this batch's or another's, is written to all along;
// one untouched for kLeftoverAge is not.
bool IsLeftover(int folder, const char* name) {
    struct stat status {};
    if (!IsTemporaryName(name) || ::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return false;
    }
    const auto age = std::chrono::seconds(::time(nullptr) - status.st_mtime);
    return S_ISREG(status.st_mode) && status.st_uid == ::geteuid() && age > kLeftoverAge;
}

}  // namespace

void RemoveLeftovers(const Folder& folder) {
    if (!folder.FirstVisit()) {
        return;
    }
    // The listing gets its own descriptor: closedir closes it.
    const int listed = ::openat(folder.Descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* entries = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (entries == nullptr) {
        if (listed >= 0) {
            ::close(listed);
        }
        return;
    }
    while (const dirent* entry = ::readdir(entries)) {
        if (IsLeftover(folder.Descriptor(), entry->d_name)) {
            ::unlinkat(folder.Descriptor(), entry->d_name, 0);
        }
    }
    ::closedir(entries);
}

}  // namespace drovana
