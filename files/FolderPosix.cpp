#include "Folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace drovana {
namespace {

namespace fs = std::filesystem;

int OpenFolderAt(int base, const fs::path& path) {
    const fs::path name = path.empty() ? fs::path(".") : path;
    const int fd = ::openat(base, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#ifdef O_PATH
    // A folder one may write into but not list still takes new files.
    if (fd < 0 && errno == EACCES) {
        return ::openat(base, name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
#endif
    return fd;
}

}  // namespace

std::error_code LastSystemError() {
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

std::shared_ptr<const Folder> Folder::Open(const fs::path& path, std::error_code& error) {
    const int fd = OpenFolderAt(AT_FDCWD, path);
    if (fd < 0) {
        error = LastSystemError();
        return nullptr;
    }
    return std::shared_ptr<const Folder>(new Folder(fd, path.empty() ? fs::path(".") : path));
}

std::shared_ptr<const Folder> Folder::OpenBelow(const fs::path& path,
                                                std::error_code& error) const {
    const int fd = OpenFolderAt(fd_, path);
    if (fd < 0) {
        error = LastSystemError();
        return nullptr;
    }
    return std::shared_ptr<const Folder>(new Folder(fd, path.is_absolute() ? path : path_ / path));
}

Folder::~Folder() {
    ::close(fd_);
}

std::error_code Folder::Sync() const {
    if (::fsync(fd_) == 0) {
        return {};
    }
    // Some file systems cannot sync a folder, and a folder opened without
    // the right to list it cannot be synced: its entries are as durable as
    // they get.
    const std::error_code error = LastSystemError();
    const bool cannotSync =
        error == std::errc::invalid_argument || error == std::errc::bad_file_descriptor;
    return cannotSync ? std::error_code() : error;
}

std::error_code SyncFolder(const fs::path& path) {
    std::error_code error;
    const std::shared_ptr<const Folder> folder = Folder::Open(path, error);
    return folder ? folder->Sync() : error;
}

}  // namespace drovana
