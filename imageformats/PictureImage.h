#pragma once

#include <QImage>
#include <QSize>
#include <functional>

#include "ByteIo.h"
#include "PictureDecode.h"

// A picture decoded into a QImage, for the image plugins and the preview
// alike: both keep to QImageReader's allocation limit and shrink a large
// picture while it is decoded.
namespace drovana {

// Why a picture is refused whose image would pass the allocation limit.
inline constexpr char kOverAllocationLimit[] = "the picture is larger than the allocation limit";

// Whether a 32-bit image of `size` keeps to QImageReader's allocation limit.
bool FitsAllocationLimit(QSize size);

// Runs a format's decoder into the sink it is given.
using PictureDecoder = std::function<PictureError(RowSink&)>;

// Decodes a picture of `whole` size into `image` of exactly `wanted` size
// (ARGB32, not premultiplied): shrunk by a whole factor while decoding, the
// rest scaled. Returns why it failed, or nullptr.
const char* DecodeToImage(QSize whole, QSize wanted, const PictureDecoder& decode, QImage& image);

template <typename Format>
const char* ReadPictureImage(ByteSource& source, const typename Format::Picture& picture,
                             QSize wanted, QImage& image) {
    return DecodeToImage(
        QSize(picture.width, picture.height), wanted,
        [&](RowSink& sink) { return Format::Decode(source, picture, sink); }, image);
}

}  // namespace drovana
