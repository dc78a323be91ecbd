#include "BatchConvert.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

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
// Converts on 64 jobs in a child that leaves `spare` handle numbers free.
bool AllConvertedShortOfHandles(const BatchPlan& plan, rlim_t spare) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(60);  // a batch that waits forever fails too
        rlimit limit{0, 0};
        for (rlim_t free = 0; free < spare; limit.rlim_max = ++limit.rlim_cur) {
            free += ::fcntl(static_cast<int>(limit.rlim_cur), F_GETFD) == -1 ? 1 : 0;
        }
        const std::atomic<bool> stop{false};
        SilentObserver observer;
        const bool all =
            ::setrlimit(RLIMIT_NOFILE, &limit) == 0 &&
            ConvertBatch(plan.items, 64, stop, observer).converted == plan.items.size();
        ::_exit(all ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && status == 0;  // exited with 0
}

// Rounds with room for one conversion or a little more, writing new targets
// and then replacing them.
TEST(BatchConvert, ManyJobsShortOfFileHandlesFailNoMap) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizers need file handles of their own";
#endif
    test::TempDir shp;
    std::vector<std::vector<std::uint8_t>> s16s;
    for (std::uint32_t i = 0; i < 400; ++i) {
        const std::vector<std::uint8_t> map =
            test::MakeMap(4 + i % 5, 3, test::MapStyle::kMixed, i);
        test::WriteBytes(shp / ("MAP" + std::to_string(i) + ".SHP"), map);
        s16s.push_back(test::S16Of(map));
    }
    // Every target whole and no temporary file left.
    auto expectAllWritten = [&](const test::TempDir& peg) {
        EXPECT_EQ(peg.Names().size(), s16s.size());
        for (std::size_t i = 0; i < s16s.size(); ++i) {
            EXPECT_EQ(test::ReadBytes(peg / ("MAP" + std::to_string(i) + ".s16")), s16s[i]) << i;
        }
    };
    for (int round = 0; round < 6; ++round) {
        test::TempDir peg;
        const BatchPlan plan = PlanFolderBatch(TextOf(shp.Path()) + kPathSeparator,
                                               TextOf(peg.Path()) + kPathSeparator, false);
        const rlim_t spare = 2 + round % 2;
        EXPECT_TRUE(AllConvertedShortOfHandles(plan, spare)) << spare;
        expectAllWritten(peg);
        EXPECT_TRUE(AllConvertedShortOfHandles(plan, spare)) << "replacing with " << spare;
        expectAllWritten(peg);
    }
}
#endif

}  // namespace
}  // namespace drovana
