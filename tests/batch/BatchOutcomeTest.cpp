#include "BatchConvert.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "FileIo.h"
#include "PathParts.h"
#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

// What a batch leaves on the disk, however it ends: each target is either
// its old file or the whole new picture, the count says which, and no
// temporary file remains.
namespace drovana {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const Bytes kOldTarget = {'o', 'l', 'd'};

// Sets `stop` once `after` files are done.
class StopAfter final : public BatchObserver {
public:
    StopAfter(std::atomic<bool>& stop, std::size_t after) : stop_(stop), after_(after) {}
    void Started(const BatchItem&) override {}
    void Finished(const BatchItem&, const ConvertResult&) override {
        if (++done_ >= after_) {
            stop_ = true;
        }
    }

private:
    std::atomic<bool>& stop_;
    std::size_t after_;
    std::atomic<std::size_t> done_{0};
};

// Maps of several sizes, more than a group of syncs holds; every other one
// has an old target to replace.
struct Batch {
    Batch(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::string title = "MAP" + std::to_string(1000 + i);
            const int width = 8 + static_cast<int>(i % 7) * 40;
            maps[title] =
                test::MakeMap(width, 30, test::MapStyle::kMixed, static_cast<std::uint32_t>(i));
            test::WriteBytes(shp / (title + ".SHP"), maps[title]);
            if (i % 2 == 0) {
                test::WriteBytes(peg / (title + ".s16"), kOldTarget);
            }
        }
    }

    BatchPlan Plan() const {
        return PlanFolderBatch(TextOf(shp.Path()) + kPathSeparator,
                               TextOf(peg.Path()) + kPathSeparator, false);
    }

    // How many targets hold their new picture; fails on any target that is
    // neither old nor new, and on any other file.
    std::size_t NewTargets() const {
        std::size_t fresh = 0;
        for (const std::string& name : test::NamesIn(peg.Path())) {
            EXPECT_FALSE(IsTemporaryName(name)) << name;
            const std::string title = fs::path(name).stem().string();
            const Bytes bytes = test::ReadBytes(peg / name);
            if (maps.count(title) == 0) {
                ADD_FAILURE() << "unexpected " << name;
            } else if (bytes == test::S16Of(maps.at(title))) {
                ++fresh;
            } else {
                EXPECT_EQ(bytes, kOldTarget) << name;
            }
        }
        return fresh;
    }

    test::TempDir shp;
    test::TempDir peg;
    std::map<std::string, Bytes> maps;
};

TEST(BatchOutcome, EveryTargetIsOldOrWholeAndTheCountSaysWhich) {
    const struct {
        int jobs;
        std::size_t stopAfter;  // 0: never
    } cases[] = {{1, 0}, {3, 0}, {1, 1}, {2, 70}, {3, 150}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.jobs << " jobs, stop after " << c.stopAfter);
        const Batch batch(200);
        std::atomic<bool> stop{false};
        StopAfter observer(stop, c.stopAfter == 0 ? 1000 : c.stopAfter);
        const BatchOutcome outcome = ConvertBatch(batch.Plan().items, c.jobs, stop, observer);

        EXPECT_EQ(outcome.failed, 0u);
        EXPECT_EQ(outcome.interrupted, c.stopAfter != 0);
        EXPECT_EQ(batch.NewTargets(), outcome.converted);
        EXPECT_GE(outcome.converted, c.stopAfter);
        if (c.stopAfter == 0) {
            EXPECT_EQ(outcome.converted, 200u);
        }
    }
}

}  // namespace
}  // namespace drovana
