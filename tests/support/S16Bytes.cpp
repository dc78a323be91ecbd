#include "S16Bytes.h"

#include <stdexcept>

#include "FormatError.h"
#include "ShpToS16.h"

namespace drovana::test {
namespace {

// Assembled byte by byte rather than with the core's loaders, so that a
// fault there does not hide in both the output and its check.
std::uint32_t LoadUnsigned(const std::vector<std::uint8_t>& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) {
        value |= std::uint32_t{bytes.at(at + static_cast<std::size_t>(i))} << (8 * i);
    }
    return value;
}

}  // namespace

std::vector<std::uint8_t> S16Of(const std::vector<std::uint8_t>& shp, S16Rows rows) {
    MemorySink sink;
    const FormatResult result = ConvertShpBytes(shp.data(), shp.size(), sink, {}, rows);
    if (!result.Ok()) {
        throw std::runtime_error(std::string("no S16 picture: ") +
                                 DescribeFormatError(result.error));
    }
    return sink.Bytes();
}

std::int16_t Le16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::int16_t>(LoadUnsigned(bytes, at, 2));
}

std::int32_t Le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::int32_t>(LoadUnsigned(bytes, at, 4));
}

}  // namespace drovana::test
