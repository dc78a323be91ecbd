#include "ExtendedAttributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "Folder.h"

namespace drovana {
namespace {

constexpr char kAccessAcl[] = "system.posix_acl_access";

// The file's attributes, read through its descriptor or, for a descriptor
// that only names the file, through /proc.
class AttributeReader {
public:
    AttributeReader(int fd, bool isPath)
        : fd_(fd), path_(isPath ? "/proc/self/fd/" + std::to_string(fd) : std::string()) {}

    ssize_t List(char* names, std::size_t size) const {
        return path_.empty() ? ::flistxattr(fd_, names, size)
                             : ::listxattr(path_.c_str(), names, size);
    }

    ssize_t Get(const char* name, void* value, std::size_t size) const {
        return path_.empty() ? ::fgetxattr(fd_, name, value, size)
                             : ::getxattr(path_.c_str(), name, value, size);
    }

private:
    int fd_;
    std::string path_;
};

// Reads a list or value whose size may change between asking and reading.
template <typename Read>
bool ReadGrowing(std::vector<char>& bytes, Read read) {
    for (;;) {
        const ssize_t size = read(nullptr, 0);
        if (size <= 0) {
            // Asking with no room reports a size; nothing to read then.
            bytes.clear();
            return size == 0;
        }
        bytes.resize(static_cast<std::size_t>(size));
        const ssize_t got = read(bytes.data(), bytes.size());
        if (got >= 0) {
            bytes.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) {
            return false;
        }
    }
}

bool IsKept(const std::string& name) {
    return name == kAccessAcl || name.compare(0, 5, "user.") == 0;
}

}  // namespace

AttributeCopy CopyExtendedAttributes(int from, bool fromIsPath, int to) {
    const AttributeReader reader(from, fromIsPath);
    AttributeCopy copy;
    std::vector<char> names;
    if (!ReadGrowing(names,
                     [&](char* data, std::size_t size) { return reader.List(data, size); })) {
        // A file system without attributes has no list to keep.
        copy.aclUnknown = errno != ENOTSUP;
        return copy;
    }
    for (std::size_t at = 0; at < names.size(); at += std::strlen(names.data() + at) + 1) {
        const std::string name(names.data() + at);
        if (!IsKept(name)) {
            continue;
        }
        const bool acl = name == kAccessAcl;
        std::vector<char> value;
        const bool read = ReadGrowing(value, [&](char* data, std::size_t size) {
            return reader.Get(name.c_str(), data, size);
        });
        if (!read) {
            copy.aclUnknown = copy.aclUnknown || acl;
            continue;
        }
        errno = 0;
        if (::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0 && acl) {
            copy.error = LastSystemError();
            return copy;
        }
    }
    return copy;
}

}  // namespace drovana
