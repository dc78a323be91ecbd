#include "PictureReduce.h"

#include <algorithm>

namespace drovana {

std::int32_t ReductionFactor(std::int32_t width, std::int32_t height, std::int32_t wantedWidth,
                             std::int32_t wantedHeight) {
    if (wantedWidth <= 0 || wantedHeight <= 0) {
        return 1;
    }
    return std::max(1, std::min(width / wantedWidth, height / wantedHeight));
}

std::int32_t ReducedLength(std::int32_t length, std::int32_t factor) {
    return length / factor + (length % factor != 0 ? 1 : 0);
}

ReducingSink::ReducingSink(std::int32_t width, std::int32_t height, std::int32_t factor,
                           PixelView out)
    : width_(width),
      height_(height),
      factor_(factor),
      out_(out),
      row_(static_cast<std::size_t>(width)),
      sums_(static_cast<std::size_t>(ReducedLength(width, factor))) {}

std::uint32_t* ReducingSink::Row(std::int32_t) {
    return row_.data();
}

void ReducingSink::RowDone(std::int32_t y) {
    Add();
    const std::int32_t blockRow = y % factor_;
    if (blockRow == factor_ - 1 || y == height_ - 1) {
        Emit(y / factor_, blockRow + 1);
    }
}

// Colours are weighted by alpha, so that transparent pixels lend the block
// none of their colour.
void ReducingSink::Add() {
    const std::uint32_t* pixel = row_.data();
    const std::uint32_t* const end = pixel + width_;
    for (Sum& sum : sums_) {
        const std::uint32_t* blockEnd = std::min(pixel + factor_, end);
        for (; pixel != blockEnd; ++pixel) {
            const std::uint32_t alpha = *pixel >> 24;
            if (alpha == 0) {
                continue;
            }
            sum.alpha += alpha;
            sum.red += (*pixel >> 16 & 0xFF) * alpha;
            sum.green += (*pixel >> 8 & 0xFF) * alpha;
            sum.blue += (*pixel & 0xFF) * alpha;
        }
    }
}

void ReducingSink::Emit(std::int32_t outY, std::int32_t blockRows) {
    std::uint32_t* out = out_.pixels + outY * out_.stride;
    for (std::size_t i = 0; i < sums_.size(); ++i) {
        Sum& sum = sums_[i];
        const std::int64_t blockColumns =
            std::min<std::int64_t>(factor_, width_ - static_cast<std::int64_t>(i) * factor_);
        const auto pixels = static_cast<std::uint64_t>(blockColumns * blockRows);
        const auto alpha = static_cast<std::uint32_t>((sum.alpha + pixels / 2) / pixels);
        const auto mean = [&](std::uint64_t weighted) {
            return static_cast<std::uint32_t>((weighted + sum.alpha / 2) / sum.alpha);
        };
        out[i] = alpha == 0
                     ? 0u
                     : alpha << 24 | mean(sum.red) << 16 | mean(sum.green) << 8 | mean(sum.blue);
        sum = Sum{};
    }
}

}  // namespace drovana
