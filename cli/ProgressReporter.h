#pragma once

#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>

#include "BatchConvert.h"

namespace drovana {

// What a batch tells the user on standard error: one line per failed file,
// a progress line redrawn in place when that is a terminal, and a summary.
class ProgressReporter final : public BatchObserver {
public:
    struct Mode {
        bool progressLine = false;  // standard error is a terminal
        bool quiet = false;         // failures only
    };

    ProgressReporter(std::FILE* err, std::size_t total, Mode mode);

    static bool IsTerminal(std::FILE* stream);

    void Started(const BatchItem& item) override;
    void Finished(const BatchItem& item, const ConvertResult& result) override;

    // The maps a folder batch left out, and why.
    struct LeftOut {
        std::optional<std::size_t> upToDate;  // counted only with the update switch
        std::size_t hiddenOrReadOnly = 0;
    };

    // "3 converted, 1 failed, 2 skipped as up to date, 0.4 s", and after it
    // "; 2 maps not listed: hidden or read-only" when some were.
    void Summary(const BatchOutcome& outcome, const LeftOut& leftOut);

private:
    void DrawProgress(bool force);
    void ClearProgress();
    double Elapsed() const;

    std::FILE* err_;
    std::size_t total_;
    Mode mode_;
    std::mutex mutex_;
    std::size_t done_ = 0;
    std::string current_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
    bool lineShown_ = false;
};

}  // namespace drovana
