#pragma once

#include <string>

// The checks both front ends make before a run, so that each keeps only its
// own words for what they find.
namespace drovana {

// Whether the name ends in `extension` (".shp", ".s16") in any case.
bool HasExtension(const std::string& name, const std::string& extension);

// A text that can only name a folder: one ending in a separator, ".", "..",
// or a bare drive.
bool SpeltAsFolder(const std::string& text);

// What stands at a folder text that must name a folder.
enum class FolderState { kFolder, kMissing, kNotAFolder, kUnreachable };

// kMissing for an empty text too; kUnreachable when the system cannot tell,
// with its reason in `reason`.
FolderState CheckFolder(const std::string& folder, std::string* reason = nullptr);

// A TARGET that is a folder receives the SOURCE's title + ".s16", as cp puts
// a file into a folder; any other TARGET names the picture itself.
std::string TargetForOneFile(const std::string& source, const std::string& target);

// A source folder with S16 pictures and no maps at all is most likely the
// PeG folder, named first.
bool HoldsS16ButNoMaps(const std::string& folder);

// What keeps a folder text from naming a folder of maps; each front end puts
// it in its own words.
enum class ShpFolderProblem { kNone, kMissing, kNotAFolder, kUnreachable, kHoldsS16ButNoMaps };

// kUnreachable comes with the system's reason in `reason`.
ShpFolderProblem CheckShpFolder(const std::string& folder, std::string* reason = nullptr);

}  // namespace drovana
