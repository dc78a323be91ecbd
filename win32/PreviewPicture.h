#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A picture as the preview shows it, read through the core's decoder the way
// the Qt preview reads it, with the same limits and captions.
namespace drovana {

struct PreviewPicture {
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, shownWidth x shownHeight
    std::int32_t shownWidth = 0;
    std::int32_t shownHeight = 0;
    std::int32_t width = 0;  // of the picture itself
    std::int32_t height = 0;
    std::string reason;  // empty when the pixels hold the picture
};

// Why a picture is refused whose whole 32-bit image would pass the 256 MiB
// that image readers allow by default.
inline constexpr char kOverAllocationLimit[] = "the picture is larger than the allocation limit";

// Reads an SHP map or an S16 picture, shrunk by a whole factor while it is
// decoded when it is larger than `roomWidth` x `roomHeight`.
PreviewPicture LoadShpPreview(const std::filesystem::path& path, std::int32_t roomWidth,
                              std::int32_t roomHeight);
PreviewPicture LoadS16Preview(const std::filesystem::path& path, std::int32_t roomWidth,
                              std::int32_t roomHeight);

// The caption over a picture: "MAP01.SHP: 640 x 480", or the name and why
// there is no picture.
std::string PreviewCaption(const std::filesystem::path& path, const PreviewPicture& picture);

// Why there is no S16 picture to show.
inline constexpr char kNoS16[] = "no S16 yet";

}  // namespace drovana
