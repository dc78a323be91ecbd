#pragma once

#include <cstdint>

#include "IndexPicture.h"

// Heights and the ground they show, in integers only, so that a sample
// comes out byte for byte the same wherever it is made.
namespace drovana::samples {

// Heights run from 0, the deepest sea, to kPeak, the highest snow.
inline constexpr int kPeak = 1 << 16;

constexpr int Percent(int share) {
    return share * (kPeak / 100);
}

// The height below which the sea is open water, left transparent on maps
// of islands.
inline constexpr int kOpenSea = Percent(36);

// A well-mixed 32-bit number for a point, for noise and for scattering.
std::uint32_t Hash(int x, int y, std::uint32_t seed);

// A number from `low` to `high` picked by `hash`.
int Between(std::uint32_t hash, int low, int high);

// Smooth random heights from 0 to kPeak over hills about `cell` pixels
// across, with finer detail on top. x and y must not be negative.
int HeightAt(int x, int y, int cell, std::uint32_t seed);

// The palette index of ground at `height`; `scatter` picks the odd
// pixel of a second colour, so that woods and rock look rough.
std::uint8_t GroundAt(int height, std::uint32_t scatter);

// Ground that is neither sea nor transparent, where towns and rivers go.
bool IsLand(std::uint8_t index);

// Whether `p` lies inside the picture, on land.
bool LandAt(const IndexPicture& picture, Point p);

}  // namespace drovana::samples
