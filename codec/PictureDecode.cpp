#include "PictureDecode.h"

#include <algorithm>
#include <array>
#include <vector>

#include "ByteOrder.h"
#include "MapPalette.h"
#include "RunRecord.h"
#include "S16Format.h"
#include "ShpCodes.h"

namespace drovana {
namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
constexpr std::uint16_t kTransparentColour = PackColour(kTransparentIndex);

}  // namespace

std::uint32_t ArgbOfPacked(std::uint16_t colour) {
    if (colour == kTransparentColour) {
        return 0;
    }
    const std::uint32_t r = colour >> 11;
    const std::uint32_t g = (colour >> 5) & 0x3F;
    const std::uint32_t b = colour & 0x1F;
    return 0xFF000000u | ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

namespace {

// A map shows each index in the colour its S16 will hold, so that the two
// pictures of one map are the same pixels.
std::array<std::uint32_t, kPaletteSize> MakeArgbPalette() {
    std::array<std::uint32_t, kPaletteSize> table{};
    for (int i = 0; i < kPaletteSize; ++i) {
        table[i] = ArgbOfPacked(PackColour(i));
    }
    return table;
}

const std::array<std::uint32_t, kPaletteSize> kArgbPalette = MakeArgbPalette();

bool SizeFits(std::int64_t width, std::int64_t height) {
    return width <= kMaxPictureColumns && height <= kMaxPictureRows &&
           width * height <= kMaxPicturePixels;
}

// Hands a sink's rows out in order, each cleared first, so that whatever
// the picture leaves open comes out transparent.
class RowFeed {
public:
    RowFeed(RowSink& sink, std::int32_t width, std::int32_t height)
        : sink_(sink), width_(width), height_(height) {}

    bool Left() const { return next_ < height_; }

    std::uint32_t* Next() {
        std::uint32_t* row = sink_.Row(next_);
        std::fill_n(row, width_, 0u);
        return row;
    }

    void Done() { sink_.RowDone(next_++); }

    void BlankUntil(std::int64_t y) {
        while (next_ < y) {
            Next();
            Done();
        }
    }

private:
    RowSink& sink_;
    std::int32_t width_;
    std::int32_t height_;
    std::int32_t next_ = 0;
};

// Hands out the bytes from an offset on, one chunk read at a time.
class ChunkReader {
public:
    ChunkReader(ByteSource& source, std::uint64_t offset)
        : source_(source), offset_(offset), buffer_(kChunkSize) {}

    // False at the end of the source.
    bool Next(std::uint8_t& value) {
        if (at_ == end_) {
            end_ = source_.ReadAt(offset_, buffer_.data(), buffer_.size());
            offset_ += end_;
            at_ = 0;
            if (end_ == 0) {
                return false;
            }
        }
        value = buffer_[at_++];
        return true;
    }

    bool Failed() const { return source_.Failed(); }

private:
    ByteSource& source_;
    std::uint64_t offset_;
    std::vector<std::uint8_t> buffer_;
    std::size_t at_ = 0;
    std::size_t end_ = 0;
};

// One SHP row: pixels outside the picture are dropped, the codes still read.
class ShpRow {
public:
    ShpRow(std::uint32_t* row, std::int64_t width, std::int64_t x)
        : row_(row), width_(width), x_(x) {}

    void Put(std::int64_t count, std::uint32_t argb) {
        if (x_ < width_) {
            std::fill_n(row_ + x_, std::min(count, width_ - x_), argb);
        }
        x_ += count;
    }

private:
    std::uint32_t* row_;
    std::int64_t width_;
    std::int64_t x_;
};

// Decodes one row's codes; false once the source has ended.
bool DecodeShpRow(ChunkReader& reader, ShpRow& row) {
    std::uint8_t code = 0;
    std::uint8_t value = 0;
    while (reader.Next(code)) {
        const ShpCode kind = ClassifyShpCode(code);
        if (kind == ShpCode::kRowEnd) {
            return true;
        }
        if (kind != ShpCode::kLiteral) {
            if (!reader.Next(value)) {
                return false;
            }
            const bool skip = kind == ShpCode::kSkip;
            row.Put(skip ? value : ShpCodePixels(code), skip ? 0u : kArgbPalette[value]);
            continue;
        }
        for (unsigned i = 0; i < ShpCodePixels(code); ++i) {
            if (!reader.Next(value)) {
                return false;
            }
            row.Put(1, kArgbPalette[value]);
        }
    }
    return false;
}

std::int32_t LoadField(const std::uint8_t* leadIn, std::size_t field) {
    return LoadLe32(leadIn + kS16HeaderOffset + 4 * field);
}

bool ReadRecord(ChunkReader& reader, std::uint8_t (&record)[kRunRecordSize]) {
    for (std::uint8_t& b : record) {
        if (!reader.Next(b)) {
            return false;
        }
    }
    return true;
}

// Checks an S16 lead-in against the size of the source it came from; one
// without pixels shows nothing, so it is taken for no picture.
PictureError CheckS16LeadIn(const std::uint8_t (&leadIn)[kS16LeadInSize], std::uint64_t size,
                            S16Picture& picture) {
    const std::int64_t width = LoadField(leadIn, 0);
    const std::int64_t height = LoadField(leadIn, 1);
    if (!IsS16LeadIn(leadIn, size) || width <= 0 || height <= 0) {
        return PictureError::kNotS16;
    }
    if (!SizeFits(width, height)) {
        return PictureError::kTooLarge;
    }
    picture.width = static_cast<std::int32_t>(width);
    picture.height = static_cast<std::int32_t>(height);
    picture.dataBytes = LoadField(leadIn, kS16DataBytesField);
    return PictureError::kNone;
}

}  // namespace

const char* DescribePictureError(PictureError error) {
    switch (error) {
        case PictureError::kNone:
            return "no error";
        case PictureError::kReadError:
            return "the picture could not be read";
        case PictureError::kNotShp:
            return "not an SHP picture";
        case PictureError::kShapefile:
            return "a shapefile, not an SHP picture";
        case PictureError::kNotS16:
            return "not an S16 picture";
        case PictureError::kBadSize:
            return "the picture's size is not positive";
        case PictureError::kTooLarge:
            return "the picture is too large";
    }
    return "unknown error";
}

std::uint32_t ArgbOfIndex(std::uint8_t index) {
    return kArgbPalette[index];
}

namespace {

// Every reason the map's headers give, each to the one a picture reader
// tells; none is dropped on the way.
PictureError PictureErrorOf(FormatError error) {
    switch (error) {
        case FormatError::kNone:
            return PictureError::kNone;
        case FormatError::kReadError:
            return PictureError::kReadError;
        case FormatError::kShapefile:
            return PictureError::kShapefile;
        case FormatError::kTooManyRows:
            return PictureError::kTooLarge;
        case FormatError::kTooShortForHeaders:
        case FormatError::kNegativeHeaderOffset:
        case FormatError::kHeaderOutsideFile:
        case FormatError::kS16Picture:
            return PictureError::kNotShp;
        case FormatError::kWriteError:
        case FormatError::kOutputTooLarge:
        case FormatError::kCancelled:
            break;
    }
    // Reading headers writes nothing and is never cancelled.
    return PictureError::kNotShp;
}

}  // namespace

PictureError ReadShpPicture(ByteSource& source, ShpPicture& picture) {
    const PictureError error = PictureErrorOf(ReadShpLayout(source, kMaxShpRows, picture.layout));
    if (error != PictureError::kNone) {
        return error;
    }
    const std::int64_t width = std::int64_t{picture.layout.image.lastColumn} + 1;
    const std::int64_t height = std::int64_t{picture.layout.image.lastRow} + 1;
    if (width <= 0 || height <= 0) {
        return PictureError::kBadSize;
    }
    if (!SizeFits(width, height)) {
        return PictureError::kTooLarge;
    }
    picture.width = static_cast<std::int32_t>(width);
    picture.height = static_cast<std::int32_t>(height);
    return PictureError::kNone;
}

PictureError DecodeShpPicture(ByteSource& source, const ShpPicture& picture, RowSink& sink) {
    const std::int64_t firstColumn = std::max<std::int32_t>(picture.layout.image.xStart, 0);
    const std::int64_t codedRows = std::min<std::int64_t>(picture.layout.rowCount, picture.height);
    RowFeed rows(sink, picture.width, picture.height);
    ChunkReader reader(source, picture.layout.codesOffset);
    // Coded rows from the top, as the converter writes them; rows below the
    // picture show nothing, so reading stops there.
    for (std::int64_t row = 0; row < codedRows; ++row) {
        ShpRow pixels(rows.Next(), picture.width, firstColumn);
        const bool more = DecodeShpRow(reader, pixels);
        rows.Done();
        if (!more) {
            break;
        }
    }
    rows.BlankUntil(picture.height);
    return reader.Failed() ? PictureError::kReadError : PictureError::kNone;
}

PictureError ReadS16Picture(ByteSource& source, S16Picture& picture) {
    std::uint8_t leadIn[kS16LeadInSize];
    if (source.ReadAt(0, leadIn, sizeof leadIn) != sizeof leadIn) {
        return source.Failed() ? PictureError::kReadError : PictureError::kNotS16;
    }
    return CheckS16LeadIn(leadIn, source.Size(), picture);
}

PictureError DecodeS16Picture(ByteSource& source, const S16Picture& picture, RowSink& sink) {
    RowFeed rows(sink, picture.width, picture.height);
    ChunkReader reader(source, kS16LeadInSize);
    std::uint32_t* row = nullptr;
    std::int64_t x = 0;
    std::uint8_t record[kRunRecordSize];
    for (auto left = picture.dataBytes / static_cast<std::int32_t>(kRunRecordSize);
         left > 0 && rows.Left() && ReadRecord(reader, record); --left) {
        const std::uint32_t argb =
            ArgbOfPacked(static_cast<std::uint16_t>(record[2] | record[3] << 8));
        // Runs go on across row ends.
        for (std::int64_t count = record[0]; count > 0 && rows.Left();) {
            if (row == nullptr) {
                row = rows.Next();
            }
            const std::int64_t n = std::min(count, picture.width - x);
            std::fill_n(row + x, n, argb);
            count -= n;
            x += n;
            if (x == picture.width) {
                rows.Done();
                row = nullptr;
                x = 0;
            }
        }
    }
    if (row != nullptr) {
        rows.Done();
    }
    rows.BlankUntil(picture.height);
    return reader.Failed() ? PictureError::kReadError : PictureError::kNone;
}

}  // namespace drovana
