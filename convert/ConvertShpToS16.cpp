#include "ConvertShpToS16.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <optional>
#include <string>

#include "FileIo.h"
#include "ShpToS16.h"

namespace drovana {
namespace {

namespace fs = std::filesystem;

// As many links in a row as the kernel follows.
constexpr int kMaxLinkHops = 40;

std::string LastPart(const fs::path& path) {
    const fs::path name = path.filename();
    // "peg/" or "..": the folder itself, which is no file to replace.
    return name.empty() ? std::string(".") : name.string();
}

// Where the source is read: inside the batch's folder, or the path itself.
struct SourceName {
    int folder;
    std::string name;
};

SourceName SourceNameOf(const fs::path& source, const ConvertOptions& options) {
    if (options.sourceFolder) {
        return {options.sourceFolder->Descriptor(), LastPart(source)};
    }
    return {AT_FDCWD, source.string()};
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

ConvertResult OpenSource(const fs::path& source, const ConvertOptions& options, FileSource& input) {
    const SourceName at = SourceNameOf(source, options);
    struct stat link {};
    std::error_code error;
    if (options.guardLinks &&
        ::fstatat(at.folder, at.name.c_str(), &link, AT_SYMLINK_NOFOLLOW) != 0) {
        return {ConvertError::kCannotOpenSource, LastSystemError()};
    }
    bool notRegular = false;
    if (!input.Open(at.folder, at.name.c_str(), error, notRegular)) {
        return {notRegular ? ConvertError::kSourceNotRegularFile : ConvertError::kCannotOpenSource,
                notRegular ? std::error_code() : error};
    }
    if (options.guardLinks && S_ISLNK(link.st_mode)) {
        // The link looked at must still be the one followed.
        struct stat again {};
        if (link.st_uid != input.Status().st_uid ||
            ::fstatat(at.folder, at.name.c_str(), &again, AT_SYMLINK_NOFOLLOW) != 0 ||
            !SameFile(link, again) || again.st_uid != link.st_uid) {
            return {ConvertError::kForeignLink, {}};
        }
    }
    return {};
}

// The file a conversion replaces or creates, after following any links.
struct ResolvedTarget {
    FilePlace place;
    bool throughLinkedFolder = false;  // a link led out of the named folder
    bool exists = false;
    struct stat status {};
};

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

// Follows links from `target` to the file to replace, or to the name of the
// file to create. With guarded links, the first link's owner must own it.
ConvertResult ResolveTarget(const fs::path& target, const ConvertOptions& options,
                            ResolvedTarget& resolved) {
    std::error_code error;
    resolved.place.folder =
        options.targetFolder ? options.targetFolder : Folder::Open(target.parent_path(), error);
    if (!resolved.place.folder) {
        return {ConvertError::kCannotCreateTarget, error};
    }
    resolved.place.name = LastPart(target);
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
            return {refused ? ConvertError::kForeignLink : ConvertError::kNone, {}};
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

ConvertResult WriteTarget(FileSource& input, const ShpLayout& layout,
                          const ResolvedTarget& resolved, const ConvertOptions& options) {
    AtomicFileSink output(resolved.place);
    ConvertResult result;
    if (!output.Open(result.system)) {
        return {ConvertError::kCannotCreateTarget, result.system};
    }
    if (resolved.exists) {
        output.KeepMetadataOf(resolved.status);
    }
    result = WriteS16(input, layout, output, options.cancel);
    if (result.Ok() && !output.Sync()) {
        result.error = ConvertError::kWriteError;
    }
    if (!result.Ok()) {
        if (result.error == ConvertError::kWriteError) {
            result.system = output.WriteError();
        }
        return result;
    }
    if (!output.Commit(result.system)) {
        return {ConvertError::kCannotReplaceTarget, result.system};
    }
    // The new name must reach the disk before success is reported; a batch
    // syncs its own folder once at its end.
    if (options.syncTargetFolder || resolved.throughLinkedFolder) {
        result.system = resolved.place.folder->Sync();
        result.error = result.system ? ConvertError::kCannotSyncFolder : ConvertError::kNone;
    }
    return result;
}

}  // namespace

ConvertResult ConvertShpFile(const fs::path& source, const fs::path& target,
                             const ConvertOptions& options) {
    FileSource input;
    ConvertResult result = OpenSource(source, options, input);
    if (!result.Ok()) {
        return result;
    }
    ShpLayout layout;
    result.error = ReadShpLayout(input, kMaxShpRows, layout);
    if (!result.Ok()) {
        return result;
    }
    ResolvedTarget resolved;
    result = ResolveTarget(target, options, resolved);
    if (!result.Ok()) {
        return result;
    }
    if (resolved.exists && SameFile(resolved.status, input.Status())) {
        return {ConvertError::kTargetIsSource, {}};
    }
    return WriteTarget(input, layout, resolved, options);
}

ConvertOptions FolderBatchOptions(std::shared_ptr<const Folder> sourceFolder,
                                  std::shared_ptr<const Folder> targetFolder,
                                  const std::atomic<bool>* cancel) {
    ConvertOptions options;
    options.cancel = cancel;
    options.guardLinks = true;
    options.sourceFolder = std::move(sourceFolder);
    options.targetFolder = std::move(targetFolder);
    options.syncTargetFolder = false;
    return options;
}

ConvertResult ConvertShpFile(const fs::path& source, const fs::path& target,
                             const std::atomic<bool>* cancel) {
    ConvertOptions options;
    options.cancel = cancel;
    return ConvertShpFile(source, target, options);
}

int ConvertShpToS16(const fs::path& source, const fs::path& target) {
    return ConvertShpFile(source, target).Ok() ? 1 : 0;
}

}  // namespace drovana
