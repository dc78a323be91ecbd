#include "ShpFormat.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "ByteOrder.h"
#include "RunRecord.h"

namespace drovana {
namespace {

// A shapefile starts with the big-endian number 9994; its headers would pass
// the checks below.
constexpr std::array<std::uint8_t, 4> kShapefileMagic = {0x00, 0x00, 0x27, 0x0A};

std::int32_t LoadS16Field(const std::uint8_t* leadIn, std::size_t field) {
    return LoadLe32(leadIn + kS16HeaderOffset + 4 * field);
}

// The files that can pass for a map; `got` bytes of the lead-in were read.
FormatError CheckForeign(const std::uint8_t (&leadIn)[kS16LeadInSize], std::size_t got,
                         std::uint64_t size) {
    if (got >= kShapefileMagic.size() &&
        std::equal(kShapefileMagic.begin(), kShapefileMagic.end(), leadIn)) {
        return FormatError::kShapefile;
    }
    if (got == kS16LeadInSize && IsS16LeadIn(leadIn, size)) {
        return FormatError::kS16Picture;
    }
    return FormatError::kNone;
}

}  // namespace

bool IsS16LeadIn(const std::uint8_t (&leadIn)[kS16LeadInSize], std::uint64_t size) {
    const std::int32_t dataBytes = LoadS16Field(leadIn, kS16DataBytesField);
    std::uint8_t expected[kS16HeaderSize];
    EncodeS16Header(LoadS16Field(leadIn, 0), LoadS16Field(leadIn, 1), dataBytes, expected);
    return std::equal(std::begin(expected), std::end(expected), leadIn + kS16HeaderOffset) &&
           dataBytes >= 0 && dataBytes % static_cast<std::int32_t>(kRunRecordSize) == 0 &&
           size >= kS16LeadInSize && size - kS16LeadInSize >= static_cast<std::uint64_t>(dataBytes);
}

FormatError ReadShpLayout(ByteSource& source, std::int64_t maxRows, ShpLayout& layout) {
    // One read serves the checks for foreign files and the map's own lead-in.
    std::uint8_t leadIn[kS16LeadInSize];
    const std::size_t got = source.ReadAt(0, leadIn, sizeof leadIn);
    if (got < sizeof leadIn && source.Failed()) {
        return FormatError::kReadError;
    }
    const FormatError foreign = CheckForeign(leadIn, got, source.Size());
    if (foreign != FormatError::kNone) {
        return foreign;
    }
    if (got < kShpLeadInSize) {
        return FormatError::kTooShortForHeaders;
    }
    std::copy_n(leadIn + kShpCopiedBytesOffset, layout.copiedBytes.size(),
                layout.copiedBytes.begin());

    const std::int32_t headerOffset = LoadLe32(leadIn + kShpImageOffsetField);
    if (headerOffset < 0) {
        return FormatError::kNegativeHeaderOffset;
    }
    std::uint8_t header[kShpImageHeaderSize];
    if (source.ReadAt(static_cast<std::uint64_t>(headerOffset), header, sizeof header) !=
        sizeof header) {
        return source.Failed() ? FormatError::kReadError : FormatError::kHeaderOutsideFile;
    }

    ShpImageHeader& image = layout.image;
    image.lastRow = LoadLe16(header + kShpLastRowAt);
    image.lastColumn = LoadLe16(header + kShpLastColumnAt);
    image.xStart = LoadLe32(header + kShpXStartAt);
    image.yStart = LoadLe32(header + kShpYStartAt);
    image.yEnd = LoadLe32(header + kShpYEndAt);

    const std::int64_t rows = std::int64_t{image.yEnd} - image.yStart + 1;
    layout.rowCount = std::max<std::int64_t>(rows, 0);
    if (layout.rowCount > maxRows) {
        return FormatError::kTooManyRows;
    }
    layout.codesOffset = static_cast<std::uint64_t>(headerOffset) + kShpImageHeaderSize;
    return FormatError::kNone;
}

}  // namespace drovana
