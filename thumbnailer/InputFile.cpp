#include "InputFile.h"

#include "FileKind.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace drovana {

#ifndef _WIN32

// Opened without waiting: a FIFO would otherwise wait for a writer, and only a
// regular file is read at all. The descriptor stays non-blocking, so a /proc
// file that would wait for data fails to read instead.
QString OpenInputFile(const QString& path, QFile& file) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    file.setFileName(path);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
    if (IsOpenNonRegularFile(file)) {
        file.close();
        return QStringLiteral("not a regular file");
    }
    return {};
}

#else

QString OpenInputFile(const QString& path, QFile& file) {
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly) ? QString() : file.errorString();
}

#endif

}  // namespace drovana
