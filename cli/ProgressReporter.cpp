#include "ProgressReporter.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "PathParts.h"

namespace drovana {
namespace {

using Clock = std::chrono::steady_clock;

// Ten redraws a second keep the line readable and cost nothing.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr std::size_t kShownNameLength = 40;

std::string ShortName(const std::filesystem::path& source) {
    std::string name = TextOf(source.filename());
    if (name.size() > kShownNameLength) {
        std::size_t start = name.size() - kShownNameLength + 3;
        // Start on a character, not on one of the continuation bytes of a
        // UTF-8 sequence.
        while (start < name.size() && (static_cast<unsigned char>(name[start]) & 0xC0) == 0x80) {
            ++start;
        }
        name = "..." + name.substr(start);
    }
    return QuotedName(name);
}

// A failure of the target is told by the target's name: the map is fine.
std::filesystem::path NamedInFailure(const BatchItem& item, const ConvertResult& result) {
    switch (result.error) {
        case ConvertError::kTargetNotRegularFile:
        case ConvertError::kCannotCreateTarget:
        case ConvertError::kCannotReplaceTarget:
            return item.target;
        default:
            return item.source;
    }
}

}  // namespace

ProgressReporter::ProgressReporter(std::FILE* err, std::size_t total, Mode mode)
    : err_(err), total_(total), mode_(mode), start_(Clock::now()), lastDraw_(start_) {}

bool ProgressReporter::IsTerminal(std::FILE* stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

void ProgressReporter::Started(const BatchItem& item) {
    std::lock_guard<std::mutex> lock(mutex_);
    current_ = ShortName(item.source);
    DrawProgress(false);
}

void ProgressReporter::Finished(const BatchItem& item, const ConvertResult& result) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++done_;
    if (!result.Ok()) {
        ClearProgress();
        std::fprintf(err_, "shp2s16: %s: %s\n", QuotedPath(NamedInFailure(item, result)).c_str(),
                     DescribeConvertResult(result).c_str());
    }
    DrawProgress(done_ == total_);
}

void ProgressReporter::Summary(const BatchOutcome& outcome, const LeftOut& leftOut) {
    std::lock_guard<std::mutex> lock(mutex_);
    ClearProgress();
    if (outcome.syncError) {
        std::fprintf(err_, "shp2s16: %s: cannot sync folder: %s\n",
                     QuotedPath(outcome.unsyncedFolder).c_str(),
                     outcome.syncError.message().c_str());
    }
    if (mode_.quiet) {
        return;
    }
    std::string skipped;
    if (leftOut.upToDate) {
        skipped = std::to_string(*leftOut.upToDate) + " skipped as up to date, ";
    }
    std::string unlisted;
    if (leftOut.hiddenOrReadOnly > 0) {
        unlisted = "; " + std::to_string(leftOut.hiddenOrReadOnly) +
                   (leftOut.hiddenOrReadOnly == 1 ? " map" : " maps") +
                   " not listed: hidden or read-only";
    }
    std::fprintf(err_, "shp2s16: %s%zu converted, %zu failed, %s%.2f s%s\n",
                 outcome.interrupted ? "interrupted: " : "", outcome.converted, outcome.failed,
                 skipped.c_str(), Elapsed(), unlisted.c_str());
}

void ProgressReporter::DrawProgress(bool force) {
    if (!mode_.progressLine || mode_.quiet || total_ == 0) {
        return;
    }
    const Clock::time_point now = Clock::now();
    if (!force && now - lastDraw_ < kRedrawInterval) {
        return;
    }
    lastDraw_ = now;
    const double seconds = Elapsed();
    const double rate = seconds > 0 ? static_cast<double>(done_) / seconds : 0.0;
    // Carriage return and erase-to-end redraw the same line.
    std::fprintf(err_, "\r\033[K%zu/%zu files %3zu%%  %s  %.0f files/s", done_, total_,
                 100 * done_ / total_, current_.c_str(), rate);
    std::fflush(err_);
    lineShown_ = true;
}

void ProgressReporter::ClearProgress() {
    if (lineShown_) {
        std::fputs("\r\033[K", err_);
        lineShown_ = false;
    }
}

double ProgressReporter::Elapsed() const {
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

}  // namespace drovana
