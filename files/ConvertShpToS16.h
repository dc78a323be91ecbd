#pragma once

#include <atomic>
#include <filesystem>
#include <memory>

#include "ConvertError.h"
#include "ConvertOptions.h"
#include "PendingTarget.h"

namespace drovana {

// Converts the SHP picture `source` into the S16 picture `target`, replacing
// any file of that name once the new picture is on the disk. On failure the
// target is left as it was and the result says why.
ConvertResult ConvertShpFile(const std::filesystem::path& source,
                             const std::filesystem::path& target, const ConvertOptions& options);

ConvertResult ConvertShpFile(const std::filesystem::path& source,
                             const std::filesystem::path& target,
                             const std::atomic<bool>* cancel = nullptr);

// The same up to the sync: on success `pending` holds the new file, written
// and given what it keeps of the target, for the caller to sync and name.
ConvertResult WriteShpFile(const std::filesystem::path& source, const std::filesystem::path& target,
                           const ConvertOptions& options, std::unique_ptr<PendingTarget>& pending);

// 1 once the target has been written, 0 on any failure.
int ConvertShpToS16(const std::filesystem::path& source, const std::filesystem::path& target);

}  // namespace drovana
