#include "PictureImage.h"

#include <QImageIOHandler>
#include <QImageReader>
#include <utility>

#include "PictureReduce.h"

namespace drovana {
namespace {

// Qt offers its allocation check to image handlers only.
class LimitedAllocation : public QImageIOHandler {
public:
    using QImageIOHandler::allocateImage;
};

}  // namespace

bool FitsAllocationLimit(QSize size) {
    const qint64 limitBytes = qint64{QImageReader::allocationLimit()} << 20;
    const qint64 bytes = qint64{size.width()} * size.height() * 4;
    return limitBytes == 0 || bytes <= limitBytes;
}

const char* DecodeToImage(QSize whole, QSize wanted, const PictureDecoder& decode, QImage& image) {
    // Enlarging makes an image of its own, outside Qt's allocation check.
    if (!FitsAllocationLimit(wanted)) {
        return kOverAllocationLimit;
    }
    const std::int32_t factor =
        ReductionFactor(whole.width(), whole.height(), wanted.width(), wanted.height());
    QImage result;
    if (!LimitedAllocation::allocateImage(
            QSize(ReducedLength(whole.width(), factor), ReducedLength(whole.height(), factor)),
            QImage::Format_ARGB32, &result)) {
        return kOverAllocationLimit;
    }
    const PixelView view{reinterpret_cast<std::uint32_t*>(result.bits()),
                         result.bytesPerLine() / static_cast<qsizetype>(sizeof(std::uint32_t))};
    ViewSink wholeSink(view);
    ReducingSink reduced(whole.width(), whole.height(), factor, view);
    const PictureError error = decode(factor == 1 ? static_cast<RowSink&>(wholeSink) : reduced);
    if (error != PictureError::kNone) {
        return DescribePictureError(error);
    }
    if (result.size() != wanted) {
        result = result.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    image = std::move(result);
    return nullptr;
}

}  // namespace drovana
