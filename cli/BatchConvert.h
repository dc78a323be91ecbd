#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "ConvertError.h"

// Converting many files on several threads, for the command line.
namespace drovana {

struct BatchItem {
    std::filesystem::path source;
    std::filesystem::path target;
};

// The conversions a folder batch makes: the files the dialog would list for
// the same folders and switch, with the same names.
struct BatchPlan {
    std::vector<BatchItem> items;
    std::size_t upToDate = 0;            // left out because their S16 exists
    std::error_code error;               // a folder could not be listed: no items
    std::filesystem::path failedFolder;  // which folder that was
};

BatchPlan PlanFolderBatch(const std::string& shpFolder, const std::string& pegFolder,
                          bool updateOnly);

// Told about every file; called from the worker threads, so an observer
// guards its own state.
class BatchObserver {
public:
    virtual ~BatchObserver() = default;
    virtual void Started(const BatchItem& item) = 0;
    virtual void Finished(const BatchItem& item, const ConvertResult& result) = 0;
};

struct BatchOutcome {
    std::size_t converted = 0;
    std::size_t failed = 0;
    bool interrupted = false;  // `stop` was set before every file was done
};

// Converts every item on `jobs` threads. Once `stop` is set no new file is
// started and the conversions under way are abandoned, leaving no partial
// file; targets already written stay.
BatchOutcome ConvertBatch(const std::vector<BatchItem>& items, int jobs,
                          const std::atomic<bool>& stop, BatchObserver& observer);

}  // namespace drovana
