#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "ByteIo.h"
#include "ConvertShpToS16.h"
#include "PictureDecode.h"
#include "S16Bytes.h"
#include "SampleMaps.h"
#include "TestFiles.h"

namespace drovana::test {
namespace {

namespace fs = std::filesystem;
using samples::GoodSamples;
using samples::IndexPicture;
using samples::kBrokenSampleName;
using Bytes = std::vector<std::uint8_t>;

std::vector<std::string> ExpectedNames() {
    std::vector<std::string> names = {kBrokenSampleName};
    for (const samples::SampleMap& map : GoodSamples()) {
        names.push_back(map.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::size_t ImageHeaderAt(const Bytes& shp) {
    return static_cast<std::size_t>(Le32(shp, kShpImageOffsetField));
}

// Pixels each row's codes cover, skips included, read straight from the codes.
std::vector<int> CodedRowWidths(const Bytes& shp) {
    std::vector<int> widths(1, 0);
    for (std::size_t at = ImageHeaderAt(shp) + kShpImageHeaderSize; at < shp.size();) {
        const int code = shp[at++];
        if (code == 0) {
            widths.push_back(0);
        } else if (code == 1) {
            widths.back() += shp[at++];
        } else {
            widths.back() += code / 2;
            at += code % 2 == 0 ? 1 : static_cast<std::size_t>(code / 2);
        }
    }
    widths.pop_back();
    return widths;
}

// The picture of its S16, as the preview shows it.
std::vector<std::uint32_t> S16Shown(const Bytes& shp) {
    const Bytes s16 = S16Of(shp);
    MemorySource source(s16.data(), s16.size());
    S16Picture header;
    EXPECT_EQ(ReadS16Picture(source, header), PictureError::kNone);
    std::vector<std::uint32_t> shown(static_cast<std::size_t>(header.width) * header.height);
    ViewSink sink({shown.data(), header.width});
    EXPECT_EQ(DecodeS16Picture(source, header, sink), PictureError::kNone);
    return shown;
}

// Decodes `shp` and compares it pixel by pixel with `picture` placed at
// column `xStart`, and with its S16; index 5 and the columns left of xStart
// are transparent.
void ExpectShows(const Bytes& shp, const IndexPicture& picture, int xStart) {
    MemorySource source(shp.data(), shp.size());
    ShpPicture header;
    ASSERT_EQ(ReadShpPicture(source, header), PictureError::kNone);
    ASSERT_EQ(header.width, xStart + picture.width);
    ASSERT_EQ(header.height, picture.height);
    std::vector<std::uint32_t> shown(static_cast<std::size_t>(header.width) * header.height);
    ViewSink sink({shown.data(), header.width});
    ASSERT_EQ(DecodeShpPicture(source, header, sink), PictureError::kNone);
    ASSERT_EQ(S16Shown(shp), shown);
    for (int y = 0; y < header.height; ++y) {
        for (int x = 0; x < header.width; ++x) {
            const std::uint32_t expected = x < xStart ? 0u : ArgbOfIndex(picture.At(x - xStart, y));
            ASSERT_EQ(shown[static_cast<std::size_t>(y * header.width + x)], expected)
                << "at column " << x << ", row " << y;
        }
    }
}

TEST(SampleMaps, AllButTheBrokenOneConvertToPicturesOfTheirSize) {
    const TempDir dir;
    samples::WriteSamples(dir.Path());
    EXPECT_EQ(NamesIn(dir / "maps"), ExpectedNames());
    EXPECT_TRUE(fs::is_empty(dir / "peg"));
    for (const samples::SampleMap& map : GoodSamples()) {
        SCOPED_TRACE(map.name);
        const fs::path target = dir / "peg" / (fs::path(map.name).stem().string() + ".s16");
        ASSERT_TRUE(ConvertShpFile(dir / "maps" / map.name, target).Ok());
        const std::vector<std::uint8_t> s16 = ReadBytes(target);
        EXPECT_EQ(s16, S16Of(ReadBytes(dir / "maps" / map.name)));
        EXPECT_EQ(Le32(s16, 4), map.width);
        EXPECT_EQ(Le32(s16, 8), map.height);
    }
    const ConvertResult broken =
        ConvertShpFile(dir / "maps" / kBrokenSampleName, dir / "peg" / "MAP13.s16");
    EXPECT_TRUE(broken.Is(FormatError::kTooShortForHeaders));
    EXPECT_EQ(NamesIn(dir / "peg").size(), GoodSamples().size());
}

TEST(SampleMaps, TheBuildMadeThemBesideAPegFolder) {
    const fs::path built = DROVANA_SAMPLES_DIR;
    EXPECT_EQ(NamesIn(built / "maps"), ExpectedNames());
    // Made by another process, so this also shows that the same sample
    // always gives the same bytes.
    for (const samples::SampleMap& map : GoodSamples()) {
        EXPECT_EQ(ReadBytes(built / "maps" / map.name), samples::SampleBytes(map)) << map.name;
    }
    EXPECT_TRUE(fs::is_directory(built / "peg"));
}

TEST(SampleMaps, EachShowsThePictureItWasDrawnFrom) {
    int rowsEndingEarly = 0;
    int rowsToTheEdge = 0;
    int drawnFromAColumn = 0;
    for (const samples::SampleMap& map : GoodSamples()) {
        SCOPED_TRACE(map.name);
        const Bytes shp = samples::SampleBytes(map);
        const IndexPicture picture = samples::SamplePicture(map);
        ExpectShows(shp, picture, map.xStart);
        // Water, shore and several grounds, not one flat colour.
        EXPECT_GE(std::set<std::uint8_t>(picture.pixels.begin(), picture.pixels.end()).size(), 6u);
        const int xStart = Le32(shp, ImageHeaderAt(shp) + 8);
        for (const int width : CodedRowWidths(shp)) {
            rowsEndingEarly += xStart + width < map.width;
            rowsToTheEdge += xStart + width == map.width;
        }
        drawnFromAColumn += xStart > 0;
    }
    EXPECT_GT(rowsEndingEarly, 0);
    EXPECT_GT(rowsToTheEdge, 0);
    EXPECT_GT(drawnFromAColumn, 0);
}

}  // namespace
}  // namespace drovana::test
