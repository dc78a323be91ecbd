#include "FilePlaces.h"

#include "WindowsApi.h"

// Windows names files by path. Links there need a privilege to make, have no
// owner a batch could match, and are followed as a single file's are.
namespace drovana {
namespace {

namespace fs = std::filesystem;

// A target that is a link replaces the file it points to.
ConvertResult FollowLinks(ResolvedTarget& resolved) {
    std::error_code error;
    const fs::path path = resolved.place.Path();
    if (!fs::is_symlink(fs::symlink_status(path, error))) {
        return {};
    }
    const fs::path real = fs::weakly_canonical(path, error);
    if (error) {
        return {ConvertError::kCannotCreateTarget, error};
    }
    auto folder = Folder::Open(real.parent_path(), error);
    if (!folder) {
        return {ConvertError::kCannotCreateTarget, error};
    }
    resolved.place = {std::move(folder), LastPart(real)};
    resolved.throughLinkedFolder = true;
    return {};
}

}  // namespace

ConvertResult OpenSource(const fs::path& source, const ConvertOptions& options, FileSource& input) {
    std::error_code error;
    bool notRegular = false;
    if (!input.Open(SourcePlace(source, options), error, notRegular)) {
        return SourceOpenFailure(notRegular, error);
    }
    return {};
}

ConvertResult ResolveTarget(const fs::path& target, const ConvertOptions& options,
                            ResolvedTarget& resolved) {
    const ConvertResult placed = PlaceTarget(target, options, resolved);
    if (!placed.Ok()) {
        return placed;
    }
    const ConvertResult followed = FollowLinks(resolved);
    if (!followed.Ok()) {
        return followed;
    }
    std::error_code error;
    const fs::file_status status = fs::status(resolved.place.Path(), error);
    if (!fs::exists(status)) {
        // Nothing to keep there; any other reason shows at the rename.
        return {};
    }
    resolved.exists = true;
    // The links are behind: a name that is one now was swapped in since.
    if (!fs::is_regular_file(status) || !StatusAt(resolved.place.Path(), false, resolved.status) ||
        (resolved.status.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return {ConvertError::kTargetNotRegularFile, {}};
    }
    // Read-only says "do not replace me" there; refused before any writing,
    // whether or not the rename would honour it.
    if (resolved.status.attributes & FILE_ATTRIBUTE_READONLY) {
        return {ConvertError::kCannotReplaceTarget,
                std::error_code(ERROR_ACCESS_DENIED, std::system_category())};
    }
    return {};
}

}  // namespace drovana
