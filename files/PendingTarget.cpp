#include "PendingTarget.h"

namespace drovana {

ConvertResult PendingTarget::Name(bool syncFolder) {
    ConvertResult result;
    if (sink_.WriteError()) {
        result = FromFormat({FormatError::kWriteError});
        result.system = sink_.WriteError();
        return result;
    }
    if (!sink_.Commit(result.system)) {
        return {ConvertError::kCannotReplaceTarget, result.system};
    }
    // The new name must reach the disk before success is reported; a batch
    // syncs its own folder once at its end.
    if (syncFolder || resolved_.throughLinkedFolder) {
        result.system = resolved_.place.folder->Sync();
        result.error = result.system ? ConvertError::kCannotSyncFolder : ConvertError::kNone;
    }
    return result;
}

}  // namespace drovana
