#include "FileKind.h"

#include <QFileDevice>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace drovana {

const char* RefusedFileReason(const QIODevice& device) {
#ifndef _WIN32
    const auto* file = qobject_cast<const QFileDevice*>(&device);
    struct stat status {};
    if (file == nullptr || file->handle() < 0 || ::fstat(file->handle(), &status) != 0) {
        return nullptr;
    }
    if (!S_ISREG(status.st_mode)) {
        return "not a regular file";
    }
    return status.st_size == 0 ? "empty file" : nullptr;
#else
    (void)device;
    return nullptr;
#endif
}

}  // namespace drovana
