#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ConvertShpToS16.h"
#include "S16Bytes.h"
#include "SampleMaps.h"
#include "TestFiles.h"

namespace drovana::test {
namespace {

namespace fs = std::filesystem;
using samples::GoodSamples;
using samples::kBrokenSampleName;

std::vector<std::string> ExpectedNames() {
    std::vector<std::string> names = {kBrokenSampleName};
    for (const samples::SampleMap& map : GoodSamples()) {
        names.push_back(map.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SampleMaps, AllButTheBrokenOneConvertToPicturesOfTheirSize) {
    const TempDir dir;
    samples::WriteSamples(dir.Path());
    EXPECT_EQ(NamesIn(dir / "maps"), ExpectedNames());
    EXPECT_TRUE(fs::is_empty(dir / "peg"));
    for (const samples::SampleMap& map : GoodSamples()) {
        SCOPED_TRACE(map.name);
        const fs::path target = dir / "peg" / (fs::path(map.name).stem().string() + ".s16");
        ASSERT_TRUE(ConvertShpFile(dir / "maps" / map.name, target).Ok());
        const std::vector<std::uint8_t> s16 = ReadBytes(target);
        EXPECT_EQ(s16, S16Of(ReadBytes(dir / "maps" / map.name)));
        EXPECT_EQ(Le32(s16, 4), map.width);
        EXPECT_EQ(Le32(s16, 8), map.height);
    }
    const ConvertResult broken =
        ConvertShpFile(dir / "maps" / kBrokenSampleName, dir / "peg" / "MAP13.s16");
    EXPECT_EQ(broken.error, ConvertError::kTooShortForHeaders);
    EXPECT_EQ(NamesIn(dir / "peg").size(), GoodSamples().size());
}

TEST(SampleMaps, TheBuildMadeThemBesideAPegFolder) {
    const fs::path built = DROVANA_SAMPLES_DIR;
    EXPECT_EQ(NamesIn(built / "maps"), ExpectedNames());
    EXPECT_EQ(ReadBytes(built / "maps" / GoodSamples().back().name),
              samples::SampleBytes(GoodSamples().back()));
    EXPECT_TRUE(fs::is_directory(built / "peg"));
}

}  // namespace
}  // namespace drovana::test
