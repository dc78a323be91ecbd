// Qt image format plugin "shp": reads the first image of a picture through
// the core's decoder.
#include "PictureHandler.h"

namespace drovana {
namespace {

struct Format {
    using Picture = ShpPicture;
    static constexpr const char* kName = "shp";
    static PictureError ReadHeader(ByteSource& source, Picture& picture) {
        return ReadShpPicture(source, picture);
    }
    static PictureError Decode(ByteSource& source, const Picture& picture, RowSink& sink) {
        return DecodeShpPicture(source, picture, sink);
    }
};

}  // namespace

class ShpPlugin final : public PicturePlugin<Format> {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "shp.json")
};

}  // namespace drovana

#include "ShpPlugin.moc"
