#pragma once

#include <cstdint>

#include "IndexPicture.h"

namespace drovana::samples {

// Towns with their names on the land of `picture`, and roads between them.
void DrawCountry(IndexPicture& picture, std::uint32_t seed);

}  // namespace drovana::samples
