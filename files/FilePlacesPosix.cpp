#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <optional>
#include <string>

#include "FilePlaces.h"

namespace drovana {
namespace {

namespace fs = std::filesystem;

// As many links in a row as the kernel follows.
constexpr int kMaxLinkHops = 40;

int DescriptorOf(const FilePlace& place) {
    return place.folder ? place.folder->Descriptor() : AT_FDCWD;
}

}  // namespace

// With guarded links, the file opened must be the one looked at: where the
// name was no link, it is opened without following one, so that a link
// swapped in meanwhile is not followed; where it was a link, the file it led
// to must be its owner's and the very file opened.
ConvertResult OpenSource(const fs::path& source, const ConvertOptions& options, FileSource& input) {
    const FilePlace place = SourcePlace(source, options);
    std::error_code error;
    bool notRegular = false;
    if (!options.guardLinks) {
        return input.Open(place, error, notRegular) ? ConvertResult{}
                                                    : SourceOpenFailure(notRegular, error);
    }
    const int folder = DescriptorOf(place);
    struct stat look {};
    if (::fstatat(folder, place.name.c_str(), &look, AT_SYMLINK_NOFOLLOW) != 0) {
        return {ConvertError::kCannotOpenSource, LastSystemError()};
    }
    const bool link = S_ISLNK(look.st_mode);
    struct stat checked = look;
    if (link) {
        if (::fstatat(folder, place.name.c_str(), &checked, 0) != 0) {
            return {ConvertError::kCannotOpenSource, LastSystemError()};
        }
        if (checked.st_uid != look.st_uid) {
            return {ConvertError::kForeignLink, {}};
        }
    }
    if (!input.Open(place, error, notRegular, link)) {
        const bool becameLink = !link && error == std::errc::too_many_symbolic_link_levels;
        return becameLink ? ConvertResult{ConvertError::kForeignLink, {}}
                          : SourceOpenFailure(notRegular, error);
    }
    if (!SameFile(checked, input.Status())) {
        return {ConvertError::kForeignLink, {}};
    }
    return {};
}

namespace {

// Moves `resolved` one step along the link it names: to the folder and name
// the link's text gives.
ConvertResult FollowLink(ResolvedTarget& resolved) {
    FilePlace& place = resolved.place;
    std::string text(static_cast<std::size_t>(PATH_MAX), '\0');
    const ssize_t length =
        ::readlinkat(place.folder->Descriptor(), place.name.c_str(), text.data(), text.size());
    if (length < 0) {
        return {ConvertError::kCannotCreateTarget, LastSystemError()};
    }
    text.resize(static_cast<std::size_t>(length));
    const fs::path next(text);
    if (next.has_parent_path()) {
        std::error_code error;
        auto below = place.folder->OpenBelow(next.parent_path(), error);
        if (!below) {
            return {ConvertError::kCannotCreateTarget, error};
        }
        place.folder = std::move(below);
        resolved.throughLinkedFolder = true;
    }
    place.name = LastPart(next);
    return {};
}

// A target the user may not write was made read-only on purpose: replacing
// it is refused, as opening it for writing would be. Root still may. Any
// other reason shows when the file is renamed into place.
ConvertResult CheckWritable(const FilePlace& place) {
    if (::faccessat(place.folder->Descriptor(), place.name.c_str(), W_OK,
                    AT_EACCESS | AT_SYMLINK_NOFOLLOW) != 0 &&
        errno == EACCES) {
        return {ConvertError::kCannotReplaceTarget, LastSystemError()};
    }
    return {};
}

}  // namespace

// With guarded links, the first link's owner must own the file.
ConvertResult ResolveTarget(const fs::path& target, const ConvertOptions& options,
                            ResolvedTarget& resolved) {
    const ConvertResult placed = PlaceTarget(target, options, resolved);
    if (!placed.Ok()) {
        return placed;
    }
    std::optional<uid_t> linkOwner;
    for (int hop = 0;; ++hop) {
        struct stat& status = resolved.status;
        if (::fstatat(resolved.place.folder->Descriptor(), resolved.place.name.c_str(), &status,
                      AT_SYMLINK_NOFOLLOW) != 0) {
            // Nothing to keep there. Any other reason than a missing name
            // (a name too long, say) shows when the file is renamed into
            // place. A link that points nowhere has no owner to match.
            const bool refused = linkOwner && options.guardLinks;
            return {refused ? ConvertError::kForeignLink : ConvertError::kNone, {}};
        }
        if (!S_ISLNK(status.st_mode)) {
            resolved.exists = true;
            if (!S_ISREG(status.st_mode)) {
                return {ConvertError::kTargetNotRegularFile, {}};
            }
            const bool refused = linkOwner && options.guardLinks && status.st_uid != *linkOwner;
            if (refused) {
                return {ConvertError::kForeignLink, {}};
            }
            return CheckWritable(resolved.place);
        }
        if (hop == kMaxLinkHops) {
            return {ConvertError::kCannotCreateTarget,
                    std::make_error_code(std::errc::too_many_symbolic_link_levels)};
        }
        linkOwner = linkOwner.value_or(status.st_uid);
        const ConvertResult step = FollowLink(resolved);
        if (!step.Ok()) {
            return step;
        }
    }
}

}  // namespace drovana
