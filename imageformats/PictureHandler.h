#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QSize>
#include <QVariant>
#include <QtGlobal>
#include <utility>

#include "DeviceSource.h"
#include "FileKind.h"
#include "PictureDecode.h"
#include "PictureFormats.h"
#include "PictureImage.h"

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
        typename Format::Picture picture;
        if (!Readable(device()) || Header(picture) != PictureError::kNone) {
            return false;
        }
        setFormat(Format::kName);
        return true;
    }

    bool read(QImage* image) override {
        if (const char* refused = device() != nullptr ? RefusedFileReason(*device()) : nullptr) {
            return Fail(refused);
        }
        if (!Readable(device())) {
            return Fail("only files and other random-access devices are read");
        }
        typename Format::Picture picture;
        const PictureError error = Header(picture);
        if (error != PictureError::kNone) {
            DeviceSource source(*device());
            return Fail(Format::Refusal(source, error));
        }
        const QSize wanted =
            scaledSize_.isEmpty() ? QSize(picture.width, picture.height) : scaledSize_;
        DeviceSource source(*device());
        QImage result;
        if (const char* reason = ReadPictureImage<Format>(source, picture, wanted, result)) {
            return Fail(reason);
        }
        *image = std::move(result);
        return true;
    }

    bool supportsOption(ImageOption option) const override {
        return option == Size || option == ScaledSize;
    }

    QVariant option(ImageOption option) const override {
        if (option != Size || !Readable(device())) {
            return {};
        }
        typename Format::Picture picture;
        if (Header(picture) != PictureError::kNone) {
            return {};
        }
        return QSize(picture.width, picture.height);
    }

    void setOption(ImageOption option, const QVariant& value) override {
        if (option == ScaledSize) {
            scaledSize_ = value.toSize();
        }
    }

private:
    static bool Readable(QIODevice* device) {
        return device != nullptr && device->isReadable() && !device->isSequential() &&
               RefusedFileReason(*device) == nullptr;
    }

    // Qt checks the device, asks for the size and then reads, each through
    // the handler: a header read and checked once serves them all while the
    // device stays the same.
    PictureError Header(typename Format::Picture& picture) const {
        if (headerDevice_ != device()) {
            headerDevice_ = nullptr;  // until header_ holds this device's header
            DeviceSource source(*device());
            const PictureError error = Format::ReadHeader(source, header_);
            if (error != PictureError::kNone) {
                return error;
            }
            headerDevice_ = device();
        }
        picture = header_;
        return PictureError::kNone;
    }

    static bool Fail(const char* reason) {
        qWarning("%s picture: %s", Format::kName, reason);
        return false;
    }

    QSize scaledSize_;
    mutable typename Format::Picture header_;
    mutable const QIODevice* headerDevice_ = nullptr;  // where header_ was read
};

// The plugin of one format. Each format's plugin class derives from it in a
// source file of its own, since moc and Q_PLUGIN_METADATA want one there.
template <typename Format>
class PicturePlugin : public QImageIOPlugin {
public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override {
        if (format == Format::kName) {
            return CanRead;
        }
        if (format.isEmpty() && PictureHandler<Format>::CanRead(device)) {
            return CanRead;
        }
        return {};
    }

    QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override {
        auto* handler = new PictureHandler<Format>;
        handler->setDevice(device);
        handler->setFormat(format);
        return handler;
    }
};

}  // namespace drovana
