#include "ConvertShpToS16.h"

#include "FileIo.h"
#include "FilePlaces.h"
#include "ShpToS16.h"

namespace drovana {

namespace fs = std::filesystem;

namespace {

ConvertResult WriteTarget(FileSource& input, const ShpLayout& layout,
                          const ResolvedTarget& resolved, const ConvertOptions& options) {
    RemoveLeftovers(*resolved.place.folder);
    AtomicFileSink output(resolved.place);
    ConvertResult result;
    if (!output.Open(result.system)) {
        return {ConvertError::kCannotCreateTarget, result.system};
    }
    if (resolved.exists) {
        output.KeepMetadataOf(resolved.status);
    }
    result = FromFormat(WriteS16(input, layout, output, options.cancel, options.rows));
    // Replacing the target opens the old one to keep its attributes.
    input.Close();
    if (result.Ok() && !output.Sync()) {
        result = FromFormat({FormatError::kWriteError});
    }
    if (!result.Ok()) {
        if (result.Is(FormatError::kWriteError)) {
            result.system = output.WriteError();
        }
        return result;
    }
    if (!output.Commit(result.system)) {
        return {ConvertError::kCannotReplaceTarget, result.system};
    }
    // The new name must reach the disk before success is reported; a batch
    // syncs its own folder once at its end.
    if (options.syncTargetFolder || resolved.throughLinkedFolder) {
        result.system = resolved.place.folder->Sync();
        result.error = result.system ? ConvertError::kCannotSyncFolder : ConvertError::kNone;
    }
    return result;
}

}  // namespace

ConvertResult ConvertShpFile(const fs::path& source, const fs::path& target,
                             const ConvertOptions& options) {
    FileSource input;
    ConvertResult result = OpenSource(source, options, input);
    if (!result.Ok()) {
        return result;
    }
    ShpLayout layout;
    result = FromFormat({ReadShpLayout(input, kMaxShpRows, layout)});
    if (!result.Ok()) {
        return result;
    }
    ResolvedTarget resolved;
    result = ResolveTarget(target, options, resolved);
    if (!result.Ok()) {
        return result;
    }
    if (resolved.exists && SameFile(resolved.status, input.Status())) {
        return {ConvertError::kTargetIsSource, {}};
    }
    return WriteTarget(input, layout, resolved, options);
}

ConvertResult ConvertShpFile(const fs::path& source, const fs::path& target,
                             const std::atomic<bool>* cancel) {
    ConvertOptions options;
    options.cancel = cancel;
    return ConvertShpFile(source, target, options);
}

int ConvertShpToS16(const fs::path& source, const fs::path& target) {
    return ConvertShpFile(source, target).Ok() ? 1 : 0;
}

}  // namespace drovana
