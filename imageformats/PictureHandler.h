#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QSize>
#include <QtGlobal>
#include <utility>

#include "DeviceSource.h"
#include "PictureDecode.h"

// One image reader for both picture formats: `Format` names the format and
// gives the core's header check and decoder. Only random-access devices are
// read, since the SHP image header may lie anywhere in the file.
namespace drovana {

template <typename Format>
class PictureHandler final : public QImageIOHandler {
public:
    static bool CanRead(QIODevice* device) {
        if (!Readable(device)) {
            return false;
        }
        DeviceSource source(*device);
        typename Format::Picture picture;
        return Format::ReadHeader(source, picture) == PictureError::kNone;
    }

    bool canRead() const override {
        if (!CanRead(device())) {
            return false;
        }
        setFormat(Format::kName);
        return true;
    }

    bool read(QImage* image) override {
        if (!Readable(device())) {
            return Fail("only files and other random-access devices are read");
        }
        DeviceSource source(*device());
        typename Format::Picture picture;
        PictureError error = Format::ReadHeader(source, picture);
        if (error != PictureError::kNone) {
            return Fail(DescribePictureError(error));
        }
        QImage result;
        // Keeps to the reader's allocation limit.
        if (!allocateImage(QSize(picture.width, picture.height), QImage::Format_ARGB32, &result)) {
            return Fail("the picture is larger than the allocation limit");
        }
        error =
            Format::Decode(source, picture,
                           {reinterpret_cast<std::uint32_t*>(result.bits()),
                            result.bytesPerLine() / static_cast<qsizetype>(sizeof(std::uint32_t))});
        if (error != PictureError::kNone) {
            return Fail(DescribePictureError(error));
        }
        *image = std::move(result);
        return true;
    }

private:
    static bool Readable(QIODevice* device) {
        return device != nullptr && device->isReadable() && !device->isSequential();
    }

    static bool Fail(const char* reason) {
        qWarning("%s picture: %s", Format::kName, reason);
        return false;
    }
};

// The plugin's answers for one format key.
template <typename Format>
QImageIOPlugin::Capabilities PictureCapabilities(QIODevice* device, const QByteArray& format) {
    if (format == Format::kName) {
        return QImageIOPlugin::CanRead;
    }
    if (format.isEmpty() && PictureHandler<Format>::CanRead(device)) {
        return QImageIOPlugin::CanRead;
    }
    return {};
}

template <typename Format>
QImageIOHandler* CreatePictureHandler(QIODevice* device, const QByteArray& format) {
    auto* handler = new PictureHandler<Format>;
    handler->setDevice(device);
    handler->setFormat(format);
    return handler;
}

}  // namespace drovana
