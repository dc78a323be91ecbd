#include "Shp2S16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "CliRun.h"
#include "PathParts.h"
#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

namespace drovana {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// A path as messages show it, with the system's own separator.
std::string Shown(std::string path) {
    std::replace(path.begin(), path.end(), '/', kPathSeparator);
    return path;
}

TEST(Shp2S16, ConvertsOneFileLikeTheCore) {
    TempDir dir;
    const auto shp = test::MakeMap(40, 30, test::MapStyle::kMixed);
    WriteBytes(dir / "MAP07.SHP", shp);

    const test::CliRun run =
        test::RunCli({(dir / "MAP07.SHP").string(), (dir / "MAP07.s16").string()});

    EXPECT_EQ(run.status, kExitSuccess);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadBytes(dir / "MAP07.s16"), test::S16Of(shp));
}

// Whole rows unless asked for the old ones, for one file and for a folder.
TEST(Shp2S16, LegacyRowsWriteTheOldRows) {
    TempDir dir;
    const auto shp = test::ShpBuilder().Image({1, 9, 2, 0, 1}).Run(4, 30).EndRow().Build();
    WriteBytes(dir / "MAP07.SHP", shp);
    const std::string source = (dir / "MAP07.SHP").string();
    const std::string target = (dir / "MAP07.s16").string();
    const std::string folder = dir.Path().string();
    const struct {
        std::vector<std::string> arguments;
        S16Rows rows;
    } cases[] = {{{source, target}, S16Rows::kWhole},
                 {{"--legacy-rows", source, target}, S16Rows::kLegacy},
                 {{folder, folder}, S16Rows::kWhole},
                 {{folder, "--legacy-rows", folder}, S16Rows::kLegacy}};
    for (const auto& c : cases) {
        const test::CliRun run = test::RunCli(c.arguments);
        EXPECT_EQ(run.status, kExitSuccess) << run.err;
        EXPECT_EQ(ReadBytes(target), test::S16Of(shp, c.rows)) << c.arguments.front();
    }
    EXPECT_NE(test::S16Of(shp, S16Rows::kWhole), test::S16Of(shp, S16Rows::kLegacy));
}

TEST(Shp2S16, FailureNamesTheSourceAndTheReason) {
    TempDir dir;
    WriteBytes(dir / "MAP07.SHP", {1, 2, 3});
    const std::string source = (dir / "MAP07.SHP").string();

    const test::CliRun run =
        test::RunCli({(dir / "MAP07.SHP").string(), (dir / "MAP07.s16").string()});

    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_EQ(run.err,
              "shp2s16: " + source + ": not an SHP picture: file too short for its headers\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "MAP07.s16"));
}

// A shapefile fails with its own reason; the S16 it would replace stays.
TEST(Shp2S16, AShapefileFailsAndTheTargetStays) {
    TempDir dir;
    WriteBytes(dir / "roads.shp", test::ShapefileBytes());
    WriteBytes(dir / "roads.s16", {7});
    const std::string source = (dir / "roads.shp").string();
    const test::CliRun run = test::RunCli({source, (dir / "roads.s16").string()});
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_EQ(run.err, "shp2s16: " + source + ": a shapefile, not an SHP map\n");
    EXPECT_EQ(ReadBytes(dir / "roads.s16"), std::vector<std::uint8_t>{7});
}

#ifndef _WIN32  // which allows no control characters in names
TEST(Shp2S16, DryRunQuotesNamesWithControlCharacters) {
    TempDir dir;
    WriteBytes(dir / "a\nb.shp", test::MakeMap(8, 6, test::MapStyle::kMixed));
    const std::string at = dir.Path().string() + "/";
    const test::CliRun run = test::RunCli({"-n", dir.Path().string(), dir.Path().string()});
    EXPECT_EQ(run.out, "'" + at + "a'$'\\n''b.shp' -> '" + at + "a'$'\\n''b.s16'\n");
}
#endif

TEST(Shp2S16, MissingSourceGivesTheSystemsReason) {
    TempDir dir;
    const test::CliRun run =
        test::RunCli({(dir / "none.shp").string(), (dir / "none.s16").string()});
    EXPECT_EQ(run.status, kExitFailure);
    // The system's own words: 2 is a missing file on POSIX and Windows alike.
    const std::string reason = std::error_code(2, std::system_category()).message();
    EXPECT_NE(run.err.find("cannot open source: " + reason), std::string::npos) << run.err;
}

TEST(Shp2S16, WrongArgumentsGiveUsageAndStatusTwo) {
    const std::vector<std::string> cases[] = {
        {},
        {"only-one"},
        {"a", "b", "c"},
        {"--no-such-option", "a", "b"},
        {"", "b.s16"},
        {"a.shp", ""},
    };
    for (const std::vector<std::string>& arguments : cases) {
        const test::CliRun run = test::RunCli(arguments);
        EXPECT_EQ(run.status, kExitUsage) << testing::PrintToString(arguments);
        EXPECT_NE(run.err.find("Usage: shp2s16"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

// The first line of a usage error says what is wrong, in the program's words
// rather than the parser's. A flag with a value must not run: "--dry-run=0"
// would otherwise convert.
TEST(Shp2S16, UsageErrorsSayWhatIsWrong) {
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"--no-such", "a", "b"}, "unknown option '--no-such'"},
        {{"--no-such=3", "a", "b"}, "unknown option '--no-such'"},
        {{"-xq", "a", "b"}, "unknown option '-x'"},
        {{"--help", "--bogus"}, "unknown option '--bogus'"},
        {{"--update", "a", "b"}, "unknown option '--update'; did you mean --update-only?"},
        {{"--dryrun", "a", "b"}, "unknown option '--dryrun'; did you mean --dry-run?"},
        {{"--legacy-row=1", "a", "b"},
         "unknown option '--legacy-row'; did you mean --legacy-rows?"},
        {{"a", "b", "-j"}, "-j needs a number"},
        {{"a", "b", "--jobs"}, "--jobs needs a number"},
        {{"--dry-run=0", "a", "b"}, "--dry-run takes no value"},
        {{"--update-only=1", "-n", "a", "b"}, "--update-only takes no value"},
        {{"-j", "2x", "a", "b"}, "-j needs a number from 1 up, not '2x'"},
        {{"-j", "-1", "a", "b"}, "-j needs a number from 1 up, not '-1'"},
        {{"-j", "", "a", "b"}, "-j needs a number from 1 up, not ''"},
        {{"-j", "99999999999", "a", "b"}, "-j needs a number from 1 up, not '99999999999'"},
        {{"--help-all"}, "unknown option '--help-all'"},
        {{}, "missing SOURCE and TARGET"},
        {{"a.shp"}, "missing TARGET after 'a.shp'"},
        {{"."}, "missing PEG_FOLDER after '.'"},
    };
    for (const auto& c : cases) {
        const test::CliRun run = test::RunCli(c.arguments);
        EXPECT_EQ(run.status, kExitUsage) << testing::PrintToString(c.arguments);
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "shp2s16: " + c.message);
        EXPECT_NE(run.err.find("\nUsage: shp2s16"), std::string::npos) << run.err;
    }
}

// Every way of writing the options that worked before still does; of two job
// counts the last one counts, and after "--" an operand may start with '-'.
TEST(Shp2S16, OptionsInEveryForm) {
    const std::vector<std::string> cases[] = {
        {"-j", "2", "-n"}, {"-j2", "-n"},        {"-j=2", "-n"},     {"--jobs=2", "-n"},
        {"-nj2"},          {"-j", " +2 ", "-n"}, {"-j", "03", "-n"}, {"-j", "0", "-j", "2", "-n"},
        {"-un", "-q"},     {"-n", "-u", "-u"},   {"--dry-run=true"},
    };
    for (std::vector<std::string> arguments : cases) {
        arguments.insert(arguments.end(), {"a.shp", "b.s16"});
        const test::CliRun run = test::RunCli(arguments);
        EXPECT_EQ(run.status, kExitSuccess) << testing::PrintToString(arguments) << run.err;
        EXPECT_EQ(run.out, "a.shp -> b.s16\n");
    }
    const test::CliRun dashed = test::RunCli({"-n", "--", "-a.shp", "b.s16"});
    EXPECT_EQ(dashed.status, kExitSuccess) << dashed.err;
    EXPECT_EQ(dashed.out, "-a.shp -> b.s16\n");
}

// Even without a program name, as a bare exec may start it.
TEST(Shp2S16, NoArgumentsAtAllIsAUsageError) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    EXPECT_EQ(RunShp2S16({}, out, err), kExitUsage);
    std::fclose(out);
    std::fclose(err);
}

// Names in the wrong order would write a picture over the map. Folders may
// be named anything.
TEST(Shp2S16, SwappedFileOperandsAreAUsageErrorAndWriteNothing) {
    TempDir dir;
    const auto shp = test::MakeMap(8, 6, test::MapStyle::kMixed);
    WriteBytes(dir / "MAP07.SHP", shp);
    WriteBytes(dir / "MAP07.s16", {1, 2, 3});
    const std::vector<std::string> cases[] = {
        {(dir / "MAP07.s16").string(), (dir / "MAP07.SHP").string()},
        {"-n", (dir / "MAP07.SHP").string(), (dir / "copy.Shp").string()},
        {(dir / "none.S16").string(), (dir / "none.bin").string()},
    };
    for (const std::vector<std::string>& arguments : cases) {
        const test::CliRun run = test::RunCli(arguments);
        EXPECT_EQ(run.status, kExitUsage) << testing::PrintToString(arguments);
        EXPECT_NE(run.err.find("shp2s16: arguments look swapped: "), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(ReadBytes(dir / "MAP07.SHP"), shp);
        EXPECT_EQ(ReadBytes(dir / "MAP07.s16"), (std::vector<std::uint8_t>{1, 2, 3}));
        EXPECT_EQ(dir.Names().size(), 2u);
    }

    std::filesystem::create_directory(dir / "maps.s16");
    std::filesystem::create_directory(dir / "peg.shp");
    WriteBytes(dir / "maps.s16" / "MAP07.SHP", shp);
    const test::CliRun batch =
        test::RunCli({(dir / "maps.s16").string(), (dir / "peg.shp").string()});
    EXPECT_EQ(batch.status, kExitSuccess) << batch.err;
    EXPECT_TRUE(std::filesystem::exists(dir / "peg.shp" / "MAP07.s16"));
}

// A TARGET folder receives the map under its title, as cp would put it there,
// even when the folder's name looks like a map's. A folder the picture
// cannot go into is named itself, not the map.
TEST(Shp2S16, TargetFolderTakesTheMapsTitleAndAMissingOneIsNamed) {
    TempDir dir;
    WriteBytes(dir / "Map.Old.Shp", test::MakeMap(8, 6, test::MapStyle::kMixed));
    WriteBytes(dir / "notes.txt", {1});
    std::filesystem::create_directory(dir / "peg.shp");
    const std::string at = dir.Path().string() + "/";
    const std::pair<std::string, std::string> cases[] = {
        {"peg.shp", ""},
        {"peg.shp/", ""},
        {"nopeg/x.s16", "nopeg/: no such folder for the target"},
        {"nopeg/", "nopeg/: no such folder for the target"},
        {"notes.txt/x.s16", "notes.txt/: not a folder, so it cannot hold the target"},
    };
    for (const auto& [target, message] : cases) {
        const test::CliRun run = test::RunCli({at + "Map.Old.Shp", at + target});
        EXPECT_EQ(run.status, message.empty() ? kExitSuccess : kExitUsage) << target;
        EXPECT_EQ(run.err, message.empty() ? "" : "shp2s16: " + Shown(at + message) + "\n");
        EXPECT_EQ(std::filesystem::remove(dir / "peg.shp" / "Map.Old.s16"), message.empty());
        EXPECT_EQ(dir.Names().size(), 3u) << target;
    }
}

// Spelt as a folder, SOURCE is one: never a map to open.
TEST(Shp2S16, ASourceSpeltAsAFolderThatIsNotOneIsAUsageError) {
    TempDir dir;
    WriteBytes(dir / "MAP07.SHP", test::MakeMap(8, 6, test::MapStyle::kMixed));
    const std::string at = dir.Path().string() + "/";
    const struct {
        std::string source;
        std::string reason;
    } cases[] = {
        {at + "missing/", "no such folder"},
        {at + "missing/.", "no such folder"},
#ifdef _WIN32
        // Windows drops "x/.." before it looks, and finds no folder "x/".
        {at + "MAP07.SHP/", "no such folder"},
#else
        {at + "missing/..", "no such folder"},
        {at + "MAP07.SHP/", "not a folder"},
#endif
    };
    for (const auto& c : cases) {
        const test::CliRun run = test::RunCli({c.source, at + "MAP07.s16"});
        EXPECT_EQ(run.status, kExitUsage) << c.source;
        EXPECT_EQ(run.err.rfind("shp2s16: " + Shown(c.source) + ": " + c.reason, 0), 0u) << run.err;
        EXPECT_EQ(dir.Names().size(), 1u) << c.source;
    }
}

// What is wrong with an operand is said of that operand: a mistyped folder
// is wrong usage, a target the picture cannot take the place of is named
// itself, and a picture name without its suffix is written as it stands,
// with a warning.
TEST(Shp2S16, OperandMessagesNameTheOperandAtFault) {
    TempDir dir;
    WriteBytes(dir / "notes.txt", {1});
    std::filesystem::create_directories(dir / "maps");
    std::filesystem::create_directories(dir / "peg");
    WriteBytes(dir / "maps" / "MAP07.SHP", test::MakeMap(8, 6, test::MapStyle::kMixed));
    std::filesystem::create_directories(dir / "peg" / "MAP07.s16");
    const std::string at = dir.Path().string() + kPathSeparator;
    const std::string map = at + "maps" + kPathSeparator + "MAP07.SHP";
    const std::string peg = at + "peg" + kPathSeparator;
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string message;  // how standard error starts
    } cases[] = {
        {{at + "mpas", at + "peg"}, kExitUsage, at + "mpas: no such file or folder\n"},
        {{at + "none.shp", at + "peg"}, kExitFailure, at + "none.shp: cannot open source"},
        {{at + "maps", at + "notes.txt"}, kExitUsage, at + "notes.txt is not a folder\n"},
        {{at + "maps", at + "nopeg"}, kExitUsage, at + "nopeg: no such folder\n"},
        {{map, peg + "MAP07"},
         kExitSuccess,
         "warning: " + peg + "MAP07 does not end in .s16; a file of that exact name is written\n"},
        {{at + "maps", peg}, kExitFailure, peg + "MAP07.s16: target exists and is not a regular"},
    };
    for (const auto& c : cases) {
        const test::CliRun run = test::RunCli(c.arguments);
        EXPECT_EQ(run.status, c.status) << testing::PrintToString(c.arguments) << run.err;
        EXPECT_EQ(run.err.rfind("shp2s16: " + c.message, 0), 0u) << run.err;
    }
    EXPECT_TRUE(std::filesystem::exists(dir / "peg" / "MAP07"));
}

TEST(Shp2S16, HelpAndVersionGoToStandardOutput) {
    const test::CliRun help = test::RunCli({"--help"});
    EXPECT_EQ(help.status, kExitSuccess);
    EXPECT_NE(help.out.find("SOURCE"), std::string::npos);
    EXPECT_NE(help.out.find("Examples:"), std::string::npos);
    for (const char* option : {"-h, --help", "-v, --version", "-u, --update-only", "-j, --jobs <N>",
                               "-n, --dry-run", "-q, --quiet", "--legacy-rows"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    EXPECT_EQ(help.out.find("help-all"), std::string::npos);

    const test::CliRun version = test::RunCli({"--version"});
    EXPECT_EQ(version.status, kExitSuccess);
    EXPECT_EQ(version.out, "shp2s16 1.0.0.1\n");
}

}  // namespace
}  // namespace drovana
