// Qt image format plugin "s16": reads the first image of a picture through
// the core's decoder.
#include "PictureHandler.h"

namespace drovana {
namespace {

struct Format {
    using Picture = S16Picture;
    static constexpr const char* kName = "s16";
    static PictureError ReadHeader(ByteSource& source, Picture& picture) {
        return ReadS16Picture(source, picture);
    }
    static PictureError Decode(ByteSource& source, const Picture& picture, RowSink& sink) {
        return DecodeS16Picture(source, picture, sink);
    }
};

}  // namespace

class S16Plugin final : public PicturePlugin<Format> {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "s16.json")
};

}  // namespace drovana

#include "S16Plugin.moc"
