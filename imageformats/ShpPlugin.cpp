// Qt image format plugin "shp": reads the first image of a picture through
// the core's decoder.
#include "PictureFormats.h"
#include "PictureHandler.h"

namespace drovana {

class ShpPlugin final : public PicturePlugin<ShpFormat> {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "shp.json")
};

}  // namespace drovana

#include "ShpPlugin.moc"
