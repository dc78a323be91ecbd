#pragma once

#include <string>

namespace drovana {

// True when something exists at path; a folder counts, a dangling link does not.
// Never throws: an unreadable or malformed path simply gives false.
bool FileExists(const std::string& path);

// Folder of the running executable, ending with the separator. Falls back to
// the current folder when the executable cannot be located.
std::string GetProgramFolder();

}  // namespace drovana
