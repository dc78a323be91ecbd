#include "Country.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "MapInks.h"
#include "PixelFont.h"
#include "Shapes.h"
#include "Terrain.h"

namespace drovana::samples {
namespace {

constexpr std::string_view kTownNames[] = {"ASHBY",   "BROOKHAM", "COLDWELL", "DUNMORE",
                                           "ELMFORD", "FENWICK",  "GLENHOLM", "HARLOW"};

bool FarFromAll(Point p, const std::vector<Point>& others, int distance) {
    return std::none_of(others.begin(), others.end(), [&](Point o) {
        return std::abs(o.x - p.x) + std::abs(o.y - p.y) < distance;
    });
}

// Towns on land, apart from each other and from the edges.
std::vector<Point> PlaceTowns(const IndexPicture& picture, int count, std::uint32_t seed) {
    std::vector<Point> towns;
    const int marginX = picture.width / 8;
    const int marginY = picture.height / 8;
    for (int attempt = 0; attempt < 64 && static_cast<int>(towns.size()) < count; ++attempt) {
        const Point p{Between(Hash(attempt, 0, seed), marginX, picture.width - marginX - 1),
                      Between(Hash(attempt, 1, seed), marginY, picture.height - marginY - 1)};
        if (LandAt(picture, p) && FarFromAll(p, towns, picture.width / 4)) {
            towns.push_back(p);
        }
    }
    return towns;
}

// A road from a to b with a bend half way.
std::vector<Point> RoadBetween(Point a, Point b, std::uint32_t seed) {
    const int bend = (std::abs(b.x - a.x) + std::abs(b.y - a.y)) / 6 + 1;
    const Point middle{(a.x + b.x) / 2 + Between(Hash(a.x, b.x, seed), -bend, bend),
                       (a.y + b.y) / 2 + Between(Hash(a.y, b.y, seed), -bend, bend)};
    return {a, middle, b};
}

// A road whose ends and bend are all on land, if one of a few tries finds
// one; it may still bridge a lake or an inlet.
std::optional<std::vector<Point>> RoadOverLand(const IndexPicture& picture, Point a, Point b,
                                               std::uint32_t seed) {
    for (std::uint32_t attempt = 0; attempt < 4; ++attempt) {
        std::vector<Point> road = RoadBetween(a, b, seed + attempt);
        if (std::all_of(road.begin(), road.end(), [&](Point p) { return LandAt(picture, p); })) {
            return road;
        }
    }
    return std::nullopt;
}

// Each town's road leads to the nearest town placed before it.
std::vector<std::vector<Point>> PlanRoads(const IndexPicture& picture,
                                          const std::vector<Point>& towns, std::uint32_t seed) {
    std::vector<std::vector<Point>> roads;
    for (std::size_t i = 1; i < towns.size(); ++i) {
        const Point from = towns[i];
        const auto distance = [from](Point p) {
            return std::abs(p.x - from.x) + std::abs(p.y - from.y);
        };
        const auto placed = towns.begin() + static_cast<std::ptrdiff_t>(i);
        const Point to = *std::min_element(
            towns.begin(), placed, [&](Point p, Point q) { return distance(p) < distance(q); });
        if (auto road = RoadOverLand(picture, from, to, seed)) {
            roads.push_back(std::move(*road));
        }
    }
    return roads;
}

void DrawTown(IndexPicture& picture, Point centre, std::string_view name, std::uint32_t seed) {
    const int scale = LineScale(picture);
    const int spread = 3 + picture.width / 80;
    for (int i = 0; i < 6 + spread; ++i) {
        const Point house{centre.x + Between(Hash(i, centre.x, seed), -spread, spread),
                          centre.y + Between(Hash(i, centre.y, seed), -spread, spread)};
        if (LandAt(picture, house)) {
            FillRect(picture, house, 2 * scale, 2 * scale, ink::kRoof);
        }
    }
    if (picture.width >= 200) {
        DrawLabel(picture, {centre.x + spread + 2 * scale, centre.y - 3 * scale}, name, scale);
    }
}

}  // namespace

void DrawCountry(IndexPicture& picture, std::uint32_t seed) {
    const std::vector<Point> towns = PlaceTowns(picture, 3 + picture.width / 200, seed);
    const std::vector<std::vector<Point>> roads = PlanRoads(picture, towns, seed);
    const int width = LineScale(picture);
    // All verges first, so that no verge crosses a road drawn before it.
    for (const std::vector<Point>& road : roads) {
        DrawPath(picture, road, width, ink::kVerge);
    }
    for (const std::vector<Point>& road : roads) {
        DrawPath(picture, road, width - 1, ink::kRoad);
    }
    for (std::size_t i = 0; i < towns.size(); ++i) {
        DrawTown(picture, towns[i], kTownNames[i % std::size(kTownNames)], seed);
    }
}

}  // namespace drovana::samples
