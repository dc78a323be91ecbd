#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "MapPalette.h"

namespace drovana::samples {

struct Point {
    int x;
    int y;
};

// A picture of palette indices, row after row; it starts out transparent.
struct IndexPicture {
    IndexPicture(int w, int h)
        : width(w),
          height(h),
          pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h),
                 static_cast<std::uint8_t>(kTransparentIndex)) {}

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    std::uint8_t& At(int x, int y) { return pixels[Offset(x, y)]; }
    std::uint8_t At(int x, int y) const { return pixels[Offset(x, y)]; }
    const std::uint8_t* Row(int y) const { return &pixels[Offset(0, y)]; }

    int width;
    int height;
    std::vector<std::uint8_t> pixels;

private:
    std::size_t Offset(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }
};

}  // namespace drovana::samples
