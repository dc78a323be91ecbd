#include "FileIo.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <random>
#include <string>

namespace drovana {
namespace {

std::error_code LastError() {
    // Some stdio failures (a short write on a full disk) leave errno at 0.
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

bool SeekTo(std::FILE* file, std::uint64_t offset) {
    if (offset > static_cast<std::uint64_t>(LONG_MAX)) {
        return false;
    }
    return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
}

// A short name, so that a target whose name is near the length limit can
// still be replaced; the leading dot keeps it out of folder listings.
std::string TemporaryName() {
    thread_local std::mt19937 random{std::random_device{}()};
    static const char kDigits[] = "0123456789abcdef";
    std::string name = ".s16-";
    for (int i = 0; i < 8; ++i) {
        name += kDigits[random() & 15];
    }
    return name;
}

}  // namespace

FileSource::~FileSource() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool FileSource::Open(const std::filesystem::path& path, std::error_code& error) {
    errno = 0;
    file_ = std::fopen(path.string().c_str(), "rb");
    if (file_ == nullptr) {
        error = LastError();
        return false;
    }
    std::setvbuf(file_, nullptr, _IONBF, 0);
    size_ = std::filesystem::file_size(path, error);
    return !error;
}

std::size_t FileSource::ReadAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) {
    if (offset >= size_) {
        return 0;
    }
    if (offset != position_ && !SeekTo(file_, offset)) {
        failed_ = true;
        return 0;
    }
    // Never more than is left: stdio would ask the system once more only to
    // learn that the file has ended.
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, size_ - offset));
    const std::size_t n = std::fread(dest, 1, count, file_);
    position_ = offset + n;
    if (n < count && std::ferror(file_)) {
        failed_ = true;
    }
    return n;
}

AtomicFileSink::AtomicFileSink(std::filesystem::path target) : target_(std::move(target)) {}

AtomicFileSink::~AtomicFileSink() {
    Abandon();
}

bool AtomicFileSink::Open(std::error_code& error) {
    const std::filesystem::path folder = target_.parent_path();
    constexpr int kAttempts = 16;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        temporary_ = folder / TemporaryName();
        errno = 0;
        // "x": never open a file that is already there.
        file_ = std::fopen(temporary_.string().c_str(), "wbx");
        if (file_ != nullptr) {
            std::setvbuf(file_, nullptr, _IONBF, 0);
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    error = LastError();
    temporary_.clear();
    return false;
}

bool AtomicFileSink::Write(const std::uint8_t* data, std::size_t count) {
    errno = 0;
    if (file_ == nullptr || std::fwrite(data, 1, count, file_) != count) {
        if (!writeError_) {
            writeError_ = LastError();
        }
        return false;
    }
    return true;
}

bool AtomicFileSink::WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t count) {
    errno = 0;
    if (file_ == nullptr || !SeekTo(file_, offset)) {
        writeError_ = LastError();
        return false;
    }
    const bool written = Write(data, count);
    return std::fseek(file_, 0, SEEK_END) == 0 && written;
}

bool AtomicFileSink::Commit(std::error_code& error) {
    errno = 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed) {
        error = LastError();
        Abandon();
        return false;
    }
    std::filesystem::rename(temporary_, target_, error);
    if (error) {
        Abandon();
        return false;
    }
    temporary_.clear();
    return true;
}

void AtomicFileSink::Abandon() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
        temporary_.clear();
    }
}

}  // namespace drovana
