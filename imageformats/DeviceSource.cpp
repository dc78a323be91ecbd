#include "DeviceSource.h"

#include <limits>

namespace drovana {

std::uint64_t DeviceSource::Size() const {
    return static_cast<std::uint64_t>(std::max<qint64>(device_.size(), 0));
}

std::size_t DeviceSource::ReadAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) {
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<qint64>::max())) {
        return 0;
    }
    const qint64 before = device_.pos();
    if (!device_.seek(static_cast<qint64>(offset))) {
        device_.seek(before);
        return 0;
    }
    const qint64 n = device_.read(reinterpret_cast<char*>(dest), static_cast<qint64>(count));
    device_.seek(before);
    if (n < 0) {
        failed_ = true;
        return 0;
    }
    return static_cast<std::size_t>(n);
}

}  // namespace drovana
