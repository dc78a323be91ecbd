#pragma once

#include "ConvertError.h"
#include "FileIo.h"
#include "FilePlaces.h"

namespace drovana {

// A picture converted into a new file that is neither synced nor named yet,
// so that a batch can sync many at once (AtomicFileSink::SyncGroup) before
// it names them. Dropped unnamed, it leaves the target as it was and no file
// behind.
class PendingTarget {
public:
    explicit PendingTarget(const ResolvedTarget& resolved)
        : resolved_(resolved), sink_(resolved.place) {}

    AtomicFileSink& Sink() { return sink_; }

    // Names the new file, replacing the target, unless its write or sync
    // failed. A target reached through a link into another folder has that
    // folder synced too, as has any with `syncFolder`.
    ConvertResult Name(bool syncFolder);

private:
    ResolvedTarget resolved_;
    AtomicFileSink sink_;
};

}  // namespace drovana
