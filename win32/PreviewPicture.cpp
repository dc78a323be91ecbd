#include "PreviewPicture.h"

#include "FileIo.h"
#include "FilePlaces.h"
#include "PathParts.h"
#include "PictureDecode.h"
#include "PictureReduce.h"

namespace drovana {

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kAllocationLimitBytes = std::int64_t{256} << 20;

PreviewPicture Refused(std::string reason) {
    PreviewPicture picture;
    picture.reason = std::move(reason);
    return picture;
}

template <typename Picture, typename ReadHeader, typename Decode>
PreviewPicture Load(const fs::path& path, std::int32_t roomWidth, std::int32_t roomHeight,
                    ReadHeader readHeader, Decode decode) {
    FileSource source;
    const ConvertResult opened = OpenSource(path, ConvertOptions{}, source);
    if (!opened.Ok()) {
        return Refused(DescribeConvertResult(opened));
    }
    Picture header;
    if (const PictureError error = readHeader(source, header); error != PictureError::kNone) {
        return Refused(DescribePictureError(error));
    }
    // The preview stands for the picture at 1:1, which a viewer reading it
    // whole would refuse past the limit.
    if (std::int64_t{header.width} * header.height * 4 > kAllocationLimitBytes) {
        return Refused(kOverAllocationLimit);
    }
    const std::int32_t factor = ReductionFactor(header.width, header.height, roomWidth, roomHeight);
    PreviewPicture picture;
    picture.width = header.width;
    picture.height = header.height;
    picture.shownWidth = ReducedLength(header.width, factor);
    picture.shownHeight = ReducedLength(header.height, factor);
    picture.pixels.resize(static_cast<std::size_t>(picture.shownWidth) *
                          static_cast<std::size_t>(picture.shownHeight));
    const PixelView view{picture.pixels.data(), picture.shownWidth};
    ViewSink whole(view);
    ReducingSink reduced(header.width, header.height, factor, view);
    const PictureError error =
        decode(source, header, factor == 1 ? static_cast<RowSink&>(whole) : reduced);
    if (error != PictureError::kNone) {
        return Refused(DescribePictureError(error));
    }
    return picture;
}

}  // namespace

PreviewPicture LoadShpPreview(const fs::path& path, std::int32_t roomWidth,
                              std::int32_t roomHeight) {
    return Load<ShpPicture>(path, roomWidth, roomHeight, ReadShpPicture, DecodeShpPicture);
}

PreviewPicture LoadS16Preview(const fs::path& path, std::int32_t roomWidth,
                              std::int32_t roomHeight) {
    return Load<S16Picture>(path, roomWidth, roomHeight, ReadS16Picture, DecodeS16Picture);
}

std::string PreviewCaption(const fs::path& path, const PreviewPicture& picture) {
    const std::string name = QuotedName(TextOf(path.filename()));
    if (!picture.reason.empty()) {
        return name + ": " + picture.reason;
    }
    return name + ": " + std::to_string(picture.width) + " x " + std::to_string(picture.height);
}

}  // namespace drovana
