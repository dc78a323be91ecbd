#include "FileChecks.h"

#include "PathParts.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace drovana {
namespace {

class FileExistsTest : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

    test::TempDir folder_;
};

TEST_F(FileExistsTest, EmptyTextIsNoFile) {
    EXPECT_FALSE(FileExists(""));
}

TEST_F(FileExistsTest, ReportsWhatIsOnDisk) {
    std::ofstream(folder_ / "MAP01.SHP") << "map";
    fs::create_directory(folder_ / "maps");

    const struct {
        std::string path;
        bool exists;
    } cases[] = {
        {PathOf("MAP01.SHP"), true},
        {PathOf("maps"), true},
        {WithTrailingSeparator(PathOf("maps")), true},
        {folder_.Path().string(), true},
        {PathOf("MAP02.SHP"), false},
        {PathOf("missing/MAP01.SHP"), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileExists(c.path), c.exists) << c.path;
    }
}

#ifndef _WIN32
// Creating links on Windows needs extra rights, so only check them here.
TEST_F(FileExistsTest, FollowsLinks) {
    std::ofstream(folder_ / "MAP01.SHP") << "map";
    fs::create_symlink(folder_ / "MAP01.SHP", folder_ / "live");
    fs::create_symlink(folder_ / "gone.SHP", folder_ / "dangling");

    EXPECT_TRUE(FileExists(PathOf("live")));
    EXPECT_FALSE(FileExists(PathOf("dangling")));
}
#endif

TEST(GetProgramFolderTest, IsTheFolderHoldingThisTest) {
#ifdef _WIN32
    const std::string executable = "batch_tests.exe";
#else
    const std::string executable = "batch_tests";
#endif
    const std::string folder = GetProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), kPathSeparator);
    EXPECT_TRUE(fs::path(folder).is_absolute()) << folder;
    EXPECT_TRUE(FileExists(folder + executable)) << folder;
}

}  // namespace
}  // namespace drovana
