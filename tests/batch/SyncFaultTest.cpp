// A disk that fails to sync: the system's sync calls are replaced here, for
// this test program only, by ones that fail on demand.
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "BatchConvert.h"
#include "FileIo.h"
#include "PathParts.h"
#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

namespace {

// A sync of a regular file of this size fails, as does every sync of a whole
// file system while it is set; -1 for none.
std::atomic<long long> failFileOfSize{-1};
std::atomic<bool> failFolderSync{false};

bool IsFileOf(int fd, bool folder, long long size = -1) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return false;
    }
    return folder ? S_ISDIR(status.st_mode) : S_ISREG(status.st_mode) && status.st_size == size;
}

int Failed() {
    errno = EIO;
    return -1;
}

}  // namespace

extern "C" int fdatasync(int fd) {
    if (failFileOfSize >= 0 && IsFileOf(fd, false, failFileOfSize)) {
        return Failed();
    }
    return static_cast<int>(::syscall(SYS_fdatasync, fd));
}

extern "C" int syncfs(int fd) noexcept {
    return failFileOfSize >= 0 ? Failed() : static_cast<int>(::syscall(SYS_syncfs, fd));
}

extern "C" int fsync(int fd) {
    if (failFolderSync && IsFileOf(fd, true)) {
        return Failed();
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace drovana {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kOldTarget = {'o', 'l', 'd'};

class Recorder final : public BatchObserver {
public:
    void Started(const BatchItem&) override {}
    void Finished(const BatchItem& item, const ConvertResult& result) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!result.Ok()) {
            failures[item.source.filename().string()] = result;
        }
    }
    std::map<std::string, ConvertResult> failures;

private:
    std::mutex mutex_;
};

// `count` maps with old targets; MAP0 is larger than the rest.
std::vector<Bytes> WriteMaps(const test::TempDir& shp, const test::TempDir& peg, int count) {
    std::vector<Bytes> maps;
    for (int i = 0; i < count; ++i) {
        maps.push_back(test::MakeMap(i == 0 ? 64 : 16, 8, test::MapStyle::kMixed,
                                     static_cast<std::uint32_t>(i)));
        test::WriteBytes(shp / ("MAP" + std::to_string(i) + ".SHP"), maps.back());
        test::WriteBytes(peg / ("MAP" + std::to_string(i) + ".s16"), kOldTarget);
    }
    return maps;
}

BatchOutcome RunBatch(const test::TempDir& shp, const test::TempDir& peg, Recorder& recorder) {
    const BatchPlan plan = PlanFolderBatch(TextOf(shp.Path()) + kPathSeparator,
                                           TextOf(peg.Path()) + kPathSeparator, false);
    const std::atomic<bool> stop{false};
    return ConvertBatch(plan.items, 2, stop, recorder);
}

// Few files are synced one by one, many at once: either way only the map
// whose sync failed fails, and its old target stays.
TEST(SyncFaults, AFileThatCannotBeSyncedFailsAloneAndKeepsItsOldTarget) {
    for (const int count : {5, 150}) {
        SCOPED_TRACE(count);
        test::TempDir shp;
        test::TempDir peg;
        const std::vector<Bytes> maps = WriteMaps(shp, peg, count);
        failFileOfSize = static_cast<long long>(test::S16Of(maps[0]).size());
        Recorder recorder;
        const BatchOutcome outcome = RunBatch(shp, peg, recorder);
        failFileOfSize = -1;

        EXPECT_EQ(outcome.failed, 1u);
        EXPECT_EQ(outcome.converted, static_cast<std::size_t>(count - 1));
        ASSERT_EQ(recorder.failures.count("MAP0.SHP"), 1u);
        EXPECT_TRUE(recorder.failures["MAP0.SHP"].Is(FormatError::kWriteError));
        EXPECT_EQ(recorder.failures["MAP0.SHP"].system,
                  std::error_code(EIO, std::generic_category()));
        for (int i = 0; i < count; ++i) {
            const Bytes expected = i == 0 ? kOldTarget : test::S16Of(maps[i]);
            EXPECT_EQ(test::ReadBytes(peg / ("MAP" + std::to_string(i) + ".s16")), expected) << i;
        }
        EXPECT_EQ(test::NamesIn(peg.Path()).size(), static_cast<std::size_t>(count));
    }
}

TEST(SyncFaults, AFolderThatCannotBeSyncedFailsTheRun) {
    test::TempDir shp;
    test::TempDir peg;
    WriteMaps(shp, peg, 3);
    failFolderSync = true;
    Recorder recorder;
    const BatchOutcome outcome = RunBatch(shp, peg, recorder);
    failFolderSync = false;

    EXPECT_FALSE(outcome.Ok());
    EXPECT_EQ(outcome.syncError, std::error_code(EIO, std::generic_category()));
    EXPECT_TRUE(std::filesystem::equivalent(outcome.unsyncedFolder, peg.Path()));
}

}  // namespace
}  // namespace drovana
#endif
