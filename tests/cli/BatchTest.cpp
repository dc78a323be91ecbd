#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "BatchConvert.h"
#include "BatchRules.h"
#include "CliRun.h"
#include "ConvertError.h"
#include "ExecArguments.h"
#include "PathParts.h"
#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

#ifndef _WIN32
extern char** environ;
#endif

namespace drovana {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::S16Of;
using test::TempDir;
using test::WriteBytes;

class BatchTest : public ::testing::Test {
protected:
    // Writes a map under `name` and returns its bytes.
    std::vector<std::uint8_t> AddMap(const std::string& name, std::uint32_t seed) {
        auto shp = test::MakeMap(64, 48, test::MapStyle::kMixed, seed);
        WriteBytes(shp_ / name, shp);
        return shp;
    }

    std::set<std::string> PegNames() const {
        const auto names = peg_.Names();
        return {names.begin(), names.end()};
    }

    test::CliRun Batch(std::vector<std::string> options) {
        options.push_back(shp_.Path().string());
        options.push_back(peg_.Path().string());
        return test::RunCli(options);
    }

    TempDir shp_;
    TempDir peg_;
};

TEST_F(BatchTest, ConvertsWhatTheDialogListsIntoThePegFolder) {
    const auto first = AddMap("MAP01.SHP", 1);
    const auto second = AddMap("map02.shp", 2);
    const auto third = AddMap("Map.Old.Shp", 3);
    WriteBytes(shp_ / "notes.txt", {1, 2, 3});
    WriteBytes(shp_ / ".hidden.shp", {1, 2, 3});

    const test::CliRun run = Batch({"-j2"});

    EXPECT_EQ(run.status, kExitSuccess) << run.err;
    // Without -u nothing is skipped as up to date; the hidden map is told of.
    EXPECT_NE(run.err.find("3 converted, 0 failed, 0."), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(" s; 1 map not listed: hidden or read-only\n"), std::string::npos)
        << run.err;
    std::set<std::string> listed;
    for (const auto& name :
         ListCandidates(shp_.Path().string() + "/", peg_.Path().string() + "/", false).names) {
        listed.insert(TargetPathFor("", name).string());
    }
    EXPECT_EQ(PegNames(), listed);
    EXPECT_EQ(ReadBytes(peg_ / "MAP01.s16"), S16Of(first));
    EXPECT_EQ(ReadBytes(peg_ / "map02.s16"), S16Of(second));
    EXPECT_EQ(ReadBytes(peg_ / "Map.Old.s16"), S16Of(third));
}

TEST_F(BatchTest, AFailingFileInAParallelBatchFailsAloneWithStatusOne) {
    for (int i = 0; i < 9; ++i) {
        AddMap("MAP0" + std::to_string(i) + ".SHP", static_cast<std::uint32_t>(i));
    }
    WriteBytes(shp_ / "MAP04.SHP", {1, 2, 3});

    const test::CliRun run = Batch({"--jobs", "2"});

    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_NE(run.err.find("MAP04.SHP: not an SHP picture"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("8 converted, 1 failed"), std::string::npos) << run.err;
    EXPECT_EQ(PegNames().size(), 8u);
    EXPECT_EQ(PegNames().count("MAP04.s16"), 0u);
}

TEST_F(BatchTest, UpdateOnlyConvertsOnlyMapsWithoutS16) {
    AddMap("MAP01.SHP", 1);
    AddMap("MAP02.SHP", 2);
    WriteBytes(peg_ / "map01.S16", {9});

    const test::CliRun run = Batch({"--update-only"});

    EXPECT_EQ(run.status, kExitSuccess);
    EXPECT_NE(run.err.find("1 converted, 0 failed, 1 skipped as up to date"), std::string::npos);
    EXPECT_EQ(ReadBytes(peg_ / "map01.S16"), std::vector<std::uint8_t>{9});
    EXPECT_EQ(PegNames(), (std::set<std::string>{"map01.S16", "MAP02.s16"}));
}

TEST_F(BatchTest, DryRunPrintsThePlanAndConvertsNothing) {
    AddMap("MAP01.SHP", 1);
    const test::CliRun run = Batch({"-n"});
    EXPECT_EQ(run.status, kExitSuccess);
    EXPECT_EQ(run.out,
              (shp_ / "MAP01.SHP").string() + " -> " + (peg_ / "MAP01.s16").string() + "\n");
    EXPECT_TRUE(PegNames().empty());
}

TEST_F(BatchTest, QuietPrintsNothingOnSuccess) {
    AddMap("MAP01.SHP", 1);
    const test::CliRun run = Batch({"-q"});
    EXPECT_EQ(run.status, kExitSuccess);
    EXPECT_EQ(run.err, "");
}

TEST_F(BatchTest, AMissingFolderOrBadJobCountIsAUsageError) {
    const std::vector<std::string> cases[] = {
        {shp_.Path().string(), (peg_ / "missing").string()},
        {(shp_ / "missing").string() + "/", peg_.Path().string()},
        {"-j", "0", shp_.Path().string(), peg_.Path().string()},
        {"-j", "many", shp_.Path().string(), peg_.Path().string()},
    };
    for (const std::vector<std::string>& arguments : cases) {
        EXPECT_EQ(test::RunCli(arguments).status, kExitUsage) << testing::PrintToString(arguments);
    }
}

// Named first, the PeG folder holds no maps: say so before anything else and
// convert nothing, as for swapped names of one map. Only a folder with S16
// pictures and no map at all, listed or not, gets the hint.
TEST_F(BatchTest, ASourceFolderOfS16PicturesOnlyIsTakenForSwappedFolders) {
    const struct {
        std::vector<std::string> names;
        const char* option;
        bool hinted;
    } cases[] = {
        {{"MAP01.s16", "map02.S16"}, "-j1", true},
        {{"MAP01.s16"}, "-n", true},
        {{"MAP01.s16"}, "-q", true},
        {{"MAP01.s16", ".hidden.shp"}, "-j1", false},
        {{"notes.txt"}, "-j1", false},
    };
    for (const auto& c : cases) {
        TempDir maps;
        for (const std::string& name : c.names) {
            WriteBytes(maps / name, {1});
        }
        const test::CliRun run =
            test::RunCli({c.option, maps.Path().string(), peg_.Path().string()});
        const std::string hint = "shp2s16: " + maps.Path().string() + kPathSeparator +
                                 " holds S16 pictures but no maps: are the two folders swapped?\n";
        EXPECT_EQ(run.status, c.hinted ? kExitUsage : kExitSuccess);
        EXPECT_EQ(run.err.rfind(hint, 0) == 0, c.hinted) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(PegNames().empty());
    }
}

// Stops the batch as soon as the first file is done.
class StopAfterFirst final : public BatchObserver {
public:
    explicit StopAfterFirst(std::atomic<bool>& stop) : stop_(stop) {}
    void Started(const BatchItem&) override {}
    void Finished(const BatchItem&, const ConvertResult&) override { stop_ = true; }

private:
    std::atomic<bool>& stop_;
};

TEST_F(BatchTest, AStoppedBatchStartsNoNewFileAndLeavesNoPartialFile) {
    for (int i = 0; i < 6; ++i) {
        AddMap("MAP0" + std::to_string(i) + ".SHP", static_cast<std::uint32_t>(i));
    }
    const BatchPlan plan =
        PlanFolderBatch(shp_.Path().string() + "/", peg_.Path().string() + "/", false);
    std::atomic<bool> stop{false};
    StopAfterFirst observer(stop);

    const BatchOutcome outcome = ConvertBatch(plan.items, 1, stop, observer);

    EXPECT_TRUE(outcome.interrupted);
    EXPECT_EQ(outcome.converted, 1u);
    EXPECT_EQ(PegNames(), (std::set<std::string>{"MAP00.s16"}));
}

// Signals by number, to a program started by posix_spawn: POSIX only.
#ifndef _WIN32
// A 36-byte picture that asks for 32,768 rows of the widest fill: 17 MB of
// output from almost no input, so a batch of them runs long enough to be
// interrupted.
std::vector<std::uint8_t> WideFillPicture() {
    return test::ShpBuilder().Image({32767, 32767, 0, 0, 32767}).Build();
}

// A program started in the background with its output thrown away; killed
// if it is still running at the end of the test.
class Background {
public:
    explicit Background(std::vector<std::string> argv) {
        std::vector<char*> pointers = test::ExecArguments(argv);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, pointers[0], &actions, nullptr, pointers.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;
    ~Background() {
        if (Started() && Running()) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    bool Running() {
        if (!ended_ && ::waitpid(pid_, &waitStatus_, WNOHANG) == pid_) {
            ended_ = true;
        }
        return !ended_;
    }
    // True once the program has ended, within `timeout`.
    bool WaitFor(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (Running() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return !Running();
    }
    // The exit status, or -1 if a signal ended the program.
    int ExitStatus() const { return WIFEXITED(waitStatus_) ? WEXITSTATUS(waitStatus_) : -1; }

private:
    pid_t pid_ = -1;
    bool ended_ = false;
    int waitStatus_ = 0;
};

// Ctrl-C, kill and a closed terminal stop a batch alike; the status tells
// which, as shells report a program a signal stopped.
TEST_F(BatchTest, AStopSignalAbandonsConversionsAndExitsWith128PlusTheSignal) {
    const auto shp = WideFillPicture();
    constexpr int kFiles = 48;
    for (int i = 0; i < kFiles; ++i) {
        WriteBytes(shp_ / ("MAP" + std::to_string(100 + i) + ".SHP"), shp);
    }
    for (const auto& [signal, status] : {std::pair{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}}) {
        SCOPED_TRACE(testing::Message() << "signal " << signal);
        for (const std::string& name : PegNames()) {
            fs::remove(peg_ / name);
        }
        Background process({SHP2S16_PATH, "-j2", shp_.Path().string(), peg_.Path().string()});
        ASSERT_TRUE(process.Started());
        // Wait until a first target is complete and the next ones are under way.
        const auto completed = [this] {
            const auto names = PegNames();
            return std::count_if(names.begin(), names.end(),
                                 [](const std::string& name) { return name[0] != '.'; });
        };
        while (completed() < 1 && process.Running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ::kill(process.Pid(), signal);
        ASSERT_TRUE(process.WaitFor(std::chrono::seconds(60)));

        EXPECT_EQ(process.ExitStatus(), status);
        const std::size_t fullSize = 44 + 32768u * 129u * 4u;
        const auto names = PegNames();
        EXPECT_GE(names.size(), 1u);
        EXPECT_LT(names.size(), static_cast<std::size_t>(kFiles));
        for (const std::string& name : names) {
            EXPECT_EQ(name.rfind('.', 0), std::string::npos) << "temporary file left: " << name;
            EXPECT_EQ(fs::file_size(peg_ / name), fullSize) << name;
        }
    }
}

// Runs shp2s16 with its standard error in `err` under a file size limit,
// SIGXFSZ at its default and unblocked whatever the runner does with it: the
// program must ignore it itself. Returns the wait status.
int RunUnderFileSizeLimit(const std::vector<std::string>& argv, rlim_t limit, const fs::path& err) {
    std::vector<char*> pointers = test::ExecArguments(argv);
    const int fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const rlimit limited{limit, limit};
        sigset_t none;
        sigemptyset(&none);
        if (::dup2(fd, 2) == 2 && ::setrlimit(RLIMIT_FSIZE, &limited) == 0 &&
            std::signal(SIGXFSZ, SIG_DFL) != SIG_ERR &&
            ::sigprocmask(SIG_SETMASK, &none, nullptr) == 0) {
            ::execv(pointers[0], pointers.data());
        }
        ::_exit(127);
    }
    ::close(fd);
    int status = -1;
    ::waitpid(pid, &status, 0);
    return status;
}

TEST_F(BatchTest, AMapOverTheFileSizeLimitFailsAloneAndTheBatchGoesOn) {
    AddMap("MAP01.SHP", 1);
    AddMap("MAP03.SHP", 3);
    WriteBytes(shp_ / "MAP02.SHP", test::MakeMap(512, 256, test::MapStyle::kLiterals));
    TempDir scratch;

    const int status =
        RunUnderFileSizeLimit({SHP2S16_PATH, "-j1", shp_.Path().string(), peg_.Path().string()},
                              64 * 1024, scratch / "err");

    const auto bytes = ReadBytes(scratch / "err");
    const std::string err(bytes.begin(), bytes.end());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kExitFailure) << status << err;
    EXPECT_NE(err.find("MAP02.SHP: write error: File too large"), std::string::npos) << err;
    EXPECT_NE(err.find("2 converted, 1 failed"), std::string::npos) << err;
    EXPECT_EQ(PegNames(), (std::set<std::string>{"MAP01.s16", "MAP03.s16"}));
}
#else
TEST_F(BatchTest, AStopSignalAbandonsConversionsAndExitsWith128PlusTheSignal) {
    GTEST_SKIP() << "signals by number are POSIX; Windows stops a run with Ctrl-C only";
}
#endif

}  // namespace
}  // namespace drovana
