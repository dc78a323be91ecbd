#pragma once

#include <QIODevice>

namespace drovana {

// Why an open file must not be read, or nullptr when it may be. A FIFO or a
// device may wait for ever. Kernel files under /proc and /sys pass for
// regular files of no size, and reading some of them takes what they hold
// (/proc/kmsg, the kernel's log); no picture is empty, so those are refused
// as empty before a byte is read.
const char* RefusedFileReason(const QIODevice& device);

}  // namespace drovana
