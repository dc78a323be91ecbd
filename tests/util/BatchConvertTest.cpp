#include "BatchConvert.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "PathParts.h"
#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

namespace drovana {
namespace {

namespace fs = std::filesystem;

class SilentObserver final : public BatchObserver {
public:
    void Started(const BatchItem&) override {}
    void Finished(const BatchItem&, const ConvertResult&) override {}
};

// Names in any script, with spaces, and long ones reach the disk as they
// are, on every system: where paths are wide, through their UTF-8 text.
TEST(BatchConvert, NamesInAnyScriptConvertByteForByte) {
    const std::vector<std::string> titles = {"MAP 07", "K\xC3\xA4rte-\xE6\x97\xA5\xE6\x9C\xAC",
                                             std::string(196, 'n')};
    test::TempDir shp;
    test::TempDir peg;
    std::vector<std::vector<std::uint8_t>> maps;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        maps.push_back(test::MakeMap(16, 8, test::MapStyle::kMixed, static_cast<std::uint32_t>(i)));
        test::WriteBytes(shp.Path() / PathOf(titles[i] + ".shp"), maps.back());
    }

    const BatchPlan plan = PlanFolderBatch(TextOf(shp.Path()) + kPathSeparator,
                                           TextOf(peg.Path()) + kPathSeparator, false);
    ASSERT_EQ(plan.items.size(), titles.size());
    const std::atomic<bool> stop{false};
    SilentObserver observer;
    const BatchOutcome outcome = ConvertBatch(plan.items, 2, stop, observer);

    EXPECT_EQ(outcome.converted, titles.size());
    for (std::size_t i = 0; i < titles.size(); ++i) {
        EXPECT_EQ(test::ReadBytes(peg.Path() / PathOf(titles[i] + ".s16")), test::S16Of(maps[i]))
            << titles[i];
    }
}

#ifndef _WIN32
// Converts `plan` on 64 jobs in a child whose handle limit leaves `spare`
// descriptor numbers free (it bounds numbers, and open ones leave gaps);
// returns the maps not converted, or -1 when the child went wrong.
int LostShortOfHandles(const BatchPlan& plan, rlim_t spare) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(60);  // a batch that waits forever fails too
        rlim_t limit = 0;
        for (rlim_t free = 0; free < spare; ++limit) {
            free += ::fcntl(static_cast<int>(limit), F_GETFD) == -1 ? 1 : 0;
        }
        const rlimit limits{limit, limit};
        const std::atomic<bool> stop{false};
        SilentObserver observer;
        const std::size_t converted = ::setrlimit(RLIMIT_NOFILE, &limits) == 0
                                          ? ConvertBatch(plan.items, 64, stop, observer).converted
                                          : 0;
        ::_exit(static_cast<int>(std::min<std::size_t>(plan.items.size() - converted, 255)));
    }
    int status = 0;
    const bool exited = pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status);
    return exited ? WEXITSTATUS(status) : -1;
}

// Room for one conversion, or a little more, among many threads; with three
// handles a second run replaces what the first wrote, which may take one
// more. A few rounds make a missed wake-up show.
TEST(BatchConvert, ManyJobsShortOfFileHandlesFailNoMap) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizers need file handles of their own";
#endif
    test::TempDir shp;
    for (std::uint32_t i = 0; i < 400; ++i) {
        test::WriteBytes(shp / ("MAP" + std::to_string(i) + ".SHP"),
                         test::MakeMap(4, 3, test::MapStyle::kMixed, i));
    }
    for (int round = 0; round < 3; ++round) {
        for (const auto& [spare, runs] : {std::pair<rlim_t, int>{2, 1}, {3, 2}}) {
            test::TempDir peg;
            const BatchPlan plan = PlanFolderBatch(TextOf(shp.Path()) + kPathSeparator,
                                                   TextOf(peg.Path()) + kPathSeparator, false);
            for (int run = 0; run < runs; ++run) {
                EXPECT_EQ(LostShortOfHandles(plan, spare), 0) << spare << " spare, run " << run;
            }
        }
    }
}
#endif

}  // namespace
}  // namespace drovana
