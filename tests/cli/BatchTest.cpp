#include <gtest/gtest.h>

#include <QProcess>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <set>
#include <string>
#include <thread>

#include "BatchConvert.h"
#include "BatchRules.h"
#include "CliRun.h"
#include "ConvertError.h"
#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

namespace drovana {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::S16Of;
using test::TempDir;
using test::WriteBytes;

class BatchTest : public ::testing::Test {
protected:
    // Writes a map under `name` and returns its bytes.
    std::vector<std::uint8_t> AddMap(const std::string& name, std::uint32_t seed) {
        auto shp = test::MakeMap(64, 48, test::MapStyle::kMixed, seed);
        WriteBytes(shp_ / name, shp);
        return shp;
    }

    std::set<std::string> PegNames() const {
        const auto names = peg_.Names();
        return {names.begin(), names.end()};
    }

    test::CliRun Batch(QStringList options) {
        options << Q(shp_.Path()) << Q(peg_.Path());
        return test::RunCli(options);
    }

    TempDir shp_;
    TempDir peg_;
};

TEST_F(BatchTest, ConvertsWhatTheDialogListsIntoThePegFolder) {
    const auto first = AddMap("MAP01.SHP", 1);
    const auto second = AddMap("map02.shp", 2);
    const auto third = AddMap("Map.Old.Shp", 3);
    WriteBytes(shp_ / "notes.txt", {1, 2, 3});
    WriteBytes(shp_ / ".hidden.shp", {1, 2, 3});

    const test::CliRun run = Batch({QStringLiteral("-j2")});

    EXPECT_EQ(run.status, kExitSuccess) << run.err;
    EXPECT_NE(run.err.find("3 converted, 0 failed, 0 skipped as up to date"), std::string::npos)
        << run.err;
    std::set<std::string> listed;
    for (const auto& name :
         ListCandidates(shp_.Path().string() + "/", peg_.Path().string() + "/", false).names) {
        listed.insert(TargetPathFor("", name).string());
    }
    EXPECT_EQ(PegNames(), listed);
    EXPECT_EQ(ReadBytes(peg_ / "MAP01.s16"), S16Of(first));
    EXPECT_EQ(ReadBytes(peg_ / "map02.s16"), S16Of(second));
    EXPECT_EQ(ReadBytes(peg_ / "Map.Old.s16"), S16Of(third));
}

TEST_F(BatchTest, AFailingFileInAParallelBatchFailsAloneWithStatusOne) {
    for (int i = 0; i < 9; ++i) {
        AddMap("MAP0" + std::to_string(i) + ".SHP", static_cast<std::uint32_t>(i));
    }
    WriteBytes(shp_ / "MAP04.SHP", {1, 2, 3});

    const test::CliRun run = Batch({QStringLiteral("--jobs"), QStringLiteral("2")});

    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_NE(run.err.find("MAP04.SHP: not an SHP picture"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("8 converted, 1 failed"), std::string::npos) << run.err;
    EXPECT_EQ(PegNames().size(), 8u);
    EXPECT_EQ(PegNames().count("MAP04.s16"), 0u);
}

TEST_F(BatchTest, UpdateOnlyConvertsOnlyMapsWithoutS16) {
    AddMap("MAP01.SHP", 1);
    AddMap("MAP02.SHP", 2);
    WriteBytes(peg_ / "map01.S16", {9});

    const test::CliRun run = Batch({QStringLiteral("--update-only")});

    EXPECT_EQ(run.status, kExitSuccess);
    EXPECT_NE(run.err.find("1 converted, 0 failed, 1 skipped as up to date"), std::string::npos);
    EXPECT_EQ(ReadBytes(peg_ / "map01.S16"), std::vector<std::uint8_t>{9});
    EXPECT_EQ(PegNames(), (std::set<std::string>{"map01.S16", "MAP02.s16"}));
}

TEST_F(BatchTest, DryRunPrintsThePlanAndConvertsNothing) {
    AddMap("MAP01.SHP", 1);
    const test::CliRun run = Batch({QStringLiteral("-n")});
    EXPECT_EQ(run.status, kExitSuccess);
    EXPECT_EQ(run.out,
              (shp_ / "MAP01.SHP").string() + " -> " + (peg_ / "MAP01.s16").string() + "\n");
    EXPECT_TRUE(PegNames().empty());
}

TEST_F(BatchTest, QuietPrintsNothingOnSuccess) {
    AddMap("MAP01.SHP", 1);
    const test::CliRun run = Batch({QStringLiteral("-q")});
    EXPECT_EQ(run.status, kExitSuccess);
    EXPECT_EQ(run.err, "");
}

TEST_F(BatchTest, AMissingFolderOrBadJobCountIsAUsageError) {
    const QStringList cases[] = {
        {Q(shp_.Path()), Q(peg_ / "missing")},
        {Q(shp_ / "missing") + QStringLiteral("/"), Q(peg_.Path())},
        {QStringLiteral("-j"), QStringLiteral("0"), Q(shp_.Path()), Q(peg_.Path())},
        {QStringLiteral("-j"), QStringLiteral("many"), Q(shp_.Path()), Q(peg_.Path())},
    };
    for (const QStringList& arguments : cases) {
        EXPECT_EQ(test::RunCli(arguments).status, kExitUsage) << arguments.join(' ').toStdString();
    }
}

// Stops the batch as soon as the first file is done.
class StopAfterFirst final : public BatchObserver {
public:
    explicit StopAfterFirst(std::atomic<bool>& stop) : stop_(stop) {}
    void Started(const BatchItem&) override {}
    void Finished(const BatchItem&, const ConvertResult&) override { stop_ = true; }

private:
    std::atomic<bool>& stop_;
};

TEST_F(BatchTest, AStoppedBatchStartsNoNewFileAndLeavesNoPartialFile) {
    for (int i = 0; i < 6; ++i) {
        AddMap("MAP0" + std::to_string(i) + ".SHP", static_cast<std::uint32_t>(i));
    }
    const BatchPlan plan =
        PlanFolderBatch(shp_.Path().string() + "/", peg_.Path().string() + "/", false);
    std::atomic<bool> stop{false};
    StopAfterFirst observer(stop);

    const BatchOutcome outcome = ConvertBatch(plan.items, 1, stop, observer);

    EXPECT_TRUE(outcome.interrupted);
    EXPECT_EQ(outcome.converted, 1u);
    EXPECT_EQ(PegNames(), (std::set<std::string>{"MAP00.s16"}));
}

// A 36-byte picture that asks for 65,536 rows of the widest fill: 33 MB of
// output from almost no input, so a batch of them runs long enough to be
// interrupted.
std::vector<std::uint8_t> WideFillPicture() {
    return test::ShpBuilder().Image({0, 32767, 0, 0, 65535}).Build();
}

// Ctrl-C, kill and a closed terminal stop a batch alike; the status tells
// which, as shells report a program a signal stopped.
TEST_F(BatchTest, AStopSignalAbandonsConversionsAndExitsWith128PlusTheSignal) {
    const auto shp = WideFillPicture();
    constexpr int kFiles = 48;
    for (int i = 0; i < kFiles; ++i) {
        WriteBytes(shp_ / ("MAP" + std::to_string(100 + i) + ".SHP"), shp);
    }
    for (const auto& [signal, status] : {std::pair{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}}) {
        SCOPED_TRACE(testing::Message() << "signal " << signal);
        for (const std::string& name : PegNames()) {
            fs::remove(peg_ / name);
        }
        QProcess process;
        process.start(QStringLiteral(SHP2S16_PATH),
                      {QStringLiteral("-j2"), Q(shp_.Path()), Q(peg_.Path())});
        ASSERT_TRUE(process.waitForStarted());
        // Wait until a first target is complete and the next ones are under way.
        const auto completed = [this] {
            const auto names = PegNames();
            return std::count_if(names.begin(), names.end(),
                                 [](const std::string& name) { return name[0] != '.'; });
        };
        while (completed() < 1 && process.state() == QProcess::Running) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ::kill(static_cast<pid_t>(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(60000));

        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), status);
        const std::size_t fullSize = 44 + 65536u * 129u * 4u;
        const auto names = PegNames();
        EXPECT_GE(names.size(), 1u);
        EXPECT_LT(names.size(), static_cast<std::size_t>(kFiles));
        for (const std::string& name : names) {
            EXPECT_EQ(name.rfind('.', 0), std::string::npos) << "temporary file left: " << name;
            EXPECT_EQ(fs::file_size(peg_ / name), fullSize) << name;
        }
    }
}

}  // namespace
}  // namespace drovana
