#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BatchConvert.h"
#include "BatchRules.h"
#include "ChildProcess.h"
#include "CliRun.h"
#include "HardeningSupport.h"
#include "PathParts.h"
#include "ProgressReporter.h"
#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

// File names that trip up text handling: format directives, other scripts,
// bytes that are not UTF-8, case twins, the longest names, and entries that
// only look like maps.
namespace drovana::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<fs::path>;

// Maps whose names are plain files, in the order the listing sorts them.
const std::vector<std::string> kMapNames = {
    "%2.shp",
    "%s%n%d.shp",
    "[x]*?.shp",
    "Karte-\xC3\x84\xC3\x96\xC3\x9C-\xE6\x97\xA5\xE6\x9C\xAC.shp",  // Karte-ÄÖÜ-日本
    std::string(246, 'L') + ".shp",                                 // 250 bytes
    "MAP01.SHP",
    "map01.shp",
    "map\xFF\xFE.shp",  // not UTF-8
    "tab\tand\nnewline.shp",
    "with space.shp",
};

// A folder of maps under those names, a symlink loop and a folder whose
// names match "*.shp" too, and an empty PeG folder; the folders' own names
// carry format directives and spaces.
class HostileNamesTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(shp_);
        fs::create_directory(peg_);
        std::uint32_t seed = 1;
        for (const std::string& name : kMapNames) {
            maps_.push_back(MakeMap(9, 4, MapStyle::kMixed, seed++));
            WriteBytes(shp_ / name, maps_.back());
        }
        fs::create_symlink("b", shp_ / "loop.shp");
        fs::create_symlink("loop.shp", shp_ / "b");
        fs::create_directory(shp_ / "x.shp");
    }

    std::string ShpText() const { return shp_.string() + "/"; }
    std::string PegText() const { return peg_.string() + "/"; }

    // The PeG folder after every map was converted.
    FolderState Converted() const {
        FolderState state;
        for (std::size_t i = 0; i < kMapNames.size(); ++i) {
            state[TargetPathFor("", kMapNames[i]).string()] = FileState(S16Of(maps_[i]));
        }
        return state;
    }

    TempDir dir_;
    const fs::path shp_ = dir_ / "maps %1 %2 %s";
    const fs::path peg_ = dir_ / "peg %n";
    std::vector<Bytes> maps_;
};

TEST_F(HostileNamesTest, ListingHoldsTheRealNames) {
    const Names plain = ListCandidates(ShpText(), PegText(), false).names;
    EXPECT_EQ(plain, Names(kMapNames.begin(), kMapNames.end()));

    // The update switch leaves out the loop and the folder too.
    EXPECT_EQ(ListCandidates(ShpText(), PegText(), true).names, plain);

    const BatchPlan plan = PlanFolderBatch(ShpText(), PegText(), false);
    ASSERT_EQ(plan.items.size(), kMapNames.size());
    for (std::size_t i = 0; i < kMapNames.size(); ++i) {
        const fs::path source = plan.items[i].source;
        EXPECT_EQ(source, shp_ / kMapNames[i]);
        EXPECT_TRUE(fs::exists(source)) << source;
    }
}

std::string DryRunOutput(const fs::path& shp, const fs::path& peg,
                         const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += QuotedPath(shp / name) + " -> " + QuotedPath(peg / TargetPathFor("", name)) + "\n";
    }
    return text;
}

const std::string kCaseWarning =
    "shp2s16: warning: MAP01.SHP and map01.shp both convert to MAP01.s16 without regard to "
    "case\n";

TEST_F(HostileNamesTest, DryRunPrintsTheRealNamesAndWarnsOfCaseTwins) {
    const CliRun run = RunCli({"-n", shp_.string(), peg_.string()});
    EXPECT_EQ(run.status, kExitSuccess);
    EXPECT_EQ(run.out, DryRunOutput(shp_, peg_, kMapNames));
    EXPECT_EQ(run.err, kCaseWarning);
    EXPECT_TRUE(fs::is_empty(peg_));
}

TEST_F(HostileNamesTest, BatchConvertsEveryPlainFileUnderItsOwnName) {
    const CliRun run = RunCli({"-j2", shp_.string(), peg_.string()});
    EXPECT_EQ(run.status, kExitSuccess) << run.err;
    EXPECT_EQ(run.err.rfind(kCaseWarning, 0), 0u) << run.err;
    EXPECT_NE(run.err.find("10 converted, 0 failed"), std::string::npos) << run.err;
    EXPECT_EQ(StateOf(peg_), Converted());
}

TEST_F(HostileNamesTest, UpdateOnlyConvertsEveryMapAndNeitherTheLoopNorTheFolder) {
    const CliRun run = RunCli({"-u", "-j2", shp_.string(), peg_.string()});
    EXPECT_EQ(run.status, kExitSuccess) << run.err;
    EXPECT_NE(run.err.find("10 converted, 0 failed"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("loop.shp"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("x.shp"), std::string::npos) << run.err;
    EXPECT_EQ(StateOf(peg_), Converted());
}

// The real program takes names that are not valid UTF-8 from argv as the
// bytes they are.
TEST_F(HostileNamesTest, TheProgramTakesNamesThatAreNotUtf8AsTheyAre) {
    const std::string program = SHP2S16_PATH;
    const fs::path odd = shp_ / "map\xFF\xFE.shp";
    const Bytes expected = S16Of(maps_[7]);

    const ProgramRun dryRun = RunProgram({program, "-n", shp_.string(), peg_.string()});
    EXPECT_EQ(dryRun.status, 0) << dryRun.err;
    EXPECT_EQ(dryRun.out, DryRunOutput(shp_, peg_, kMapNames));

    const ProgramRun batch = RunProgram({program, shp_.string(), peg_.string()});
    EXPECT_EQ(batch.status, 0) << batch.err;
    EXPECT_EQ(StateOf(peg_), Converted());

    // One file, named in the arguments.
    const fs::path oneTarget = dir_ / "one\xFF.s16";
    const ProgramRun one = RunProgram({program, odd.string(), oneTarget.string()});
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_TRUE(fs::exists(oneTarget) && ReadBytes(oneTarget) == expected);

    // Folders whose own names are not UTF-8.
    const fs::path oddShp = dir_ / "maps\xE9";
    const fs::path oddPeg = dir_ / "peg\xFF";
    fs::create_directory(oddShp);
    fs::create_directory(oddPeg);
    fs::copy_file(odd, oddShp / odd.filename());
    const ProgramRun folders = RunProgram({program, oddShp.string(), oddPeg.string()});
    EXPECT_EQ(folders.status, 0) << folders.err;
    EXPECT_EQ(StateOf(oddPeg), (FolderState{{"map\xFF\xFE.s16", FileState(expected)}}));
}

// Whatever the bytes of an argument, the file it names is the one converted,
// and messages show it as it was given.
TEST(NativeArguments, KeepEveryByteOfAFileName) {
    const char* const names[] = {
        "plain",
        "\xC3\x84\xC3\x96\xE6\x97\xA5\xF0\x9F\x98\x80",  // ÄÖ日 and an emoji
        "\xFF\xFE",                                      // never UTF-8
        "a\xC0\xAFz",        // an overlong '/', which must not become a separator
        "\xED\xA0\x80",      // an encoded surrogate
        "\xE6\x97",          // cut short
        "\xF4\x90\x80\x80",  // past U+10FFFF
        "\xC3",              // cut short at the end
        "\xED\xB2\x80",      // encodes U+DC80, the first escaped byte
    };
    TempDir dir;
    const Bytes shp = MakeMap(5, 3, MapStyle::kMixed);
    WriteBytes(dir / "in.shp", shp);
    for (const char* name : names) {
        SCOPED_TRACE(testing::PrintToString(std::string(name)));
        const fs::path source = dir / (std::string(name) + ".shp");
        const fs::path target = dir / (std::string(name) + ".s16");
        fs::copy_file(dir / "in.shp", source);

        const CliRun run = RunCli({source.string(), target.string()});

        EXPECT_EQ(run.status, kExitSuccess) << run.err;
        EXPECT_TRUE(fs::exists(target) && ReadBytes(target) == S16Of(shp));

        fs::remove(source);
        const CliRun missing = RunCli({source.string(), target.string()});
        EXPECT_EQ(missing.err.rfind("shp2s16: " + source.string() + ": cannot open source", 0), 0u)
            << missing.err;
    }
}

// Whether every lead byte of `text` is followed by as many continuation bytes
// as it announces: enough to see a character cut in two.
bool IsUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80                   ? 1
                                   : lead >= 0xC2 && lead < 0xE0 ? 2
                                   : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5 ? 4
                                                                 : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// The progress line shows the end of a long name; it must not start in the
// middle of a character.
TEST(ProgressLine, CutsLongNamesBetweenCharacters) {
    std::string wide;
    for (int i = 0; i < 20; ++i) {
        wide += "\xE6\x97\xA5\xE6\x9C\xAC";  // 日本
    }
    for (const char* tail : {"", "a", "ab"}) {
        const std::string name = wide + tail + ".shp";
        SCOPED_TRACE(name);
        std::FILE* err = std::tmpfile();
        ProgressReporter::Mode mode;
        mode.progressLine = true;
        ProgressReporter reporter(err, 1, mode);
        const BatchItem item{fs::path("/maps") / name, fs::path("/peg") / "x.s16"};
        reporter.Started(item);
        reporter.Finished(item, {});
        std::rewind(err);
        std::string line;
        for (int c; (c = std::fgetc(err)) != EOF;) {
            line += static_cast<char>(c);
        }
        std::fclose(err);
        EXPECT_NE(line.find("..."), std::string::npos) << line;
        EXPECT_NE(line.find("\xE6\x9C\xAC" + std::string(tail) + ".shp"), std::string::npos)
            << line;
        EXPECT_TRUE(IsUtf8(line)) << line;
    }
}

TEST(TargetClashes, GroupsNamesWhoseTargetsDifferOnlyInCase) {
    const struct {
        Names listed;
        std::vector<Names> clashes;
    } cases[] = {
        {{"MAP01.SHP", "map01.shp"}, {{"MAP01.SHP", "map01.shp"}}},
        // The same target even with case compared.
        {{"MAP01.SHP", "MAP01.shp"}, {{"MAP01.SHP", "MAP01.shp"}}},
        {{"a.shp", "A.Shp", "b.shp", "B.SHP", "b.SHP", "c.shp"},
         {{"a.shp", "A.Shp"}, {"b.shp", "B.SHP", "b.SHP"}}},
        // Only ASCII letters fold, as everywhere in the listing rules.
        {{"Karte-\xC3\x84.shp", "Karte-\xC3\xA4.shp"}, {}},
        {{"x.shp", "x.shp.shp", "x.s16.shp"}, {}},
        {{"map\xFF.shp", "MAP\xFF.shp"}, {{"map\xFF.shp", "MAP\xFF.shp"}}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindTargetClashes(c.listed), c.clashes);
    }
}

TEST(TargetClashes, TheCommandLineNamesEveryGroupOnce) {
    TempDir shp;
    TempDir peg;
    for (const char* name : {"a.shp", "A.SHP", "B.shp", "b.shp", "b.Shp", "c.shp"}) {
        WriteBytes(shp / name, MakeMap(4, 2, MapStyle::kMixed));
    }
    const CliRun run = RunCli({"-n", shp.Path().string(), peg.Path().string()});
    EXPECT_EQ(run.err,
              "shp2s16: warning: A.SHP and a.shp both convert to A.s16 without regard to case\n"
              "shp2s16: warning: B.shp, b.Shp and b.shp all convert to B.s16 without regard to "
              "case\n");
    // Quiet leaves warnings out.
    EXPECT_EQ(RunCli({"-n", "-q", shp.Path().string(), peg.Path().string()}).err, "");
}

// "MAP01.SHP" and "MAP01.shp" write the very same target, on two threads at
// once; it must end up as one of the two pictures, whole.
TEST(TargetClashes, TwinsWithOneTargetLeaveOneWholePicture) {
    TempDir shp;
    TempDir peg;
    const Bytes upper = MakeMap(256, 200, MapStyle::kLiterals, 1);
    const Bytes lower = MakeMap(256, 200, MapStyle::kLiterals, 2);
    WriteBytes(shp / "MAP01.SHP", upper);
    WriteBytes(shp / "MAP01.shp", lower);
    const std::string wholeUpper = FileState(S16Of(upper));
    const std::string wholeLower = FileState(S16Of(lower));
    for (int round = 0; round < 5; ++round) {
        const CliRun run = RunCli({"-j2", shp.Path().string(), peg.Path().string()});
        EXPECT_EQ(run.status, kExitSuccess) << run.err;
        EXPECT_NE(run.err.find("MAP01.SHP and MAP01.shp both convert to MAP01.s16"),
                  std::string::npos)
            << run.err;
        const FolderState state = StateOf(peg.Path());
        ASSERT_EQ(state.size(), 1u) << "temporary files left";
        EXPECT_TRUE(state.at("MAP01.s16") == wholeUpper || state.at("MAP01.s16") == wholeLower);
    }
}

}  // namespace
}  // namespace drovana::test
