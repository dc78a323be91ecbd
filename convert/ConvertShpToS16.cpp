#include "ConvertShpToS16.h"

#include "FileIo.h"
#include "ShpToS16.h"

namespace drovana {
namespace {

namespace fs = std::filesystem;

// Only regular files are read or replaced: opening a FIFO would block, and
// renaming over a device node or a folder would destroy it.
ConvertError CheckSource(const fs::path& source, std::error_code& error) {
    const fs::file_status status = fs::status(source, error);
    if (error) {
        return ConvertError::kCannotOpenSource;
    }
    return fs::is_regular_file(status) ? ConvertError::kNone : ConvertError::kSourceNotRegularFile;
}

// A target that is a link to a file replaces the file it points to, not the
// link. Returns the path to replace.
ConvertError ResolveTarget(const fs::path& target, fs::path& resolved) {
    // One look at the name itself; only a link costs a second one.
    std::error_code error;
    const fs::file_status own = fs::symlink_status(target, error);
    const bool link = fs::is_symlink(own);
    const fs::file_status status = link ? fs::status(target, error) : own;
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        return ConvertError::kTargetNotRegularFile;
    }
    resolved = target;
    if (link) {
        const fs::path real = fs::weakly_canonical(target, error);
        if (!error) {
            resolved = real;
        }
    }
    return ConvertError::kNone;
}

}  // namespace

ConvertResult ConvertShpFile(const fs::path& source, const fs::path& target,
                             const std::atomic<bool>* cancel) {
    ConvertResult result;
    result.error = CheckSource(source, result.system);
    if (!result.Ok()) {
        return result;
    }
    FileSource input;
    if (!input.Open(source, result.system)) {
        return {ConvertError::kCannotOpenSource, result.system};
    }
    ShpLayout layout;
    result.error = ReadShpLayout(input, kMaxShpRows, layout);
    if (!result.Ok()) {
        return result;
    }
    fs::path resolved;
    result.error = ResolveTarget(target, resolved);
    if (!result.Ok()) {
        return result;
    }

    AtomicFileSink output(resolved);
    if (!output.Open(result.system)) {
        return {ConvertError::kCannotCreateTarget, result.system};
    }
    result = WriteS16(input, layout, output, cancel);
    if (!result.Ok()) {
        if (result.error == ConvertError::kWriteError) {
            result.system = output.WriteError();
        }
        return result;
    }
    if (!output.Commit(result.system)) {
        return {ConvertError::kCannotReplaceTarget, result.system};
    }
    return result;
}

int ConvertShpToS16(const fs::path& source, const fs::path& target) {
    return ConvertShpFile(source, target).Ok() ? 1 : 0;
}

}  // namespace drovana
