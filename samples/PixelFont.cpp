#include "PixelFont.h"

#include "MapInks.h"
#include "Shapes.h"

namespace drovana::samples {
namespace {

constexpr int kGlyphWidth = 3;
constexpr int kAdvance = kGlyphWidth + 1;

// Rows top to bottom, three bits each, the leftmost pixel the highest bit:
// 0 to 9, then A to Z.
constexpr std::uint16_t kGlyphs[] = {
    0b111'101'101'101'111, 0b010'110'010'010'111, 0b111'001'111'100'111, 0b111'001'011'001'111,
    0b101'101'111'001'001, 0b111'100'111'001'111, 0b111'100'111'101'111, 0b111'001'001'010'010,
    0b111'101'111'101'111, 0b111'101'111'001'111, 0b010'101'111'101'101, 0b110'101'110'101'110,
    0b011'100'100'100'011, 0b110'101'101'101'110, 0b111'100'110'100'111, 0b111'100'110'100'100,
    0b011'100'101'101'011, 0b101'101'111'101'101, 0b111'010'010'010'111, 0b001'001'001'101'010,
    0b101'101'110'101'101, 0b100'100'100'100'111, 0b101'111'111'101'101, 0b110'101'101'101'101,
    0b010'101'101'101'010, 0b110'101'110'100'100, 0b010'101'101'110'011, 0b110'101'110'101'101,
    0b011'100'010'001'110, 0b111'010'010'010'010, 0b101'101'101'101'111, 0b101'101'101'101'010,
    0b101'101'111'111'101, 0b101'101'010'101'101, 0b101'101'010'010'010, 0b111'001'010'100'111,
};

std::uint16_t GlyphOf(char c) {
    if (c >= '0' && c <= '9') {
        return kGlyphs[c - '0'];
    }
    if (c >= 'A' && c <= 'Z') {
        return kGlyphs[10 + (c - 'A')];
    }
    return 0;
}

bool Inked(std::uint16_t glyph, int column, int row) {
    const int bit = (kGlyphHeight - 1 - row) * kGlyphWidth + (kGlyphWidth - 1 - column);
    return ((glyph >> bit) & 1) != 0;
}

}  // namespace

int TextWidth(std::string_view text, int scale) {
    return text.empty() ? 0 : (static_cast<int>(text.size()) * kAdvance - 1) * scale;
}

void DrawText(IndexPicture& picture, Point corner, std::string_view text, int scale,
              std::uint8_t index) {
    for (const char c : text) {
        const std::uint16_t glyph = GlyphOf(c);
        for (int row = 0; row < kGlyphHeight; ++row) {
            for (int column = 0; column < kGlyphWidth; ++column) {
                if (Inked(glyph, column, row)) {
                    FillRect(picture, {corner.x + column * scale, corner.y + row * scale}, scale,
                             scale, index);
                }
            }
        }
        corner.x += kAdvance * scale;
    }
}

void DrawLabel(IndexPicture& picture, Point corner, std::string_view text, int scale) {
    FillRect(picture, corner, TextWidth(text, scale) + 2 * scale, (kGlyphHeight + 2) * scale,
             ink::kPaper);
    DrawText(picture, {corner.x + scale, corner.y + scale}, text, scale, ink::kLettering);
}

}  // namespace drovana::samples
