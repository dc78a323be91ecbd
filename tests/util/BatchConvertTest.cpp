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
// The handle limit that leaves exactly `spare` descriptor numbers free: a
// limit bounds the numbers, and the open ones may leave gaps below it.
rlim_t LimitLeaving(rlim_t spare) {
    rlim_t limit = 0;
    for (rlim_t free = 0; free < spare; ++limit) {
        free += ::fcntl(static_cast<int>(limit), F_GETFD) == -1 ? 1 : 0;
    }
    return limit;
}

// How many maps a batch of `jobs` fails in a child process that may open only
// `spare` more file handles; -1 when the child went wrong.
int FailuresShortOfHandles(const BatchPlan& plan, int jobs, rlim_t spare) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A batch that waits forever is a failure too.
        ::alarm(60);
        const rlim_t most = LimitLeaving(spare);
        const rlimit limit{most, most};
        if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) {
            ::_exit(255);
        }
        const std::atomic<bool> stop{false};
        SilentObserver observer;
        const BatchOutcome outcome = ConvertBatch(plan.items, jobs, stop, observer);
        const std::size_t lost = plan.items.size() - outcome.converted;
        ::_exit(static_cast<int>(std::min<std::size_t>(lost, 254)));
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

// Room for one conversion or a little more among many threads: every map
// must still be converted, however the threads meet.
TEST(BatchConvert, ManyJobsShortOfFileHandlesFailNoMap) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizers need file handles of their own";
#endif
    test::TempDir shp;
    for (std::uint32_t i = 0; i < 400; ++i) {
        test::WriteBytes(shp / ("MAP" + std::to_string(i) + ".SHP"),
                         test::MakeMap(4, 3, test::MapStyle::kMixed, i));
    }
    // Replacing a target may take a handle more, for the old one: with
    // three, the second run replaces what the first wrote.
    const struct {
        rlim_t spare;
        int runs;
    } cases[] = {{2, 1}, {3, 2}};
    // Threads meet by chance: a few rounds make a missed wake-up show.
    for (int round = 0; round < 3; ++round) {
        for (const auto& c : cases) {
            test::TempDir peg;
            const BatchPlan plan = PlanFolderBatch(TextOf(shp.Path()) + kPathSeparator,
                                                   TextOf(peg.Path()) + kPathSeparator, false);
            ASSERT_EQ(plan.items.size(), 400u);
            for (int run = 0; run < c.runs; ++run) {
                EXPECT_EQ(FailuresShortOfHandles(plan, 64, c.spare), 0)
                    << c.spare << " spare handles, run " << run;
            }
        }
    }
}
#endif

}  // namespace
}  // namespace drovana
