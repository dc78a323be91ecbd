#pragma once

#include <QIcon>

namespace drovana {

// Icon 128, the application's and the dialog's icon, in every size drawn.
QIcon LoadAppIcon();

}  // namespace drovana
