#pragma once

#include <QIODevice>

namespace drovana {

// True for an open file that is not a regular file: a FIFO or a device that
// an application opened. Reading one may wait for ever, so it is refused.
bool IsOpenNonRegularFile(const QIODevice& device);

}  // namespace drovana
