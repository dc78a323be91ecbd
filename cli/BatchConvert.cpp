#include "BatchConvert.h"

#include <algorithm>
#include <thread>

#include "BatchRules.h"
#include "ConvertShpToS16.h"

namespace drovana {

BatchPlan PlanFolderBatch(const std::string& shpFolder, const std::string& pegFolder,
                          bool updateOnly) {
    const CandidateList candidates = ListCandidates(shpFolder, pegFolder, updateOnly);
    BatchPlan plan;
    plan.upToDate = candidates.upToDate;
    plan.error = candidates.error;
    plan.failedFolder = candidates.failedFolder;
    for (const auto& name : candidates.names) {
        plan.items.push_back({SourcePathFor(shpFolder, name), TargetPathFor(pegFolder, name)});
    }
    return plan;
}

BatchOutcome ConvertBatch(const std::vector<BatchItem>& items, int jobs,
                          const std::atomic<bool>& stop, BatchObserver& observer) {
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> converted{0};
    std::atomic<std::size_t> failed{0};
    auto work = [&] {
        while (!stop.load()) {
            const std::size_t i = next.fetch_add(1);
            if (i >= items.size()) {
                return;
            }
            observer.Started(items[i]);
            const ConvertResult result = ConvertShpFile(items[i].source, items[i].target, &stop);
            if (result.error == ConvertError::kCancelled) {
                return;
            }
            ++(result.Ok() ? converted : failed);
            observer.Finished(items[i], result);
        }
    };

    const auto threads = static_cast<std::size_t>(std::max(1, jobs));
    std::vector<std::thread> workers;
    for (std::size_t t = 1; t < std::min(threads, items.size()); ++t) {
        workers.emplace_back(work);
    }
    work();
    for (auto& worker : workers) {
        worker.join();
    }

    BatchOutcome outcome;
    outcome.converted = converted;
    outcome.failed = failed;
    outcome.interrupted = outcome.converted + outcome.failed < items.size();
    return outcome;
}

}  // namespace drovana
