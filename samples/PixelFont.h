#pragma once

#include <cstdint>
#include <string_view>

#include "IndexPicture.h"

// Capital letters and digits three pixels wide and five high, drawn square
// `scale` times over; any other character leaves a gap.
namespace drovana::samples {

inline constexpr int kGlyphHeight = 5;

int TextWidth(std::string_view text, int scale);

// Draws `text` with its top left corner at `corner`.
void DrawText(IndexPicture& picture, Point corner, std::string_view text, int scale,
              std::uint8_t index);

// Dark text on a light box, legible on any ground.
void DrawLabel(IndexPicture& picture, Point corner, std::string_view text, int scale);

}  // namespace drovana::samples
