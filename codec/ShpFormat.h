#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "ByteIo.h"
#include "FormatError.h"
#include "S16Format.h"

// SHP picture maps, the parts the converter reads (all values little-endian):
//
//   offset 0          4 bytes   not read
//   offset 4          4 bytes   copied unchanged to the S16 file's offset 0
//   offset 8          4 bytes   signed: file offset of the first image's header
//   header offset     24 bytes  image header, below
//   header offset+24  to end    pixel codes of the image, row after row
//
// Image header:
//
//   offset 0   int16  lastRow
//   offset 2   int16  lastColumn
//   offset 4   4 bytes not read
//   offset 8   int32  xStart: column of a row's first code (0 when negative)
//   offset 12  int32  yStart
//   offset 16  4 bytes not read
//   offset 20  int32  yEnd: rows yStart to yEnd inclusive are coded
//
// The pixel codes are described in ShpCodes.h.
namespace drovana {

inline constexpr std::uint64_t kShpCopiedBytesOffset = 4;
inline constexpr std::uint64_t kShpImageOffsetField = 8;
inline constexpr std::size_t kShpLeadInSize = 12;
inline constexpr std::size_t kShpImageHeaderSize = 24;

// Where the image header's fields stand in it.
inline constexpr std::size_t kShpLastRowAt = 0;
inline constexpr std::size_t kShpLastColumnAt = 2;
inline constexpr std::size_t kShpXStartAt = 8;
inline constexpr std::size_t kShpYStartAt = 12;
inline constexpr std::size_t kShpYEndAt = 20;

// More rows than this are taken for a corrupt header, not a picture.
inline constexpr std::int64_t kMaxShpRows = 65536;

struct ShpImageHeader {
    std::int16_t lastRow = 0;
    std::int16_t lastColumn = 0;
    std::int32_t xStart = 0;
    std::int32_t yStart = 0;
    std::int32_t yEnd = 0;
};

// What the converter needs to know before it writes anything.
struct ShpLayout {
    std::array<std::uint8_t, 4> copiedBytes{};
    ShpImageHeader image;
    std::uint64_t codesOffset = 0;  // first pixel code, just behind the image header
    std::int64_t rowCount = 0;      // yEnd - yStart + 1, or 0
};

// Reads and checks the lead-in and the first image header. Fails without
// touching anything when the source is a shapefile or an S16 picture, when
// the headers are not all inside the source or the row count passes `maxRows`.
FormatError ReadShpLayout(ByteSource& source, std::int64_t maxRows, ShpLayout& layout);

// True for an S16 lead-in exactly as the converter writes it, sizes aside:
// every field matches the header EncodeS16Header makes of its own columns,
// rows and record size, and the whole records fit into a source of `size`
// bytes. No map's headers come close to that.
bool IsS16LeadIn(const std::uint8_t (&leadIn)[kS16LeadInSize], std::uint64_t size);

}  // namespace drovana
