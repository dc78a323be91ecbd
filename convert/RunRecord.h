#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "MapPalette.h"

// An S16 run record, the unit of S16 pixel data (4 bytes):
//
//   offset 0  1 byte   count: pixels in the run, 0-255
//   offset 1  1 byte   always 0
//   offset 2  2 bytes  packed colour of the run, little-endian
namespace drovana {

inline constexpr std::size_t kRunRecordSize = 4;
inline constexpr int kMaxRunCount = 255;

namespace detail {

constexpr std::array<std::uint16_t, kPaletteSize> PackAll() {
    std::array<std::uint16_t, kPaletteSize> packed{};
    for (int i = 0; i < kPaletteSize; ++i) {
        packed[i] = PackColour(i);
    }
    return packed;
}

// Packing once per index keeps the decode loop to a table look-up per record.
inline constexpr std::array<std::uint16_t, kPaletteSize> kPackedPalette = PackAll();

}  // namespace detail

// Stores one record for the count's and the index's low eight bits.
inline void StoreRunRecord(std::uint8_t* out, unsigned count, unsigned index) {
    const std::uint16_t colour = detail::kPackedPalette[index & 0xFF];
    out[0] = static_cast<std::uint8_t>(count);
    out[1] = 0;
    out[2] = static_cast<std::uint8_t>(colour);
    out[3] = static_cast<std::uint8_t>(colour >> 8);
}

}  // namespace drovana
