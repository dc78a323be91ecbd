#pragma once

#include <cstddef>
#include <cstdint>

// S16 pictures (all values little-endian):
//
//   offset 0   4 bytes   the four bytes found at SHP offset 4, unchanged
//   offset 4   40 bytes  header: ten signed 32-bit fields, below
//   offset 44  4 x N     N run records (RunRecord.h), in the order written
//
// Header fields in order: columns, rows, 0, 0, columns, rows, 0, dataBytes,
// 1, 0; where columns = lastColumn + 1, rows = lastRow + 1 and dataBytes =
// 4 x N, the size of the record area.
//
// The records hold no row ends: a reader lays them out `columns` pixels a
// row, so every row must be exactly that wide.
namespace drovana {

inline constexpr std::size_t kS16CopiedBytesSize = 4;
inline constexpr std::size_t kS16HeaderOffset = 4;
inline constexpr std::size_t kS16HeaderSize = 40;
inline constexpr std::size_t kS16LeadInSize = kS16CopiedBytesSize + kS16HeaderSize;
inline constexpr std::size_t kS16DataBytesField = 7;

// The record area may not grow past what the header's signed field holds.
inline constexpr std::int64_t kMaxS16DataBytes = INT32_MAX;

// How the converter lays its rows out. Whole rows are `rows` rows of exactly
// `columns` pixels each. Legacy rows are those of version 1.0.0.1: the
// picture's coded rows, filled only up to lastColumn and without the columns
// before xStart, kept for those who must match files it made byte for byte.
enum class S16Rows { kWhole, kLegacy };

void EncodeS16Header(std::int32_t columns, std::int32_t rows, std::int32_t dataBytes,
                     std::uint8_t (&out)[kS16HeaderSize]);

}  // namespace drovana
