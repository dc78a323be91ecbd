#include "Shp2S16.h"

#include <gtest/gtest.h>

#include <string>

#include "CliRun.h"
#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

namespace drovana {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(Shp2S16, ConvertsOneFileLikeTheCore) {
    TempDir dir;
    const auto shp = test::MakeMap(40, 30, test::MapStyle::kMixed);
    WriteBytes(dir / "MAP07.SHP", shp);

    const test::CliRun run = test::RunCli({Q(dir / "MAP07.SHP"), Q(dir / "MAP07.s16")});

    EXPECT_EQ(run.status, kExitSuccess);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadBytes(dir / "MAP07.s16"), test::S16Of(shp));
}

TEST(Shp2S16, FailureNamesTheSourceAndTheReason) {
    TempDir dir;
    WriteBytes(dir / "MAP07.SHP", {1, 2, 3});
    const std::string source = (dir / "MAP07.SHP").string();

    const test::CliRun run = test::RunCli({Q(dir / "MAP07.SHP"), Q(dir / "MAP07.s16")});

    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_EQ(run.err,
              "shp2s16: " + source + ": not an SHP picture: file too short for its headers\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "MAP07.s16"));
}

TEST(Shp2S16, MissingSourceGivesTheSystemsReason) {
    TempDir dir;
    const test::CliRun run = test::RunCli({Q(dir / "none.shp"), Q(dir / "none.s16")});
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_NE(run.err.find("cannot open source: No such file or directory"), std::string::npos);
}

TEST(Shp2S16, WrongArgumentsGiveUsageAndStatusTwo) {
    const QStringList cases[] = {
        {},
        {QStringLiteral("only-one")},
        {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")},
        {QStringLiteral("--no-such-option"), QStringLiteral("a"), QStringLiteral("b")},
        {QString(), QStringLiteral("b.s16")},
        {QStringLiteral("a.shp"), QString()},
    };
    for (const QStringList& arguments : cases) {
        const test::CliRun run = test::RunCli(arguments);
        EXPECT_EQ(run.status, kExitUsage) << arguments.join(' ').toStdString();
        EXPECT_NE(run.err.find("Usage: shp2s16"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

// Names in the wrong order would write a picture over the map. Folders may
// be named anything.
TEST(Shp2S16, SwappedFileOperandsAreAUsageErrorAndWriteNothing) {
    TempDir dir;
    const auto shp = test::MakeMap(8, 6, test::MapStyle::kMixed);
    WriteBytes(dir / "MAP07.SHP", shp);
    WriteBytes(dir / "MAP07.s16", {1, 2, 3});
    const QStringList cases[] = {
        {Q(dir / "MAP07.s16"), Q(dir / "MAP07.SHP")},
        {QStringLiteral("-n"), Q(dir / "MAP07.SHP"), Q(dir / "copy.Shp")},
        {Q(dir / "none.S16"), Q(dir / "none.bin")},
    };
    for (const QStringList& arguments : cases) {
        const test::CliRun run = test::RunCli(arguments);
        EXPECT_EQ(run.status, kExitUsage) << arguments.join(' ').toStdString();
        EXPECT_NE(run.err.find("shp2s16: arguments look swapped: "), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(ReadBytes(dir / "MAP07.SHP"), shp);
        EXPECT_EQ(ReadBytes(dir / "MAP07.s16"), (std::vector<std::uint8_t>{1, 2, 3}));
        EXPECT_EQ(dir.Names().size(), 2u);
    }

    std::filesystem::create_directory(dir / "maps.s16");
    std::filesystem::create_directory(dir / "peg.shp");
    WriteBytes(dir / "maps.s16" / "MAP07.SHP", shp);
    const test::CliRun batch = test::RunCli({Q(dir / "maps.s16"), Q(dir / "peg.shp")});
    EXPECT_EQ(batch.status, kExitSuccess) << batch.err;
    EXPECT_TRUE(std::filesystem::exists(dir / "peg.shp" / "MAP07.s16"));
}

TEST(Shp2S16, HelpAndVersionGoToStandardOutput) {
    const test::CliRun help = test::RunCli({QStringLiteral("--help")});
    EXPECT_EQ(help.status, kExitSuccess);
    EXPECT_NE(help.out.find("SOURCE"), std::string::npos);
    EXPECT_NE(help.out.find("Examples:"), std::string::npos);

    const test::CliRun version = test::RunCli({QStringLiteral("--version")});
    EXPECT_EQ(version.status, kExitSuccess);
    EXPECT_EQ(version.out, "shp2s16 1.0.0.1\n");
}

}  // namespace
}  // namespace drovana
