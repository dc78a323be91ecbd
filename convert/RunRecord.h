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

constexpr std::array<std::uint32_t, kPaletteSize> RunWords() {
    std::array<std::uint32_t, kPaletteSize> words{};
    for (int i = 0; i < kPaletteSize; ++i) {
        words[i] = std::uint32_t{PackColour(i)} << 16;
    }
    return words;
}

// A record as a little-endian word with count 0, one per index: packing once
// keeps the decode loop to a table look-up per record.
inline constexpr std::array<std::uint32_t, kPaletteSize> kRunWords = RunWords();

}  // namespace detail

// Stores one record for the count's and the index's low eight bits.
inline void StoreRunRecord(std::uint8_t* out, unsigned count, unsigned index) {
    // One 32-bit word, count in the low byte and colour in the high half:
    // compilers merge the four byte stores into one.
    const std::uint32_t word = (count & 0xFF) | detail::kRunWords[index & 0xFF];
    out[0] = static_cast<std::uint8_t>(word);
    out[1] = static_cast<std::uint8_t>(word >> 8);
    out[2] = static_cast<std::uint8_t>(word >> 16);
    out[3] = static_cast<std::uint8_t>(word >> 24);
}

}  // namespace drovana
