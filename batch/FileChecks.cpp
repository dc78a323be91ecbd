#include "FileChecks.h"

#include <filesystem>
#include <system_error>

#include "PathParts.h"

#ifdef _WIN32
#include "WindowsApi.h"
#endif

namespace fs = std::filesystem;

namespace drovana {

namespace {

// Empty path when the executable cannot be located.
fs::path ExecutablePath() {
#ifdef _WIN32
    // Long enough for any path Windows accepts, so truncation means failure.
    std::wstring buffer(32768, L'\0');
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0 || length >= size) {
        return {};
    }
    buffer.resize(length);
    return fs::path(buffer);
#else
    std::error_code error;
    fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : path;
#endif
}

std::string CurrentFolder() {
    std::error_code error;
    const fs::path current = fs::current_path(error);
    if (error || current.empty()) {
        return std::string{'.', kPathSeparator};
    }
    return WithTrailingSeparator(TextOf(current));
}

}  // namespace

bool FileExists(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    // exists() follows links, so a dangling one reports false like access() does.
    std::error_code error;
    return fs::exists(PathOf(path), error) && !error;
}

std::string GetProgramFolder() {
    const fs::path executable = ExecutablePath();
    if (executable.empty()) {
        return CurrentFolder();
    }
    return GetPathPart(TextOf(executable), kPathFolder);
}

}  // namespace drovana
