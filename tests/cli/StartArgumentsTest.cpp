#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StartArguments.h"

namespace drovana::test {
namespace {

using Names = std::vector<std::string>;

TEST(StartArguments, AreReadAsTheUserMeantThem) {
    constexpr StartAction kOpen = StartAction::kOpenDialog;
    constexpr StartAction kWrong = StartAction::kUsageError;
    constexpr ViewOption kViewer = ViewOption::kOffered;
    constexpr ViewOption kNoViewer = ViewOption::kNotOffered;
    const struct {
        Names arguments;
        ViewOption view;
        StartAction action;
        Names named;        // the two folders, or for --view the files
        std::string error;  // part of what a wrong usage says
    } cases[] = {
        {{}, kViewer, kOpen, {"", ""}, ""},
        {{"maps"}, kNoViewer, kOpen, {"maps", ""}, ""},
        {{"maps", "peg/"}, kViewer, kOpen, {"maps", "peg/"}, ""},
        {{"--", "-maps", "--"}, kNoViewer, kOpen, {"-maps", "--"}, ""},
        {{"-"}, kViewer, kOpen, {"-", ""}, ""},
        {{"-h"}, kNoViewer, StartAction::kHelp, {"", ""}, ""},
        {{"--version", "--help"}, kViewer, StartAction::kHelp, {"", ""}, ""},
        {{"maps", "-v"}, kNoViewer, StartAction::kVersion, {"maps", ""}, ""},
        {{"--bogus", "--help"}, kViewer, kWrong, {"", ""}, "unknown option '--bogus'"},
        {{"--updat"}, kNoViewer, kWrong, {"", ""}, "unknown option '--updat'"},
        {{"-reverse"}, kViewer, kWrong, {"", ""}, "'-reverse'"},
        {{"--help=yes"}, kViewer, kWrong, {"", ""}, "--help takes no value"},
        {{"a", "b", "c"}, kNoViewer, kWrong, {"", ""}, "too many folders: 'c'"},
        {{"maps", ""}, kViewer, kWrong, {"", ""}, "a folder name is empty"},
        {{"a.s16", "--view", "--", "-b.shp"}, kViewer, StartAction::kView, {"a.s16", "-b.shp"}, ""},
        {{"--view"}, kViewer, kWrong, {"", ""}, "--view needs a file"},
        {{"--view", "a", "b", "c"}, kViewer, kWrong, {"", ""}, "too many files"},
        {{"--vew", "a"}, kViewer, kWrong, {"", ""}, "did you mean --view?"},
        {{"--view", "a"}, kNoViewer, kWrong, {"", ""}, "unknown option '--view'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const StartRequest request = ParseStartArguments(c.arguments, c.view);
        EXPECT_EQ(request.action, c.action) << request.error;
        const Names folders = {request.folders.shp, request.folders.peg};
        EXPECT_EQ(request.action == StartAction::kView ? request.files : folders, c.named);
        EXPECT_NE(request.error.find(c.error), std::string::npos) << request.error;
        EXPECT_EQ(request.error.empty(), c.action != kWrong);
    }
}

}  // namespace
}  // namespace drovana::test
