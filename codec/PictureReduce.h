#pragma once

#include <cstdint>
#include <vector>

#include "PictureDecode.h"

// Shrinks a picture by a whole factor while it is decoded, so that a small
// copy of a large picture never needs the large one in memory.
namespace drovana {

// The largest whole factor that keeps the picture at least `wanted` in both
// directions; 1 when it is no larger.
std::int32_t ReductionFactor(std::int32_t width, std::int32_t height, std::int32_t wantedWidth,
                             std::int32_t wantedHeight);

// A length divided by the factor, a partial block counting as one.
std::int32_t ReducedLength(std::int32_t length, std::int32_t factor);

// Each pixel out is the alpha-weighted average of a factor x factor block;
// blocks at the right and bottom edges may be smaller. `out` holds the
// reduced lengths of the picture's width and height.
class ReducingSink final : public RowSink {
public:
    ReducingSink(std::int32_t width, std::int32_t height, std::int32_t factor, PixelView out);

    std::uint32_t* Row(std::int32_t y) override;
    void RowDone(std::int32_t y) override;

private:
    struct Sum {
        std::uint64_t alpha = 0;
        std::uint64_t red = 0;
        std::uint64_t green = 0;
        std::uint64_t blue = 0;
    };

    void Add();
    void Emit(std::int32_t outY, std::int32_t blockRows);

    std::int32_t width_;
    std::int32_t height_;
    std::int32_t factor_;
    PixelView out_;
    std::vector<std::uint32_t> row_;
    std::vector<Sum> sums_;
};

}  // namespace drovana
