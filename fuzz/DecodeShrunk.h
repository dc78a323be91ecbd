#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ByteIo.h"
#include "PictureReduce.h"

namespace drovana {

// Decodes the picture again through the shrinking sink, by a factor drawn
// from the input's size, so that blocks are cut at both edges.
template <typename Picture, typename Decode>
PictureError DecodeShrunk(ByteSource& source, const Picture& picture, Decode decode,
                          std::size_t inputSize) {
    const std::int32_t factor = 2 + static_cast<std::int32_t>(inputSize % 5);
    const std::int32_t width = ReducedLength(picture.width, factor);
    std::vector<std::uint32_t> reduced(
        static_cast<std::size_t>(width) *
        static_cast<std::size_t>(ReducedLength(picture.height, factor)));
    ReducingSink shrinking(picture.width, picture.height, factor, {reduced.data(), width});
    return decode(source, picture, shrinking);
}

}  // namespace drovana
