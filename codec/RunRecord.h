#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

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

constexpr std::array<std::uint32_t, kPaletteSize> RunWords(std::uint32_t count) {
    std::array<std::uint32_t, kPaletteSize> words{};
    for (int i = 0; i < kPaletteSize; ++i) {
        words[i] = std::uint32_t{PackColour(i)} << 16 | count;
    }
    return words;
}

// A record as a little-endian word, one per index: packing once keeps the
// decode loop to a table look-up per record. Count 0 for any run; count 1
// for the literal pixels, which are most of the records of a detailed map.
inline constexpr std::array<std::uint32_t, kPaletteSize> kRunWords = RunWords(0);
inline constexpr std::array<std::uint32_t, kPaletteSize> kLiteralWords = RunWords(1);

// Stores a word little-endian. One copy of the whole word, where four byte
// stores are not always merged when the output might alias the input.
inline void StoreWord(std::uint8_t* out, std::uint32_t word) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap32(word);
#endif
    std::memcpy(out, &word, sizeof word);
}

}  // namespace detail

// Stores one record for the count's and the index's low eight bits.
inline void StoreRunRecord(std::uint8_t* out, unsigned count, unsigned index) {
    // Count in the low byte, colour in the high half.
    detail::StoreWord(out, (count & 0xFF) | detail::kRunWords[index & 0xFF]);
}

// Stores the record of one literal pixel: count 1 and the index's colour.
inline void StoreLiteralRecord(std::uint8_t* out, std::uint8_t index) {
    detail::StoreWord(out, detail::kLiteralWords[index]);
}

}  // namespace drovana
