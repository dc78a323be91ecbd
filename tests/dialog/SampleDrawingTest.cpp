#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "IndexPicture.h"
#include "MapInks.h"
#include "PixelFont.h"
#include "Shapes.h"

namespace drovana::samples {
namespace {

constexpr std::uint8_t kInk = 200;

int Inked(const IndexPicture& picture, std::uint8_t index = kInk) {
    return static_cast<int>(std::count(picture.pixels.begin(), picture.pixels.end(), index));
}

bool OnlyOverOne(std::uint8_t below) {
    return below == 1;
}

TEST(SampleDrawing, PathsStayInsideThePictureAndReachTheirEnds) {
    struct Case {
        const char* what;
        std::vector<Point> path;
        int radius;
        int inked;
    };
    const Case cases[] = {
        {"a steep line, one pixel a row", {{1, 0}, {4, 7}}, 0, 8},
        {"a flat line, one pixel a column", {{0, 6}, {11, 3}}, 0, 12},
        {"a bend counted once", {{0, 0}, {5, 0}, {5, 5}}, 0, 11},
        {"cut at both edges", {{-20, 2}, {30, 2}}, 0, 12},
        {"a brush of radius one", {{0, 3}, {11, 3}}, 1, 3 * 12},
        {"wholly outside", {{-9, -9}, {-4, -4}}, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        IndexPicture picture(12, 8);
        DrawPath(picture, c.path, c.radius, kInk);
        EXPECT_EQ(Inked(picture), c.inked);
        for (const Point p : c.path) {
            EXPECT_TRUE(!picture.Contains(p.x, p.y) || picture.At(p.x, p.y) == kInk);
        }
    }
}

TEST(SampleDrawing, PathsPaintOnlyWhatTheyMay) {
    IndexPicture picture(12, 3);
    FillRect(picture, {0, 0}, 5, 3, 1);
    DrawPath(picture, {{0, 1}, {11, 1}}, 0, kInk, OnlyOverOne);
    EXPECT_EQ(Inked(picture), 5);
    EXPECT_EQ(picture.At(5, 1), kTransparentIndex);
}

TEST(SampleDrawing, TextFillsItsWidthAtEveryScale) {
    for (const int scale : {1, 2, 3}) {
        SCOPED_TRACE(scale);
        IndexPicture picture(40, 20);
        DrawText(picture, {1, 2}, "A1", scale, kInk);
        int right = 0;
        int bottom = 0;
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                if (picture.At(x, y) == kInk) {
                    right = std::max(right, x);
                    bottom = std::max(bottom, y);
                }
            }
        }
        EXPECT_EQ(right, TextWidth("A1", scale));
        EXPECT_EQ(bottom, 1 + kGlyphHeight * scale);
    }
}

TEST(SampleDrawing, EveryLetterAndDigitLooksDifferent) {
    std::set<std::vector<std::uint8_t>> shapes;
    for (const char c : std::string("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ")) {
        IndexPicture picture(3, kGlyphHeight);
        DrawText(picture, {0, 0}, std::string(1, c), 1, kInk);
        EXPECT_GE(Inked(picture), 5) << c;
        shapes.insert(picture.pixels);
    }
    EXPECT_EQ(shapes.size(), 36u);
}

TEST(SampleDrawing, LabelsAreDarkOnLight) {
    IndexPicture picture(20, 9);
    DrawLabel(picture, {0, 0}, "B2", 1);
    EXPECT_EQ(Inked(picture, ink::kPaper) + Inked(picture, ink::kLettering),
              (TextWidth("B2", 1) + 2) * (kGlyphHeight + 2));
    EXPECT_GT(Inked(picture, ink::kLettering), 0);
}

}  // namespace
}  // namespace drovana::samples
