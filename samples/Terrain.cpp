#include "Terrain.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include "MapInks.h"

namespace drovana::samples {
namespace {

// Each band of heights: the ground below `top`, and how many pixels in 16
// show its second colour.
struct Band {
    int top;
    std::uint8_t ground;
    std::uint8_t second;
    std::uint32_t seconds;
};

constexpr Band kBands[] = {
    {Percent(30), ink::kDeepSea, ink::kDeepSea, 0},
    {Percent(41), ink::kSea, ink::kSea, 0},
    {Percent(45), ink::kShallows, ink::kShallows, 0},
    {Percent(48), ink::kSand, ink::kSand, 0},
    {Percent(63), ink::kGrass, ink::kMeadow, 1},
    {Percent(75), ink::kForest, ink::kThicket, 5},
    {Percent(86), ink::kRock, ink::kScree, 6},
    {std::numeric_limits<int>::max(), ink::kSnow, ink::kFirn, 3},
};

// Eases a position 0..256 inside a cell, so that cell borders leave no crease.
int Ease(int t) {
    return t * t * (768 - 2 * t) / 65536;
}

int Mix(int a, int b, int t) {
    return a + (b - a) * t / 256;
}

int Corner(int cx, int cy, std::uint32_t seed) {
    return static_cast<int>(Hash(cx, cy, seed) % kPeak);
}

// One layer of value noise: random corner heights, eased between.
int Octave(int x, int y, int cell, std::uint32_t seed) {
    const int cx = x / cell;
    const int cy = y / cell;
    const int tx = Ease((x - cx * cell) * 256 / cell);
    const int ty = Ease((y - cy * cell) * 256 / cell);
    const int top = Mix(Corner(cx, cy, seed), Corner(cx + 1, cy, seed), tx);
    const int bottom = Mix(Corner(cx, cy + 1, seed), Corner(cx + 1, cy + 1, seed), tx);
    return Mix(top, bottom, ty);
}

}  // namespace

std::uint32_t Hash(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed ^ static_cast<std::uint32_t>(x) * 0x27d4eb2du ^
                      static_cast<std::uint32_t>(y) * 0x165667b1u;
    h = (h ^ (h >> 15)) * 0x2c1b3c6du;
    h = (h ^ (h >> 12)) * 0x297a2d39u;
    return h ^ (h >> 15);
}

int HeightAt(int x, int y, int cell, std::uint32_t seed) {
    int sum = 0;
    int weights = 0;
    for (int weight = 8; weight > 0 && cell > 0; weight /= 2, cell /= 2, seed += 0x9e3779b9u) {
        sum += weight * Octave(x, y, cell, seed);
        weights += weight;
    }
    // Summed layers crowd round the middle; spread them to reach sea and snow.
    const int spread = kPeak / 2 + (sum / weights - kPeak / 2) * 3 / 2;
    return std::clamp(spread, 0, kPeak);
}

std::uint8_t GroundAt(int height, std::uint32_t scatter) {
    const Band* band = std::find_if(std::begin(kBands), std::end(kBands),
                                    [height](const Band& b) { return height < b.top; });
    return scatter % 16 < band->seconds ? band->second : band->ground;
}

int Between(std::uint32_t hash, int low, int high) {
    return low + static_cast<int>(hash % static_cast<std::uint32_t>(high - low + 1));
}

bool IsLand(std::uint8_t index) {
    return index != kTransparentIndex && index != ink::kDeepSea && index != ink::kSea &&
           index != ink::kShallows;
}

bool LandAt(const IndexPicture& picture, Point p) {
    return picture.Contains(p.x, p.y) && IsLand(picture.At(p.x, p.y));
}

}  // namespace drovana::samples
