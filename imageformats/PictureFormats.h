#pragma once

#include "ByteIo.h"
#include "FormatError.h"
#include "PictureDecode.h"
#include "ShpFormat.h"

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
    // Why the header was refused, in the words a conversion of the map
    // gives, so that the preview, the plugin and the list say the same.
    static const char* Refusal(ByteSource& source, PictureError error) {
        ShpLayout layout;
        const FormatError format = ReadShpLayout(source, kMaxShpRows, layout);
        return format != FormatError::kNone ? DescribeFormatError(format)
                                            : DescribePictureError(error);
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
    static const char* Refusal(ByteSource&, PictureError error) {
        return DescribePictureError(error);
    }
};

}  // namespace drovana
