#include "FileKind.h"

#include <QFileDevice>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace drovana {

bool IsOpenNonRegularFile(const QIODevice& device) {
#ifndef _WIN32
    const auto* file = qobject_cast<const QFileDevice*>(&device);
    struct stat status {};
    return file != nullptr && file->handle() >= 0 && ::fstat(file->handle(), &status) == 0 &&
           !S_ISREG(status.st_mode);
#else
    (void)device;
    return false;
#endif
}

}  // namespace drovana
