// Proves that no input, however broken, makes the S16 picture reader crash,
// read or write out of bounds, or show pixels its records do not give: every
// opaque pixel has the colour of a record, and there are no more of them than
// the records' counts add up to.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "ByteIo.h"
#include "DecodeShrunk.h"
#include "PictureDecode.h"
#include "RunRecord.h"
#include "S16Format.h"

namespace {

using namespace drovana;

// Larger pictures only cost time; the size limits have tests of their own.
constexpr std::int64_t kFuzzPixelLimit = 1 << 20;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckPixels(const std::uint8_t* data, const S16Picture& picture,
                 const std::vector<std::uint32_t>& pixels) {
    std::vector<bool> argbSeen(1 << 16);
    std::int64_t counted = 0;
    const std::size_t end = kS16LeadInSize + static_cast<std::size_t>(picture.dataBytes);
    for (std::size_t at = kS16LeadInSize; at < end; at += kRunRecordSize) {
        argbSeen[data[at + 2] | data[at + 3] << 8] = true;
        counted += data[at];
    }
    std::int64_t opaque = 0;
    for (std::uint32_t argb : pixels) {
        if (argb == 0) {
            continue;
        }
        Require(argb >> 24 == 0xFF);
        const auto packed = static_cast<std::uint16_t>(
            ((argb >> 19) & 0x1F) << 11 | ((argb >> 10) & 0x3F) << 5 | ((argb >> 3) & 0x1F));
        Require(argbSeen[packed] && ArgbOfPacked(packed) == argb);
        ++opaque;
    }
    Require(opaque <= counted);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemorySource source(data, size);
    S16Picture picture;
    if (ReadS16Picture(source, picture) != PictureError::kNone) {
        return 0;
    }
    Require(picture.width > 0 && picture.height > 0 &&
            kS16LeadInSize + static_cast<std::size_t>(picture.dataBytes) <= size);
    const std::int64_t pixelCount = std::int64_t{picture.width} * picture.height;
    if (pixelCount > kFuzzPixelLimit) {
        return 0;
    }
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(pixelCount), 0xDEADBEEF);
    ViewSink whole({pixels.data(), picture.width});
    const PictureError error = DecodeS16Picture(source, picture, whole);
    Require(error == PictureError::kNone);
    CheckPixels(data, picture, pixels);
    Require(DecodeShrunk(source, picture, DecodeS16Picture, size) == error);
    return 0;
}
