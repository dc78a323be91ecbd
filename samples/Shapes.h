#pragma once

#include <cstdint>
#include <vector>

#include "IndexPicture.h"

// The few shapes the sample maps are drawn from; parts outside the picture
// are dropped.
namespace drovana::samples {

// Whether a shape may paint over a pixel of this index; null lets it
// paint everywhere.
using Paintable = bool (*)(std::uint8_t below);

// Wide maps get thicker lines and larger letters.
int LineScale(const IndexPicture& picture);

void FillRect(IndexPicture& picture, Point corner, int width, int height, std::uint8_t index);

// A line `radius` pixels to either side of the way from point to point.
void DrawPath(IndexPicture& picture, const std::vector<Point>& path, int radius, std::uint8_t index,
              Paintable paintable = nullptr);

}  // namespace drovana::samples
