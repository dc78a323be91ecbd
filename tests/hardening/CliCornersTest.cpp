#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "ChildProcess.h"
#include "CliRun.h"
#include "HardeningSupport.h"
#include "S16Bytes.h"
#include "TestFiles.h"

// shp2s16 where its surroundings fail: a folder it may not list, a standard
// stream it cannot write to. The status must say so and nothing may be lost.
namespace drovana::test {
namespace {

namespace fs = std::filesystem;

// MAP01.SHP and MAP02.SHP in shp/; an old MAP01.s16 in peg/.
struct FilledFolders : Folders {
    FilledFolders() {
        WriteBytes(shp / "MAP01.SHP", map);
        WriteBytes(shp / "MAP02.SHP", map);
        WriteBytes(peg / "MAP01.s16", {'o', 'l', 'd'});
    }

    const Bytes map = SmallMap(1);
};

// The PeG folder stays writable: taken for an empty folder, it would let -u
// overwrite every old S16 in it.
TEST(CliCorners, AFolderThatCannotBeListedIsAUsageErrorAndConvertsNothing) {
    const fs::perms writeOnly = fs::perms::owner_write | fs::perms::owner_exec;
    for (const auto& [peg, perms, option] : {std::tuple{false, fs::perms::none, ""},
                                             {false, fs::perms::none, "-n"},
                                             {true, writeOnly, "-u"}}) {
        SCOPED_TRACE(testing::Message() << (peg ? "PeG folder " : "SHP folder ") << option);
        FilledFolders folders;
        const fs::path folder = peg ? folders.peg : folders.shp;
        const AccessGuard guard(folder);
        EXPECT_CHILD_PASSES(RunInChild([&] {
            const std::string why = DropDacOverride();
            if (!why.empty()) {
                GTEST_SKIP() << "an unreadable folder needs CAP_DAC_OVERRIDE dropped: " << why;
            }
            const FolderState before = StateOf(folders.peg);
            fs::permissions(folder, perms);
            std::vector<std::string> arguments = {folders.shp.string(), folders.peg.string()};
            if (*option != '\0') {
                arguments.insert(arguments.begin(), option);
            }
            const CliRun run = RunCli(arguments);
            fs::permissions(folder, fs::perms::owner_all);

            EXPECT_EQ(run.status, kExitUsage);
            EXPECT_EQ(run.err,
                      "shp2s16: " + folder.string() + "/: cannot list folder: Permission denied\n");
            EXPECT_EQ(StateOf(folders.peg), before);
        }));
    }
}

// Lost output fails the run, a closed pipe does not kill the program
// silently, and the conversions are still made.
TEST(CliCorners, OutputThatCannotBeWrittenFailsTheRun) {
    for (const auto& [option, stream, pipe] : {std::tuple{"--help", 1, false},
                                               {"-n", 1, false},
                                               {"-n", 1, true},
                                               {"-j1", 2, false},
                                               {"-j1", 2, true}}) {
        SCOPED_TRACE(testing::Message() << option << " " << stream << (pipe ? "|" : ">/dev/full"));
        FilledFolders folders;
        int fds[2] = {-1, ::open("/dev/full", O_WRONLY | O_CLOEXEC)};
        if (pipe) {
            ::close(fds[1]);
            ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
            ::close(fds[0]);
        }
        const FolderState before = StateOf(folders.peg);

        const ProgramRun run = RunProgramWith(
            {SHP2S16_PATH, option, folders.shp.string(), folders.peg.string()}, stream, fds[1]);
        ::close(fds[1]);

        EXPECT_EQ(run.status, kExitFailure);
        if (stream == 1) {
            EXPECT_EQ(run.err, std::string("shp2s16: cannot write to standard output: ") +
                                   (pipe ? "Broken pipe\n" : "No space left on device\n"));
            EXPECT_EQ(StateOf(folders.peg), before);
        } else {
            const std::string converted = FileState(S16Of(folders.map));
            EXPECT_EQ(StateOf(folders.peg),
                      (FolderState{{"MAP01.s16", converted}, {"MAP02.s16", converted}}));
        }
    }
}

}  // namespace
}  // namespace drovana::test
