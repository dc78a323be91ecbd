#pragma once

#include <atomic>
#include <filesystem>
#include <memory>

#include "ConvertError.h"
#include "Folder.h"
#include "S16Format.h"

namespace drovana {

struct ConvertOptions {
    // Setting it abandons the conversion under way.
    const std::atomic<bool>* cancel = nullptr;
    // For folder batches, where others may plant links: a source or target
    // that is a symbolic link is followed only when the link and the file it
    // points to have the same owner. A single file follows links as cp does.
    bool guardLinks = false;
    // When set, source and target are named by their last part inside these
    // folders, opened once for a whole batch.
    std::shared_ptr<const Folder> sourceFolder;
    std::shared_ptr<const Folder> targetFolder;
    // False when the caller syncs the target folder once after many files.
    // A target reached through a link into another folder is synced anyway.
    bool syncTargetFolder = true;
    S16Rows rows = S16Rows::kWhole;
};

// Converts the SHP picture `source` into the S16 picture `target`, replacing
// any file of that name once the new picture is on the disk. On failure the
// target is left as it was and the result says why.
ConvertResult ConvertShpFile(const std::filesystem::path& source,
                             const std::filesystem::path& target, const ConvertOptions& options);

ConvertResult ConvertShpFile(const std::filesystem::path& source,
                             const std::filesystem::path& target,
                             const std::atomic<bool>* cancel = nullptr);

// 1 once the target has been written, 0 on any failure.
int ConvertShpToS16(const std::filesystem::path& source, const std::filesystem::path& target);

}  // namespace drovana
