#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ByteIo.h"

// Temporary folders, whole-file reads and writes, and a sink that fails on
// demand: what the file tests of every library need.
namespace drovana::test {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // Names in the folder other than the ones given, such as left-over
    // temporary files.
    std::vector<std::string> Names() const;

private:
    std::filesystem::path path_;
};

// The names in `folder`, sorted.
std::vector<std::string> NamesIn(const std::filesystem::path& folder);

// Everything written to `file` so far, read from its start; closes it.
std::string DrainFile(std::FILE* file);

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// Collects bytes like a memory sink, but fails the write call numbered
// `failAt` (0 = the first) and every call after it; optionally the failing
// call writes only part of its bytes first, as a full disk does.
class FailingSink final : public ByteSink {
public:
    explicit FailingSink(int failAt, bool shortWrite = false)
        : failAt_(failAt), shortWrite_(shortWrite) {}

    bool Write(const std::uint8_t* data, std::size_t count) override;
    bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t count) override;

    int Calls() const { return calls_; }

private:
    bool Fails() { return calls_++ >= failAt_; }

    int failAt_;
    bool shortWrite_;
    int calls_ = 0;
    MemorySink bytes_;
};

}  // namespace drovana::test
