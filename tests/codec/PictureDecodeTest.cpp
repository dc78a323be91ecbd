#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "ByteIo.h"
#include "ByteOrder.h"
#include "ConvertTestHelpers.h"
#include "MapPalette.h"
#include "PictureDecode.h"
#include "RunRecord.h"
#include "S16Bytes.h"
#include "S16Format.h"
#include "ShpBuilder.h"

namespace drovana {
namespace {

using test::MakeMap;
using test::MapStyle;
using test::S16Of;
using test::ShpBuilder;
using Bytes = std::vector<std::uint8_t>;

struct Decoded {
    PictureError error = PictureError::kNone;
    std::int32_t width = 0;
    std::vector<std::uint32_t> pixels;
};

template <typename Picture, typename Read, typename Decode>
Decoded DecodeWith(const Bytes& bytes, Read read, Decode decode) {
    MemorySource source(bytes.data(), bytes.size());
    Picture picture;
    Decoded out;
    out.error = read(source, picture);
    if (out.error == PictureError::kNone) {
        out.width = picture.width;
        out.pixels.assign(static_cast<std::size_t>(picture.width) * picture.height, 0xDEADBEEF);
        ViewSink sink({out.pixels.data(), picture.width});
        out.error = decode(source, picture, sink);
    }
    return out;
}

Decoded DecodeShp(const Bytes& bytes) {
    return DecodeWith<ShpPicture>(bytes, ReadShpPicture, DecodeShpPicture);
}

Decoded DecodeS16(const Bytes& bytes) {
    return DecodeWith<S16Picture>(bytes, ReadS16Picture, DecodeS16Picture);
}

void StoreLe16(Bytes& bytes, std::size_t at, int value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// A map of any shape its header allows: rows that end early, reach the edge
// or run past it, a first column right of 0, fewer or more coded rows than
// the picture has, codes cut off by the end of the file.
Bytes VariedMap(std::mt19937& random) {
    const auto in = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const int width = in(1, 300);
    const int height = in(1, 12);
    Bytes shp = MakeMap(width, height, static_cast<MapStyle>(in(0, 2)), random());
    constexpr std::size_t kHeader = 12;
    StoreLe16(shp, kHeader, std::max(0, height - 1 + in(-2, 2)));
    StoreLe16(shp, kHeader + 2, std::max(0, width - 1 + in(-3, 3)));
    StoreLe32(shp.data() + kHeader + 8, in(0, 3) == 0 ? in(-5, 40) : 0);
    const std::int32_t yStart = in(-3, 3);
    StoreLe32(shp.data() + kHeader + 12, yStart);
    StoreLe32(shp.data() + kHeader + 20, yStart + height - 1 + in(-2, 2));
    if (in(0, 4) == 0) {
        shp.resize(kHeader + 24 + random() % (shp.size() - kHeader - 24));
    }
    return shp;
}

// Every record lies within one row, and the records fill the picture.
void ExpectWholeRows(const Bytes& s16) {
    const std::int64_t columns = test::HeaderField(s16, 0);
    std::int64_t x = 0;
    std::int64_t pixels = 0;
    for (std::size_t at = kS16LeadInSize; at < s16.size(); at += kRunRecordSize) {
        ASSERT_LE(x + s16[at], columns) << "record at " << at << " crosses a row end";
        x = (x + s16[at]) % columns;
        pixels += s16[at];
    }
    EXPECT_EQ(pixels, columns * test::HeaderField(s16, 1));
}

TEST(PictureDecode, TheS16OfEveryMapShowsTheMapInWholeRows) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        const Bytes shp = VariedMap(random);
        const Bytes s16 = S16Of(shp);
        ExpectWholeRows(s16);
        const Decoded fromShp = DecodeShp(shp);
        const Decoded fromS16 = DecodeS16(s16);
        ASSERT_EQ(fromShp.error, PictureError::kNone);
        ASSERT_EQ(fromS16.error, PictureError::kNone);
        ASSERT_EQ(fromS16.width, fromShp.width);
        ASSERT_EQ(fromS16.pixels, fromShp.pixels);
    }
}

TEST(PictureDecode, ShpRowsStartAtXStartFromTheTopAndAreClipped) {
    // lastRow 2, lastColumn 3; rows 1 to 3 coded from column 2, shown from the top.
    const Bytes shp = ShpBuilder()
                          .Image({2, 3, 2, 1, 3})
                          .Run(3, 7)
                          .EndRow()
                          .Skip(1)
                          .Literal({9, 5})
                          .EndRow()
                          .Run(2, 1)
                          .Build();
    const std::uint32_t a = ArgbOfIndex(7);
    const std::uint32_t b = ArgbOfIndex(9);
    const std::uint32_t c = ArgbOfIndex(1);
    const std::vector<std::uint32_t> expected = {0, 0, a, a, 0, 0, 0, b, 0, 0, c, c};
    const Decoded decoded = DecodeShp(shp);
    ASSERT_EQ(decoded.error, PictureError::kNone);
    EXPECT_EQ(decoded.pixels, expected);
}

TEST(PictureDecode, PaletteAndPackedColoursBecomeArgb) {
    EXPECT_EQ(ArgbOfIndex(kTransparentIndex), 0u);
    EXPECT_EQ(ArgbOfIndex(0), 0xFF000000u);
    // Stored 0c 78 fc, c2 is red; shown as its S16 holds it.
    EXPECT_EQ(ArgbOfIndex(252), ArgbOfPacked(PackColour(252)));
    EXPECT_EQ(ArgbOfIndex(252), 0xFFFF7908u);
    const struct {
        std::uint16_t packed;
        std::uint32_t argb;
    } cases[] = {{0x0000, 0xFF000000},
                 {0xFFFF, 0xFFFFFFFF},
                 {0xF800, 0xFFFF0000},
                 {0x07E0, 0xFF00FF00},
                 {0x001F, 0xFF0000FF},
                 {0x8410, 0xFF848284},
                 {PackColour(kTransparentIndex), 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(ArgbOfPacked(c.packed), c.argb) << c.packed;
    }
}

Bytes S16With(std::int32_t columns, std::int32_t rows, const Bytes& records) {
    Bytes out(kS16LeadInSize);
    std::uint8_t header[kS16HeaderSize];
    EncodeS16Header(columns, rows, static_cast<std::int32_t>(records.size()), header);
    std::copy(std::begin(header), std::end(header), out.begin() + kS16HeaderOffset);
    out.insert(out.end(), records.begin(), records.end());
    return out;
}

TEST(PictureDecode, S16RunsCrossRowEndsAndShortOrLongStreamsAreCutOrLeftOpen) {
    const std::uint32_t white = ArgbOfPacked(0xFFFF);
    // Two columns in the header: rows of two pixels.
    const Decoded shortStream = DecodeS16(S16With(2, 2, {3, 0, 0xFF, 0xFF}));
    EXPECT_EQ(shortStream.pixels, (std::vector<std::uint32_t>{white, white, white, 0}));
    const Decoded longStream = DecodeS16(S16With(2, 1, {1, 0, 0, 0, 9, 0, 0xFF, 0xFF}));
    EXPECT_EQ(longStream.pixels, (std::vector<std::uint32_t>{0xFF000000, white}));
    EXPECT_EQ(DecodeS16(S16With(1, 4, {})).pixels, std::vector<std::uint32_t>(4, 0));
}

Bytes RandomBytes(std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes bytes(2000);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(random());
    }
    return bytes;
}

TEST(PictureDecode, BadShpHeadersFailCleanly) {
    const auto shapefile = test::ShapefileBytes();
    const struct {
        const char* name;
        Bytes bytes;
        PictureError error;
    } cases[] = {
        {"shapefile", shapefile, PictureError::kShapefile},
        {"random", RandomBytes(1), PictureError::kNotShp},
        {"truncated", Bytes(20, 0), PictureError::kNotShp},
        {"no columns", ShpBuilder().Image({3, -1, 0, 0, 3}).Build(), PictureError::kBadSize},
        {"negative rows", ShpBuilder().Image({-2, 3, 0, 0, 0}).Build(), PictureError::kBadSize},
        {"too many pixels", ShpBuilder().Image({32767, 32767, 0, 0, 0}).Build(),
         PictureError::kTooLarge},
        {"too many coded rows", ShpBuilder().Image({3, 3, 0, 0, 70000}).Build(),
         PictureError::kTooLarge},
        {"S16 of no columns", S16With(0, 1, {}), PictureError::kNotShp},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeShp(c.bytes).error, c.error) << c.name;
    }
}

TEST(PictureDecode, BadS16HeadersFailCleanly) {
    const Bytes good = S16With(3, 2, {4, 0, 1, 2});
    auto withField = [&good](std::size_t field, std::int32_t value) {
        Bytes bytes = good;
        StoreLe32(bytes.data() + kS16HeaderOffset + 4 * field, value);
        return bytes;
    };
    const struct {
        const char* name;
        Bytes bytes;
        PictureError error;
    } cases[] = {
        {"good", good, PictureError::kNone},
        {"random", RandomBytes(2), PictureError::kNotS16},
        {"truncated lead-in", Bytes(good.begin(), good.begin() + 40), PictureError::kNotS16},
        {"field 2", withField(2, 1), PictureError::kNotS16},
        {"field 3", withField(3, 1), PictureError::kNotS16},
        {"field 6", withField(6, 1), PictureError::kNotS16},
        {"field 8", withField(8, 0), PictureError::kNotS16},
        {"field 9", withField(9, 1), PictureError::kNotS16},
        {"columns differ", withField(4, 4), PictureError::kNotS16},
        {"rows differ", withField(5, 3), PictureError::kNotS16},
        {"records past the end", withField(7, 8), PictureError::kNotS16},
        {"partial record", withField(7, 2), PictureError::kNotS16},
        {"huge rows", S16With(3, 1 << 30, {}), PictureError::kTooLarge},
        {"huge columns", S16With(1 << 20, 1, {}), PictureError::kTooLarge},
        {"no rows", S16With(3, 0, {}), PictureError::kNotS16},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeS16(c.bytes).error, c.error) << c.name;
    }
}

}  // namespace
}  // namespace drovana
