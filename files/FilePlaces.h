#pragma once

#include <filesystem>

#include "ConvertError.h"
#include "ConvertOptions.h"
#include "FileIo.h"
#include "Folder.h"

// Where a conversion reads and writes: the source opened as the caller named
// it, and the target followed through any links to the file it replaces.
// Each platform has its own way of naming files inside folders.
namespace drovana {

// Where the source is read: inside options.sourceFolder when one is given,
// else the path as it stands.
FilePlace SourcePlace(const std::filesystem::path& source, const ConvertOptions& options);

// Opens the source, named inside options.sourceFolder when one is given.
ConvertResult OpenSource(const std::filesystem::path& source, const ConvertOptions& options,
                         FileSource& input);

// The file a conversion replaces or creates, after following any links.
struct ResolvedTarget {
    FilePlace place;
    bool throughLinkedFolder = false;  // a link led out of the named folder
    bool exists = false;
    FileStatus status{};
};

// The failure of a source that `FileSource::Open` refused.
ConvertResult SourceOpenFailure(bool notRegular, const std::error_code& error);

// Points `resolved` at the target's own name, inside options.targetFolder
// when one is given, else in the folder the path names, before any link is
// followed.
ConvertResult PlaceTarget(const std::filesystem::path& target, const ConvertOptions& options,
                          ResolvedTarget& resolved);

// Follows links from `target` (named inside options.targetFolder when one is
// given) to the file to replace, or to the name of the file to create.
ConvertResult ResolveTarget(const std::filesystem::path& target, const ConvertOptions& options,
                            ResolvedTarget& resolved);

// The last part of a path as a name inside its folder; "." for a path that
// names a folder ("peg/", ".."), which is no file to replace.
std::filesystem::path LastPart(const std::filesystem::path& path);

}  // namespace drovana
