#include "PreRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "PathParts.h"
#include "TestFiles.h"

namespace drovana {
namespace {

namespace fs = std::filesystem;

TEST(PreRun, TellsWhatStandsWhereAFolderMustBe) {
    test::TempDir dir;
    test::WriteBytes(dir / "MAP07.SHP", {1});
    fs::create_directory(dir / "peg");
    const auto text = [&dir](const std::string& name) { return TextOf(dir / name); };
    const struct {
        std::string folder;
        FolderState state;
    } cases[] = {{"", FolderState::kMissing},
                 {text("peg"), FolderState::kFolder},
                 {text("missing"), FolderState::kMissing},
                 {text("MAP07.SHP"), FolderState::kNotAFolder}};
    for (const auto& c : cases) {
        EXPECT_EQ(CheckFolder(c.folder), c.state) << c.folder;
    }
    EXPECT_EQ(PathOf(TargetForOneFile(text("MAP07.SHP"), text("peg"))), dir / "peg" / "MAP07.s16");
    EXPECT_EQ(TargetForOneFile(text("MAP07.SHP"), text("x.s16")), text("x.s16"));
    EXPECT_TRUE(SpeltAsFolder(text("peg") + "/"));
    EXPECT_FALSE(SpeltAsFolder(text("MAP07.SHP")));
}

TEST(PreRun, AFolderOfS16PicturesWithoutMapsLooksLikeThePegFolder) {
    test::TempDir dir;
    EXPECT_FALSE(HoldsS16ButNoMaps(TextOf(dir.Path())));
    test::WriteBytes(dir / "MAP07.s16", {1});
    EXPECT_TRUE(HoldsS16ButNoMaps(TextOf(dir.Path())));
    test::WriteBytes(dir / "map08.SHP", {1});
    EXPECT_FALSE(HoldsS16ButNoMaps(TextOf(dir.Path())));
}

}  // namespace
}  // namespace drovana
