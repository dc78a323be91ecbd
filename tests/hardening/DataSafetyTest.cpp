#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BatchConvert.h"
#include "ChildProcess.h"
#include "CliRun.h"
#include "ConvertShpToS16.h"
#include "ExecArguments.h"
#include "FileIo.h"
#include "HardeningSupport.h"
#include "RecordingObserver.h"
#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "ShpFormat.h"
#include "ShpToS16.h"
#include "TestFiles.h"

extern char** environ;

// What the user has is never lost: the source is never its own target, links
// others planted are not followed, a batch stays in the folders it opened, a
// shortage of file handles only slows a batch, and replaced targets keep
// their metadata.
namespace drovana::test {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

BatchOutcome RunBatch(const BatchPlan& plan, int jobs, RecordingObserver& observer) {
    const std::atomic<bool> stop{false};
    return ConvertBatch(plan.items, jobs, stop, observer);
}

TEST(SameFile, ATargetThatIsTheSourceIsRefusedAndTheSourceKept) {
    const struct {
        const char* name;
        void (*make)(const fs::path& source, const fs::path& target);
    } cases[] = {
        {"the same name", nullptr},
        {"a link to the source",
         [](const fs::path& source, const fs::path& target) {
             fs::create_symlink(source.filename(), target);
         }},
        {"a hard link", [](const fs::path& source,
                           const fs::path& target) { fs::create_hard_link(source, target); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path source = dir / "a.shp";
        WriteBytes(source, SmallMap(1));
        const fs::path target = c.make ? dir / "a.s16" : source;
        if (c.make) {
            c.make(source, target);
        }
        const FolderState before = StateOf(dir.Path());
        EXPECT_EQ(ConvertShpFile(source, target).error, ConvertError::kTargetIsSource);
        // Named twice, the map is refused as itself, not as swapped operands.
        const CliRun run = RunCli({source.string(), target.string()});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(": target is the source"), std::string::npos) << run.err;
        EXPECT_EQ(StateOf(dir.Path()), before);
    }
}

TEST(SameFile, AFolderBatchRefusesATargetLinkedToItsSourceAndGoesOn) {
    Folders folders;
    const Bytes first = SmallMap(1);
    const Bytes second = SmallMap(2);
    WriteBytes(folders.shp / "MAP01.SHP", first);
    WriteBytes(folders.shp / "MAP02.SHP", second);
    fs::create_symlink("../shp/MAP01.SHP", folders.peg / "MAP01.s16");

    const CliRun run = RunCli({"-j1", folders.shp.string(), folders.peg.string()});

    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("MAP01.SHP: target is the source"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(folders.shp / "MAP01.SHP"), first);
    EXPECT_EQ(ReadBytes(folders.peg / "MAP02.s16"), S16Of(second));
}

std::string LinkOwnedBy(const fs::path& text, const fs::path& link, uid_t owner) {
    fs::create_symlink(text, link);
    return ::lchown(link.c_str(), owner, owner) == 0
               ? std::string()
               : "lchown needs a privilege this machine lacks: " + std::string(strerror(errno));
}

TEST(ForeignLinks, FolderBatchesFollowALinkOnlyWhereItsOwnerOwnsTheFile) {
    Folders folders;
    // Root's files; "secret" is a picture, so that following the link would
    // convert it and show its content to all.
    const Bytes secret = SmallMap(7);
    const Bytes victim = {'r', 'o', 'o', 't'};
    const Bytes own = SmallMap(3);
    const Bytes plain = SmallMap(1);
    WriteBytes(folders.dir / "secret", secret);
    WriteBytes(folders.dir / "victim", victim);
    WriteBytes(folders.dir / "own.shp", own);
    fs::permissions(folders.dir / "secret", fs::perms::owner_read | fs::perms::owner_write);
    WriteBytes(folders.shp / "MAP01.SHP", plain);
    EXPECT_CHILD_PASSES(RunInChild([&] {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "planting links of another owner needs root";
        }
        for (const std::string& why : {LinkOwnedBy("../secret", folders.shp / "KEY.SHP", kNobody),
                                       LinkOwnedBy("../victim", folders.peg / "MAP01.s16", kNobody),
                                       LinkOwnedBy("../own.shp", folders.shp / "OWN.SHP", 0)}) {
            if (!why.empty()) {
                GTEST_SKIP() << why;
            }
        }

        const CliRun run = RunCli({"-j2", folders.shp.string(), folders.peg.string()});

        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find("1 converted, 2 failed"), std::string::npos) << run.err;
        const std::string refused = DescribeConvertError(ConvertError::kForeignLink);
        EXPECT_NE(run.err.find("KEY.SHP: " + refused), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("MAP01.SHP: " + refused), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(folders.dir / "victim"), victim);
        EXPECT_FALSE(fs::exists(folders.peg / "KEY.s16"));
        EXPECT_EQ(ReadBytes(folders.peg / "OWN.s16"), S16Of(own));

        // One file follows links as cp does: the user named it.
        EXPECT_TRUE(ConvertShpFile(folders.shp / "KEY.SHP", folders.dir / "key.s16").Ok());
    }));
}

// Another user swaps their map and their link to root's private picture
// while root's batches run: whatever a batch looked at, it never opens it.
TEST(ForeignLinks, ALinkSwappedInAfterTheLookIsNotFollowed) {
    Folders folders;
    const Bytes secret = SmallMap(7);
    WriteBytes(folders.dir / "secret", secret);
    fs::permissions(folders.dir / "secret", fs::perms::owner_read | fs::perms::owner_write);
    WriteBytes(folders.shp / "A.SHP", SmallMap(1));
    const std::string a = (folders.shp / "A.SHP").string();
    const std::string b = (folders.shp / "B.SHP").string();
    EXPECT_CHILD_PASSES(RunInChild(
        [&] {
            const std::string why = LinkOwnedBy("../secret", b, kNobody);
            if (!why.empty() || ::geteuid() != 0 || ::chown(a.c_str(), kNobody, kNobody) != 0) {
                GTEST_SKIP() << "planting files of another owner needs root. " << why;
            }
            std::atomic<bool> done{false};
            std::thread swapper([&] {
                while (!done) {
                    ::syscall(SYS_renameat2, AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(),
                              RENAME_EXCHANGE);
                }
            });
            const BatchPlan plan =
                PlanNamedBatch(folders.ShpText(), folders.PegText(), {"A.SHP", "B.SHP"});
            for (int batch = 0; batch < 200; ++batch) {
                RecordingObserver observer;
                RunBatch(plan, 2, observer);
                for (const auto& [name, state] : StateOf(folders.peg)) {
                    EXPECT_NE(state, FileState(S16Of(secret))) << "batch " << batch;
                    fs::remove(folders.peg / name);
                }
            }
            done = true;
            swapper.join();
        },
        50s));
}

TEST(FolderSwap, ABatchWritesIntoTheFolderItOpenedWhateverItsPathBecomes) {
    Folders folders;
    const Bytes map = SmallMap(1);
    WriteBytes(folders.shp / "MAP01.SHP", map);
    const BatchPlan plan = PlanFolderBatch(folders.ShpText(), folders.PegText(), false);
    ASSERT_EQ(plan.items.size(), 1u);

    fs::rename(folders.peg, folders.dir / "peg.opened");
    fs::create_directory(folders.dir / "elsewhere");
    fs::create_directory_symlink("elsewhere", folders.peg);
    RecordingObserver observer;
    const BatchOutcome outcome = RunBatch(plan, 1, observer);

    EXPECT_EQ(outcome.converted, 1u);
    EXPECT_EQ(ReadBytes(folders.dir / "peg.opened" / "MAP01.s16"), S16Of(map));
    EXPECT_EQ(StateOf(folders.dir / "elsewhere"), FolderState{});
}

TEST(FolderSwap, AFolderOneMayWriteIntoButNotListStillTakesTheMaps) {
    Folders folders;
    const AccessGuard guard(folders.peg);
    const Bytes map = SmallMap(1);
    WriteBytes(folders.shp / "MAP01.SHP", map);
    fs::permissions(folders.peg, fs::perms::owner_write | fs::perms::owner_exec);
    EXPECT_CHILD_PASSES(RunInChild([&] {
        const std::string why = DropDacOverride();
        if (!why.empty()) {
            GTEST_SKIP() << why;
        }
        const CliRun run = RunCli({folders.shp.string(), folders.peg.string()});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(ReadBytes(folders.peg / "MAP01.s16"), S16Of(map));
    }));
}

TEST(FileHandles, ThreadsAreCappedByTheMapsAndTheCores) {
    const std::size_t most = 16 * std::max(1u, std::thread::hardware_concurrency());
    const struct {
        int jobs;
        std::size_t items;
        std::size_t threads;
    } cases[] = {{100000, 5, 5}, {100000, 1000000, most}, {0, 10, 1}, {3, 0, 1}, {4, 100, 4}};
    for (const auto& c : cases) {
        EXPECT_EQ(BatchThreads(c.jobs, c.items), c.threads) << c.jobs << " jobs, " << c.items;
    }
}

std::size_t OpenDescriptors() {
    std::size_t count = 0;
    for (auto it = fs::directory_iterator("/proc/self/fd"); it != fs::directory_iterator(); ++it) {
        ++count;
    }
    return count;
}

TEST(FileHandles, ABatchShortOfFileHandlesWaitsInsteadOfFailingMaps) {
#ifdef __SANITIZE_ADDRESS__
    // The sanitizers test memory through a pipe, which a process out of file
    // handles cannot make: they would report their own failure as a fault.
    GTEST_SKIP() << "the sanitizers need file handles of their own";
#endif
    Folders folders;
    for (std::uint32_t i = 0; i < 40; ++i) {
        WriteBytes(folders.shp / ("MAP" + std::to_string(100 + i) + ".SHP"), SmallMap(i));
    }
    EXPECT_CHILD_PASSES(RunInChild([&] {
        const BatchPlan plan = PlanFolderBatch(folders.ShpText(), folders.PegText(), false);
        ASSERT_EQ(plan.items.size(), 40u);
        // Room for two conversions at once (a source and a new file each)
        // among eight threads.
        const rlimit limit{OpenDescriptors() + 5, OpenDescriptors() + 5};
        ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &limit), 0);
        RecordingObserver observer;
        const BatchOutcome outcome = RunBatch(plan, 8, observer);
        EXPECT_EQ(outcome.converted, 40u);
        EXPECT_EQ(outcome.failed, 0u);
        EXPECT_EQ(TemporaryNames(folders.peg), std::vector<std::string>{});
    }));
}

TEST(Shrinking, ASourceCutShortDuringItsConversionIsAReadError) {
    TempDir dir;
    const Bytes shp = MakeMap(64, 64, MapStyle::kLiterals);
    WriteBytes(dir / "in.shp", shp);
    FileSource input;
    std::error_code error;
    bool notRegular = false;
    ASSERT_TRUE(input.Open({nullptr, dir / "in.shp"}, error, notRegular));
    ShpLayout layout;
    ASSERT_EQ(ReadShpLayout(input, kMaxShpRows, layout), FormatError::kNone);

    fs::resize_file(dir / "in.shp", shp.size() / 2);
    MemorySink sink;
    EXPECT_EQ(WriteS16(input, layout, sink).error, FormatError::kReadError);
}

mode_t ModeOf(const fs::path& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

TEST(Metadata, NewTargetsFollowTheUmaskAndReplacedOnesKeepTheirMode) {
    for (const mode_t mask : {022, 0, 077}) {
        SCOPED_TRACE(testing::Message() << "umask " << std::oct << mask);
        TempDir dir;
        WriteBytes(dir / "in.shp", SmallMap(1));
        WriteBytes(dir / "old.s16", {'o', 'l', 'd'});
        ::chmod((dir / "old.s16").c_str(), 0640);
        EXPECT_CHILD_PASSES(RunInChild([&] {
            ::umask(mask);
            ASSERT_TRUE(ConvertShpFile(dir / "in.shp", dir / "new.s16").Ok());
            ASSERT_TRUE(ConvertShpFile(dir / "in.shp", dir / "old.s16").Ok());
            EXPECT_EQ(ModeOf(dir / "new.s16"), 0666 & ~mask);
            EXPECT_EQ(ModeOf(dir / "old.s16"), 0640u);
        }));
    }
}

TEST(Metadata, ReplacedTargetsKeepTheirOwnerAndGroupWhereTheProcessMay) {
    TempDir dir;
    WriteBytes(dir / "in.shp", SmallMap(1));
    WriteBytes(dir / "old.s16", {'o', 'l', 'd'});
    if (::chown((dir / "old.s16").c_str(), kNobody, kNobody) != 0) {
        EXPECT_CHILD_PASSES((ChildOutcome{ChildEnd::kSkipped, "giving a file away needs root"}));
        return;
    }
    ASSERT_TRUE(ConvertShpFile(dir / "in.shp", dir / "old.s16").Ok());
    struct stat status {};
    ASSERT_EQ(::stat((dir / "old.s16").c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, kNobody);
    EXPECT_EQ(status.st_gid, kNobody);
}

// An access control list as the kernel stores it: the owner and user 65534
// may read and write, the group may read, mask rw, others nothing.
const std::string kAclBytes(
    "\2\0\0\0\1\0\6\0\377\377\377\377\2\0\6\0\376\377\0\0\4\0\4\0\377\377\377\377"
    "\20\0\6\0\377\377\377\377\40\0\0\0\377\377\377\377",
    44);

std::string AttributeOf(const fs::path& path, const char* name) {
    std::string value(256, '\0');
    const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
    return size < 0 ? "none: " + std::string(strerror(errno)) : value.substr(0, size);
}

TEST(Metadata, AReplacedTargetKeepsItsAccessControlListAndUserAttributes) {
    const char* const kAcl = "system.posix_acl_access";
    TempDir dir;
    const fs::path target = dir / "old.s16";
    WriteBytes(dir / "in.shp", SmallMap(1));
    WriteBytes(target, {'o', 'l', 'd'});
    ASSERT_EQ(::setxattr(target.c_str(), "user.note", "kept", 4, 0), 0) << strerror(errno);
    if (::setxattr(target.c_str(), kAcl, kAclBytes.data(), kAclBytes.size(), 0) != 0) {
        ASSERT_EQ(errno, ENOTSUP) << strerror(errno);
        GTEST_SKIP() << "this file system keeps no access control lists";
    }
    const std::string aclBefore = AttributeOf(target, kAcl);
    const mode_t modeBefore = ModeOf(target);

    ASSERT_TRUE(ConvertShpFile(dir / "in.shp", target).Ok());

    EXPECT_EQ(ReadBytes(target), S16Of(SmallMap(1)));
    EXPECT_EQ(AttributeOf(target, kAcl), aclBefore);
    EXPECT_EQ(AttributeOf(target, "user.note"), "kept");
    EXPECT_EQ(ModeOf(target), modeBefore);
}

// Starts shp2s16 with `arguments`, sends `signal` after `delay` and returns
// the wait status.
int KillDuringRun(const std::vector<std::string>& arguments, int signal,
                  std::chrono::milliseconds delay) {
    std::vector<std::string> argv = {SHP2S16_PATH};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers = test::ExecArguments(argv);
    pid_t pid = 0;
    if (::posix_spawn(&pid, SHP2S16_PATH, nullptr, nullptr, pointers.data(), environ) != 0) {
        return -1;
    }
    std::this_thread::sleep_for(delay);
    ::kill(pid, signal);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

TEST(Leftovers, AConversionKilledOrHungUpLeavesNoFileBehind) {
    TempDir dir;
    const Bytes shp = MakeMap(2048, 2048, MapStyle::kLiterals);
    WriteBytes(dir / "big.shp", shp);
    const std::uintmax_t complete = S16Of(shp).size();
    for (const int signal : {SIGKILL, SIGHUP, SIGTERM}) {
        for (const auto delay : {5ms, 40ms, 120ms}) {
            SCOPED_TRACE(testing::Message()
                         << strsignal(signal) << " after " << delay.count() << " ms");
            fs::remove(dir / "big.s16");
            KillDuringRun({(dir / "big.shp").string(), (dir / "big.s16").string()}, signal, delay);
            EXPECT_EQ(TemporaryNames(dir.Path()), std::vector<std::string>{});
            if (fs::exists(dir / "big.s16")) {
                EXPECT_EQ(fs::file_size(dir / "big.s16"), complete);
            }
        }
    }
}

TEST(Leftovers, ANewTargetNeverPassesThroughASecondName) {
    TempDir dir;
    WriteBytes(dir / "in.shp", SmallMap(1));
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(watch, dir.Path().c_str(), IN_CREATE | IN_MOVED_TO), 0);
    EXPECT_TRUE(ConvertShpFile(dir / "in.shp", dir / "new.s16").Ok());
    std::vector<std::string> names;
    alignas(inotify_event) char events[4096];
    const ssize_t length = ::read(watch, events, sizeof events);
    for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(events + at);
        names.emplace_back(event->name);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
    ::close(watch);
    EXPECT_EQ(names, std::vector<std::string>{"new.s16"});
}

void MakeOld(const fs::path& path) {
    const auto then = ::time(nullptr) - std::chrono::seconds(kLeftoverAge).count() - 60;
    const timespec times[2] = {{then, 0}, {then, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

// Of these, only the first is a stale leftover of this user's.
TEST(Leftovers, ABatchRemovesOnlyItsOwnStaleTemporaryFiles) {
    Folders folders;
    const fs::path& peg = folders.peg;
    const Bytes map = SmallMap(1);
    WriteBytes(folders.shp / "MAP01.SHP", map);
    for (const char* name : {".s16-0123abcd", ".s16-0123ABCD", ".s16-0123abc", ".s16-0123abcde",
                             "x.s16-0123abcd", ".s16-77778888"}) {
        WriteBytes(peg / name, {'o', 'l', 'd'});
    }
    const bool foreign = ::chown((peg / ".s16-77778888").c_str(), kNobody, kNobody) == 0;
    fs::create_directory(peg / ".s16-fedcba98");
    fs::create_symlink(".s16-0123abcd", peg / ".s16-aaaabbbb");
    for (const auto& entry : fs::directory_iterator(peg)) {
        MakeOld(entry.path());
    }
    WriteBytes(peg / ".s16-89abcdef", {'n', 'e', 'w'});
    FolderState expected = StateOf(peg);
    expected.erase(".s16-0123abcd");
    expected["MAP01.s16"] = FileState(S16Of(map));

    RecordingObserver observer;
    EXPECT_TRUE(
        RunBatch(PlanFolderBatch(folders.ShpText(), folders.PegText(), false), 2, observer).Ok());

    EXPECT_EQ(StateOf(peg), expected);
    if (!foreign) {
        EXPECT_CHILD_PASSES(
            (ChildOutcome{ChildEnd::kSkipped, "a file of another user needs root"}));
    }
}

}  // namespace
}  // namespace drovana::test
