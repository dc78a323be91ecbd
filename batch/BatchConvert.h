#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "ConvertError.h"
#include "Folder.h"
#include "S16Format.h"
#include "StoredPath.h"

// Converting many files on several threads: the batch engine that the dialog
// and shp2s16 share.
namespace drovana {

// One conversion. Items of a folder batch also hold the two folders, opened
// once: their files are found there even if a folder's path is swapped while
// the batch runs, and links in them are followed only where the link and its
// file have one owner, since others may be able to write there.
struct BatchItem {
    StoredPath source;
    StoredPath target;
    std::shared_ptr<const Folder> sourceFolder = nullptr;
    std::shared_ptr<const Folder> targetFolder = nullptr;
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

// The conversions of the listed names (bare file names, as ListCandidates
// gives them) from one folder text into another.
BatchPlan PlanNamedBatch(const std::string& shpFolder, const std::string& pegFolder,
                         const std::vector<std::filesystem::path>& names);

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
    // A folder whose new names could not be made durable at the end.
    std::error_code syncError;
    std::filesystem::path unsyncedFolder;

    bool Ok() const { return failed == 0 && !interrupted && !syncError; }
};

// How many threads a batch of `items` files runs on when asked for `jobs`:
// never more than there are files, nor more than a few per core.
std::size_t BatchThreads(int jobs, std::size_t items);

// Converts every item on up to `jobs` threads. The new files are synced in
// groups, each file named only once its data is on the disk, and the folders
// written into are synced once at the end. Once `stop` is set no new file is
// started, and the conversions under way and the files not yet named are
// abandoned, leaving no partial file; targets already named stay. A
// conversion that runs out of file handles waits for another to end and
// tries again.
BatchOutcome ConvertBatch(const std::vector<BatchItem>& items, int jobs,
                          const std::atomic<bool>& stop, BatchObserver& observer,
                          S16Rows rows = S16Rows::kWhole);

}  // namespace drovana
