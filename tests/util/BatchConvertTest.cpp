#include "BatchConvert.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "PathParts.h"
#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

namespace drovana {
namespace {

namespace fs = std::filesystem;

class SilentObserver final : public BatchObserver {
public:
    void Started(const BatchItem&) override {}
    void Finished(const BatchItem&, const ConvertResult&) override {}
};

// Names in any script, with spaces, and long ones reach the disk as they
// are, on every system: where paths are wide, through their UTF-8 text.
TEST(BatchConvert, NamesInAnyScriptConvertByteForByte) {
    const std::vector<std::string> titles = {"MAP 07", "K\xC3\xA4rte-\xE6\x97\xA5\xE6\x9C\xAC",
                                             std::string(196, 'n')};
    test::TempDir shp;
    test::TempDir peg;
    std::vector<std::vector<std::uint8_t>> maps;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        maps.push_back(test::MakeMap(16, 8, test::MapStyle::kMixed, static_cast<std::uint32_t>(i)));
        test::WriteBytes(shp.Path() / PathOf(titles[i] + ".shp"), maps.back());
    }

    const BatchPlan plan = PlanFolderBatch(TextOf(shp.Path()) + kPathSeparator,
                                           TextOf(peg.Path()) + kPathSeparator, false);
    ASSERT_EQ(plan.items.size(), titles.size());
    const std::atomic<bool> stop{false};
    SilentObserver observer;
    const BatchOutcome outcome = ConvertBatch(plan.items, 2, stop, observer);

    EXPECT_EQ(outcome.converted, titles.size());
    for (std::size_t i = 0; i < titles.size(); ++i) {
        EXPECT_EQ(test::ReadBytes(peg.Path() / PathOf(titles[i] + ".s16")), test::S16Of(maps[i]))
            << titles[i];
    }
}

}  // namespace
}  // namespace drovana
