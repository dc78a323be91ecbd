#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace drovana {

// A folder opened once. Files named relative to it are found in the folder
// that was opened, even when its path is replaced (by a link to somewhere
// else, say) while a batch writes into it.
class Folder {
public:
    // Opens the folder at `path`, following links: the user named it.
    static std::shared_ptr<const Folder> Open(const std::filesystem::path& path,
                                              std::error_code& error);

    // Opens `path` relative to this folder (or as it stands when absolute).
    std::shared_ptr<const Folder> OpenBelow(const std::filesystem::path& path,
                                            std::error_code& error) const;

    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    ~Folder();

    int Descriptor() const { return fd_; }
    const std::filesystem::path& Path() const { return path_; }

    // Makes the folder's entries (new names, renames) durable.
    std::error_code Sync() const;

    // True for the first caller only: what is done once per opened folder.
    bool FirstVisit() const { return !visited_.exchange(true); }

private:
    Folder(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}

    int fd_;
    std::filesystem::path path_;
    mutable std::atomic<bool> visited_{false};
};

// A name inside an open folder, or, without a folder, a path as it stands.
struct FilePlace {
    std::shared_ptr<const Folder> folder;
    std::filesystem::path name;

    std::filesystem::path Path() const { return folder ? folder->Path() / name : name; }
};

// Makes the entries of the folder at `path` durable.
std::error_code SyncFolder(const std::filesystem::path& path);

// The last system error, never "success": some failures leave errno at 0.
std::error_code LastSystemError();

// Running out of file handles: worth waiting for, not a fault of the file.
inline bool IsOutOfFileHandles(const std::error_code& error) {
    return error == std::errc::too_many_files_open ||
           error == std::errc::too_many_files_open_in_system;
}

}  // namespace drovana
