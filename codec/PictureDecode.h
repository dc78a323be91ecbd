#pragma once

#include <cstddef>
#include <cstdint>

#include "ByteIo.h"
#include "ShpFormat.h"

// Both picture formats decoded to 32-bit ARGB pixels (0xAARRGGBB), without
// Qt, so that the image format plugins, the tests and the fuzzers share one
// decoder. Headers are checked the way the converter checks them, plus size
// limits that keep every allocation bounded.
namespace drovana {

enum class PictureError {
    kNone,
    kReadError,
    kNotShp,
    kShapefile,
    kNotS16,
    kBadSize,
    kTooLarge,
};

// A short English text for the reason, such as "not an S16 picture".
const char* DescribePictureError(PictureError error);

// Larger pictures are taken for corrupt headers.
inline constexpr std::int64_t kMaxPictureColumns = 32768;
inline constexpr std::int64_t kMaxPictureRows = 65536;
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 28;

// Where decoded pixels go: `height` rows of `width` pixels, `stride` pixels
// apart. Every pixel is written; those the picture leaves open become 0,
// fully transparent.
struct PixelView {
    std::uint32_t* pixels = nullptr;
    std::ptrdiff_t stride = 0;
};

// Takes decoded rows top to bottom, each once: the decoder asks for row y's
// buffer, writes every one of its pixels and then says it is done. A sink
// may so keep only a few rows, as a shrinking one does.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual std::uint32_t* Row(std::int32_t y) = 0;
    virtual void RowDone(std::int32_t y) = 0;
};

// Rows straight into a whole picture.
class ViewSink final : public RowSink {
public:
    explicit ViewSink(PixelView view) : view_(view) {}
    std::uint32_t* Row(std::int32_t y) override { return view_.pixels + y * view_.stride; }
    void RowDone(std::int32_t) override {}

private:
    PixelView view_;
};

struct ShpPicture {
    ShpLayout layout;
    std::int32_t width = 0;   // lastColumn + 1
    std::int32_t height = 0;  // lastRow + 1
};

struct S16Picture {
    std::int32_t width = 0;  // the header's columns
    std::int32_t height = 0;
    std::int32_t dataBytes = 0;
};

// Reads and checks the headers of an SHP picture; a shapefile or an S16
// picture is refused, as the converter refuses it.
PictureError ReadShpPicture(ByteSource& source, ShpPicture& picture);

// Decodes the first image as the converter reads it: the coded rows from the
// top, each from column max(xStart, 0), clipped to the picture, through the
// map palette in the colours the S16 will hold.
PictureError DecodeShpPicture(ByteSource& source, const ShpPicture& picture, RowSink& sink);

// Reads and checks the lead-in of an S16 picture against the source's size.
PictureError ReadS16Picture(ByteSource& source, S16Picture& picture);

// Lays the run records out row after row; a longer stream is cut, a shorter
// one leaves the rest transparent.
PictureError DecodeS16Picture(ByteSource& source, const S16Picture& picture, RowSink& sink);

// A packed colour unpacked to 8-bit channels by bit replication; the packed
// colour of the transparent index becomes 0.
std::uint32_t ArgbOfPacked(std::uint16_t colour);

// A palette index as the SHP decoder shows it.
std::uint32_t ArgbOfIndex(std::uint8_t index);

}  // namespace drovana
