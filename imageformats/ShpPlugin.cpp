// Qt image format plugin "shp": reads the first image of a picture through
// the core's decoder.
#include <QImageIOPlugin>

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

class ShpPlugin final : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "shp.json")

public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override {
        return PictureCapabilities<Format>(device, format);
    }

    QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override {
        return CreatePictureHandler<Format>(device, format);
    }
};

}  // namespace drovana

#include "ShpPlugin.moc"
