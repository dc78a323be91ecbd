#include "ConvertShpToS16.h"

#include "FileIo.h"
#include "FilePlaces.h"
#include "ShpToS16.h"

namespace drovana {

namespace fs = std::filesystem;

namespace {

ConvertResult WriteTarget(FileSource& input, const ShpLayout& layout,
                          const ResolvedTarget& resolved, const ConvertOptions& options,
                          std::unique_ptr<PendingTarget>& pending) {
    RemoveLeftovers(*resolved.place.folder);
    auto written = std::make_unique<PendingTarget>(resolved);
    AtomicFileSink& output = written->Sink();
    ConvertResult result;
    if (!output.Open(result.system)) {
        return {ConvertError::kCannotCreateTarget, result.system};
    }
    if (resolved.exists) {
        output.KeepMetadataOf(resolved.status);
    }
    result = FromFormat(WriteS16(input, layout, output, options.cancel, options.rows));
    // Keeping the old target's attributes opens it.
    input.Close();
    if (result.Is(FormatError::kWriteError)) {
        result.system = output.WriteError();
    }
    if (!result.Ok()) {
        return result;
    }
    if (!output.TakeMetadata(result.system)) {
        return {ConvertError::kCannotReplaceTarget, result.system};
    }
    pending = std::move(written);
    return result;
}

}  // namespace

ConvertResult WriteShpFile(const fs::path& source, const fs::path& target,
                           const ConvertOptions& options, std::unique_ptr<PendingTarget>& pending) {
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
    return WriteTarget(input, layout, resolved, options, pending);
}

ConvertResult ConvertShpFile(const fs::path& source, const fs::path& target,
                             const ConvertOptions& options) {
    std::unique_ptr<PendingTarget> pending;
    const ConvertResult result = WriteShpFile(source, target, options, pending);
    if (!result.Ok()) {
        return result;
    }
    // A failed sync is the write error that Name reports.
    pending->Sink().Sync();
    return pending->Name(options.syncTargetFolder);
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
