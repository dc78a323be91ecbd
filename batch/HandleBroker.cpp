#include "HandleBroker.h"

namespace drovana {

std::size_t HandleBroker::Begin() {
    const std::lock_guard<std::mutex> lock(mutex_);
    ++holders_;
    return returned_;
}

void HandleBroker::End() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        --holders_;
        ++ends_;
        ++returned_;
        holders_ += waiting_;
        waiting_ = 0;
    }
    ended_.notify_all();
}

bool HandleBroker::MayRetry(std::size_t& ticket, const std::atomic<bool>& stop) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (returned_ == ticket) {
        if (holders_ <= 1) {
            return false;
        }
        const std::size_t endsSeen = ends_;
        --holders_;
        ++waiting_;
        ++returned_;
        ended_.wait(lock, [&] { return ends_ != endsSeen || stop.load(); });
        // Woken by `stop` alone, it still counts among the waiting.
        if (ends_ == endsSeen) {
            --waiting_;
            ++holders_;
        }
    }
    ticket = returned_;
    return !stop.load();
}

}  // namespace drovana
