#include "FileIo.h"

#include "ExtendedAttributes.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace drovana {
namespace {

// New files get 0666 less the umask, as any program's do.
constexpr mode_t kNewFileMode = 0666;

// An unnamed file can only be named through /proc without a privilege.
bool CanNameUnnamedFiles() {
#ifdef O_TMPFILE
    static const bool procMounted = ::access("/proc/self/fd", X_OK) == 0;
    return procMounted;
#else
    return false;
#endif
}

// Writes all of `count` bytes at `offset`, or appends them when `offset` is
// negative; the kernel may take fewer at a time.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t count, off_t offset) {
    while (count > 0) {
        const ssize_t n = offset < 0 ? ::write(fd, data, count) : ::pwrite(fd, data, count, offset);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        count -= static_cast<std::size_t>(n);
        offset = offset < 0 ? offset : offset + n;
    }
    return true;
}

// Opens the file a new one replaces, without following a link: another file
// may have taken the name since the look (a second conversion to the same
// target), but never through a link. A file the user may not read is opened
// only as a path. -1 with errno set when the name holds no regular file.
int OpenReplaced(int folder, const std::filesystem::path& name, FileStatus& opened,
                 bool& pathOnly) {
    int fd =
        ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    pathOnly = false;
#ifdef O_PATH
    if (fd < 0 && errno == EACCES) {
        pathOnly = true;
        fd = ::openat(folder, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    }
#endif
    if (fd >= 0 && (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode))) {
        ::close(fd);
        errno = EAGAIN;
        return -1;
    }
    return fd;
}

// Gives the file open as `fd` the owner and group of `replaced` where the
// process may; returns the mode it may then have. Owner first: a change of
// owner clears the set-id bits. Where the owner cannot be kept, neither are
// they, as cp does.
mode_t GiveOwnerOf(int fd, const FileStatus& replaced) {
    mode_t mode = replaced.st_mode & 07777;
    if (::fchown(fd, replaced.st_uid, replaced.st_gid) != 0) {
        mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
        // A user may still give the file a group they belong to; a file left
        // in another group gets none of the rights the old group had.
        if (::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid) != 0) {
            mode &= ~static_cast<mode_t>(S_IRWXG);
        }
    }
    return mode;
}

}  // namespace

bool SameFile(const FileStatus& a, const FileStatus& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

FileSource::~FileSource() {
    Close();
}

void FileSource::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool FileSource::Open(const FilePlace& place, std::error_code& error, bool& notRegular,
                      bool followLinks) {
    const int folder = place.folder ? place.folder->Descriptor() : AT_FDCWD;
    const char* name = place.name.c_str();
    errno = 0;
    struct stat status {};
    if (::fstatat(folder, name, &status, followLinks ? 0 : AT_SYMLINK_NOFOLLOW) != 0) {
        error = LastSystemError();
        return false;
    }
    if (S_ISLNK(status.st_mode)) {
        error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
        return false;
    }
    notRegular = !S_ISREG(status.st_mode);
    if (notRegular) {
        return false;
    }
    // Non-blocking, in case a FIFO took the file's place since the look.
    const int noFollow = followLinks ? 0 : O_NOFOLLOW;
    fd_ = ::openat(folder, name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | noFollow);
    if (fd_ < 0 || ::fstat(fd_, &status_) != 0) {
        error = LastSystemError();
        return false;
    }
    notRegular = !S_ISREG(status_.st_mode);
    size_ = static_cast<std::uint64_t>(status_.st_size);
    return !notRegular;
}

std::size_t FileSource::ReadAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) {
    if (offset >= size_) {
        return 0;
    }
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, size_ - offset));
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::pread(fd_, dest + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            // Ending before the size seen at open means another program cut
            // the file short: its picture would be padded with fill.
            failed_ = true;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

AtomicFileSink::AtomicFileSink(FilePlace place) : place_(std::move(place)) {}

AtomicFileSink::~AtomicFileSink() {
    Abandon();
}

bool AtomicFileSink::Open(std::error_code& error) {
    return OpenUnnamed() || OpenNamed(error);
}

bool AtomicFileSink::OpenUnnamed() {
#ifdef O_TMPFILE
    if (CanNameUnnamedFiles()) {
        fd_ = ::openat(place_.folder->Descriptor(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC,
                       kNewFileMode);
        unnamed_ = fd_ >= 0;
    }
#endif
    return unnamed_;
}

bool AtomicFileSink::OpenNamed(std::error_code& error) {
    constexpr int kAttempts = 16;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        temporary_ = NewTemporaryName();
        errno = 0;
        fd_ = ::openat(place_.folder->Descriptor(), temporary_.c_str(),
                       O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, kNewFileMode);
        if (fd_ >= 0) {
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    error = LastSystemError();
    temporary_.clear();
    return false;
}

bool AtomicFileSink::Write(const std::uint8_t* data, std::size_t count) {
    errno = 0;
    if (!WriteAll(fd_, data, count, -1)) {
        return NoteWriteError();
    }
#ifdef SYNC_FILE_RANGE_WRITE
    // Start writing these bytes to the disk now, while the next ones are
    // decoded, so that little is left for the sync before the rename.
    // Only a hint: the sync checks for errors.
    ::sync_file_range(fd_, static_cast<off_t>(written_), static_cast<off_t>(count),
                      SYNC_FILE_RANGE_WRITE);
#endif
    written_ += count;
    return true;
}

bool AtomicFileSink::WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t count) {
    errno = 0;
    return WriteAll(fd_, data, count, static_cast<off_t>(offset)) || NoteWriteError();
}

void AtomicFileSink::KeepMetadataOf(const FileStatus& replaced) {
    keepMetadata_ = true;
    replaced_ = replaced;
}

bool AtomicFileSink::Sync() {
    errno = 0;
    if (::fdatasync(fd_) != 0) {
        writeError_ = LastSystemError();
        return false;
    }
    return true;
}

std::uint64_t AtomicFileSink::Size() const {
    return written_;
}

bool AtomicFileSink::ApplyMetadata(std::error_code& error) {
    if (!keepMetadata_) {
        return true;
    }
    bool pathOnly = false;
    errno = 0;
    const int old = OpenReplaced(place_.folder->Descriptor(), place_.name, replaced_, pathOnly);
    // A target removed since the look keeps what the look saw, less what an
    // unread list may have denied.
    if (old < 0 && errno != ENOENT) {
        error = LastSystemError();
        return false;
    }
    mode_t mode = GiveOwnerOf(fd_, replaced_);
    AttributeCopy copy;
    copy.aclUnknown = old < 0;
    if (old >= 0) {
        copy = CopyExtendedAttributes(old, pathOnly, fd_);
        ::close(old);
    }
    if (copy.error) {
        error = copy.error;
        return false;
    }
    // With an access control list, the group bits are its mask: more than
    // the group or a named user may have had. Unread, it gives them none.
    if (copy.aclUnknown) {
        mode &= ~static_cast<mode_t>(S_IRWXG);
    }
    // Last, as it sets the list's mask from the group bits.
    errno = 0;
    if (::fchmod(fd_, mode) != 0) {
        error = LastSystemError();
        return false;
    }
    return true;
}

// Gives the unnamed file `name` in the target's folder; fails if the name
// is taken.
bool AtomicFileSink::LinkAs(const std::filesystem::path& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    errno = 0;
    return ::linkat(AT_FDCWD, self.c_str(), place_.folder->Descriptor(), name.c_str(),
                    AT_SYMLINK_FOLLOW) == 0;
}

bool AtomicFileSink::LinkTemporaryName(std::error_code& error) {
    constexpr int kAttempts = 16;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::filesystem::path name = NewTemporaryName();
        if (LinkAs(name)) {
            temporary_ = name;
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    error = LastSystemError();
    return false;
}

// The new file already has the target's name; should closing it fail, the
// name is taken back, unless another file took it meanwhile.
bool AtomicFileSink::CloseLinkedTarget(std::error_code& error) {
    struct stat linked {};
    ::fstat(fd_, &linked);
    errno = 0;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    if (closed) {
        return true;
    }
    error = LastSystemError();
    const int folder = place_.folder->Descriptor();
    struct stat now {};
    if (::fstatat(folder, place_.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
        SameFile(now, linked)) {
        ::unlinkat(folder, place_.name.c_str(), 0);
    }
    return false;
}

bool AtomicFileSink::TakeMetadata(std::error_code& error) {
    if (!ApplyMetadata(error)) {
        Abandon();
        return false;
    }
    metadataTaken_ = true;
    return true;
}

bool AtomicFileSink::Commit(std::error_code& error) {
    if (!metadataTaken_ && !TakeMetadata(error)) {
        return false;
    }
    // A new target takes its name straight away, so that no moment leaves a
    // second name behind. Replacing needs a temporary name: no call renames
    // an unnamed file over another.
    if (unnamed_ && !keepMetadata_) {
        if (LinkAs(place_.name)) {
            return CloseLinkedTarget(error);
        }
        if (errno != EEXIST) {
            error = LastSystemError();
            Abandon();
            return false;
        }
    }
    if (unnamed_ && !LinkTemporaryName(error)) {
        Abandon();
        return false;
    }
    errno = 0;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    const int folder = place_.folder->Descriptor();
    if (!closed || ::renameat(folder, temporary_.c_str(), folder, place_.name.c_str()) != 0) {
        error = LastSystemError();
        Abandon();
        return false;
    }
    temporary_.clear();
    return true;
}

void AtomicFileSink::Abandon() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlinkat(place_.folder->Descriptor(), temporary_.c_str(), 0);
        temporary_.clear();
    }
}

}  // namespace drovana
