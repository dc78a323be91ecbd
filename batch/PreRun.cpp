#include "PreRun.h"

#include <filesystem>
#include <system_error>

#include "BatchRules.h"
#include "PathParts.h"

namespace drovana {

namespace fs = std::filesystem;

bool HasExtension(const std::string& name, const std::string& extension) {
    const std::string folded = FoldCase(name);
    return folded.size() >= extension.size() &&
           folded.compare(folded.size() - extension.size(), extension.size(), extension) == 0;
}

bool SpeltAsFolder(const std::string& text) {
    const std::string name = GetPathPart(text, kPathFileName);
    return name.empty() || name == "." || name == "..";
}

FolderState CheckFolder(const std::string& folder, std::string* reason) {
    if (folder.empty()) {
        return FolderState::kMissing;
    }
    std::error_code error;
    const fs::file_status status = fs::status(PathOf(folder), error);
    if (!error) {
        return fs::is_directory(status) ? FolderState::kFolder : FolderState::kNotAFolder;
    }
    if (error == std::errc::no_such_file_or_directory) {
        return FolderState::kMissing;
    }
    if (error == std::errc::not_a_directory) {
        return FolderState::kNotAFolder;
    }
    if (reason != nullptr) {
        *reason = error.message();
    }
    return FolderState::kUnreachable;
}

std::string TargetForOneFile(const std::string& source, const std::string& target) {
    std::error_code error;
    if (!fs::is_directory(PathOf(target), error)) {
        return target;
    }
    return TextOf(TargetPathFor(WithTrailingSeparator(target), PathOf(source).filename()));
}

bool HoldsS16ButNoMaps(const std::string& folder) {
    bool holdsS16 = false;
    std::error_code error;
    for (fs::directory_iterator it(PathOf(folder), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = TextOf(it->path().filename());
        if (HasExtension(name, kShpExtension)) {
            return false;
        }
        std::error_code typeError;
        holdsS16 =
            holdsS16 || (HasExtension(name, kS16Extension) && it->is_regular_file(typeError));
    }
    return holdsS16 && !error;
}

ShpFolderProblem CheckShpFolder(const std::string& folder, std::string* reason) {
    switch (CheckFolder(folder, reason)) {
        case FolderState::kMissing:
            return ShpFolderProblem::kMissing;
        case FolderState::kNotAFolder:
            return ShpFolderProblem::kNotAFolder;
        case FolderState::kUnreachable:
            return ShpFolderProblem::kUnreachable;
        case FolderState::kFolder:
            break;
    }
    return HoldsS16ButNoMaps(folder) ? ShpFolderProblem::kHoldsS16ButNoMaps
                                     : ShpFolderProblem::kNone;
}

}  // namespace drovana
