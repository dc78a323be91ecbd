#include "ShpBuilder.h"

#include <algorithm>
#include <random>
#include <stdexcept>

namespace drovana::test {
namespace {

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

constexpr std::size_t kLeadIn = 12;

}  // namespace

ShpBuilder& ShpBuilder::Image(const ShpImageFields& fields) {
    fields_ = fields;
    return *this;
}

ShpBuilder& ShpBuilder::CopiedBytes(std::uint32_t value) {
    copied_ = value;
    return *this;
}

ShpBuilder& ShpBuilder::Padding(std::size_t bytes, std::uint8_t value) {
    padding_ = bytes;
    paddingValue_ = value;
    return *this;
}

ShpBuilder& ShpBuilder::HeaderOffset(std::int32_t offset) {
    customOffset_ = true;
    headerOffset_ = offset;
    return *this;
}

ShpBuilder& ShpBuilder::Run(int pixels, std::uint8_t index) {
    if (pixels < 1 || pixels > 127) {
        throw std::invalid_argument("a run holds 1 to 127 pixels");
    }
    codes_.push_back(static_cast<std::uint8_t>(2 * pixels));
    codes_.push_back(index);
    return *this;
}

ShpBuilder& ShpBuilder::Skip(std::uint8_t pixels) {
    codes_.push_back(1);
    codes_.push_back(pixels);
    return *this;
}

ShpBuilder& ShpBuilder::Literal(const std::vector<std::uint8_t>& indices) {
    if (indices.empty() || indices.size() > 127) {
        throw std::invalid_argument("a literal holds 1 to 127 pixels");
    }
    codes_.push_back(static_cast<std::uint8_t>(2 * indices.size() + 1));
    codes_.insert(codes_.end(), indices.begin(), indices.end());
    return *this;
}

ShpBuilder& ShpBuilder::EndRow() {
    codes_.push_back(0);
    return *this;
}

ShpBuilder& ShpBuilder::Raw(const std::vector<std::uint8_t>& bytes) {
    codes_.insert(codes_.end(), bytes.begin(), bytes.end());
    return *this;
}

std::vector<std::uint8_t> ShpBuilder::Build() const {
    std::vector<std::uint8_t> out;
    PutLe(out, 0x31474850, 4);  // offset 0 is never read; any marker will do
    PutLe(out, copied_, 4);
    const auto offset =
        customOffset_ ? headerOffset_ : static_cast<std::int32_t>(kLeadIn + padding_);
    PutLe(out, static_cast<std::uint32_t>(offset), 4);
    out.insert(out.end(), padding_, paddingValue_);
    PutLe(out, static_cast<std::uint16_t>(fields_.lastRow), 2);
    PutLe(out, static_cast<std::uint16_t>(fields_.lastColumn), 2);
    PutLe(out, 0xAAAAAAAA, 4);
    PutLe(out, static_cast<std::uint32_t>(fields_.xStart), 4);
    PutLe(out, static_cast<std::uint32_t>(fields_.yStart), 4);
    PutLe(out, 0xBBBBBBBB, 4);
    PutLe(out, static_cast<std::uint32_t>(fields_.yEnd), 4);
    out.insert(out.end(), codes_.begin(), codes_.end());
    return out;
}

std::vector<std::uint8_t> MakeMap(int width, int height, MapStyle style, std::uint32_t seed) {
    std::mt19937 random(seed);
    auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    // Percent of segments that are runs and skips; the rest are literals.
    const int runShare = style == MapStyle::kLongRuns ? 90 : style == MapStyle::kLiterals ? 2 : 55;
    const int skipShare = style == MapStyle::kLiterals ? 1 : 10;

    ShpBuilder builder;
    builder.Image({static_cast<std::int16_t>(height - 1), static_cast<std::int16_t>(width - 1), 0,
                   0, height - 1});
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width;) {
            const int left = width - x;
            const int kind = below(100);
            if (kind < skipShare) {
                const int n = std::min(left, 1 + below(style == MapStyle::kLongRuns ? 255 : 40));
                builder.Skip(static_cast<std::uint8_t>(n));
                x += n;
            } else if (kind < skipShare + runShare) {
                const int n =
                    std::min(left, style == MapStyle::kLongRuns ? 60 + below(68) : 2 + below(20));
                builder.Run(n, static_cast<std::uint8_t>(below(256)));
                x += n;
            } else {
                std::vector<std::uint8_t> pixels(static_cast<std::size_t>(
                    std::min(left, style == MapStyle::kLiterals ? 127 : 1 + below(12))));
                for (auto& p : pixels) {
                    p = static_cast<std::uint8_t>(below(256));
                }
                builder.Literal(pixels);
                x += static_cast<int>(pixels.size());
            }
        }
        builder.EndRow();
    }
    return builder.Build();
}

std::vector<std::uint8_t> ShapefileBytes() {
    std::vector<std::uint8_t> bytes = ShpBuilder().HeaderOffset(0).Image({0, 3, 0, 0, 0}).Build();
    const std::uint8_t fileCode[] = {0x00, 0x00, 0x27, 0x0A};
    std::copy(std::begin(fileCode), std::end(fileCode), bytes.begin());
    return bytes;
}

}  // namespace drovana::test
