#include "ShpFormat.h"

#include <algorithm>

namespace drovana {

ConvertError ReadShpLayout(ByteSource& source, std::int64_t maxRows, ShpLayout& layout) {
    std::uint8_t leadIn[kShpLeadInSize];
    if (source.ReadAt(0, leadIn, sizeof leadIn) != sizeof leadIn) {
        return source.Failed() ? ConvertError::kReadError : ConvertError::kTooShortForHeaders;
    }
    std::copy_n(leadIn + kShpCopiedBytesOffset, layout.copiedBytes.size(),
                layout.copiedBytes.begin());

    const std::int32_t headerOffset = LoadLe32(leadIn + kShpImageOffsetField);
    if (headerOffset < 0) {
        return ConvertError::kNegativeHeaderOffset;
    }
    std::uint8_t header[kShpImageHeaderSize];
    if (source.ReadAt(static_cast<std::uint64_t>(headerOffset), header, sizeof header) !=
        sizeof header) {
        return source.Failed() ? ConvertError::kReadError : ConvertError::kHeaderOutsideFile;
    }

    ShpImageHeader& image = layout.image;
    image.lastRow = LoadLe16(header + 0);
    image.lastColumn = LoadLe16(header + 2);
    image.xStart = LoadLe32(header + 8);
    image.yStart = LoadLe32(header + 12);
    image.yEnd = LoadLe32(header + 20);

    const std::int64_t rows = std::int64_t{image.yEnd} - image.yStart + 1;
    layout.rowCount = std::max<std::int64_t>(rows, 0);
    if (layout.rowCount > maxRows) {
        return ConvertError::kTooManyRows;
    }
    layout.codesOffset = static_cast<std::uint64_t>(headerOffset) + kShpImageHeaderSize;
    return ConvertError::kNone;
}

}  // namespace drovana
