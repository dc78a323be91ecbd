#include "BatchConvert.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include "BatchRules.h"
#include "ConvertShpToS16.h"

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

// Conversions under way, so that one that ran out of file handles can wait
// until another gives its handles back. Handles come back when a conversion
// ends and when one starts to wait, having closed its files. A conversion
// short of handles tries again at once if any came back during its attempt,
// waits for an end while another conversion may hold some, and gives up only
// when none does: then they are held elsewhere. A waiting one counts as a
// holder again from the moment an end wakes it, before it runs, so that no
// other gives up in between.
class HandleBroker {
public:
    // Returns a ticket: how often handles had come back when this one began.
    std::size_t Begin() {
        const std::lock_guard<std::mutex> lock(mutex_);
        ++holders_;
        return returned_;
    }

    // Also after giving up: the waiting ones may find the handles it did not.
    void End() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            --holders_;
            ++ended_;
            ++returned_;
            holders_ += waiting_;
            waiting_ = 0;
        }
        ended.notify_all();
    }

    // After running out of handles: true when it is worth trying again,
    // false when no other conversion may hold handles, or on `stop`.
    bool MayRetry(std::size_t& ticket, const std::atomic<bool>& stop) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (returned_ == ticket) {
            if (holders_ <= 1) {
                return false;
            }
            const std::size_t endsSeen = ended_;
            --holders_;
            ++waiting_;
            ++returned_;
            ended.wait(lock, [&] { return ended_ != endsSeen || stop.load(); });
            // Woken by `stop` alone, it still counts among the waiting.
            if (ended_ == endsSeen) {
                --waiting_;
                ++holders_;
            }
        }
        ticket = returned_;
        return !stop.load();
    }

private:
    std::condition_variable ended;
    std::mutex mutex_;
    std::size_t holders_ = 0;  // running, or woken to retry
    std::size_t waiting_ = 0;
    std::size_t ended_ = 0;
    std::size_t returned_ = 0;  // ends and starts of waiting
};

ConvertResult ConvertItem(const BatchItem& item, const std::atomic<bool>& stop, S16Rows rows,
                          HandleBroker& broker) {
    const ConvertOptions options = OptionsFor(item, stop, rows);
    std::size_t ticket = broker.Begin();
    ConvertResult result;
    do {
        result = ConvertShpFile(item.source, item.target, options);
    } while (IsOutOfFileHandles(result.system) && broker.MayRetry(ticket, stop));
    broker.End();
    if (IsOutOfFileHandles(result.system) && stop.load()) {
        result = FromFormat({FormatError::kCancelled});
    }
    return result;
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
    auto work = [&] {
        while (!stop.load()) {
            const std::size_t i = next.fetch_add(1);
            if (i >= items.size()) {
                return;
            }
            observer.Started(items[i]);
            const ConvertResult result = ConvertItem(items[i], stop, rows, broker);
            if (result.Is(FormatError::kCancelled)) {
                return;
            }
            if (result.Ok() && items[i].targetFolder) {
                const std::lock_guard<std::mutex> lock(foldersMutex);
                written.insert(items[i].targetFolder.get());
            }
            ++(result.Ok() ? converted : failed);
            observer.Finished(items[i], result);
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

    BatchOutcome outcome;
    outcome.converted = converted;
    outcome.failed = failed;
    outcome.interrupted = outcome.converted + outcome.failed < items.size();
    SyncTargetFolders(written, outcome);
    return outcome;
}

}  // namespace drovana
