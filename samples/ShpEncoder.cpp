#include "ShpEncoder.h"

#include <algorithm>

#include "ShpBuilder.h"

namespace drovana::samples {
namespace {

constexpr int kMaxRun = 127;
constexpr std::size_t kMaxLiteral = 127;
constexpr int kMaxSkip = 255;
// Two equal pixels cost as much inside a literal as in a run of their own.
constexpr int kShortestRun = 3;

bool Clear(std::uint8_t index) {
    return index == kTransparentIndex;
}

// How many pixels from `x` on, at most `limit`, repeat row[x].
int Repeats(const std::uint8_t* row, int x, int end, int limit) {
    const int last = std::min(end, x + limit);
    int n = 1;
    while (x + n < last && row[x + n] == row[x]) {
        ++n;
    }
    return n;
}

// Codes the varied pixels from `x` on as one literal; returns where it stops.
int PutLiteral(test::ShpBuilder& shp, const std::uint8_t* row, int x, int end) {
    std::vector<std::uint8_t> pixels;
    while (x < end && pixels.size() < kMaxLiteral && !Clear(row[x]) &&
           Repeats(row, x, end, kShortestRun) < kShortestRun) {
        pixels.push_back(row[x++]);
    }
    shp.Literal(pixels);
    return x;
}

void PutRow(test::ShpBuilder& shp, const std::uint8_t* row, int end) {
    for (int x = 0; x < end;) {
        const int same = Repeats(row, x, end, kMaxSkip);
        if (Clear(row[x])) {
            shp.Skip(static_cast<std::uint8_t>(same));
            x += same;
        } else if (same >= kShortestRun) {
            const int n = std::min(same, kMaxRun);
            shp.Run(n, row[x]);
            x += n;
        } else {
            x = PutLiteral(shp, row, x, end);
        }
    }
    shp.EndRow();
}

// The pixels up to the last one that is not transparent; the row's end
// code leaves the rest transparent.
int CodedWidth(const std::uint8_t* row, int width) {
    while (width > 0 && Clear(row[width - 1])) {
        --width;
    }
    return width;
}

}  // namespace

std::vector<std::uint8_t> EncodeShp(const IndexPicture& picture, int xStart) {
    const int lastRow = picture.height - 1;
    test::ShpBuilder shp;
    shp.Image({static_cast<std::int16_t>(lastRow),
               static_cast<std::int16_t>(xStart + picture.width - 1), xStart, 0, lastRow});
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* row = picture.Row(y);
        PutRow(shp, row, CodedWidth(row, picture.width));
    }
    return shp.Build();
}

}  // namespace drovana::samples
