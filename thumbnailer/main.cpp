// drovana-thumbnailer -s SIZE INPUT OUTPUT: the desktop's thumbnailer calling
// convention. Reads any picture Qt has a plugin for, ours included, and writes
// a PNG that fits SIZE x SIZE.
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QSize>
#include <QStringList>
#include <QUrl>
#include <csignal>
#include <cstdio>

#include "InputFile.h"

namespace {

struct Request {
    int size = 0;
    QString input;
    QString output;
};

// File managers pass either a path or a file:// URI for %i.
QString LocalPath(const QString& input) {
    if (input.startsWith(QLatin1String("file:"))) {
        return QUrl(input).toLocalFile();
    }
    return input;
}

bool Parse(const QStringList& arguments, Request& request) {
    if (arguments.size() != 5 || arguments[1] != QLatin1String("-s")) {
        return false;
    }
    bool number = false;
    request.size = arguments[2].toInt(&number);
    request.input = LocalPath(arguments[3]);
    request.output = arguments[4];
    return number && request.size > 0 && !request.input.isEmpty();
}

// Qt's own warnings would add lines of their own; the last one names the
// cause, so it goes into the single line instead.
QString lastWarning;

void KeepLastWarning(QtMsgType, const QMessageLogContext&, const QString& message) {
    lastWarning = message;
}

int Fail(const QString& message) {
    std::fprintf(stderr, "drovana-thumbnailer: %s\n", qUtf8Printable(message));
    return 1;
}

bool Fits(const QSize& picture, int size) {
    return picture.width() <= size && picture.height() <= size;
}

// Shrinks to fit, never enlarges: a small picture stays sharp. Where the
// reader knows the size first, it shrinks while it decodes, which spares
// holding a large picture whole.
QImage ReadFitting(QImageReader& reader, int size) {
    const QSize picture = reader.size();
    if (picture.isValid() && !Fits(picture, size)) {
        reader.setScaledSize(picture.scaled(size, size, Qt::KeepAspectRatio).expandedTo({1, 1}));
    }
    const QImage image = reader.read();
    if (image.isNull() || Fits(image.size(), size)) {
        return image;
    }
    return image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef SIGXFSZ
    // A thumbnail over a file size limit is a failed write, not a killed worker.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    qInstallMessageHandler(KeepLastWarning);
    QCoreApplication app(argc, argv);
    Request request;
    if (!Parse(QCoreApplication::arguments(), request)) {
        return Fail(QStringLiteral("usage: drovana-thumbnailer -s SIZE INPUT OUTPUT"));
    }
    QFile file;
    const QString refused = drovana::OpenInputFile(request.input, file);
    if (!refused.isEmpty()) {
        return Fail(request.input + QStringLiteral(": ") + refused);
    }
    QImageReader reader(&file);
    QImage image = ReadFitting(reader, request.size);
    QString cause = reader.errorString();
    // No plugin knows a broken picture by its bytes; named as one of ours,
    // it is read as such, so that our reader says what is wrong with it.
    if (image.isNull() && reader.error() == QImageReader::UnsupportedFormatError) {
        const QByteArray suffix = QFileInfo(request.input).suffix().toLower().toLatin1();
        if ((suffix == "shp" || suffix == "s16") && file.seek(0)) {
            QImageReader named(&file, suffix);
            image = ReadFitting(named, request.size);
            cause = named.errorString();
        }
    }
    if (image.isNull()) {
        return Fail(request.input + QStringLiteral(": ") +
                    (lastWarning.isEmpty() ? cause : lastWarning));
    }
    if (!image.save(request.output, "PNG")) {
        return Fail(QStringLiteral("cannot write ") + request.output);
    }
    return 0;
}
