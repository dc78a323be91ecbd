#include "Folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace drovana {
namespace {

namespace fs = std::filesystem;

int OpenFolderAt(int base, const fs::path& path) {
    const fs::path name = path.empty() ? fs::path(".") : path;
    return ::openat(base, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace

std::error_code LastSystemError() {
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

bool IsOutOfFileHandles(const std::error_code& error) {
    return error == std::errc::too_many_files_open ||
           error == std::errc::too_many_files_open_in_system;
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
    // Some file systems cannot sync a folder; their entries are as durable
    // as they get.
    const std::error_code error = LastSystemError();
    return error == std::errc::invalid_argument ? std::error_code() : error;
}

std::error_code SyncFolder(const fs::path& path) {
    std::error_code error;
    const std::shared_ptr<const Folder> folder = Folder::Open(path, error);
    return folder ? folder->Sync() : error;
}

}  // namespace drovana
