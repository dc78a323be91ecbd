#include "FilePlaces.h"

// The parts of placing a conversion's files that both platforms share.
namespace drovana {

namespace fs = std::filesystem;

fs::path LastPart(const fs::path& path) {
    const fs::path name = path.filename();
    return name.empty() ? fs::path(".") : name;
}

FilePlace SourcePlace(const fs::path& source, const ConvertOptions& options) {
    if (options.sourceFolder) {
        return {options.sourceFolder, LastPart(source)};
    }
    return {nullptr, source};
}

ConvertResult SourceOpenFailure(bool notRegular, const std::error_code& error) {
    if (notRegular) {
        return {ConvertError::kSourceNotRegularFile, {}};
    }
    return {ConvertError::kCannotOpenSource, error};
}

ConvertResult PlaceTarget(const fs::path& target, const ConvertOptions& options,
                          ResolvedTarget& resolved) {
    std::error_code error;
    resolved.place.folder =
        options.targetFolder ? options.targetFolder : Folder::Open(target.parent_path(), error);
    if (!resolved.place.folder) {
        return {ConvertError::kCannotCreateTarget, error};
    }
    resolved.place.name = LastPart(target);
    return {};
}

}  // namespace drovana
