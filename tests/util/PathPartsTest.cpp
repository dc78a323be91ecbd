#include "PathParts.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

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

// Control characters could fake a line or move the cursor; everything else,
// other scripts and bytes that are not UTF-8 included, is shown as it is.
TEST(QuotedNameTest, QuotesOnlyNamesWithControlCharactersAsLsDoes) {
    const struct {
        std::string name;
        std::string shown;
    } cases[] = {
        {"MAP07.SHP", "MAP07.SHP"},
        {"with space's [x]*?.shp", "with space's [x]*?.shp"},
        {"Karte-\xC3\x84\xE6\x97\xA5.shp", "Karte-\xC3\x84\xE6\x97\xA5.shp"},
        {"map\xFF\xFE.shp", "map\xFF\xFE.shp"},
        {"", ""},
        {"a\nb.shp", "'a'$'\\n''b.shp'"},
        {"\ttab\r\n", "$'\\t''tab'$'\\r\\n'"},
        {std::string("\a\b\v\f", 4), "$'\\a\\b\\v\\f'"},
        {"esc\033[2J", "'esc'$'\\033''[2J'"},
        {std::string("\x01\x7F\0", 3), "$'\\001\\177\\000'"},
        {"csi\xC2\x9B"
         "1m",
         "'csi'$'\\302\\233''1m'"},
        {"\xC2\xA0nbsp", "\xC2\xA0nbsp"},
        {"it's\n", "'it'\\''s'$'\\n'"},
        {"'\n'", "\\'$'\\n'\\'"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QuotedName(c.name), c.shown) << testing::PrintToString(c.name);
    }
}

}  // namespace
}  // namespace drovana
