#pragma once

#include <sys/stat.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "ByteIo.h"
#include "Folder.h"

// Byte sources and sinks on files, named inside open folders.
namespace drovana {

// What the file system says of a file: enough to tell two names of one file
// apart, and on POSIX systems its owner and permissions.
#ifdef _WIN32
struct FileStatus {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    std::uint32_t attributes = 0;
};
#else
using FileStatus = struct stat;
#endif

// Whether two statuses are of the same file (one file under two names).
bool SameFile(const FileStatus& a, const FileStatus& b);

#ifdef _WIN32
// The status and size of the file open as `handle`; false on failure.
bool ReadFileStatus(void* handle, FileStatus& status, std::uint64_t& size);

// The status of the file at `path`, read without the right to read it; of
// the link itself, not what it points to, unless `followLinks`.
bool StatusAt(const std::filesystem::path& path, bool followLinks, FileStatus& status);
#endif

// A fresh name for a new file before it takes the target's: short, so that a
// target whose name is near the length limit can still be replaced, and
// starting with a dot, which keeps it out of folder listings.
std::filesystem::path NewTemporaryName();

// Whether `name` is one that NewTemporaryName gives.
bool IsTemporaryName(const std::string& name);

// A file of a temporary name untouched for this long is a leftover of a
// killed conversion, not one still being written.
constexpr std::chrono::minutes kLeftoverAge{10};

// Removes the leftovers of killed conversions from `folder`, once per opened
// folder: regular files of a temporary name, owned by this user, older than
// kLeftoverAge. Anything else, and any failure, is left alone.
void RemoveLeftovers(const Folder& folder);

// Reads a regular file through the caller's large blocks, without buffering.
class FileSource final : public ByteSource {
public:
    FileSource() = default;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    ~FileSource() override;

    // Opens the file at `place`. Fails with `notRegular` set for anything
    // but a regular file, which is never read: a FIFO would block, a device
    // might act on being opened. Without `followLinks`, a name that is a
    // link fails with "too many levels of symbolic links".
    bool Open(const FilePlace& place, std::error_code& error, bool& notRegular,
              bool followLinks = true);

    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) override;
    bool Failed() const override { return failed_; }

    // The file as it was opened.
    const FileStatus& Status() const { return status_; }

    // Gives the handle back once every byte needed is read, so that a
    // conversion short of handles holds no more than it needs.
    void Close();

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
    std::uint64_t size_ = 0;
    FileStatus status_{};
    bool failed_ = false;
};

// Writes a new file for `place` that takes its name only once it is complete
// and on the disk, so that a failure or a killed process at any point leaves
// an existing target as it was and no partial file behind. Where the file
// system allows, the file has no name at all until then.
class AtomicFileSink final : public ByteSink {
public:
    explicit AtomicFileSink(FilePlace place);
    AtomicFileSink(const AtomicFileSink&) = delete;
    AtomicFileSink& operator=(const AtomicFileSink&) = delete;
    // Drops the new file unless it was committed.
    ~AtomicFileSink() override;

    // Creates the new file; on failure sets `error` and returns false.
    bool Open(std::error_code& error);

    bool Write(const std::uint8_t* data, std::size_t count) override;
    bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t count) override;

    // The error of the first write that failed.
    std::error_code WriteError() const { return writeError_; }

    // The new file takes the permission bits of the file it replaces and,
    // where the process may, its owner and group.
    void KeepMetadataOf(const FileStatus& replaced);

    // Syncs the data to the disk; a failure is a write error.
    bool Sync();

    // Syncs the data of every file of a group at once, as cheaply as the
    // system allows; each file whose data may not be on the disk gets that
    // as its write error. Returns how many failed.
    static std::size_t SyncGroup(AtomicFileSink* const* sinks, std::size_t count);

    // Bytes written so far.
    std::uint64_t Size() const;

    // Gives the new file what it keeps of the one it replaces now, so that
    // naming it later needs no further handle; Commit does it otherwise.
    // On failure the new file is dropped.
    bool TakeMetadata(std::error_code& error);

    // Names the new file, replacing the target.
    bool Commit(std::error_code& error);

private:
    bool OpenNamed(std::error_code& error);
    void Abandon();
    // Keeps the system's error as the write error unless one came first;
    // always false, for the failed write to return.
    bool NoteWriteError();

    FilePlace place_;
#ifdef _WIN32
    bool StillReplacing(std::error_code& error) const;

    void* handle_ = nullptr;
    std::uint64_t end_ = 0;  // where the next appended byte goes
#else
    bool OpenUnnamed();
    bool LinkAs(const std::filesystem::path& name);
    bool LinkTemporaryName(std::error_code& error);
    bool CloseLinkedTarget(std::error_code& error);
    bool ApplyMetadata(std::error_code& error);

    int fd_ = -1;
    std::uint64_t written_ = 0;  // bytes appended so far
    bool unnamed_ = false;
    FileStatus replaced_{};
#endif
    bool keepMetadata_ = false;  // a target is replaced, not created
    bool metadataTaken_ = false;
    std::filesystem::path temporary_;  // the new file's name until it is renamed
    std::error_code writeError_;
};

}  // namespace drovana
