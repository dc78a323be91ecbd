#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Where the converter reads its bytes from and writes them to. The decoder
// works on these so that files, memory (tests, fuzzing) and injected faults
// all run through the same code.
namespace drovana {

class ByteSource {
public:
    virtual ~ByteSource() = default;

    // Total number of bytes the source holds.
    virtual std::uint64_t Size() const = 0;

    // Reads up to `count` bytes at `offset` into `dest`. Returns the number of
    // bytes read; fewer than asked only at the end of the source or on error.
    virtual std::size_t ReadAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) = 0;

    // True once a read has failed for a reason other than the end of the source.
    virtual bool Failed() const { return false; }
};

class ByteSink {
public:
    virtual ~ByteSink() = default;

    // Appends all `count` bytes; false when any of them could not be written.
    virtual bool Write(const std::uint8_t* data, std::size_t count) = 0;

    // Overwrites bytes already written, starting at `offset`.
    virtual bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t count) = 0;
};

// A source over bytes in memory, which the caller keeps alive.
class MemorySource final : public ByteSource {
public:
    MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) override;

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// A sink that collects everything in memory.
class MemorySink final : public ByteSink {
public:
    bool Write(const std::uint8_t* data, std::size_t count) override;
    bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t count) override;

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace drovana
