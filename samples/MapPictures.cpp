#include "MapPictures.h"

#include <algorithm>
#include <string>
#include <vector>

#include "Country.h"
#include "MapInks.h"
#include "PixelFont.h"
#include "Shapes.h"
#include "Terrain.h"

namespace drovana::samples {
namespace {

constexpr std::uint8_t kClear = kTransparentIndex;

// How a kind of map bends the noise: `lift` raises all of it, `slope` the
// east above the west, and `dome` sinks the land towards the edges.
struct Relief {
    int lift;
    int slope;
    int dome;
    bool openSea;  // deep water left transparent
};

int LiftAt(const Relief& relief, int x, int y, const IndexPicture& picture) {
    const int dx = (2 * x - picture.width) * 256 / picture.width;
    const int dy = (2 * y - picture.height) * 256 / picture.height;
    const int rim = (dx * dx + dy * dy) / 256;
    return relief.lift + relief.slope * dx / 256 - relief.dome * rim / 256;
}

void PaintGround(IndexPicture& picture, const Relief& relief, std::uint32_t seed) {
    const int cell = std::max(picture.width, picture.height) / 4;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const int height = HeightAt(x, y, cell, seed) + LiftAt(relief, x, y, picture);
            picture.At(x, y) =
                relief.openSea && height < kOpenSea ? kClear : GroundAt(height, Hash(x, y, ~seed));
        }
    }
}

// Keeps a disc in the middle, rimmed by a border.
void CutDisc(IndexPicture& picture) {
    const int cx = picture.width / 2;
    const int cy = picture.height / 2;
    const int outer = std::min(cx, cy) - 1;
    const int inner = outer - 2 * LineScale(picture);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (d2 > inner * inner) {
                picture.At(x, y) = d2 > outer * outer ? kClear : ink::kBorder;
            }
        }
    }
}

// From the eastern hills westwards, wandering as it goes, until it meets
// the sea.
void DrawRiver(IndexPicture& picture, std::uint32_t seed) {
    const int steps = 10;
    std::vector<Point> path;
    int y = picture.height / 3 + Between(Hash(0, 0, seed), 0, picture.height / 3);
    for (int i = 0; i <= steps && (path.empty() || LandAt(picture, path.back())); ++i) {
        path.push_back({picture.width - 1 - i * picture.width / steps, y});
        y = std::clamp(y + Between(Hash(i, 1, seed), -picture.height / 12, picture.height / 12), 0,
                       picture.height - 1);
    }
    DrawPath(picture, path, LineScale(picture) - 1, ink::kRiver, IsLand);
}

// Squares about a sixth of the width, lettered west to east and numbered
// north to south.
void DrawGrid(IndexPicture& picture) {
    const int cell = (picture.width + 5) / 6;
    const int scale = LineScale(picture);
    for (int x = cell; x < picture.width; x += cell) {
        FillRect(picture, {x, 0}, scale, picture.height, ink::kGridLine);
    }
    for (int y = cell; y < picture.height; y += cell) {
        FillRect(picture, {0, y}, picture.width, scale, ink::kGridLine);
    }
    for (int row = 0; row * cell < picture.height; ++row) {
        for (int column = 0; column * cell < picture.width; ++column) {
            const std::string name = static_cast<char>('A' + column) + std::to_string(row + 1);
            DrawLabel(picture, {column * cell + 2 * scale, row * cell + 2 * scale}, name, scale);
        }
    }
}

Relief ReliefOf(MapKind kind) {
    switch (kind) {
        case MapKind::kIsland:
            return {Percent(18), 0, Percent(70), true};
        case MapKind::kIslands:
            return {Percent(-16), 0, 0, true};
        case MapKind::kCoast:
        case MapKind::kAtlas:
            return {0, Percent(20), 0, false};
        case MapKind::kCountry:
            return {Percent(4), 0, 0, false};
        case MapKind::kRoundMap:
        case MapKind::kGrid:
            break;
    }
    return {0, 0, 0, false};
}

}  // namespace

IndexPicture DrawMap(MapKind kind, int width, int height, std::uint32_t seed) {
    IndexPicture picture(width, height);
    PaintGround(picture, ReliefOf(kind), seed);
    if (kind == MapKind::kCoast || kind == MapKind::kAtlas) {
        DrawRiver(picture, seed + 1);
    }
    if (kind == MapKind::kCountry || kind == MapKind::kAtlas) {
        DrawCountry(picture, seed + 2);
    }
    if (kind == MapKind::kGrid || kind == MapKind::kAtlas) {
        DrawGrid(picture);
    }
    if (kind == MapKind::kRoundMap) {
        CutDisc(picture);
    }
    return picture;
}

}  // namespace drovana::samples
