#include "FileChecks.h"

#include "PathParts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace drovana {
namespace {

// A fresh folder under the system temporary folder, removed with everything in it.
class FileExistsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        const fs::path base = fs::temp_directory_path();
        do {
            m_folder = base / ("drovana_util_test_" + std::to_string(random()));
        } while (!fs::create_directory(m_folder));
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    std::string PathOf(const std::string& name) const { return (m_folder / name).string(); }

    fs::path m_folder;
};

TEST_F(FileExistsTest, EmptyTextIsNoFile) {
    EXPECT_FALSE(FileExists(""));
}

TEST_F(FileExistsTest, ReportsWhatIsOnDisk) {
    std::ofstream(m_folder / "MAP01.SHP") << "map";
    fs::create_directory(m_folder / "maps");

    const struct {
        std::string path;
        bool exists;
    } cases[] = {
        {PathOf("MAP01.SHP"), true},
        {PathOf("maps"), true},
        {WithTrailingSeparator(PathOf("maps")), true},
        {m_folder.string(), true},
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
    std::ofstream(m_folder / "MAP01.SHP") << "map";
    fs::create_symlink(m_folder / "MAP01.SHP", m_folder / "live");
    fs::create_symlink(m_folder / "gone.SHP", m_folder / "dangling");

    EXPECT_TRUE(FileExists(PathOf("live")));
    EXPECT_FALSE(FileExists(PathOf("dangling")));
}
#endif

TEST(GetProgramFolderTest, IsTheFolderHoldingThisTest) {
#ifdef _WIN32
    const std::string executable = "util_tests.exe";
#else
    const std::string executable = "util_tests";
#endif
    const std::string folder = GetProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), kPathSeparator);
    EXPECT_TRUE(fs::path(folder).is_absolute()) << folder;
    EXPECT_TRUE(FileExists(folder + executable)) << folder;
}

}  // namespace
}  // namespace drovana
