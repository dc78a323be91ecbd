#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "S16Format.h"

// S16 pictures as the tests expect them, and the little-endian reads that
// take headers apart.
namespace drovana::test {

// The S16 picture the core makes of `shp` in memory. A failed conversion
// throws, so that a test never compares against a picture that was not made.
std::vector<std::uint8_t> S16Of(const std::vector<std::uint8_t>& shp,
                                S16Rows rows = S16Rows::kWhole);

// The signed little-endian numbers at `at`.
std::int16_t Le16(const std::vector<std::uint8_t>& bytes, std::size_t at);
std::int32_t Le32(const std::vector<std::uint8_t>& bytes, std::size_t at);

}  // namespace drovana::test
