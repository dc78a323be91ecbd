#include "BatchConvert.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include "BatchRules.h"
#include "ConvertShpToS16.h"
#include "HandleBroker.h"
#include "SyncGroups.h"

namespace drovana {
namespace {

namespace fs = std::filesystem;

// Enough to keep slow network folders busy; beyond it threads only cost
// memory and file handles.
constexpr std::size_t kMaxThreadsPerCore = 16;

// Items of a folder batch are named inside the two folders the batch opened
// (a null folder leaves its files named by path), with links guarded and
// the target folder synced once at the end.
ConvertOptions OptionsFor(const BatchItem& item, const std::atomic<bool>& stop, S16Rows rows) {
    ConvertOptions options;
    options.cancel = &stop;
    options.rows = rows;
    if (item.targetFolder) {
        options.guardLinks = true;
        options.sourceFolder = item.sourceFolder;
        options.targetFolder = item.targetFolder;
        options.syncTargetFolder = false;
    }
    return options;
}

// Writes the item's new file, leaving it to be synced and named. A
// conversion short of file handles first hands on the written files that
// hold some, then waits for handles to come back.
ConvertResult WriteItem(const BatchItem& item, const std::atomic<bool>& stop, S16Rows rows,
                        HandleBroker& broker, SyncGroups& groups,
                        std::unique_ptr<PendingTarget>& pending) {
    const ConvertOptions options = OptionsFor(item, stop, rows);
    std::size_t ticket = broker.Begin();
    ConvertResult result;
    for (;;) {
        result = WriteShpFile(item.source, item.target, options, pending);
        if (!IsOutOfFileHandles(result.system)) {
            return result;
        }
        groups.HandOn();
        if (!broker.MayRetry(ticket, stop)) {
            break;
        }
    }
    return stop.load() ? FromFormat({FormatError::kCancelled}) : result;
}

// Every folder that received a new file, synced once.
void SyncTargetFolders(const std::set<const Folder*>& folders, BatchOutcome& outcome) {
    for (const Folder* folder : folders) {
        const std::error_code error = folder->Sync();
        if (error && !outcome.syncError) {
            outcome.syncError = error;
            outcome.unsyncedFolder = folder->Path();
        }
    }
}

}  // namespace

BatchPlan PlanNamedBatch(const std::string& shpFolder, const std::string& pegFolder,
                         const std::vector<fs::path>& names) {
    BatchPlan plan;
    std::shared_ptr<const Folder> folders[2];
    const std::string texts[2] = {shpFolder, pegFolder};
    for (int i = 0; i < 2; ++i) {
        folders[i] = Folder::Open(FolderOfText(texts[i]), plan.error);
        if (!folders[i]) {
            plan.failedFolder = FolderOfText(texts[i]);
            return plan;
        }
    }
    plan.items.reserve(names.size());
    for (const auto& name : names) {
        plan.items.push_back({SourcePathFor(shpFolder, name), TargetPathFor(pegFolder, name),
                              folders[0], folders[1]});
    }
    return plan;
}

BatchPlan PlanFolderBatch(const std::string& shpFolder, const std::string& pegFolder,
                          bool updateOnly) {
    const CandidateList candidates = ListCandidates(shpFolder, pegFolder, updateOnly);
    if (candidates.error) {
        BatchPlan plan;
        plan.error = candidates.error;
        plan.failedFolder = candidates.failedFolder;
        return plan;
    }
    BatchPlan plan = PlanNamedBatch(shpFolder, pegFolder, candidates.names);
    plan.upToDate = candidates.upToDate;
    return plan;
}

std::size_t BatchThreads(int jobs, std::size_t items) {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return std::min({static_cast<std::size_t>(std::max(1, jobs)), std::max<std::size_t>(1, items),
                     kMaxThreadsPerCore * cores});
}

BatchOutcome ConvertBatch(const std::vector<BatchItem>& items, int jobs,
                          const std::atomic<bool>& stop, BatchObserver& observer, S16Rows rows) {
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> converted{0};
    std::atomic<std::size_t> failed{0};
    HandleBroker broker;
    std::mutex foldersMutex;
    std::set<const Folder*> written;
    // Every conversion ends here, once, whether it failed while written or
    // was named or dropped after its group's sync.
    auto finished = [&](std::size_t i, const ConvertResult& result) {
        broker.End();
        if (result.Is(FormatError::kCancelled)) {
            return;
        }
        if (result.Ok() && items[i].targetFolder) {
            const std::lock_guard<std::mutex> lock(foldersMutex);
            written.insert(items[i].targetFolder.get());
        }
        ++(result.Ok() ? converted : failed);
        observer.Finished(items[i], result);
    };
    SyncGroups groups(stop, finished);
    auto work = [&] {
        while (!stop.load()) {
            const std::size_t i = next.fetch_add(1);
            if (i >= items.size()) {
                return;
            }
            observer.Started(items[i]);
            std::unique_ptr<PendingTarget> pending;
            const ConvertResult result = WriteItem(items[i], stop, rows, broker, groups, pending);
            if (pending) {
                groups.Add(i, std::move(pending), !items[i].targetFolder);
                continue;
            }
            finished(i, result);
            if (result.Is(FormatError::kCancelled)) {
                return;
            }
        }
    };

    // Asked once: the count of cores is read from files, and a handle taken
    // by this thread while the workers run could make one of them give up.
    const std::size_t threads = BatchThreads(jobs, items.size());
    std::vector<std::thread> workers;
    for (std::size_t t = 1; t < threads; ++t) {
        try {
            workers.emplace_back(work);
        } catch (const std::system_error&) {
            // The system has no more threads to give: carry on with those
            // already running.
            break;
        }
    }
    work();
    for (auto& worker : workers) {
        worker.join();
    }
    groups.Finish();

    BatchOutcome outcome;
    outcome.converted = converted;
    outcome.failed = failed;
    outcome.interrupted = outcome.converted + outcome.failed < items.size();
    SyncTargetFolders(written, outcome);
    return outcome;
}

}  // namespace drovana
