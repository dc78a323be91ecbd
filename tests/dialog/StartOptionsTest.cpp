#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "ExecArguments.h"
#include "StartOptions.h"
#include "TestFiles.h"

namespace drovana::test {
namespace {

using namespace std::chrono_literals;

void PrintTo(const std::vector<std::string>& arguments, std::ostream* os) {
    if (arguments.empty()) {
        *os << "(none)";
    }
    for (const std::string& argument : arguments) {
        *os << '\'' << argument << "' ";
    }
}

#if !defined(_WIN32) && !defined(__APPLE__)
struct DisplayCase {
    DisplayEnvironment environment;
    bool available;
};

void PrintTo(const DisplayCase& c, std::ostream* os) {
    const DisplayEnvironment& e = c.environment;
    *os << e.qpaPlatform << '|' << e.display << '|' << e.waylandDisplay << '|' << e.waylandSocket;
}

class Display : public testing::TestWithParam<DisplayCase> {};

TEST_P(Display, IsFoundWhereQtWouldFindIt) {
    EXPECT_EQ(DisplayAvailable(GetParam().environment), GetParam().available);
}

INSTANTIATE_TEST_SUITE_P(Table, Display,
                         testing::Values(DisplayCase{{}, false},
                                         DisplayCase{{"offscreen", "", "", ""}, true},
                                         DisplayCase{{"minimal", "", "", ""}, true},
                                         DisplayCase{{"", ":0", "", ""}, true},
                                         DisplayCase{{"", "", "wayland-0", ""}, true},
                                         DisplayCase{{"", "", "", "5"}, true}));
#endif

struct Finished {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the built program with exactly `environment`, killed after 20 s.
Finished RunDrovana(const std::vector<std::string>& arguments,
                    std::vector<std::string> environment) {
    std::vector<std::string> argv = {DROVANA_PATH};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> args = test::ExecArguments(argv);
    std::vector<char*> envp = test::ExecArguments(environment);

    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, ::fileno(out), 1);
    posix_spawn_file_actions_adddup2(&actions, ::fileno(err), 2);
    pid_t pid = 0;
    Finished run;
    if (::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data()) == 0) {
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
            }
            std::this_thread::sleep_for(5ms);
        }
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = DrainFile(out);
    run.err = DrainFile(err);
    return run;
}

struct ProgramCase {
    std::vector<std::string> arguments;
    int status;
    std::string outStart;
    std::string errStart;
};

void PrintTo(const ProgramCase& c, std::ostream* os) {
    PrintTo(c.arguments, os);
}

class ProgramWithoutDisplay : public testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramWithoutDisplay, AnswersInsteadOfAborting) {
    const ProgramCase& c = GetParam();
    const Finished run = RunDrovana(c.arguments, {"PATH=/usr/bin:/bin", "HOME=/nonexistent"});
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.out.substr(0, c.outStart.size()), c.outStart);
    EXPECT_EQ(run.err.substr(0, c.errStart.size()), c.errStart);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProgramWithoutDisplay,
    testing::Values(ProgramCase{{"--version"}, 0, "drovana 1.0.0.1\n", ""},
                    ProgramCase{{"--help"}, 0, "Usage: drovana [SHP_FOLDER [PEG_FOLDER]]\n", ""},
                    ProgramCase{{"-x"}, 2, "", "drovana: unknown option '-x'\n"},
                    ProgramCase{{"--vew", "a"},
                                2,
                                "",
                                "drovana: unknown option '--vew'; did you mean --view?\n"},
                    ProgramCase{{"maps", "peg"},
                                1,
                                "",
                                "drovana: no display to open the dialog on (DISPLAY and "
                                "WAYLAND_DISPLAY are not set); convert without one with shp2s16 "
                                "SHP_FOLDER PEG_FOLDER\n"}));

}  // namespace
}  // namespace drovana::test
