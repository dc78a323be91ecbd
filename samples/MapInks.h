#pragma once

#include <cstdint>

// The palette indices the sample maps are drawn with, picked from the map
// palette for the colour each kind of ground has there.
namespace drovana::samples::ink {

inline constexpr std::uint8_t kDeepSea = 136;
inline constexpr std::uint8_t kSea = 133;
inline constexpr std::uint8_t kShallows = 118;
inline constexpr std::uint8_t kRiver = 116;
inline constexpr std::uint8_t kSand = 196;
inline constexpr std::uint8_t kGrass = 57;
inline constexpr std::uint8_t kMeadow = 58;
inline constexpr std::uint8_t kForest = 254;
inline constexpr std::uint8_t kThicket = 215;
inline constexpr std::uint8_t kRock = 205;
inline constexpr std::uint8_t kScree = 206;
inline constexpr std::uint8_t kSnow = 232;
inline constexpr std::uint8_t kFirn = 230;

inline constexpr std::uint8_t kRoad = 252;
inline constexpr std::uint8_t kVerge = 13;
inline constexpr std::uint8_t kRoof = 253;
inline constexpr std::uint8_t kBorder = 15;
inline constexpr std::uint8_t kGridLine = 15;
inline constexpr std::uint8_t kPaper = 232;
inline constexpr std::uint8_t kLettering = 0;

}  // namespace drovana::samples::ink
