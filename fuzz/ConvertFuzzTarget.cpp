// Proves that no input, however broken, makes the decoding core crash, read
// or write out of bounds, or write an S16 picture that contradicts its input:
// the header's record size matches the records, every coloured record comes
// from a byte of the input, and the output stays within what the input and
// its header allow. Whole rows fill the picture exactly, no record crossing a
// row's end. The picture decoder of the image format plugins runs on the same
// input: each pixel it shows is transparent or the colour of an input byte,
// and the S16 picture shows the same pixels as the map.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ByteOrder.h"
#include "DecodeShrunk.h"
#include "MapPalette.h"
#include "PictureDecode.h"
#include "RunRecord.h"
#include "S16Format.h"
#include "ShpFormat.h"
#include "ShpToS16.h"

namespace {

using namespace drovana;

// Fewer rows than real pictures may have keep every run short; the real limit
// has a test of its own.
constexpr std::int64_t kFuzzRowLimit = 64;
// Small pictures reach every path of the decoder; large ones only cost time.
constexpr std::int64_t kFuzzPixelLimit = 1 << 12;
constexpr std::int64_t kMaxFillRecordsPerRow = 129;  // 32767 pixels in 255-pixel records

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckOutput(const std::uint8_t* data, std::size_t size, const std::vector<std::uint8_t>& out,
                 std::int64_t rows) {
    Require(out.size() >= kS16LeadInSize && (out.size() - kS16LeadInSize) % kRunRecordSize == 0);
    const std::int32_t dataBytes = LoadLe32(out.data() + kS16HeaderOffset + 4 * kS16DataBytesField);
    Require(static_cast<std::size_t>(dataBytes) == out.size() - kS16LeadInSize);

    bool colourSeen[1 << 16] = {};
    colourSeen[PackColour(kTransparentIndex)] = true;
    for (std::size_t i = 0; i < size; ++i) {
        colourSeen[PackColour(data[i])] = true;
    }
    for (std::size_t at = kS16LeadInSize; at < out.size(); at += kRunRecordSize) {
        Require(out[at + 1] == 0);
        Require(colourSeen[out[at + 2] | (out[at + 3] << 8)]);
    }
    // Each record takes at least one input byte, except the transparent runs
    // that start and end rows.
    const auto records = static_cast<std::int64_t>(out.size() - kS16LeadInSize) / 4;
    Require(records <= static_cast<std::int64_t>(size) + rows * 2 * kMaxFillRecordsPerRow);
}

std::int32_t HeaderField(const std::vector<std::uint8_t>& s16, std::size_t field) {
    return LoadLe32(s16.data() + kS16HeaderOffset + 4 * field);
}

void CheckWholeRows(const std::vector<std::uint8_t>& s16) {
    const std::int64_t columns = HeaderField(s16, 0);
    const std::int64_t rows = HeaderField(s16, 1);
    if (columns <= 0 || rows <= 0) {
        Require(s16.size() == kS16LeadInSize);
        return;
    }
    std::int64_t x = 0;
    std::int64_t pixels = 0;
    for (std::size_t at = kS16LeadInSize; at < s16.size(); at += kRunRecordSize) {
        Require(x + s16[at] <= columns);
        x = (x + s16[at]) % columns;
        pixels += s16[at];
    }
    Require(pixels == columns * rows);
}

template <typename Picture, typename Read, typename Decode>
std::vector<std::uint32_t> Pixels(ByteSource& source, Read read, Decode decode, std::size_t size) {
    Picture picture;
    if (read(source, picture) != PictureError::kNone ||
        std::int64_t{picture.width} * picture.height > kFuzzPixelLimit) {
        return {};
    }
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(picture.width) *
                                      static_cast<std::size_t>(picture.height));
    ViewSink whole({pixels.data(), picture.width});
    Require(decode(source, picture, whole) == PictureError::kNone);
    Require(DecodeShrunk(source, picture, decode, size) == PictureError::kNone);
    return pixels;
}

void CheckPicture(const std::uint8_t* data, std::size_t size,
                  const std::vector<std::uint8_t>& s16) {
    MemorySource source(data, size);
    const std::vector<std::uint32_t> pixels =
        Pixels<ShpPicture>(source, ReadShpPicture, DecodeShpPicture, size);
    if (pixels.empty()) {
        return;
    }
    if (!s16.empty()) {
        MemorySource s16Source(s16.data(), s16.size());
        Require(Pixels<S16Picture>(s16Source, ReadS16Picture, DecodeS16Picture, s16.size()) ==
                pixels);
    }
    bool indexSeen[256] = {};
    for (std::size_t i = 0; i < size; ++i) {
        indexSeen[data[i]] = true;
    }
    std::vector<std::uint32_t> inputColours = {0};
    for (int index = 0; index < 256; ++index) {
        if (indexSeen[index]) {
            inputColours.push_back(ArgbOfIndex(static_cast<std::uint8_t>(index)));
        }
    }
    std::sort(inputColours.begin(), inputColours.end());
    for (std::uint32_t argb : pixels) {
        Require(std::binary_search(inputColours.begin(), inputColours.end(), argb));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodeLimits limits;
    limits.maxRows = kFuzzRowLimit;
    MemorySink legacy;
    std::vector<std::uint8_t> whole;
    if (ConvertShpBytes(data, size, legacy, limits, S16Rows::kLegacy).Ok()) {
        CheckOutput(data, size, legacy.Bytes(), kFuzzRowLimit);
        // Whole rows number as many as the header says; many cost only time.
        if (HeaderField(legacy.Bytes(), 1) <= kFuzzRowLimit) {
            MemorySink sink;
            Require(ConvertShpBytes(data, size, sink, limits).Ok());
            whole = sink.Bytes();
            CheckOutput(data, size, whole, kFuzzRowLimit);
            CheckWholeRows(whole);
        }
    } else {
        Require(legacy.Bytes().empty());
    }
    CheckPicture(data, size, whole);
    return 0;
}
