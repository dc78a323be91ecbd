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
// regular file with bytes in it is read at all.
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
    if (const char* refused = RefusedFileReason(file)) {
        file.close();
        return QString::fromLatin1(refused);
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
