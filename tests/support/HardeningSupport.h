#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "TestFiles.h"

// What the fault and name tests share: small maps in scratch folders, the
// state of a folder and the privileged set-ups that make a file system fail.
namespace drovana::test {

using Bytes = std::vector<std::uint8_t>;

// An 8 x 6 map of runs and literal pixels; each seed gives other pixels.
Bytes SmallMap(std::uint32_t seed);

// An SHP folder and an empty PeG folder beside it, removed with everything in
// them when the object goes.
struct Folders {
    Folders();

    std::string ShpText() const { return shp.string() + "/"; }
    std::string PegText() const { return peg.string() + "/"; }

    TempDir dir;
    const std::filesystem::path shp = dir / "shp";
    const std::filesystem::path peg = dir / "peg";
};

// Every entry of a folder (not recursive) by name: a file's bytes, or the
// kind of the entry and what identifies it (a device's numbers, a link's
// text, a folder's entries).
using FolderState = std::map<std::string, std::string>;

FolderState StateOf(const std::filesystem::path& folder);

// The state a file of `bytes` shows in FolderState.
std::string FileState(const Bytes& bytes);

// Names in `folder` that a conversion uses for its temporary files.
std::vector<std::string> TemporaryNames(const std::filesystem::path& folder);

// The privileged set-ups; each returns an empty text or why it could not be
// done, so that the caller can skip.

// Makes this process's mounts its own, so that mounts made later vanish with it.
std::string EnterPrivateMountNamespace();
// Mounts a tmpfs of `size` ("64k") on `folder`.
std::string MountTmpfs(const std::filesystem::path& folder, const std::string& size);
// Makes `folder` read-only by mounting it read-only onto itself.
std::string BindReadOnly(const std::filesystem::path& folder);
// Gives up the capability that lets root write where permission bits forbid.
std::string DropDacOverride();
// Sets or clears the immutable attribute (chattr +i / -i).
std::string SetImmutable(const std::filesystem::path& path, bool immutable);

// Gives `path` back to its owner when it goes: clears the immutable
// attribute and the owner may read, write and enter it again. So a test that
// fails or dies half-way still lets its folder be removed.
class AccessGuard {
public:
    explicit AccessGuard(std::filesystem::path path) : path_(std::move(path)) {}
    AccessGuard(const AccessGuard&) = delete;
    AccessGuard& operator=(const AccessGuard&) = delete;
    ~AccessGuard();

private:
    std::filesystem::path path_;
};

}  // namespace drovana::test
