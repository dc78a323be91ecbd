#include "FileIo.h"

#include "WindowsApi.h"

#include <algorithm>

// Files through the wide-character calls, so that any name Windows allows
// works, whatever the code page.
namespace drovana {
namespace {

namespace fs = std::filesystem;

// One call reads or writes at most this much.
constexpr std::uint64_t kMaxTransfer = 1u << 30;

HANDLE AsHandle(void* handle) {
    return static_cast<HANDLE>(handle);
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED overlapped{};
    overlapped.Offset = static_cast<DWORD>(offset);
    overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return overlapped;
}

// Writes all of `count` bytes at `offset`. Every write names its offset, as
// a write without one would go wherever the last one ended.
bool WriteAllAt(HANDLE handle, const std::uint8_t* data, std::size_t count, std::uint64_t offset) {
    while (count > 0) {
        const auto chunk = static_cast<DWORD>(std::min<std::uint64_t>(count, kMaxTransfer));
        OVERLAPPED overlapped = At(offset);
        DWORD written = 0;
        if (!::WriteFile(handle, data, chunk, &written, &overlapped) || written == 0) {
            return false;
        }
        data += written;
        count -= written;
        offset += written;
    }
    return true;
}

// A name looked at as one file holds another when opened or replaced.
std::error_code NameChanged() {
    return std::error_code(ERROR_CANT_RESOLVE_FILENAME, std::system_category());
}

}  // namespace

bool ReadFileStatus(void* handle, FileStatus& status, std::uint64_t& size) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(AsHandle(handle), &info)) {
        return false;
    }
    status.volume = info.dwVolumeSerialNumber;
    status.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    status.attributes = info.dwFileAttributes;
    size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return true;
}

bool StatusAt(const fs::path& path, bool followLinks, FileStatus& status) {
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const HANDLE handle =
        ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::uint64_t size = 0;
    const bool read = ReadFileStatus(handle, status, size);
    ::CloseHandle(handle);
    return read;
}

// Files there have no owner this could match cheaply, and a leftover of
// another user's batch is not this one's to remove.
void RemoveLeftovers(const Folder&) {}

bool SameFile(const FileStatus& a, const FileStatus& b) {
    return a.volume == b.volume && a.index == b.index;
}

FileSource::~FileSource() {
    Close();
}

void FileSource::Close() {
    if (handle_ != nullptr) {
        ::CloseHandle(AsHandle(handle_));
        handle_ = nullptr;
    }
}

// The file opened must be the one looked at: where the name was no link, it
// is opened as it stands, so that a link swapped in meanwhile is not
// followed; where it was one, the file it led to must be the one opened.
bool FileSource::Open(const FilePlace& place, std::error_code& error, bool& notRegular,
                      bool followLinks) {
    const fs::path path = place.Path();
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = LastSystemError();
        return false;
    }
    const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    FileStatus checked{};
    if (link && (!followLinks || !StatusAt(path, true, checked))) {
        error = followLinks ? LastSystemError() : NameChanged();
        return false;
    }
    notRegular = ((link ? checked.attributes : attributes) & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (notRegular) {
        return false;
    }
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | (link ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = LastSystemError();
        return false;
    }
    handle_ = handle;
    // Devices (NUL, CON, COM1) open like files but are none.
    notRegular = ::GetFileType(handle) != FILE_TYPE_DISK;
    if (notRegular) {
        return false;
    }
    if (!ReadFileStatus(handle, status_, size_)) {
        error = LastSystemError();
        return false;
    }
    const bool changed = link ? !SameFile(checked, status_)
                              : (status_.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (changed) {
        error = NameChanged();
        return false;
    }
    return true;
}

std::size_t FileSource::ReadAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) {
    if (offset >= size_) {
        return 0;
    }
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, size_ - offset));
    std::size_t done = 0;
    while (done < count) {
        const auto chunk = static_cast<DWORD>(std::min<std::uint64_t>(count - done, kMaxTransfer));
        OVERLAPPED overlapped = At(offset + done);
        DWORD read = 0;
        if (!::ReadFile(AsHandle(handle_), dest + done, chunk, &read, &overlapped) || read == 0) {
            // Ending before the size seen at open means another program cut
            // the file short: its picture would be padded with fill.
            failed_ = true;
            break;
        }
        done += read;
    }
    return done;
}

AtomicFileSink::AtomicFileSink(FilePlace place) : place_(std::move(place)) {}

AtomicFileSink::~AtomicFileSink() {
    Abandon();
}

bool AtomicFileSink::Open(std::error_code& error) {
    return OpenNamed(error);
}

bool AtomicFileSink::OpenNamed(std::error_code& error) {
    constexpr int kAttempts = 16;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        temporary_ = NewTemporaryName();
        const fs::path path = place_.folder->Path() / temporary_;
        const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            handle_ = handle;
            return true;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    error = LastSystemError();
    temporary_.clear();
    return false;
}

bool AtomicFileSink::Write(const std::uint8_t* data, std::size_t count) {
    if (!WriteAt(end_, data, count)) {
        return false;
    }
    end_ += count;
    return true;
}

bool AtomicFileSink::WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t count) {
    return WriteAllAt(AsHandle(handle_), data, count, offset) || NoteWriteError();
}

// A replaced file's attributes stay with the old file: a read-only target
// refuses to be replaced, as Windows has it.
void AtomicFileSink::KeepMetadataOf(const FileStatus&) {
    keepMetadata_ = true;
}

bool AtomicFileSink::Sync() {
    if (!::FlushFileBuffers(AsHandle(handle_))) {
        writeError_ = LastSystemError();
        return false;
    }
    return true;
}

std::uint64_t AtomicFileSink::Size() const {
    return end_;
}

// What a replaced file keeps stays with it: nothing to give the new one.
bool AtomicFileSink::TakeMetadata(std::error_code&) {
    metadataTaken_ = true;
    return true;
}

// False when a link took the target's name since it was looked at: the
// rename would replace the link, but nothing is written where no file was
// checked. Another file there (a second conversion's) is replaced as usual.
bool AtomicFileSink::StillReplacing(std::error_code& error) const {
    FileStatus now{};
    if (!keepMetadata_ || !StatusAt(place_.Path(), false, now) ||
        (now.attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return true;
    }
    error = NameChanged();
    return false;
}

bool AtomicFileSink::Commit(std::error_code& error) {
    if (!StillReplacing(error)) {
        Abandon();
        return false;
    }
    const bool closed = ::CloseHandle(AsHandle(handle_)) != 0;
    handle_ = nullptr;
    const fs::path from = place_.folder->Path() / temporary_;
    const fs::path to = place_.Path();
    if (!closed || !::MoveFileExW(from.c_str(), to.c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = LastSystemError();
        Abandon();
        return false;
    }
    temporary_.clear();
    return true;
}

void AtomicFileSink::Abandon() {
    if (handle_ != nullptr) {
        ::CloseHandle(AsHandle(handle_));
        handle_ = nullptr;
    }
    if (!temporary_.empty()) {
        ::DeleteFileW((place_.folder->Path() / temporary_).c_str());
        temporary_.clear();
    }
}

}  // namespace drovana
