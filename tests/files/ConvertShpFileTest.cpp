#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "ConvertError.h"
#include "ConvertShpToS16.h"
#include "ConvertTestHelpers.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#define DROVANA_POSIX 1
#endif

namespace drovana::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;

const Bytes kOldTarget = {'o', 'l', 'd', ' ', 's', '1', '6'};

TEST(ConvertShpFile, ReplacesTargetWithTheBytesMadeInMemory) {
    TempDir dir;
    WriteBytes(dir / "map.s16", kOldTarget);
    const Bytes pictures[] = {
        MakeMap(33, 17, MapStyle::kLongRuns), MakeMap(33, 17, MapStyle::kLiterals),
        MakeMap(33, 17, MapStyle::kMixed), MakeMap(640, 480, MapStyle::kMixed),
        MakeMap(1024, 768, MapStyle::kLiterals),  // both buffers refill many times
        // The reader has to seek to a header placed behind other bytes.
        ShpBuilder().Padding(300).Image({1, 9, 2, 0, 1}).Run(3, 7).Build()};
    for (const Bytes& shp : pictures) {
        SCOPED_TRACE(shp.size());
        WriteBytes(dir / "map.shp", shp);
        const ConvertResult result = ConvertShpFile(dir / "map.shp", dir / "map.s16");
        ASSERT_TRUE(result.Ok()) << DescribeConvertResult(result);
        EXPECT_EQ(ReadBytes(dir / "map.s16"), S16Of(shp));
        EXPECT_EQ(dir.Names().size(), 2u);
    }
    EXPECT_EQ(ConvertShpToS16(dir / "map.shp", dir / "map.s16"), 1);
}

TEST(ConvertShpFile, BrokenSourceLeavesTargetAlone) {
    const Bytes good = ShpBuilder().Image({0, 3, 0, 0, 0}).Build();
    Bytes negative = good;
    negative[11] = 0x80;
    const struct {
        const char* name;
        Bytes shp;
        FormatError error;
    } cases[] = {
        {"11 bytes", Bytes(good.begin(), good.begin() + 11), FormatError::kTooShortForHeaders},
        {"negative header offset", negative, FormatError::kNegativeHeaderOffset},
        {"header cut short", Bytes(good.begin(), good.end() - 1), FormatError::kHeaderOutsideFile},
        {"full int32 row range", ShpBuilder().Image({0, 0, 0, INT32_MIN, INT32_MAX}).Build(),
         FormatError::kTooManyRows},
        {"65537 rows", ShpBuilder().Image({0, 0, 0, 1, 65537}).Build(), FormatError::kTooManyRows},
    };
    for (const auto& c : cases) {
        for (const bool targetExists : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.name << (targetExists ? ", old target" : ""));
            TempDir dir;
            WriteBytes(dir / "in.shp", c.shp);
            if (targetExists) {
                WriteBytes(dir / "out.s16", kOldTarget);
            }
            EXPECT_TRUE(ConvertShpFile(dir / "in.shp", dir / "out.s16").Is(c.error));
            EXPECT_EQ(ConvertShpToS16(dir / "in.shp", dir / "out.s16"), 0);
            if (targetExists) {
                EXPECT_EQ(ReadBytes(dir / "out.s16"), kOldTarget);
            }
            EXPECT_EQ(dir.Names().size(), targetExists ? 2u : 1u);
        }
    }
}

TEST(ConvertShpFile, FailsWhenTargetCannotBeCreated) {
    TempDir dir;
    WriteBytes(dir / "in.shp", MakeMap(8, 8, MapStyle::kMixed));
    fs::create_directory(dir / "folder.s16");

    EXPECT_EQ(ConvertShpFile(dir / "in.shp", dir / "missing" / "out.s16").error,
              ConvertError::kCannotCreateTarget);
    EXPECT_EQ(ConvertShpFile(dir / "in.shp", dir / "folder.s16").error,
              ConvertError::kTargetNotRegularFile);
    EXPECT_EQ(ConvertShpToS16(dir / "in.shp", dir / "missing" / "out.s16"), 0);
    EXPECT_EQ(ConvertShpToS16(dir / "in.shp", dir / "folder.s16"), 0);

    EXPECT_TRUE(fs::is_directory(dir / "folder.s16"));
    EXPECT_TRUE(fs::is_empty(dir / "folder.s16"));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    EXPECT_EQ(dir.Names().size(), 2u);
}

// A read-only target was made so on purpose: it is refused and stays, as
// opening it for writing would be refused. Only a process that may write it
// anyway (root) replaces it, keeping its permissions.
TEST(ConvertShpFile, AReadOnlyTargetIsRefusedUnlessTheProcessMayWriteIt) {
    TempDir dir;
    const Bytes shp = MakeMap(8, 6, MapStyle::kMixed);
    WriteBytes(dir / "in.shp", shp);
    WriteBytes(dir / "out.s16", kOldTarget);
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read;
    fs::permissions(dir / "out.s16", readOnly);
#ifdef DROVANA_POSIX
    const bool mayWrite = ::faccessat(AT_FDCWD, (dir / "out.s16").c_str(), W_OK, AT_EACCESS) == 0;
#else
    const bool mayWrite = false;
#endif

    const ConvertResult result = ConvertShpFile(dir / "in.shp", dir / "out.s16");

    if (mayWrite) {
        EXPECT_TRUE(result.Ok()) << DescribeConvertResult(result);
        EXPECT_EQ(ReadBytes(dir / "out.s16"), S16Of(shp));
        EXPECT_EQ(fs::status(dir / "out.s16").permissions(), readOnly);
    } else {
        EXPECT_EQ(result.error, ConvertError::kCannotReplaceTarget);
#ifdef DROVANA_POSIX
        EXPECT_EQ(result.system, std::make_error_code(std::errc::permission_denied));
#endif
        EXPECT_EQ(ReadBytes(dir / "out.s16"), kOldTarget);
    }
    EXPECT_EQ(dir.Names(), (Names{"in.shp", "out.s16"}));
    fs::permissions(dir / "out.s16", fs::perms::owner_all, fs::perm_options::add);
}

TEST(ConvertShpFile, FailsWhenSourceIsMissingOrAFolder) {
    TempDir dir;
    fs::create_directory(dir / "folder.shp");
    EXPECT_EQ(ConvertShpFile(dir / "none.shp", dir / "out.s16").error,
              ConvertError::kCannotOpenSource);
    EXPECT_EQ(ConvertShpFile(dir / "folder.shp", dir / "out.s16").error,
              ConvertError::kSourceNotRegularFile);
    EXPECT_EQ(ConvertShpToS16(dir / "folder.shp", dir / "out.s16"), 0);
    EXPECT_TRUE(fs::is_empty(dir / "folder.shp"));
    EXPECT_EQ(dir.Names(), Names{"folder.shp"});
}

#ifdef DROVANA_POSIX
// Runs the conversion on a thread; if it hangs in open(), opening the FIFO
// from here releases it so that the test fails instead of hanging.
ConvertResult ConvertWithin(const fs::path& source, const fs::path& target, const fs::path& fifo) {
    auto future = std::async(std::launch::async, [&] { return ConvertShpFile(source, target); });
    if (future.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ADD_FAILURE() << "conversion blocked on " << fifo;
        const int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
        future.wait();
        ::close(fd);
    }
    return future.get();
}

TEST(ConvertShpFile, RefusesFifosWithoutBlocking) {
    TempDir dir;
    WriteBytes(dir / "in.shp", MakeMap(8, 8, MapStyle::kMixed));
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);

    EXPECT_EQ(ConvertWithin(dir / "pipe", dir / "out.s16", dir / "pipe").error,
              ConvertError::kSourceNotRegularFile);
    EXPECT_EQ(ConvertWithin(dir / "in.shp", dir / "pipe", dir / "pipe").error,
              ConvertError::kTargetNotRegularFile);

    EXPECT_EQ(fs::status(dir / "pipe").type(), fs::file_type::fifo);
    EXPECT_EQ(dir.Names().size(), 2u);
}

// A file size limit makes writes fail even for root, as a full disk does.
TEST(ConvertShpFile, FailedWriteKeepsOldTargetAndLeavesNoTemporary) {
    TempDir dir;
    WriteBytes(dir / "in.shp", MakeMap(512, 256, MapStyle::kLiterals));  // 512 KiB of records
    WriteBytes(dir / "out.s16", kOldTarget);
    for (const rlim_t limit : {rlim_t{1000}, rlim_t{300 * 1024}}) {
        SCOPED_TRACE(limit);
        rlimit saved{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limited = saved;
        limited.rlim_cur = limit;
        const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        const ConvertResult result = ConvertShpFile(dir / "in.shp", dir / "out.s16");
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedHandler);

        EXPECT_TRUE(result.Is(FormatError::kWriteError)) << DescribeConvertResult(result);
        EXPECT_TRUE(result.system) << "the system's reason is passed on";
        EXPECT_EQ(ReadBytes(dir / "out.s16"), kOldTarget);
        EXPECT_EQ(dir.Names().size(), 2u);
    }
}
#endif

// Every reason of both kinds has its own text, and a format's reason
// reaches the text of a conversion of files.
TEST(ConvertError, EveryValueHasItsOwnText) {
    std::vector<std::string> seen;
    for (int e = 0; e <= static_cast<int>(ConvertError::kCannotSyncFolder); ++e) {
        seen.push_back(DescribeConvertError(static_cast<ConvertError>(e)));
    }
    for (int e = 1; e <= static_cast<int>(FormatError::kCancelled); ++e) {
        seen.push_back(DescribeFormatError(static_cast<FormatError>(e)));
    }
    for (const std::string& text : seen) {
        EXPECT_NE(text, "unknown error");
        EXPECT_EQ(std::count(seen.begin(), seen.end(), text), 1) << text;
    }
    EXPECT_EQ(DescribeConvertResult(FromFormat({FormatError::kTooShortForHeaders})),
              "not an SHP picture: file too short for its headers");
    EXPECT_EQ(DescribeConvertResult({ConvertError::kCannotCreateTarget,
                                     std::make_error_code(std::errc::no_such_file_or_directory)}),
              "cannot create target: " +
                  std::make_error_code(std::errc::no_such_file_or_directory).message());
}

}  // namespace
}  // namespace drovana::test
