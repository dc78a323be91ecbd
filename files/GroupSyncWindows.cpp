#include "FileIo.h"

// Syncing a group of new files at once. Windows flushes a file at a time;
// flushing the group before any is renamed still lets the disk take them
// together, and the renames after them wait for none.
namespace drovana {

std::size_t AtomicFileSink::SyncGroup(AtomicFileSink* const* sinks, std::size_t count) {
    std::size_t failed = 0;
    for (std::size_t i = 0; i < count; ++i) {
        failed += sinks[i]->Sync() ? 0 : 1;
    }
    return failed;
}

}  // namespace drovana
