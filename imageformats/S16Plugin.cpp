// Qt image format plugin "s16": reads the first image of a picture through
// the core's decoder.
#include <QImageIOPlugin>

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

class S16Plugin final : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "s16.json")

public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override {
        return PictureCapabilities<Format>(device, format);
    }

    QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override {
        return CreatePictureHandler<Format>(device, format);
    }
};

}  // namespace drovana

#include "S16Plugin.moc"
