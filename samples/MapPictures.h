#pragma once

#include <cstdint>

#include "IndexPicture.h"

// Pictures that look like maps, so that a conversion can be judged by eye.
namespace drovana::samples {

enum class MapKind {
    kIsland,    // one island in a transparent sea
    kIslands,   // many islands in a transparent sea
    kCoast,     // sea in the west, hills in the east, a river between
    kCountry,   // land with towns and the roads between them
    kRoundMap,  // a disc of land and sea in a border, transparent around it
    kGrid,      // land and sea under a grid with labelled squares
    kAtlas,     // a coast with a river, towns, roads and a labelled grid
};

// The same kind, size and seed always give the same picture.
IndexPicture DrawMap(MapKind kind, int width, int height, std::uint32_t seed);

}  // namespace drovana::samples
