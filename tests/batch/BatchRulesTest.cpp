#include "BatchRules.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "TestFiles.h"

namespace drovana {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

void Touch(const fs::path& path) {
    std::ofstream(path).put('x');
}

std::string FolderText(const fs::path& folder) {
    return folder.string() + "/";
}

std::vector<std::string> Names(const std::vector<fs::path>& paths) {
    std::vector<std::string> names;
    for (const auto& p : paths) {
        names.push_back(p.string());
    }
    return names;
}

class ListCandidatesTest : public ::testing::Test {
protected:
    ListCandidatesTest() { fs::create_directory(peg_.Path() / "sub"); }

    std::vector<std::string> List(bool updateOnly, const std::string& pegText) {
        return Names(ListCandidates(FolderText(shp_.Path()), pegText, updateOnly).names);
    }
    std::vector<std::string> List(bool updateOnly) {
        return List(updateOnly, FolderText(peg_.Path()));
    }

    TempDir shp_;
    TempDir peg_;
};

TEST_F(ListCandidatesTest, MatchesTheExtensionWithoutRegardToCaseAndSortsLikeTheListBox) {
    for (const char* name : {"map02.shp", "MAP01.SHP", "Map03.Shp", "b.shp", "B.shp", "notes.txt",
                             "map04.shpx", "shp", "map05.shp.bak"}) {
        Touch(shp_ / name);
    }
#ifdef _WIN32
    // Names that differ only in case are one file there: the first kept its.
    const std::vector<std::string> expected = {"b.shp", "MAP01.SHP", "map02.shp", "Map03.Shp"};
#else
    const std::vector<std::string> expected = {"B.shp", "b.shp", "MAP01.SHP", "map02.shp",
                                               "Map03.Shp"};
#endif
    EXPECT_EQ(List(false), expected);
    EXPECT_EQ(List(true), expected);
}

TEST_F(ListCandidatesTest, UpdateOnlyLeavesOutMapsWhoseS16ExistsInAnyCase) {
    for (const char* name : {"MAP01.SHP", "map02.shp", "MAP03.SHP", "MAP.OLD.SHP"}) {
        Touch(shp_ / name);
    }
    Touch(peg_ / "map01.s16");    // written by an earlier run
    Touch(peg_ / "MAP02.S16");    // upper-case counterpart
    Touch(peg_ / "MAP.OLD.s16");  // title keeps its inner dot
    Touch(peg_ / "MAP03.s16.tmp");

    EXPECT_EQ(List(true), (std::vector<std::string>{"MAP03.SHP"}));
    EXPECT_EQ(ListCandidates(FolderText(shp_.Path()), FolderText(peg_.Path()), true).upToDate, 3u);
    EXPECT_EQ(List(false).size(), 4u);
}

TEST_F(ListCandidatesTest, WithoutTheSwitchOnlyPlainWritableVisibleFilesAreListed) {
    Touch(shp_ / "plain.shp");
    Touch(shp_ / ".hidden.shp");
    Touch(shp_ / "readonly.shp");
    fs::permissions(shp_ / "readonly.shp",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    fs::create_directory(shp_ / "folder.shp");

    EXPECT_EQ(List(false), (std::vector<std::string>{"plain.shp"}));
    // With the switch hidden and read-only files count too, folders never.
    EXPECT_EQ(List(true), (std::vector<std::string>{".hidden.shp", "plain.shp", "readonly.shp"}));
}

TEST_F(ListCandidatesTest, AFolderThatCannotBeReadGivesAnEmptyList) {
    EXPECT_TRUE(ListCandidates(FolderText(shp_ / "missing"), "", true).names.empty());
    Touch(shp_ / "file");
    EXPECT_TRUE(ListCandidates(FolderText(shp_ / "file"), "", false).names.empty());
}

TEST_F(ListCandidatesTest, AFolderTextWithoutSeparatorActsAsANamePrefix) {
    fs::create_directory(shp_ / "maps");
    Touch(shp_ / "maps" / "in-folder.shp");
    Touch(shp_ / "maps01.shp");
    Touch(shp_ / "other.shp");
    EXPECT_EQ(Names(ListCandidates((shp_ / "maps").string(), "", false).names),
              (std::vector<std::string>{"maps01.shp"}));
}

// An empty folder text names no folder: never the current one.
TEST_F(ListCandidatesTest, AnEmptyFolderTextNamesNoFolder) {
    Touch(shp_ / "MAP01.SHP");
    Touch(shp_ / "MAP02.SHP");
    Touch(peg_ / "MAP01.S16");
    const fs::path before = fs::current_path();
    fs::current_path(peg_.Path());
    const std::vector<std::string> listed = List(true, "");
    fs::current_path(shp_.Path());
    const CandidateList fromEmpty = ListCandidates("", "", false);
    fs::current_path(before);
    EXPECT_EQ(listed, (std::vector<std::string>{"MAP01.SHP", "MAP02.SHP"}));
    EXPECT_TRUE(fromEmpty.names.empty());
    EXPECT_FALSE(fromEmpty.error);
}

TEST(BatchNames, SourceKeepsTheListedSpellingAndTargetTakesTheTitle) {
    struct Case {
        const char* listed;
        const char* source;
        const char* target;
    };
    const Case cases[] = {
        {"map01.SHP", "/in/map01.SHP", "/out/map01.s16"},
        {"MAP.OLD.SHP", "/in/MAP.OLD.SHP", "/out/MAP.OLD.s16"},
        {"a b%s.shp", "/in/a b%s.shp", "/out/a b%s.s16"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SourcePathFor("/in/", c.listed).string(), c.source);
        EXPECT_EQ(TargetPathFor("/out/", c.listed).string(), c.target);
    }
}

}  // namespace
}  // namespace drovana
