#include "FileIo.h"

#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <vector>

// Syncing a group of new files at once.
namespace drovana {
namespace {

// File systems on a local disk whose sync of the whole file system writes
// and waits for every file's data: one call for a group then costs less than
// one per file, as the file system commits them together. Elsewhere (network
// and user-space file systems) only a file's own sync is sure to reach its
// storage.
bool SyncsWholeFileSystem(int fd) {
    constexpr long kLocal[] = {
        0xEF53,      // ext2, ext3, ext4
        0x58465342,  // XFS
        0x9123683E,  // Btrfs
        0xF2F52010,  // F2FS
    };
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0) {
        return false;
    }
    for (const long type : kLocal) {
        if (static_cast<long>(info.f_type) == type) {
            return true;
        }
    }
    return false;
}

// Below this many files, syncing each costs less than syncing the whole file
// system, which also writes what other programs left there.
constexpr std::size_t kFewestForWholeSync = 8;

}  // namespace

std::size_t AtomicFileSink::SyncGroup(AtomicFileSink* const* sinks, std::size_t count) {
    // The sinks by file system: a target reached through a link may be on
    // another one than the rest.
    std::map<dev_t, std::vector<AtomicFileSink*>> byDevice;
    for (std::size_t i = 0; i < count; ++i) {
        struct stat status {};
        ::fstat(sinks[i]->fd_, &status);
        byDevice[status.st_dev].push_back(sinks[i]);
    }
    std::size_t failed = 0;
    for (const auto& [device, group] : byDevice) {
        // A failed sync of the file system says only that some file there
        // failed, maybe not one of these: each file's own sync tells which.
        const int first = group.front()->fd_;
        if (group.size() >= kFewestForWholeSync && SyncsWholeFileSystem(first) &&
            ::syncfs(first) == 0) {
            continue;
        }
        for (AtomicFileSink* sink : group) {
            failed += sink->Sync() ? 0 : 1;
        }
    }
    return failed;
}

}  // namespace drovana
