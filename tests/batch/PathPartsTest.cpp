#include "PathParts.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>

namespace drovana {
namespace {

struct PathPartCase {
    std::string path;
    std::string folder;            // GetPathPart(path, kPathFolder)
    std::string title;             // GetPathPart(path, kPathTitle)
    std::string extension;         // GetPathPart(path, kPathExtension)
    std::string fileName;          // GetPathPart(path, kPathFileName)
    std::string withoutExtension;  // GetPathPart(path, kPathWithoutExtension)
};

std::ostream& operator<<(std::ostream& out, const PathPartCase& c) {
    return out << '"' << c.path << '"';
}

class GetPathPartTest : public ::testing::TestWithParam<PathPartCase> {};

TEST_P(GetPathPartTest, ReturnsEachPart) {
    const PathPartCase& c = GetParam();
    EXPECT_EQ(GetPathPart(c.path, kPathFolder), c.folder);
    EXPECT_EQ(GetPathPart(c.path, kPathTitle), c.title);
    EXPECT_EQ(GetPathPart(c.path, kPathExtension), c.extension);
    EXPECT_EQ(GetPathPart(c.path, kPathFileName), c.fileName);
    EXPECT_EQ(GetPathPart(c.path, kPathWithoutExtension), c.withoutExtension);
}

TEST_P(GetPathPartTest, AnyOtherPartGivesTheWholePathBack) {
    const PathPartCase& c = GetParam();
    for (int part : {5, 7, 100, -1}) {
        EXPECT_EQ(GetPathPart(c.path, part), c.path) << "part " << part;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Paths, GetPathPartTest, ::testing::Values(
    //             path                folder       title      extension  file name      without extension
    PathPartCase{"/MAPS/MAP01.SHP",  "/MAPS/",    "MAP01",   ".SHP",    "MAP01.SHP",   "/MAPS/MAP01"},
    PathPartCase{"MAP.OLD.SHP",      "",          "MAP.OLD", ".SHP",    "MAP.OLD.SHP", "MAP.OLD"},
    PathPartCase{"rel/Sub/Map.s16",  "rel/Sub/",  "Map",     ".s16",    "Map.s16",     "rel/Sub/Map"},
    PathPartCase{"/maps/readme",     "/maps/",    "readme",  "",        "readme",      "/maps/readme"},
    PathPartCase{"/a.b/c",           "/a.b/",     "c",       "",        "c",           "/a.b/c"},
    PathPartCase{"/maps/.hidden",    "/maps/",    "",        ".hidden", ".hidden",     "/maps/"},
    PathPartCase{"map.",             "",          "map",     ".",       "map.",        "map"},
    PathPartCase{"/maps/",           "/maps/",    "",        "",        "",            "/maps/"},
    PathPartCase{"/",                "/",         "",        "",        "",            "/"},
    PathPartCase{"",                 "",          "",        "",        "",            ""}));
// clang-format on

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(
    WindowsPaths, GetPathPartTest,
    ::testing::Values(PathPartCase{"C:\\MAPS\\MAP01.SHP", "C:\\MAPS\\", "MAP01", ".SHP",
                                   "MAP01.SHP", "C:\\MAPS\\MAP01"},
                      PathPartCase{"C:MAP01.SHP", "C:", "MAP01", ".SHP", "MAP01.SHP", "C:MAP01"},
                      PathPartCase{"d:/maps\\a.b", "d:/maps\\", "a", ".b", "a.b", "d:/maps\\a"}));
#else
// Backslash and colon are ordinary name characters here.
INSTANTIATE_TEST_SUITE_P(PosixNames, GetPathPartTest,
                         ::testing::Values(PathPartCase{"/maps/C:a\\b.SHP", "/maps/", "C:a\\b",
                                                        ".SHP", "C:a\\b.SHP", "/maps/C:a\\b"}));
#endif

TEST(CPathPartsTest, SplitReplacesEveryComponentOfTheEarlierPath) {
    CPathParts parts("/MAPS/MAP01.SHP");
    parts.Split("readme");
    EXPECT_EQ(parts.Drive(), "");
    EXPECT_EQ(parts.Directory(), "");
    EXPECT_EQ(parts.Title(), "readme");
    EXPECT_EQ(parts.Extension(), "");
}

TEST(CPathPartsTest, ResultKeepsTheLastComposition) {
    CPathParts parts("/MAPS/MAP01.SHP");
    parts.Compose(kPathFolder);
    parts.Compose(kPathFileName);
    EXPECT_EQ(parts.Result(), "MAP01.SHP");
}

TEST(EnsureTrailingSeparatorTest, AppendsOnlyWhenMissing) {
    const std::string sep(1, kPathSeparator);
    const struct {
        std::string folder;
        std::string expected;
    } cases[] = {
        {"", sep},
        {sep, sep},
        {"maps", "maps" + sep},
        {"/work/maps", "/work/maps" + sep},
        {"/work/maps" + sep, "/work/maps" + sep},
#ifdef _WIN32
        {"C:/maps/", "C:/maps/"},
#else
        {"maps\\", "maps\\/"},
#endif
    };
    for (const auto& c : cases) {
        std::string folder = c.folder;
        EnsureTrailingSeparator(folder);
        EXPECT_EQ(folder, c.expected) << "folder \"" << c.folder << '"';
        EXPECT_EQ(WithTrailingSeparator(c.folder), c.expected) << "folder \"" << c.folder << '"';
    }
}

// Names without control characters, even bytes that are not UTF-8, stay.
TEST(QuotedNameTest, QuotesOnlyNamesWithControlCharactersAsLsDoes) {
    const std::pair<std::string, std::string> cases[] = {
        {"it's \xFF\xC2\xA0.shp", "it's \xFF\xC2\xA0.shp"},
        {"a\nb.shp", "'a'$'\\n''b.shp'"},
        {std::string("\a\b\v\f\x01\x7F\0", 7), "$'\\a\\b\\v\\f\\001\\177\\000'"},
        {"esc\033[2J csi\xC2\x9B", "'esc'$'\\033''[2J csi'$'\\302\\233'"},
        {"'it's\n", "\\''it'\\''s'$'\\n'"},
    };
    for (const auto& [name, shown] : cases) {
        EXPECT_EQ(QuotedName(name), shown) << testing::PrintToString(name);
    }
}

}  // namespace
}  // namespace drovana
