#include "Shapes.h"

#include <cstdlib>

namespace drovana::samples {
namespace {

// A round brush; the extra `radius` keeps small brushes from turning into
// crosses.
void Stamp(IndexPicture& picture, Point at, int radius, std::uint8_t index, Paintable paintable) {
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const int x = at.x + dx;
            const int y = at.y + dy;
            if (dx * dx + dy * dy <= radius * radius + radius && picture.Contains(x, y) &&
                (paintable == nullptr || paintable(picture.At(x, y)))) {
                picture.At(x, y) = index;
            }
        }
    }
}

// Stamps the brush on every pixel of the straight way from a to b.
void DrawLine(IndexPicture& picture, Point a, Point b, int radius, std::uint8_t index,
              Paintable paintable) {
    const int dx = std::abs(b.x - a.x);
    const int dy = -std::abs(b.y - a.y);
    const int stepX = a.x < b.x ? 1 : -1;
    const int stepY = a.y < b.y ? 1 : -1;
    int error = dx + dy;
    for (Point at = a;;) {
        Stamp(picture, at, radius, index, paintable);
        if (at.x == b.x && at.y == b.y) {
            return;
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            at.x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            at.y += stepY;
        }
    }
}

}  // namespace

int LineScale(const IndexPicture& picture) {
    return 1 + picture.width / 600;
}

void FillRect(IndexPicture& picture, Point corner, int width, int height, std::uint8_t index) {
    for (int y = corner.y; y < corner.y + height; ++y) {
        for (int x = corner.x; x < corner.x + width; ++x) {
            if (picture.Contains(x, y)) {
                picture.At(x, y) = index;
            }
        }
    }
}

void DrawPath(IndexPicture& picture, const std::vector<Point>& path, int radius, std::uint8_t index,
              Paintable paintable) {
    for (std::size_t i = 1; i < path.size(); ++i) {
        DrawLine(picture, path[i - 1], path[i], radius, index, paintable);
    }
}

}  // namespace drovana::samples
