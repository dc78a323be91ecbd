#pragma once

#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// Running test bodies and programs in child processes: a child may change
// what the whole process sees (a mount namespace, a file size limit, fewer
// capabilities) without touching the test runner, and a child that hangs is
// killed instead of blocking the suite.
namespace drovana::test {

using namespace std::chrono_literals;

enum class ChildEnd { kPassed, kFailed, kSkipped, kTimedOut, kCrashed };

const char* NameOf(ChildEnd end);
inline void PrintTo(ChildEnd end, std::ostream* os) {
    *os << NameOf(end);
}

struct ChildOutcome {
    ChildEnd end = ChildEnd::kCrashed;
    std::string note;  // the skip reason, or how the child ended
};

// Runs `body` in a forked child. EXPECT and ASSERT failures inside it print
// as usual and make the child fail; GTEST_SKIP inside it makes it end as
// skipped with the skip message as note. A child still running after
// `timeout` is killed.
ChildOutcome RunInChild(const std::function<void()>& body, std::chrono::milliseconds timeout = 20s);

// True under CI, where a test that lacks a privilege must fail, not skip.
bool InCi();

// Passes a child's outcome on to the running test: a skip stays a skip
// locally and fails under CI.
#define EXPECT_CHILD_PASSES(outcome)                                                            \
    do {                                                                                        \
        const ::drovana::test::ChildOutcome childOutcome_ = (outcome);                          \
        if (childOutcome_.end == ::drovana::test::ChildEnd::kSkipped) {                         \
            if (::drovana::test::InCi()) {                                                      \
                FAIL() << "CI=true, but " << childOutcome_.note;                                \
            }                                                                                   \
            GTEST_SKIP() << childOutcome_.note;                                                 \
        }                                                                                       \
        EXPECT_EQ(childOutcome_.end, ::drovana::test::ChildEnd::kPassed) << childOutcome_.note; \
    } while (false)

// A program run to its end with its outputs kept.
struct ProgramRun {
    int status = -1;  // exit status, or -1 when killed or not started
    std::string out;
    std::string err;
};

// Runs `argv` (program first; any bytes) with the standard streams captured.
ProgramRun RunProgram(const std::vector<std::string>& argv,
                      std::chrono::milliseconds timeout = 20s);

// The same, but standard stream `stream` (1 or 2; 0 for none) goes to `fd` (a
// pipe nobody reads, /dev/full) instead. SIGPIPE starts at its default, whatever
// the runner does with it.
ProgramRun RunProgramWith(const std::vector<std::string>& argv, int stream, int fd,
                          std::chrono::milliseconds timeout = 20s);

}  // namespace drovana::test
