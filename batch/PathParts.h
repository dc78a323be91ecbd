#pragma once

#include <filesystem>
#include <string>

namespace drovana {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Which composition of a split path GetPathPart returns; any value outside
// 0..4 means the whole path.
enum PathPart : int {
    kPathFolder = 0,            // drive + directory
    kPathTitle = 1,             // file name without extension
    kPathExtension = 2,         // extension, dot included
    kPathFileName = 3,          // file name + extension
    kPathWithoutExtension = 4,  // drive + directory + file name
    kPathWhole = 5,
};

// One path split into its components. The extension starts at the last dot
// of the last component; a folder's dot never counts.
class CPathParts {
public:
    CPathParts() = default;
    explicit CPathParts(const std::string& path) { Split(path); }

    // Replaces every component, so nothing of an earlier split survives.
    void Split(const std::string& path);

    // Concatenates the components selected by part and keeps the text in Result().
    const std::string& Compose(int part);

    const std::string& Drive() const { return m_drive; }
    const std::string& Directory() const { return m_directory; }
    const std::string& Title() const { return m_title; }
    const std::string& Extension() const { return m_extension; }
    const std::string& Result() const { return m_result; }

private:
    std::string m_drive;
    std::string m_directory;
    std::string m_title;
    std::string m_extension;
    std::string m_result;
};

// The part of path selected by part (see PathPart); empty path gives empty text.
std::string GetPathPart(const std::string& path, int part);

// True for a character that separates folders: either slash on Windows.
bool IsPathSeparator(char c);

// Makes folder ready for a file name to be appended; empty becomes the lone separator.
void EnsureTrailingSeparator(std::string& folder);
std::string WithTrailingSeparator(std::string folder);

// Folder texts and names are the system's own bytes, UTF-8 where paths are
// wide (Windows): a path for such a text, and the text of a path. Never the
// path's narrow string there, which only holds names of one code page.
std::filesystem::path PathOf(const std::string& text);
std::string TextOf(const std::filesystem::path& path);

// A name or path as messages show it: as it is, unless it holds control
// characters, which could fake a line or move the cursor; then in shell
// quoting, as ls shows such names on a terminal: 'a'$'\n''b.shp'.
std::string QuotedName(const std::string& text);
std::string QuotedPath(const std::filesystem::path& path);

}  // namespace drovana
