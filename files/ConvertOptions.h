#pragma once

#include <atomic>
#include <memory>

#include "Folder.h"
#include "S16Format.h"

// How one file is converted: what the caller may ask of the conversion and
// of the places it reads and writes.
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

}  // namespace drovana
