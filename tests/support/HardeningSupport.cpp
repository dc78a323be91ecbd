#include "HardeningSupport.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "ShpBuilder.h"
#include "TestFiles.h"

namespace drovana::test {

namespace fs = std::filesystem;

namespace {

std::string Why(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

std::string EntryState(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return Why("lstat");
    }
    switch (info.st_mode & S_IFMT) {
        case S_IFREG:
            if (::access(path.c_str(), R_OK) != 0) {
                return "unreadable file: " + std::to_string(info.st_size) + " bytes";
            }
            return FileState(ReadBytes(path));
        case S_IFDIR: {
            std::string text = "folder:";
            for (const auto& [name, state] : StateOf(path)) {
                text += " " + name + "=" + state;
            }
            return text;
        }
        case S_IFLNK:
            return "link:" + fs::read_symlink(path).string();
        case S_IFIFO:
            return "fifo";
        case S_IFCHR:
        case S_IFBLK:
            return "device:" + std::to_string(major(info.st_rdev)) + "," +
                   std::to_string(minor(info.st_rdev));
        default:
            return "other";
    }
}

}  // namespace

Bytes SmallMap(std::uint32_t seed) {
    return MakeMap(8, 6, MapStyle::kMixed, seed);
}

Folders::Folders() {
    fs::create_directory(shp);
    fs::create_directory(peg);
}

FolderState StateOf(const fs::path& folder) {
    FolderState state;
    for (const auto& entry : fs::directory_iterator(folder)) {
        state[entry.path().filename().string()] = EntryState(entry.path());
    }
    return state;
}

std::string FileState(const Bytes& bytes) {
    // Size and an FNV-1a digest: exact enough, and short to print.
    std::uint64_t digest = 14695981039346656037ull;
    for (const std::uint8_t byte : bytes) {
        digest = (digest ^ byte) * 1099511628211ull;
    }
    char text[64];
    std::snprintf(text, sizeof text, "file: %zu bytes, digest %016llx", bytes.size(),
                  static_cast<unsigned long long>(digest));
    return text;
}

std::vector<std::string> TemporaryNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(".s16-", 0) == 0) {
            names.push_back(name);
        }
    }
    return names;
}

std::string EnterPrivateMountNamespace() {
    if (::unshare(CLONE_NEWNS) != 0) {
        return Why("unshare(CLONE_NEWNS)");
    }
    // Without this, mounts made here would show in the parent namespace too.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return Why("mount --make-rprivate /");
    }
    return {};
}

std::string MountTmpfs(const fs::path& folder, const std::string& size) {
    const std::string options = "size=" + size;
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        return Why("mount tmpfs");
    }
    return {};
}

std::string BindReadOnly(const fs::path& folder) {
    if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        return Why("mount --bind");
    }
    if (::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        return Why("mount -o remount,bind,ro");
    }
    return {};
}

std::string DropDacOverride() {
    __user_cap_header_struct header{};
    header.version = _LINUX_CAPABILITY_VERSION_3;
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0) {
        return Why("capget");
    }
    for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
        const auto mask = static_cast<__u32>(CAP_TO_MASK(cap));
        data[CAP_TO_INDEX(cap)].effective &= ~mask;
        data[CAP_TO_INDEX(cap)].permitted &= ~mask;
        data[CAP_TO_INDEX(cap)].inheritable &= ~mask;
    }
    if (::syscall(SYS_capset, &header, data) != 0) {
        return Why("capset");
    }
    return {};
}

std::string SetImmutable(const fs::path& path, bool immutable) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return Why("open " + path.string());
    }
    int flags = 0;
    std::string why;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
        why = Why("chattr (get flags)");
    } else {
        flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0) {
            why = Why(immutable ? "chattr +i" : "chattr -i");
        }
    }
    ::close(fd);
    return why;
}

AccessGuard::~AccessGuard() {
    SetImmutable(path_, false);
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
}

}  // namespace drovana::test
