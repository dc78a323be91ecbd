#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "StartArguments.h"

namespace drovana::test {
namespace {

constexpr StartAction kOpen = StartAction::kOpenDialog;
constexpr StartAction kWrong = StartAction::kUsageError;
constexpr ViewOption kViewer = ViewOption::kOffered;
constexpr ViewOption kNoViewer = ViewOption::kNotOffered;

struct ParseCase {
    std::vector<std::string> arguments;
    ViewOption view;
    StartAction action;
    std::string shp;
    std::string peg;
    std::string error;  // when the usage is wrong, part of what is said
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    for (const std::string& argument : c.arguments) {
        *os << '\'' << argument << "' ";
    }
    *os << (c.view == kViewer ? "(viewer)" : "(no viewer)");
}

class StartArguments : public testing::TestWithParam<ParseCase> {};

TEST_P(StartArguments, AreReadAsTheUserMeantThem) {
    const ParseCase& c = GetParam();
    const StartRequest request = ParseStartArguments(c.arguments, c.view);
    EXPECT_EQ(request.action, c.action) << request.error;
    EXPECT_EQ(request.folders.shp, c.shp);
    EXPECT_EQ(request.folders.peg, c.peg);
    EXPECT_NE(request.error.find(c.error), std::string::npos) << request.error;
    EXPECT_EQ(request.error.empty(), c.action != kWrong);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StartArguments,
    testing::Values(
        ParseCase{{}, kViewer, kOpen, "", "", ""},
        ParseCase{{"maps"}, kNoViewer, kOpen, "maps", "", ""},
        ParseCase{{"maps", "peg/"}, kViewer, kOpen, "maps", "peg/", ""},
        ParseCase{{"--", "-maps", "--"}, kNoViewer, kOpen, "-maps", "--", ""},
        ParseCase{{"-"}, kViewer, kOpen, "-", "", ""},
        ParseCase{{"-h"}, kNoViewer, StartAction::kHelp, "", "", ""},
        ParseCase{{"--version", "--help"}, kViewer, StartAction::kHelp, "", "", ""},
        ParseCase{{"maps", "-v"}, kNoViewer, StartAction::kVersion, "maps", "", ""},
        ParseCase{{"--bogus", "--help"}, kViewer, kWrong, "", "", "unknown option '--bogus'"},
        ParseCase{{"--updat"}, kNoViewer, kWrong, "", "", "unknown option '--updat'"},
        ParseCase{{"-reverse"}, kViewer, kWrong, "", "", "'-reverse'"},
        ParseCase{{"--help=yes"}, kViewer, kWrong, "", "", "--help takes no value"},
        ParseCase{{"a", "b", "c"}, kNoViewer, kWrong, "", "", "too many folders: 'c'"},
        ParseCase{{"maps", ""}, kViewer, kWrong, "", "", "a folder name is empty"},
        ParseCase{{"--view", "MAP01.SHP"}, kViewer, StartAction::kView, "", "", ""},
        ParseCase{{"a.s16", "--view", "b.shp"}, kViewer, StartAction::kView, "", "", ""},
        ParseCase{{"--view"}, kViewer, kWrong, "", "", "--view needs a file"},
        ParseCase{{"--view", "a", "b", "c"}, kViewer, kWrong, "", "", "too many files"},
        ParseCase{{"--vew", "a"}, kViewer, kWrong, "", "", "did you mean --view?"},
        ParseCase{{"--view", "a"}, kNoViewer, kWrong, "", "", "unknown option '--view'"}));

TEST(StartArguments, ViewKeepsTheFilesInTheirOrder) {
    const StartRequest request =
        ParseStartArguments({"a.s16", "--view", "--", "-b.shp"}, ViewOption::kOffered);
    EXPECT_EQ(request.files, (std::vector<std::string>{"a.s16", "-b.shp"}));
}

}  // namespace
}  // namespace drovana::test
