#pragma once

#include "ByteIo.h"
#include "PictureDecode.h"

// The two picture formats as the image reader takes them: a name, the core's
// header check and its decoder.
namespace drovana {

struct ShpFormat {
    using Picture = ShpPicture;
    static constexpr const char* kName = "shp";
    static PictureError ReadHeader(ByteSource& source, Picture& picture) {
        return ReadShpPicture(source, picture);
    }
    static PictureError Decode(ByteSource& source, const Picture& picture, RowSink& sink) {
        return DecodeShpPicture(source, picture, sink);
    }
};

struct S16Format {
    using Picture = S16Picture;
    static constexpr const char* kName = "s16";
    static PictureError ReadHeader(ByteSource& source, Picture& picture) {
        return ReadS16Picture(source, picture);
    }
    static PictureError Decode(ByteSource& source, const Picture& picture, RowSink& sink) {
        return DecodeS16Picture(source, picture, sink);
    }
};

}  // namespace drovana
