#pragma once

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "ByteIo.h"

// Byte sources and sinks on files.
namespace drovana {

// Reads a file through the caller's large blocks, without stdio buffering.
class FileSource final : public ByteSource {
public:
    FileSource() = default;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    ~FileSource() override;

    // Opens `path` for reading; on failure sets `error` and returns false.
    bool Open(const std::filesystem::path& path, std::error_code& error);

    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) override;
    bool Failed() const override { return failed_; }

private:
    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;
    bool failed_ = false;
};

// Writes to a temporary file beside the target and renames it over the
// target only once everything is written, so that a failure at any point
// leaves an existing target as it was and no partial file behind.
class AtomicFileSink final : public ByteSink {
public:
    explicit AtomicFileSink(std::filesystem::path target);
    AtomicFileSink(const AtomicFileSink&) = delete;
    AtomicFileSink& operator=(const AtomicFileSink&) = delete;
    // Removes the temporary file unless it was committed.
    ~AtomicFileSink() override;

    // Creates the temporary file; on failure sets `error` and returns false.
    bool Open(std::error_code& error);

    bool Write(const std::uint8_t* data, std::size_t count) override;
    bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t count) override;

    // The error of the first write that failed.
    std::error_code WriteError() const { return writeError_; }

    // Closes the temporary file and renames it over the target.
    bool Commit(std::error_code& error);

    const std::filesystem::path& TemporaryPath() const { return temporary_; }

private:
    void Abandon();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::FILE* file_ = nullptr;
    std::error_code writeError_;
};

}  // namespace drovana
