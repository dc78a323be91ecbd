#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace drovana {

// Conversions under way, so that one that ran out of file handles can wait
// until another gives its handles back. A conversion holds handles from its
// start until its new file is named or dropped, also while that file waits
// for its sync. Handles come back when a conversion ends and when one starts
// to wait, having closed its files. A conversion short of handles tries
// again at once if any came back during its attempt, waits for an end while
// another conversion may hold some, and gives up only when none does: then
// they are held elsewhere. A waiting one counts as a holder again from the
// moment an end wakes it, before it runs, so that no other gives up in
// between.
class HandleBroker {
public:
    // Returns a ticket: how often handles had come back when this one began.
    std::size_t Begin();

    // Also after giving up: the waiting ones may find the handles it did not.
    void End();

    // After running out of handles: true when it is worth trying again,
    // false when no other conversion may hold handles, or on `stop`.
    bool MayRetry(std::size_t& ticket, const std::atomic<bool>& stop);

private:
    std::condition_variable ended_;
    std::mutex mutex_;
    std::size_t holders_ = 0;  // running, or woken to retry
    std::size_t waiting_ = 0;
    std::size_t ends_ = 0;
    std::size_t returned_ = 0;  // ends and starts of waiting
};

}  // namespace drovana
