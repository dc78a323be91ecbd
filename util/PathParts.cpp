#include "PathParts.h"

namespace drovana {

namespace {

#ifdef _WIN32
// "C:" in front of everything else names the drive.
std::string::size_type DriveLength(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' ? 2 : 0;
}
#else
// Outside Windows a colon is an ordinary file name character.
std::string::size_type DriveLength(const std::string&) {
    return 0;
}
#endif

}  // namespace

void CPathParts::Split(const std::string& path) {
    const std::string::size_type driveEnd = DriveLength(path);
    m_drive = path.substr(0, driveEnd);

    // The directory runs up to and including the last separator after the drive.
    std::string::size_type nameStart = driveEnd;
    for (std::string::size_type i = path.size(); i > driveEnd; --i) {
        if (IsPathSeparator(path[i - 1])) {
            nameStart = i;
            break;
        }
    }
    m_directory = path.substr(driveEnd, nameStart - driveEnd);

    const std::string name = path.substr(nameStart);
    const std::string::size_type dot = name.rfind('.');
    m_title = name.substr(0, dot);
    m_extension = dot == std::string::npos ? std::string() : name.substr(dot);
}

const std::string& CPathParts::Compose(int part) {
    switch (part) {
        case kPathFolder:
            m_result = m_drive + m_directory;
            break;
        case kPathTitle:
            m_result = m_title;
            break;
        case kPathExtension:
            m_result = m_extension;
            break;
        case kPathFileName:
            m_result = m_title + m_extension;
            break;
        case kPathWithoutExtension:
            m_result = m_drive + m_directory + m_title;
            break;
        default:
            m_result = m_drive + m_directory + m_title + m_extension;
            break;
    }
    return m_result;
}

std::string GetPathPart(const std::string& path, int part) {
    CPathParts parts(path);
    return parts.Compose(part);
}

void EnsureTrailingSeparator(std::string& folder) {
    if (folder.empty() || !IsPathSeparator(folder.back())) {
        folder += kPathSeparator;
    }
}

std::string WithTrailingSeparator(std::string folder) {
    EnsureTrailingSeparator(folder);
    return folder;
}

std::filesystem::path PathOf(const std::string& text) {
#ifdef _WIN32
    return std::filesystem::u8path(text);
#else
    return std::filesystem::path(text);
#endif
}

std::string TextOf(const std::filesystem::path& path) {
#ifdef _WIN32
    return path.u8string();
#else
    return path.string();
#endif
}

bool IsPathSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

}  // namespace drovana
