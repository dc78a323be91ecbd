#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "ByteIo.h"
#include "MapPalette.h"
#include "PictureDecode.h"
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

std::uint16_t Packed(std::uint32_t argb) {
    if (argb >> 24 == 0) {
        return PackColour(kTransparentIndex);
    }
    return static_cast<std::uint16_t>(((argb >> 19) & 0x1F) << 11 | ((argb >> 10) & 0x3F) << 5 |
                                      ((argb >> 3) & 0x1F));
}

// MakeMap's rows cover lastColumn + 1 pixels; one more column in the header
// makes them end at lastColumn, where the converter adds no fill.
Bytes MapEndingAtLastColumn(int width, int height, MapStyle style, std::uint32_t seed) {
    Bytes shp = MakeMap(width, height, style, seed);
    shp[12 + 2] = static_cast<std::uint8_t>(width);
    shp[12 + 3] = static_cast<std::uint8_t>(width >> 8);
    return shp;
}

struct MapCase {
    int width;
    int height;
    MapStyle style;
    std::uint32_t seed;
};

TEST(PictureDecode, S16ShowsTheShpPicturePackedWithoutItsLastColumn) {
    for (const MapCase& c : {MapCase{1, 1, MapStyle::kMixed, 1},
                             {37, 5, MapStyle::kLongRuns, 2},
                             {300, 7, MapStyle::kLongRuns, 3},
                             {128, 9, MapStyle::kLiterals, 4},
                             {97, 12, MapStyle::kMixed, 5},
                             {600, 3, MapStyle::kMixed, 6}}) {
        SCOPED_TRACE(c.width);
        const Bytes shp = MapEndingAtLastColumn(c.width, c.height, c.style, c.seed);
        const Decoded fromShp = DecodeShp(shp);
        const Decoded fromS16 = DecodeS16(S16Of(shp));
        ASSERT_EQ(fromShp.error, PictureError::kNone);
        ASSERT_EQ(fromS16.error, PictureError::kNone);
        ASSERT_EQ(fromShp.width, c.width + 1);
        ASSERT_EQ(fromS16.width, c.width);
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const std::size_t shpAt = static_cast<std::size_t>(y * (c.width + 1) + x);
                const std::size_t s16At = static_cast<std::size_t>(y * c.width + x);
                ASSERT_EQ(Packed(fromS16.pixels[s16At]), Packed(fromShp.pixels[shpAt]))
                    << x << "," << y;
            }
        }
    }
}

TEST(PictureDecode, ShpRowsStartAtXStartAndYStartAndAreClipped) {
    // lastRow 2, lastColumn 3; rows 1 to 3 coded from column 2.
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
    const std::vector<std::uint32_t> expected = {0, 0, 0, 0, 0, 0, a, a, 0, 0, 0, b};
    const Decoded decoded = DecodeShp(shp);
    ASSERT_EQ(decoded.error, PictureError::kNone);
    EXPECT_EQ(decoded.pixels, expected);
}

TEST(PictureDecode, PaletteAndPackedColoursBecomeArgb) {
    EXPECT_EQ(ArgbOfIndex(kTransparentIndex), 0u);
    EXPECT_EQ(ArgbOfIndex(0), 0xFF000000u);
    EXPECT_EQ(ArgbOfIndex(252), 0xFFFC780Cu);  // stored 0c 78 fc, c2 is red
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
    // Three columns in the header: rows of two pixels.
    const Decoded shortStream = DecodeS16(S16With(3, 2, {3, 0, 0xFF, 0xFF}));
    EXPECT_EQ(shortStream.pixels, (std::vector<std::uint32_t>{white, white, white, 0}));
    const Decoded longStream = DecodeS16(S16With(3, 1, {1, 0, 0, 0, 9, 0, 0xFF, 0xFF}));
    EXPECT_EQ(longStream.pixels, (std::vector<std::uint32_t>{0xFF000000, white}));
    EXPECT_EQ(DecodeS16(S16With(1, 4, {})).error, PictureError::kNoPixels);
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
