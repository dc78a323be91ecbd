#pragma once

#include <cstdint>
#include <vector>

#include "IndexPicture.h"

namespace drovana::samples {

// The SHP bytes of `picture`, shown from column `xStart` on of a picture
// `xStart + picture.width` columns wide. Equal pixels become runs, varied
// ones literals, transparent ones skips, and a row ends at its last
// pixel that is not transparent.
std::vector<std::uint8_t> EncodeShp(const IndexPicture& picture, int xStart);

}  // namespace drovana::samples
