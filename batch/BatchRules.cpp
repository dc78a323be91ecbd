#include "BatchRules.h"

#include <algorithm>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "PathParts.h"

namespace drovana {
namespace {

namespace fs = std::filesystem;

// The folder to scan and the prefix names must start with, cut from a
// folder text the way a search pattern is.
struct SearchScope {
    fs::path folder;
    std::string prefix;
};

SearchScope ScopeOf(const std::string& folderText) {
    const std::string folder = GetPathPart(folderText, kPathFolder);
    return {FolderOfText(folderText), folderText.substr(folder.size())};
}

bool StartsWith(const std::string& text, const std::string& head) {
    return text.size() >= head.size() && text.compare(0, head.size(), head) == 0;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Lower-cased names of every entry in the scope's folder that starts with its
// prefix: one scan answers all counterpart questions of a refresh. A folder
// that does not exist holds none.
std::unordered_set<std::string> FoldedNamesIn(const SearchScope& scope, std::error_code& error) {
    std::unordered_set<std::string> names;
    const std::string prefix = FoldCase(scope.prefix);
    for (fs::directory_iterator it(scope.folder, error), end; !error && it != end;
         it.increment(error)) {
        std::string name = FoldCase(TextOf(it->path().filename()));
        if (StartsWith(name, prefix)) {
            names.insert(name.substr(prefix.size()));
        }
    }
    if (error == std::errc::no_such_file_or_directory) {
        error.clear();
    }
    return names;
}

CandidateList ListingFailed(const fs::path& folder, std::error_code error) {
    CandidateList list;
    list.error = error;
    list.failedFolder = folder;
    return list;
}

// Folders, devices, FIFOs and dangling links are never maps. A link is
// judged by what it points to; whether a batch may follow it is decided later.
bool IsRegularFile(const fs::directory_entry& entry, fs::file_status& status) {
    std::error_code error;
    status = entry.status(error);
    return !error && fs::is_regular_file(status);
}

// Read-write files that are not hidden: what a listing without the update
// switch admits. Hidden files start with a dot; read-only ones lack the
// owner's write permission.
bool IsPlainFile(const fs::directory_entry& entry, const fs::file_status& status) {
    return (status.permissions() & fs::perms::owner_write) != fs::perms::none &&
           !StartsWith(TextOf(entry.path().filename()), ".");
}

std::string TitleOf(const fs::path& name) {
    return GetPathPart(TextOf(name), kPathTitle);
}

void SortListing(std::vector<fs::path>& names) {
    std::sort(names.begin(), names.end(), [](const fs::path& a, const fs::path& b) {
        const std::string foldedA = FoldCase(TextOf(a));
        const std::string foldedB = FoldCase(TextOf(b));
        return foldedA != foldedB ? foldedA < foldedB : TextOf(a) < TextOf(b);
    });
}

}  // namespace

std::string FoldCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

CandidateList ListCandidates(const std::string& shpFolder, const std::string& pegFolder,
                             bool updateOnly) {
    if (shpFolder.empty()) {
        return {};
    }
    const SearchScope scope = ScopeOf(shpFolder);
    const std::string prefix = FoldCase(scope.prefix);
    std::unordered_set<std::string> counterparts;
    std::error_code error;
    if (updateOnly && !pegFolder.empty()) {
        const SearchScope pegScope = ScopeOf(pegFolder);
        counterparts = FoldedNamesIn(pegScope, error);
        if (error) {
            return ListingFailed(pegScope.folder, error);
        }
    }

    CandidateList list;
    for (fs::directory_iterator it(scope.folder, error), end; !error && it != end;
         it.increment(error)) {
        const fs::path name = it->path().filename();
        const std::string folded = FoldCase(TextOf(name));
        fs::file_status status;
        if (!StartsWith(folded, prefix) || !EndsWith(folded, kShpExtension) ||
            !IsRegularFile(*it, status)) {
            continue;
        }
        const bool admitted = updateOnly
                                  ? counterparts.count(FoldCase(TitleOf(name)) + kS16Extension) == 0
                                  : IsPlainFile(*it, status);
        if (admitted) {
            list.names.push_back(name);
        } else if (updateOnly) {
            ++list.upToDate;
        } else {
            ++list.hiddenOrReadOnly;
        }
    }
    if (error) {
        return ListingFailed(scope.folder, error);
    }
    SortListing(list.names);
    return list;
}

fs::path FolderOfText(const std::string& folderText) {
    const std::string folder = GetPathPart(folderText, kPathFolder);
    return folder.empty() ? fs::path(".") : PathOf(folder);
}

fs::path SourcePathFor(const std::string& shpFolder, const fs::path& listedName) {
    return PathOf(shpFolder + TextOf(listedName));
}

fs::path TargetPathFor(const std::string& pegFolder, const fs::path& listedName) {
    return PathOf(pegFolder + TitleOf(listedName) + kS16Extension);
}

std::vector<std::vector<fs::path>> FindTargetClashes(const std::vector<fs::path>& listedNames) {
    std::vector<std::vector<fs::path>> groups;
    std::unordered_map<std::string, std::size_t> groupOfTarget;
    for (const fs::path& name : listedNames) {
        const std::string target = FoldCase(TitleOf(name) + kS16Extension);
        const auto [at, added] = groupOfTarget.emplace(target, groups.size());
        if (added) {
            groups.emplace_back();
        }
        groups[at->second].push_back(name);
    }
    groups.erase(
        std::remove_if(groups.begin(), groups.end(),
                       [](const std::vector<fs::path>& group) { return group.size() < 2; }),
        groups.end());
    return groups;
}

fs::path FindInAnyCase(const fs::path& target) {
    std::error_code error;
    if (fs::is_regular_file(target, error)) {
        return target;
    }
    const std::string wanted = FoldCase(TextOf(target.filename()));
    for (fs::directory_iterator it(target.parent_path(), error), end; !error && it != end;
         it.increment(error)) {
        if (FoldCase(TextOf(it->path().filename())) == wanted && it->is_regular_file(error)) {
            return it->path();
        }
    }
    return {};
}

}  // namespace drovana
