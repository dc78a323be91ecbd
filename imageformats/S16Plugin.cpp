// Qt image format plugin "s16": reads the first image of a picture through
// the core's decoder.
#include "PictureFormats.h"
#include "PictureHandler.h"

namespace drovana {

class S16Plugin final : public PicturePlugin<S16Format> {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "s16.json")
};

}  // namespace drovana

#include "S16Plugin.moc"
