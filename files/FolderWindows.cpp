#include "Folder.h"

#include "WindowsApi.h"

// Windows names files by path: a folder is its path, checked once, and a
// rename with write-through makes its new name durable by itself.
namespace drovana {
namespace {

namespace fs = std::filesystem;

bool IsFolder(const fs::path& path, std::error_code& error) {
    const bool folder = fs::is_directory(path, error);
    if (!folder && !error) {
        error = std::make_error_code(std::errc::not_a_directory);
    }
    return folder;
}

}  // namespace

std::error_code LastSystemError() {
    const DWORD code = ::GetLastError();
    return std::error_code(code != 0 ? static_cast<int>(code) : ERROR_GEN_FAILURE,
                           std::system_category());
}

std::shared_ptr<const Folder> Folder::Open(const fs::path& path, std::error_code& error) {
    const fs::path folder = path.empty() ? fs::path(".") : path;
    if (!IsFolder(folder, error)) {
        return nullptr;
    }
    return std::shared_ptr<const Folder>(new Folder(-1, folder));
}

std::shared_ptr<const Folder> Folder::OpenBelow(const fs::path& path,
                                                std::error_code& error) const {
    const fs::path folder = path.is_absolute() ? path : path_ / path;
    if (!IsFolder(folder, error)) {
        return nullptr;
    }
    return std::shared_ptr<const Folder>(new Folder(-1, folder));
}

Folder::~Folder() = default;

std::error_code Folder::Sync() const {
    return {};
}

std::error_code SyncFolder(const fs::path&) {
    return {};
}

}  // namespace drovana
