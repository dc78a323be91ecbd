#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

// Which files a batch converts and what the source and target of each are
// called. Both front ends use these rules, so the dialog lists exactly what
// the command line converts.
//
// A folder text is a folder ending with its separator; file names are
// appended to it as they are. A text without the separator still works the
// way a search pattern of text + "*.shp" does: the part after the last
// separator becomes a prefix of the names.
namespace drovana {

inline constexpr const char* kShpExtension = ".shp";
inline constexpr const char* kS16Extension = ".s16";

// The SHP files of `shpFolder` that a batch converts, sorted without regard
// to case (ties by exact name). Names match "*.shp" without regard to case.
// Only regular files are listed, or links to them: never folders, devices,
// FIFOs, sockets or dangling links. With `updateOnly` every such file is
// listed unless the PeG folder already holds its S16 counterpart (title +
// ".s16", compared without regard to case); without it only files that are
// not hidden and not read-only are listed. An empty folder text names no
// folder: an empty SHP folder lists nothing, an empty PeG folder holds no
// counterparts.
//
// A folder that cannot be listed (unreadable, out of file handles, an error
// part-way) gives an empty list and the reason: taking it for an empty folder
// would convert nothing and report success, or, for the PeG folder, overwrite
// every existing S16. A PeG folder that does not exist holds no counterparts.
struct CandidateList {
    std::vector<std::filesystem::path> names;  // bare file names
    std::size_t upToDate = 0;                  // left out for their counterpart
    std::size_t hiddenOrReadOnly = 0;          // left out without the update switch
    std::error_code error;                     // why a folder could not be listed
    std::filesystem::path failedFolder;        // which folder that was
};

CandidateList ListCandidates(const std::string& shpFolder, const std::string& pegFolder,
                             bool updateOnly);

// The folder whose files a folder text names: its part up to the last
// separator, or the current folder.
std::filesystem::path FolderOfText(const std::string& folderText);

// The file a listed name is read from: the SHP folder text + the name as the
// file system spells it.
std::filesystem::path SourcePathFor(const std::string& shpFolder,
                                    const std::filesystem::path& listedName);

// The file a listed name is converted into: the PeG folder text + its title
// + ".s16".
std::filesystem::path TargetPathFor(const std::string& pegFolder,
                                    const std::filesystem::path& listedName);

// Groups of listed names whose targets are the same but for the case of
// ASCII letters: where names are compared without regard to case (the update
// switch, other systems), their pictures take each other's place. Groups
// and the names in each keep the order of `listedNames`.
std::vector<std::vector<std::filesystem::path>> FindTargetClashes(
    const std::vector<std::filesystem::path>& listedNames);

// Lower-cases ASCII letters only, as names are compared here.
std::string FoldCase(std::string text);

// The file at `target`, or the one in its folder whose name differs only in
// the case of ASCII letters (a map's S16 may be spelt MAP01.S16 or
// map01.s16); empty when there is none.
std::filesystem::path FindInAnyCase(const std::filesystem::path& target);

}  // namespace drovana
