#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "ConvertError.h"
#include "PendingTarget.h"

namespace drovana {

// Written conversions gathered into groups that are synced at once and then
// named, on a thread of their own while the next group is written: the disk
// commits many files together and the converting threads do not wait for
// it. A group holds at most kGroupFiles files or about kGroupBytes bytes, and
// at most one full group waits while another is synced, so that memory and
// handles stay bounded however large the batch.
class SyncGroups {
public:
    static constexpr std::size_t kGroupFiles = 64;
    static constexpr std::uint64_t kGroupBytes = std::uint64_t{64} << 20;

    // Told of each file once it is named or has failed, or with kCancelled
    // once it was dropped on `stop`; on whichever thread named it.
    using Done = std::function<void(std::size_t item, const ConvertResult& result)>;

    SyncGroups(const std::atomic<bool>& stop, Done done);
    SyncGroups(const SyncGroups&) = delete;
    SyncGroups& operator=(const SyncGroups&) = delete;
    ~SyncGroups();

    // Adds the written file of `item`; a full group is handed on, once the
    // one before it is being synced. `syncFolder` syncs its folder as soon as
    // it is named.
    void Add(std::size_t item, std::unique_ptr<PendingTarget> pending, bool syncFolder);

    // Hands the group on as it is, or the next file added alone: a
    // conversion is short of the file handles that written files hold.
    void HandOn();

    // Hands the last group on, or drops it on `stop`, and returns once every
    // file is done.
    void Finish();

private:
    struct Entry {
        std::size_t item;
        std::unique_ptr<PendingTarget> pending;
        bool syncFolder;
    };
    using Group = std::vector<Entry>;

    void Run();
    // Takes the open group; with no thread to sync it, syncs it here.
    void Seal(std::unique_lock<std::mutex>& lock);
    void SyncAndName(Group& group);
    void Drop(Group& group);

    const std::atomic<bool>& stop_;
    Done done_;
    std::mutex mutex_;
    std::condition_variable changed_;
    Group open_;
    std::uint64_t openBytes_ = 0;
    std::deque<Group> sealed_;
    bool handOnNext_ = false;
    bool finishing_ = false;
    std::thread thread_;
};

}  // namespace drovana
