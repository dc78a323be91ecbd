#include <gtest/gtest.h>

#include <vector>

#include "ByteIo.h"
#include "PictureReduce.h"
#include "ShpBuilder.h"

namespace drovana {
namespace {

using Pixels = std::vector<std::uint32_t>;
using Bytes = std::vector<std::uint8_t>;

struct Shrunk {
    Pixels whole;
    Pixels reduced;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

Shrunk DecodeBothWays(const Bytes& shp, std::int32_t factor) {
    MemorySource source(shp.data(), shp.size());
    ShpPicture picture;
    EXPECT_EQ(ReadShpPicture(source, picture), PictureError::kNone);
    Shrunk out;
    out.width = picture.width;
    out.height = picture.height;
    out.whole.assign(static_cast<std::size_t>(picture.width) * picture.height, 0xDEADBEEF);
    ViewSink whole({out.whole.data(), picture.width});
    EXPECT_EQ(DecodeShpPicture(source, picture, whole), PictureError::kNone);
    const std::int32_t reducedWidth = ReducedLength(picture.width, factor);
    out.reduced.assign(
        static_cast<std::size_t>(reducedWidth) * ReducedLength(picture.height, factor), 0xDEADBEEF);
    ReducingSink reduced(picture.width, picture.height, factor, {out.reduced.data(), reducedWidth});
    EXPECT_EQ(DecodeShpPicture(source, picture, reduced), PictureError::kNone);
    return out;
}

// The block at (bx, by) averaged by hand: opaque pixels count fully, the
// transparent ones only in alpha.
std::uint32_t BlockAverage(const Shrunk& s, std::int32_t factor, std::int32_t bx, std::int32_t by) {
    std::uint64_t alpha = 0, red = 0, green = 0, blue = 0, pixels = 0;
    for (std::int32_t y = by * factor; y < std::min(s.height, (by + 1) * factor); ++y) {
        for (std::int32_t x = bx * factor; x < std::min(s.width, (bx + 1) * factor); ++x) {
            const std::uint32_t p = s.whole[static_cast<std::size_t>(y) * s.width + x];
            ++pixels;
            if (p != 0) {
                alpha += 255;
                red += p >> 16 & 0xFF;
                green += p >> 8 & 0xFF;
                blue += p & 0xFF;
            }
        }
    }
    if (alpha == 0 || (alpha + pixels / 2) / pixels == 0) {
        return 0;
    }
    const std::uint64_t opaque = alpha / 255;
    const auto mean = [&](std::uint64_t sum) { return (sum + opaque / 2) / opaque; };
    return static_cast<std::uint32_t>((alpha + pixels / 2) / pixels << 24 | mean(red) << 16 |
                                      mean(green) << 8 | mean(blue));
}

TEST(PictureReduce, ShrunkPixelsAverageTheBlocksOfTheWholePicture) {
    const struct {
        Bytes shp;
        std::int32_t factor;
    } cases[] = {
        {test::MakeMap(64, 32, test::MapStyle::kMixed, 1), 4},
        {test::MakeMap(101, 37, test::MapStyle::kLiterals, 2), 7},  // partial edge blocks
        {test::MakeMap(5, 3, test::MapStyle::kLongRuns, 3), 8},     // one block, larger than all
        // Blank rows above and columns before the coded ones, a skip in between.
        {test::ShpBuilder()
             .Image({9, 11, 3, 4, 6})
             .Run(4, 9)
             .Skip(2)
             .Literal({1, 2})
             .EndRow()
             .EndRow()
             .Run(8, 200)
             .Build(),
         3},
    };
    for (const auto& c : cases) {
        const Shrunk s = DecodeBothWays(c.shp, c.factor);
        const std::int32_t reducedWidth = ReducedLength(s.width, c.factor);
        for (std::int32_t by = 0; by < ReducedLength(s.height, c.factor); ++by) {
            for (std::int32_t bx = 0; bx < reducedWidth; ++bx) {
                ASSERT_EQ(s.reduced[static_cast<std::size_t>(by) * reducedWidth + bx],
                          BlockAverage(s, c.factor, bx, by))
                    << s.width << "x" << s.height << " / " << c.factor << " at " << bx << "," << by;
            }
        }
    }
}

TEST(PictureReduce, FactorKeepsThePictureAtLeastAsLargeAsWanted) {
    const struct {
        std::int32_t width, height, wantedWidth, wantedHeight, factor;
    } cases[] = {{4096, 4096, 256, 256, 16},
                 {4000, 3000, 256, 192, 15},
                 {100, 50, 256, 128, 1},
                 {1000, 10, 100, 1, 10},
                 {7, 7, 0, 0, 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(ReductionFactor(c.width, c.height, c.wantedWidth, c.wantedHeight), c.factor)
            << c.width << "x" << c.height;
    }
    EXPECT_EQ(ReducedLength(101, 7), 15);
    EXPECT_EQ(ReducedLength(98, 7), 14);
}

}  // namespace
}  // namespace drovana
