#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "BatchConvert.h"
#include "ChildProcess.h"
#include "CliRun.h"
#include "ConvertShpToS16.h"
#include "HardeningSupport.h"
#include "RecordingObserver.h"
#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

// Conversions where the file system fails: every failure must leave the
// folder as it was, with no temporary file and any old target intact, and a
// batch must go on with its next file.
namespace drovana::test {
namespace {

namespace fs = std::filesystem;

const Bytes kOldTarget = {'o', 'l', 'd', ' ', 's', '1', '6'};

// 20,480 literal pixels: 80 KiB of records, more than the small disk and the
// file size limit below hold; the small maps fit both.
Bytes BigMap() {
    return MakeMap(128, 160, MapStyle::kLiterals);
}

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// A parameter's name as gtest accepts it.
std::string TestNameOf(const char* text) {
    std::string name = text;
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

// The line shp2s16 prints for a failed file: named by the target when the
// target is at fault, else by the map.
std::string FailureLine(const fs::path& source, const fs::path& target,
                        const ConvertResult& result) {
    const bool targetAtFault = result.error == ConvertError::kTargetNotRegularFile ||
                               result.error == ConvertError::kCannotCreateTarget ||
                               result.error == ConvertError::kCannotReplaceTarget;
    return "shp2s16: " + (targetAtFault ? target : source).string() + ": " +
           DescribeConvertResult(result) + "\n";
}

// MAP01.SHP to MAP05.SHP in the SHP folder; returns their bytes in order.
std::vector<Bytes> WriteFiveSmallMaps(const Folders& folders) {
    std::vector<Bytes> maps;
    for (std::uint32_t i = 1; i <= 5; ++i) {
        maps.push_back(SmallMap(i));
        WriteBytes(folders.shp / ("MAP0" + std::to_string(i) + ".SHP"), maps.back());
    }
    return maps;
}

struct EnvironmentFault {
    const char* name;
    // Makes `peg` refuse writes. Calls `populate` where the old targets can
    // still be written; returns why it could not be done, or "".
    std::function<std::string(const fs::path& peg, const std::function<void()>& populate)> apply;
    ConvertResult expected;  // for the big map
    bool smallMapsFit;       // only files above some size fail
};

const EnvironmentFault kEnvironmentFaults[] = {
    {"disk full",
     [](const fs::path& peg, const std::function<void()>& populate) {
         std::string why = EnterPrivateMountNamespace();
         if (why.empty()) {
             why = MountTmpfs(peg, "64k");
         }
         populate();
         return why;
     },
     {ConvertError::kFormat, std::make_error_code(std::errc::no_space_on_device),
      FormatError::kWriteError},
     true},
    {"file too large",
     [](const fs::path&, const std::function<void()>& populate) {
         populate();
         // Ignored, the signal turns into an EFBIG from write().
         std::signal(SIGXFSZ, SIG_IGN);
         const rlimit limit{16 * 1024, 16 * 1024};
         return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? "" : std::string("setrlimit failed");
     },
     {ConvertError::kFormat, std::make_error_code(std::errc::file_too_large),
      FormatError::kWriteError},
     true},
    {"read-only file system",
     [](const fs::path& peg, const std::function<void()>& populate) {
         populate();
         std::string why = EnterPrivateMountNamespace();
         return why.empty() ? BindReadOnly(peg) : why;
     },
     {ConvertError::kCannotCreateTarget, std::make_error_code(std::errc::read_only_file_system)},
     false},
    {"immutable folder",
     [](const fs::path& peg, const std::function<void()>& populate) {
         populate();
         return SetImmutable(peg, true);
     },
     {ConvertError::kCannotCreateTarget, std::make_error_code(std::errc::operation_not_permitted)},
     false},
    {"read-only folder without CAP_DAC_OVERRIDE",
     [](const fs::path& peg, const std::function<void()>& populate) {
         populate();
         fs::permissions(peg, fs::perms::owner_read | fs::perms::owner_exec |
                                  fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
         return DropDacOverride();
     },
     {ConvertError::kCannotCreateTarget, std::make_error_code(std::errc::permission_denied)},
     false},
};

void PrintTo(const EnvironmentFault& fault, std::ostream* os) {
    *os << fault.name;
}

class EnvironmentFaultTest : public testing::TestWithParam<EnvironmentFault> {};

TEST_P(EnvironmentFaultTest, FailsCleanlyAndTheBatchGoesOn) {
    const EnvironmentFault& fault = GetParam();
    for (const bool oldTarget : {false, true}) {
        SCOPED_TRACE(oldTarget ? "with an old target" : "without an old target");
        Folders folders;
        const AccessGuard guard(folders.peg);
        const Bytes first = SmallMap(1);
        const Bytes big = BigMap();
        const Bytes third = SmallMap(3);
        WriteBytes(folders.shp / "MAP01.SHP", first);
        WriteBytes(folders.shp / "MAP02.SHP", big);
        WriteBytes(folders.shp / "MAP03.SHP", third);
        const auto populate = [&] {
            if (oldTarget) {
                WriteBytes(folders.peg / "MAP02.s16", kOldTarget);
            }
        };

        EXPECT_CHILD_PASSES(RunInChild([&] {
            const std::string why = fault.apply(folders.peg, populate);
            if (!why.empty()) {
                GTEST_SKIP() << fault.name << " needs a privilege this machine lacks: " << why;
            }
            const FolderState before = StateOf(folders.peg);

            const ConvertResult one =
                ConvertShpFile(folders.shp / "MAP02.SHP", folders.peg / "MAP02.s16");
            EXPECT_EQ(one.error, fault.expected.error) << DescribeConvertResult(one);
            EXPECT_EQ(one.format, fault.expected.format) << DescribeConvertResult(one);
            EXPECT_EQ(one.system, fault.expected.system) << one.system.message();
            EXPECT_EQ(StateOf(folders.peg), before);

            // One job, so that the files fail or fit one after the other.
            const CliRun run = RunCli({"-j1", folders.shp.string(), folders.peg.string()});
            EXPECT_EQ(run.status, kExitFailure);
            FolderState expected = before;
            if (fault.smallMapsFit) {
                expected["MAP01.s16"] = FileState(S16Of(first));
                expected["MAP03.s16"] = FileState(S16Of(third));
                EXPECT_NE(run.err.find("2 converted, 1 failed"), std::string::npos) << run.err;
            } else {
                EXPECT_NE(run.err.find("0 converted, 3 failed"), std::string::npos) << run.err;
                EXPECT_EQ(CountOf(run.err, ": " + DescribeConvertResult(fault.expected)), 3u)
                    << run.err;
            }
            EXPECT_NE(run.err.find(FailureLine(folders.shp / "MAP02.SHP", folders.peg / "MAP02.s16",
                                               fault.expected)),
                      std::string::npos)
                << run.err;
            EXPECT_EQ(StateOf(folders.peg), expected);
            EXPECT_EQ(TemporaryNames(folders.peg), std::vector<std::string>{});
        }));
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, EnvironmentFaultTest, testing::ValuesIn(kEnvironmentFaults),
                         [](const testing::TestParamInfo<EnvironmentFault>& info) {
                             return TestNameOf(info.param.name);
                         });

// Makes a device node with the numbers of /dev/null (1, 3) or /dev/zero (1, 5).
std::string MakeDevice(const fs::path& path, unsigned minorNumber) {
    if (::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, minorNumber)) != 0) {
        return "mknod needs a privilege this machine lacks: " + std::string(std::strerror(errno));
    }
    return {};
}

void MakeFifo(const fs::path& path) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << std::strerror(errno);
}

struct PathFault {
    const char* name;
    // Prepares `dir`, which holds a good "in.shp"; may point `source` or
    // `target` elsewhere. Returns why it could not, or "".
    std::function<std::string(const fs::path& dir, fs::path& source, fs::path& target)> make;
    ConvertError error;
    bool oldTargetToo;  // also run with an old target in place
};

const PathFault kPathFaults[] = {
    {"target folder missing",
     [](const fs::path& dir, fs::path&, fs::path& target) {
         target = dir / "missing" / "out.s16";
         return std::string();
     },
     ConvertError::kCannotCreateTarget, false},
    {"target is a folder",
     [](const fs::path&, fs::path&, fs::path& target) {
         fs::create_directory(target);
         WriteBytes(target / "keep.txt", kOldTarget);
         return std::string();
     },
     ConvertError::kTargetNotRegularFile, false},
    {"target is a FIFO",
     [](const fs::path&, fs::path&, fs::path& target) {
         MakeFifo(target);
         return std::string();
     },
     ConvertError::kTargetNotRegularFile, false},
    {"target is a device node",
     [](const fs::path&, fs::path&, fs::path& target) { return MakeDevice(target, 3); },
     ConvertError::kTargetNotRegularFile, false},
    {"target name of 256 bytes",
     [](const fs::path& dir, fs::path&, fs::path& target) {
         target = dir / (std::string(252, 'n') + ".s16");
         return std::string();
     },
     ConvertError::kCannotReplaceTarget, false},
    {"target file immutable",
     [](const fs::path&, fs::path&, fs::path& target) {
         WriteBytes(target, kOldTarget);
         return SetImmutable(target, true);
     },
     ConvertError::kCannotReplaceTarget, false},
    {"target read-only without CAP_DAC_OVERRIDE",
     [](const fs::path&, fs::path&, fs::path& target) {
         WriteBytes(target, kOldTarget);
         fs::permissions(target, fs::perms::owner_read | fs::perms::group_read);
         return DropDacOverride();
     },
     ConvertError::kCannotReplaceTarget, false},
    {"source missing",
     [](const fs::path& dir, fs::path& source, fs::path&) {
         source = dir / "none.shp";
         return std::string();
     },
     ConvertError::kCannotOpenSource, true},
    {"source is a folder",
     [](const fs::path& dir, fs::path& source, fs::path&) {
         source = dir / "folder.shp";
         fs::create_directory(source);
         return std::string();
     },
     ConvertError::kSourceNotRegularFile, true},
    {"source is a FIFO",
     [](const fs::path& dir, fs::path& source, fs::path&) {
         source = dir / "pipe.shp";
         MakeFifo(source);
         return std::string();
     },
     ConvertError::kSourceNotRegularFile, true},
    {"source is a device node",
     [](const fs::path& dir, fs::path& source, fs::path&) {
         source = dir / "zero.shp";
         return MakeDevice(source, 5);
     },
     ConvertError::kSourceNotRegularFile, true},
    {"source is a symlink loop",
     [](const fs::path& dir, fs::path& source, fs::path&) {
         source = dir / "a.shp";
         fs::create_symlink("b.shp", dir / "a.shp");
         fs::create_symlink("a.shp", dir / "b.shp");
         return std::string();
     },
     ConvertError::kCannotOpenSource, true},
    {"source unreadable without CAP_DAC_OVERRIDE",
     [](const fs::path&, fs::path& source, fs::path&) {
         fs::permissions(source, fs::perms::none);
         return DropDacOverride();
     },
     ConvertError::kCannotOpenSource, true},
};

void PrintTo(const PathFault& fault, std::ostream* os) {
    *os << fault.name;
}

class PathFaultTest : public testing::TestWithParam<PathFault> {};

// In a child, so that a conversion that blocks on a FIFO is killed.
TEST_P(PathFaultTest, FailsAtOnceAndLeavesTheFolderAsItWas) {
    const PathFault& fault = GetParam();
    for (const bool oldTarget : {false, true}) {
        if (oldTarget && !fault.oldTargetToo) {
            continue;
        }
        SCOPED_TRACE(oldTarget ? "with an old target" : "without an old target");
        TempDir dir;
        const AccessGuard guard(dir / "out.s16");
        EXPECT_CHILD_PASSES(RunInChild(
            [&] {
                fs::path source = dir / "in.shp";
                fs::path target = dir / "out.s16";
                WriteBytes(source, SmallMap(1));
                if (oldTarget) {
                    WriteBytes(target, kOldTarget);
                }
                const std::string why = fault.make(dir.Path(), source, target);
                if (!why.empty()) {
                    GTEST_SKIP() << fault.name << ": " << why;
                }
                const FolderState before = StateOf(dir.Path());
                const ConvertResult result = ConvertShpFile(source, target);
                EXPECT_EQ(result.error, fault.error) << DescribeConvertResult(result);
                EXPECT_EQ(StateOf(dir.Path()), before);
            },
            5s));
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, PathFaultTest, testing::ValuesIn(kPathFaults),
                         [](const testing::TestParamInfo<PathFault>& info) {
                             return TestNameOf(info.param.name);
                         });

TEST(BatchFaults, TargetsThatAreNotFilesFailAloneAndStayWhatTheyAre) {
    Folders folders;
    const std::vector<Bytes> maps = WriteFiveSmallMaps(folders);
    EXPECT_CHILD_PASSES(RunInChild([&] {
        fs::create_directory(folders.peg / "MAP02.s16");
        WriteBytes(folders.peg / "MAP02.s16" / "keep.txt", kOldTarget);
        MakeFifo(folders.peg / "MAP03.s16");
        const std::string why = MakeDevice(folders.peg / "MAP04.s16", 3);
        if (!why.empty()) {
            GTEST_SKIP() << why;
        }
        WriteBytes(folders.peg / "MAP05.s16", kOldTarget);
        FolderState expected = StateOf(folders.peg);

        const CliRun run = RunCli({"-j2", folders.shp.string(), folders.peg.string()});

        EXPECT_EQ(run.status, kExitFailure);
        EXPECT_NE(run.err.find("2 converted, 3 failed"), std::string::npos) << run.err;
        for (const char* name : {"MAP02.SHP", "MAP03.SHP", "MAP04.SHP"}) {
            EXPECT_NE(
                run.err.find(FailureLine(folders.shp / name,
                                         folders.peg / fs::path(name).replace_extension(".s16"),
                                         {ConvertError::kTargetNotRegularFile, {}})),
                std::string::npos)
                << run.err;
        }
        expected["MAP01.s16"] = FileState(S16Of(maps[0]));
        expected["MAP05.s16"] = FileState(S16Of(maps[4]));
        EXPECT_EQ(StateOf(folders.peg), expected);
    }));
}

// A FIFO, a folder or a dangling link named like a map is no map, with the
// update switch or without: listed, it would fail the batch or block it, and
// an S16 counterpart does not make it up to date. A link to a map is one.
TEST(BatchFaults, SourcesThatAreNotFilesAreNeverListed) {
    Folders folders;
    const Bytes first = SmallMap(1);
    const Bytes last = SmallMap(5);
    WriteBytes(folders.shp / "MAP01.SHP", first);
    MakeFifo(folders.shp / "MAP02.SHP");
    fs::create_directory(folders.shp / "MAP03.SHP");
    fs::create_symlink("MAP04.SHP", folders.shp / "MAP04.SHP");
    WriteBytes(folders.shp / "MAP05.SHP", last);
    fs::create_symlink("MAP05.SHP", folders.shp / "MAP06.SHP");
    WriteBytes(folders.peg / "MAP03.s16", kOldTarget);
    const FolderState converted = {{"MAP01.s16", FileState(S16Of(first))},
                                   {"MAP03.s16", FileState(kOldTarget)},
                                   {"MAP05.s16", FileState(S16Of(last))},
                                   {"MAP06.s16", FileState(S16Of(last))}};

    EXPECT_CHILD_PASSES(RunInChild(
        [&] {
            for (const char* option : {"-j2", "-uj2"}) {
                SCOPED_TRACE(option);
                for (const char* name : {"MAP01.s16", "MAP05.s16", "MAP06.s16"}) {
                    fs::remove(folders.peg / name);
                }
                const CliRun run = RunCli({option, folders.shp.string(), folders.peg.string()});
                EXPECT_EQ(run.status, kExitSuccess) << run.err;
                EXPECT_NE(run.err.find("3 converted, 0 failed, "), std::string::npos) << run.err;
                EXPECT_EQ(StateOf(folders.peg), converted);
            }
        },
        10s));
}

TEST(BatchFaults, SourcesChangedBetweenListingAndRunFailAlone) {
    Folders folders;
    const std::vector<Bytes> maps = WriteFiveSmallMaps(folders);
    WriteBytes(folders.peg / "MAP02.s16", kOldTarget);
    WriteBytes(folders.peg / "MAP04.s16", kOldTarget);

    EXPECT_CHILD_PASSES(RunInChild(
        [&] {
            const BatchPlan plan =
                PlanFolderBatch(folders.shp.string() + "/", folders.peg.string() + "/", false);
            ASSERT_EQ(plan.items.size(), 5u);
            FolderState expected = StateOf(folders.peg);
            fs::remove(folders.shp / "MAP02.SHP");
            fs::remove(folders.shp / "MAP03.SHP");
            MakeFifo(folders.shp / "MAP03.SHP");
            fs::remove(folders.shp / "MAP04.SHP");
            fs::create_directory(folders.shp / "MAP04.SHP");

            const std::atomic<bool> stop{false};
            RecordingObserver observer;
            const BatchOutcome outcome = ConvertBatch(plan.items, 2, stop, observer);

            EXPECT_EQ(outcome.converted, 2u);
            EXPECT_EQ(outcome.failed, 3u);
            EXPECT_FALSE(outcome.interrupted);
            const std::map<std::string, ConvertError> errors = {
                {"MAP01.SHP", ConvertError::kNone},
                {"MAP02.SHP", ConvertError::kCannotOpenSource},
                {"MAP03.SHP", ConvertError::kSourceNotRegularFile},
                {"MAP04.SHP", ConvertError::kSourceNotRegularFile},
                {"MAP05.SHP", ConvertError::kNone}};
            EXPECT_EQ(observer.Errors(), errors);
            expected["MAP01.s16"] = FileState(S16Of(maps[0]));
            expected["MAP05.s16"] = FileState(S16Of(maps[4]));
            EXPECT_EQ(StateOf(folders.peg), expected);
        },
        10s));
}

TEST(NameLength, TargetsUpToTheLongestNameAreStillReplaced) {
    const Bytes shp = SmallMap(1);
    for (const std::size_t length : {250u, 255u}) {
        for (const bool oldTarget : {false, true}) {
            SCOPED_TRACE(testing::Message() << length << (oldTarget ? ", old target" : ""));
            TempDir dir;
            WriteBytes(dir / "in.shp", shp);
            const fs::path target = dir / (std::string(length - 4, 't') + ".s16");
            if (oldTarget) {
                WriteBytes(target, kOldTarget);
            }
            const ConvertResult result = ConvertShpFile(dir / "in.shp", target);
            EXPECT_TRUE(result.Ok()) << DescribeConvertResult(result);
            EXPECT_EQ(StateOf(dir.Path()),
                      (FolderState{{"in.shp", FileState(shp)},
                                   {target.filename().string(), FileState(S16Of(shp))}}));
        }
    }
}

// Removes `name` in the folder `parentFd` and everything below it, by
// descriptors, so that paths longer than PATH_MAX go too.
void RemoveTreeAt(int parentFd, const char* name) {
    const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        DIR* folder = ::fdopendir(fd);
        std::vector<std::string> entries;
        while (const dirent* entry = ::readdir(folder)) {
            const std::string entryName = entry->d_name;
            if (entryName != "." && entryName != "..") {
                entries.push_back(entryName);
            }
        }
        for (const std::string& entry : entries) {
            RemoveTreeAt(::dirfd(folder), entry.c_str());
        }
        ::closedir(folder);
        ::unlinkat(parentFd, name, AT_REMOVEDIR);
    } else {
        ::unlinkat(parentFd, name, 0);
    }
}

Bytes ReadAt(int folderFd, const char* name) {
    Bytes bytes;
    const int fd = ::openat(folderFd, name, O_RDONLY | O_CLOEXEC);
    std::uint8_t buffer[256];
    for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return bytes;
}

TEST(NameLength, APathLongerThanPathMaxFailsAndKeepsTheOldTarget) {
    TempDir dir;
    WriteBytes(dir / "in.shp", SmallMap(1));
    // Folders are made one below the other through descriptors, since their
    // whole path is too long for any path-taking call.
    const std::string level(200, 'd');
    fs::path target = dir.Path();
    int fd = ::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    while (target.native().size() <= PATH_MAX) {
        ASSERT_EQ(::mkdirat(fd, level.c_str(), 0755), 0) << std::strerror(errno);
        const int next = ::openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
        ASSERT_GE(fd, 0) << std::strerror(errno);
        target /= level;
    }
    const int out = ::openat(fd, "out.s16", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_EQ(::write(out, kOldTarget.data(), kOldTarget.size()),
              static_cast<ssize_t>(kOldTarget.size()));
    ::close(out);
    target /= "out.s16";

    const ConvertResult result = ConvertShpFile(dir / "in.shp", target);

    EXPECT_EQ(result.error, ConvertError::kCannotCreateTarget) << DescribeConvertResult(result);
    EXPECT_EQ(result.system, std::make_error_code(std::errc::filename_too_long));
    EXPECT_EQ(ReadAt(fd, "out.s16"), kOldTarget);
    DIR* deepest = ::fdopendir(::dup(fd));
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(deepest)) {
        names.push_back(entry->d_name);
    }
    ::closedir(deepest);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "out.s16"}));
    ::close(fd);

    const int top = ::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    RemoveTreeAt(top, level.c_str());
    ::close(top);
}

// A size limit cuts the file short inside, at and just past each write
// call's bytes (the converter hands over 1 MiB at a time), so the kernel's
// partial writes meet every call. Only a limit that holds the whole picture
// lets the conversion through.
TEST(FileSizeLimit, EveryWriteCallCutShortFailsCleanly) {
    // 2.5 MiB of literal records: two full calls and a part-filled last one.
    const Bytes shp = MakeMap(1024, 640, MapStyle::kLiterals);
    const Bytes s16 = S16Of(shp);
    constexpr std::uint64_t kBlock = 1024 * 1024;
    ASSERT_GT(s16.size(), 2 * kBlock);
    std::vector<std::uint64_t> limits = {0, 1, 43, 44, 45};
    for (std::uint64_t at = kBlock; at < s16.size(); at += kBlock) {
        limits.insert(limits.end(), {at - 1, at, at + 1});
    }
    limits.insert(limits.end(), {s16.size() - 1, s16.size()});

    EXPECT_CHILD_PASSES(RunInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit unlimited{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &unlimited), 0);
        for (std::size_t i = 0; i < limits.size(); ++i) {
            const bool oldTarget = i % 2 == 1;
            SCOPED_TRACE(testing::Message()
                         << "limit " << limits[i] << (oldTarget ? ", old target" : ""));
            TempDir dir;
            WriteBytes(dir / "in.shp", shp);
            if (oldTarget) {
                WriteBytes(dir / "out.s16", kOldTarget);
            }
            const FolderState before = StateOf(dir.Path());
            rlimit limited = unlimited;
            limited.rlim_cur = limits[i];
            ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
            const ConvertResult result = ConvertShpFile(dir / "in.shp", dir / "out.s16");
            ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &unlimited), 0);

            if (limits[i] < s16.size()) {
                EXPECT_TRUE(result.Is(FormatError::kWriteError)) << DescribeConvertResult(result);
                EXPECT_EQ(result.system, std::make_error_code(std::errc::file_too_large));
                EXPECT_EQ(StateOf(dir.Path()), before);
            } else {
                EXPECT_TRUE(result.Ok()) << DescribeConvertResult(result);
                EXPECT_EQ(ReadBytes(dir / "out.s16"), s16);
                EXPECT_EQ(TemporaryNames(dir.Path()), std::vector<std::string>{});
            }
        }
    }));
}

}  // namespace
}  // namespace drovana::test
