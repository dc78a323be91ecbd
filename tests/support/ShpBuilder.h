#pragma once

#include <cstdint>
#include <vector>

#include "ShpFormat.h"

// Builds SHP pictures byte by byte, so that every test input is made here.
namespace drovana::test {

// The header fields a picture is built with, in the core's own layout.
using ShpImageFields = ShpImageHeader;

class ShpBuilder {
public:
    ShpBuilder& Image(const ShpImageFields& fields);
    // The four bytes at offset 4, which reappear at the start of the S16.
    ShpBuilder& CopiedBytes(std::uint32_t value);
    // Bytes placed between the lead-in and the image header.
    ShpBuilder& Padding(std::size_t bytes, std::uint8_t value = 0xEE);
    // Overrides the header offset written at byte 8.
    ShpBuilder& HeaderOffset(std::int32_t offset);

    ShpBuilder& Run(int pixels, std::uint8_t index);                // code 2..254
    ShpBuilder& Skip(std::uint8_t pixels);                          // code 1
    ShpBuilder& Literal(const std::vector<std::uint8_t>& indices);  // code 3..255
    ShpBuilder& EndRow();                                           // code 0
    ShpBuilder& Raw(const std::vector<std::uint8_t>& bytes);

    std::vector<std::uint8_t> Build() const;

private:
    ShpImageFields fields_;
    std::uint32_t copied_ = 0x04030201;
    std::size_t padding_ = 0;
    std::uint8_t paddingValue_ = 0;
    bool customOffset_ = false;
    std::int32_t headerOffset_ = 0;
    std::vector<std::uint8_t> codes_;
};

enum class MapStyle { kLongRuns, kLiterals, kMixed };

// A picture of `width` x `height` pixels whose rows are made of runs, literal
// pixels and skips in the proportions of `style`; the same seed gives the
// same bytes.
std::vector<std::uint8_t> MakeMap(int width, int height, MapStyle style, std::uint32_t seed = 1);

// A shapefile's start, file code 9994 big-endian, over headers that would
// otherwise pass for a map's: no map reader may take it.
std::vector<std::uint8_t> ShapefileBytes();

}  // namespace drovana::test
