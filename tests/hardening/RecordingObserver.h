#pragma once

#include <map>
#include <mutex>
#include <string>

#include "BatchConvert.h"

namespace drovana::test {

// Records what a batch reported for each source.
class RecordingObserver final : public BatchObserver {
public:
    void Started(const BatchItem&) override {}
    void Finished(const BatchItem& item, const ConvertResult& result) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        errors_[item.source.filename().string()] = result.error;
    }
    std::map<std::string, ConvertError> Errors() const { return errors_; }

private:
    std::mutex mutex_;
    std::map<std::string, ConvertError> errors_;
};

}  // namespace drovana::test
