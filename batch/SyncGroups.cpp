#include "SyncGroups.h"

#include <system_error>

namespace drovana {

SyncGroups::SyncGroups(const std::atomic<bool>& stop, Done done)
    : stop_(stop), done_(std::move(done)) {
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // No thread to spare: each group is synced by the thread that seals it.
    }
}

SyncGroups::~SyncGroups() {
    Finish();
}

void SyncGroups::Add(std::size_t item, std::unique_ptr<PendingTarget> pending, bool syncFolder) {
    std::unique_lock<std::mutex> lock(mutex_);
    openBytes_ += pending->Sink().Size();
    open_.push_back({item, std::move(pending), syncFolder});
    if (handOnNext_) {
        Seal(lock);
        return;
    }
    if (open_.size() >= kGroupFiles || openBytes_ >= kGroupBytes) {
        changed_.wait(lock, [&] { return sealed_.empty(); });
        if (!open_.empty()) {
            Seal(lock);
        }
    }
}

void SyncGroups::HandOn() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (open_.empty()) {
        handOnNext_ = true;
        return;
    }
    Seal(lock);
}

void SyncGroups::Finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (stop_.load()) {
        Group dropped = std::move(open_);
        open_.clear();
        lock.unlock();
        Drop(dropped);
        lock.lock();
    } else if (!open_.empty()) {
        Seal(lock);
    }
    finishing_ = true;
    lock.unlock();
    changed_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void SyncGroups::Seal(std::unique_lock<std::mutex>& lock) {
    Group group = std::move(open_);
    open_.clear();
    openBytes_ = 0;
    handOnNext_ = false;
    if (!thread_.joinable()) {
        lock.unlock();
        SyncAndName(group);
        lock.lock();
        return;
    }
    sealed_.push_back(std::move(group));
    changed_.notify_all();
}

void SyncGroups::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return !sealed_.empty() || finishing_; });
        if (sealed_.empty()) {
            return;
        }
        Group group = std::move(sealed_.front());
        sealed_.pop_front();
        changed_.notify_all();
        lock.unlock();
        SyncAndName(group);
        lock.lock();
    }
}

// A stop drops what is not yet named: nothing is named after it.
void SyncGroups::SyncAndName(Group& group) {
    if (stop_.load()) {
        Drop(group);
        return;
    }
    std::vector<AtomicFileSink*> sinks;
    for (Entry& entry : group) {
        sinks.push_back(&entry.pending->Sink());
    }
    AtomicFileSink::SyncGroup(sinks.data(), sinks.size());
    for (Entry& entry : group) {
        const ConvertResult result = stop_.load() ? FromFormat({FormatError::kCancelled})
                                                  : entry.pending->Name(entry.syncFolder);
        // Its handles go back before anyone is told.
        entry.pending.reset();
        done_(entry.item, result);
    }
}

void SyncGroups::Drop(Group& group) {
    for (Entry& entry : group) {
        entry.pending.reset();
        done_(entry.item, FromFormat({FormatError::kCancelled}));
    }
}

}  // namespace drovana
