#include "AppIcon.h"

#include <QString>

namespace drovana {

QIcon LoadAppIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 256}) {
        icon.addFile(QStringLiteral(":/icons/drovana-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace drovana
