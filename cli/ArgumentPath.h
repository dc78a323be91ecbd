#pragma once

#include <filesystem>
#include <string>

// Arguments, and the names that messages print, are bytes: the system's own
// on POSIX, where a file name need not be valid UTF-8, and UTF-8 on Windows,
// where main() gets UTF-16 and converts it. These turn such bytes into a path
// and a path back into them.
namespace drovana {

inline std::filesystem::path PathFromArgument(const std::string& bytes) {
#ifdef _WIN32
    return std::filesystem::u8path(bytes);
#else
    return std::filesystem::path(bytes);
#endif
}

inline std::string TextOfPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return path.u8string();
#else
    return path.string();
#endif
}

}  // namespace drovana
