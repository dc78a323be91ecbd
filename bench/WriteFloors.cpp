#include "WriteFloors.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace drovana::bench {
namespace {

namespace fs = std::filesystem;

// As many files as the batch engine syncs together.
constexpr std::size_t kGroupFiles = 64;

enum class Way { kNone, kEach, kDeferred, kSyncfs };

struct Pending {
    int fd;
    fs::path name;
};

// Writes `size` bytes into a new unnamed file in `folder`; unless `none`,
// starting its writeback as it goes, as the converter does. -1 on failure.
int WriteUnnamed(int folder, std::uint64_t size, Way way) {
    static const std::vector<char> buffer(256 * 1024, 0x5A);
    const int fd = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    for (std::uint64_t done = 0; fd >= 0 && done < size;) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(size - done, buffer.size()));
        if (::write(fd, buffer.data(), n) != static_cast<ssize_t>(n)) {
            ::close(fd);
            return -1;
        }
        if (way != Way::kNone) {
            ::sync_file_range(fd, static_cast<off_t>(done), static_cast<off_t>(n),
                              SYNC_FILE_RANGE_WRITE);
        }
        done += n;
    }
    return fd;
}

bool Name(int folder, const Pending& file) {
    const std::string self = "/proc/self/fd/" + std::to_string(file.fd);
    const bool linked =
        ::linkat(AT_FDCWD, self.c_str(), folder, file.name.c_str(), AT_SYMLINK_FOLLOW) == 0;
    return ::close(file.fd) == 0 && linked;
}

bool FinishGroup(Way way, int folder, std::vector<Pending>& group) {
    bool ok = true;
    if (way == Way::kSyncfs && !group.empty()) {
        ok = ::syncfs(group.front().fd) == 0;
    }
    for (const Pending& file : group) {
        ok = (way != Way::kDeferred || ::fdatasync(file.fd) == 0) && ok;
    }
    for (const Pending& file : group) {
        ok = Name(folder, file) && ok;
    }
    group.clear();
    return ok;
}

bool ParseWay(const std::string& text, Way& way) {
    const std::pair<const char*, Way> ways[] = {{"none", Way::kNone},
                                                {"each", Way::kEach},
                                                {"deferred", Way::kDeferred},
                                                {"syncfs", Way::kSyncfs}};
    for (const auto& [name, value] : ways) {
        if (text == name) {
            way = value;
            return true;
        }
    }
    return false;
}

}  // namespace

int WriteFloor(const std::string& wayName, const fs::path& reference, const fs::path& out) {
    Way way = Way::kNone;
    if (!ParseWay(wayName, way)) {
        return 2;
    }
    const int folder = ::open(out.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    bool ok = folder >= 0;
    std::vector<Pending> group;
    for (const auto& entry : fs::directory_iterator(reference)) {
        const int fd = WriteUnnamed(folder, entry.file_size(), way);
        ok = fd >= 0 && ok;
        if (fd < 0) {
            continue;
        }
        ok = (way != Way::kEach || ::fdatasync(fd) == 0) && ok;
        group.push_back({fd, entry.path().filename()});
        const std::size_t limit = way == Way::kDeferred || way == Way::kSyncfs ? kGroupFiles : 1;
        if (group.size() >= limit) {
            ok = FinishGroup(way, folder, group) && ok;
        }
    }
    ok = FinishGroup(way, folder, group) && ok;
    ok = (way == Way::kNone || ::fsync(folder) == 0) && ok;
    ::close(folder);
    return ok ? 0 : 1;
}

}  // namespace drovana::bench
