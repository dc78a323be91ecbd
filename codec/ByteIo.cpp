#include "ByteIo.h"

#include <algorithm>
#include <cstring>

namespace drovana {

std::size_t MemorySource::ReadAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) {
    if (offset >= size_) {
        return 0;
    }
    const std::size_t n = std::min<std::uint64_t>(count, size_ - offset);
    std::memcpy(dest, data_ + offset, n);
    return n;
}

bool MemorySink::Write(const std::uint8_t* data, std::size_t count) {
    bytes_.insert(bytes_.end(), data, data + count);
    return true;
}

bool MemorySink::WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t count) {
    if (offset > bytes_.size() || count > bytes_.size() - offset) {
        return false;
    }
    std::copy(data, data + count, bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
}

}  // namespace drovana
