#include "PathParts.h"

#include <algorithm>
#include <cstdio>

namespace drovana {

namespace {

// How many bytes of a control character start at `at`: C0 and DEL, and the
// C1 characters as UTF-8 writes them (C2 80 to C2 9F); 0 for anything else.
std::size_t ControlLength(const std::string& text, std::size_t at) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (c < 0x20 || c == 0x7F) {
        return 1;
    }
    const bool c1 = c == 0xC2 && at + 1 < text.size() &&
                    (static_cast<unsigned char>(text[at + 1]) & 0xE0) == 0x80;
    return c1 ? 2 : 0;
}

bool HasControl(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (ControlLength(text, i) > 0) {
            return true;
        }
    }
    return false;
}

// One byte inside $'...': a letter escape where there is one, else octal.
std::string Escaped(unsigned char c) {
    if (c >= '\a' && c <= '\r') {
        return {'\\', "abtnvfr"[c - '\a']};
    }
    char octal[5];
    std::snprintf(octal, sizeof octal, "\\%03o", c);
    return octal;
}

// Builds shell-quoted text piece by piece, closing and opening quotes as the
// kind of piece changes: plain text in '...', escapes in $'...', and a
// single quote of the text bare, as \'.
class ShellQuoter {
public:
    enum Kind { kBare, kPlain, kEscaped };

    void Add(Kind kind, const std::string& piece) {
        Switch(kind);
        out_ += piece;
    }

    std::string Finish() {
        Switch(kBare);
        return out_;
    }

private:
    void Switch(Kind kind) {
        if (kind == open_) {
            return;
        }
        if (open_ != kBare) {
            out_ += '\'';
        }
        if (kind != kBare) {
            out_ += kind == kEscaped ? "$'" : "'";
        }
        open_ = kind;
    }

    Kind open_ = kBare;
    std::string out_;
};

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

std::string QuotedName(const std::string& given) {
#ifdef _WIN32
    // Shown the way the system writes paths, whichever slash was typed.
    std::string text = given;
    std::replace(text.begin(), text.end(), '/', '\\');
#else
    const std::string& text = given;
#endif
    if (!HasControl(text)) {
        return text;
    }
    ShellQuoter quoter;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t control = ControlLength(text, i);
        for (std::size_t k = 0; k < control; ++k) {
            quoter.Add(ShellQuoter::kEscaped, Escaped(static_cast<unsigned char>(text[i + k])));
        }
        if (control == 0 && text[i] == '\'') {
            quoter.Add(ShellQuoter::kBare, "\\'");
        } else if (control == 0) {
            quoter.Add(ShellQuoter::kPlain, std::string(1, text[i]));
        }
        i += control > 0 ? control : 1;
    }
    return quoter.Finish();
}

std::string QuotedPath(const std::filesystem::path& path) {
    return QuotedName(TextOf(path));
}

bool IsPathSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

}  // namespace drovana
