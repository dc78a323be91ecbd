#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <thread>

#include "ExecArguments.h"
#include "TestFiles.h"

extern char** environ;

namespace drovana::test {
namespace {

using Clock = std::chrono::steady_clock;

// Exit statuses a child body ends with.
constexpr int kChildPassed = 0;
constexpr int kChildFailed = 1;
constexpr int kChildSkipped = 77;

// Waits for `pid` until `timeout`; kills it when it is still running then.
// Returns false on a timeout.
bool WaitFor(pid_t pid, std::chrono::milliseconds timeout, int& status) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) {
            return true;
        }
        if (Clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
}

std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            return text;
        }
    }
}

void WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0 && errno != EINTR) {
            return;
        }
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
}

// In the child: runs the body and turns the test parts it added into an exit
// status and a note.
[[noreturn]] void RunChildBody(const std::function<void()>& body, int noteFd) {
    const testing::TestResult& result =
        *testing::UnitTest::GetInstance()->current_test_info()->result();
    const int before = result.total_part_count();
    // An exception must not unwind past the fork into the runner's code.
    try {
        body();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "exception in child: " << e.what();
    } catch (...) {
        ADD_FAILURE() << "unknown exception in child";
    }
    int status = kChildPassed;
    std::string note;
    for (int i = before; i < result.total_part_count(); ++i) {
        const testing::TestPartResult& part = result.GetTestPartResult(i);
        if (part.failed()) {
            status = kChildFailed;
            note = "the child reported failures (printed above)";
        } else if (part.skipped() && status == kChildPassed) {
            status = kChildSkipped;
            note = part.message();
        }
    }
    WriteAll(noteFd, note);
    std::fflush(nullptr);
    ::_exit(status);
}

}  // namespace

const char* NameOf(ChildEnd end) {
    switch (end) {
        case ChildEnd::kPassed:
            return "passed";
        case ChildEnd::kFailed:
            return "failed";
        case ChildEnd::kSkipped:
            return "skipped";
        case ChildEnd::kTimedOut:
            return "timed out";
        case ChildEnd::kCrashed:
            return "crashed";
    }
    return "?";
}

bool InCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::string(ci) == "true";
}

ChildOutcome RunInChild(const std::function<void()>& body, std::chrono::milliseconds timeout) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return {ChildEnd::kCrashed, "pipe failed"};
    }
    // Whatever sits in the buffers would otherwise be printed twice.
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return {ChildEnd::kCrashed, "fork failed"};
    }
    if (pid == 0) {
        ::close(fds[0]);
        RunChildBody(body, fds[1]);
    }
    ::close(fds[1]);
    int status = 0;
    const bool finished = WaitFor(pid, timeout, status);
    // The child has ended, so the note is complete.
    const std::string note = ReadAll(fds[0]);
    ::close(fds[0]);
    if (!finished) {
        return {ChildEnd::kTimedOut,
                "the child was still running after " + std::to_string(timeout.count()) + " ms"};
    }
    if (WIFSIGNALED(status)) {
        return {ChildEnd::kCrashed, "the child died of signal " + std::to_string(WTERMSIG(status))};
    }
    switch (WEXITSTATUS(status)) {
        case kChildPassed:
            return {ChildEnd::kPassed, note};
        case kChildSkipped:
            return {ChildEnd::kSkipped, note};
        case kChildFailed:
            return {ChildEnd::kFailed, note};
        default:
            return {ChildEnd::kCrashed,
                    "the child exited with status " + std::to_string(WEXITSTATUS(status))};
    }
}

ProgramRun RunProgram(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
    return RunProgramWith(argv, 0, -1, timeout);
}

ProgramRun RunProgramWith(const std::vector<std::string>& argv, int stream, int fd,
                          std::chrono::milliseconds timeout) {
    ProgramRun run;
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    if (out == nullptr || err == nullptr) {
        return run;
    }
    std::vector<char*> args = test::ExecArguments(argv);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, stream == 1 ? fd : ::fileno(out), 1);
    posix_spawn_file_actions_adddup2(&actions, stream == 2 ? fd : ::fileno(err), 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned == 0) {
        int status = 0;
        if (WaitFor(pid, timeout, status) && WIFEXITED(status)) {
            run.status = WEXITSTATUS(status);
        }
    }
    run.out = DrainFile(out);
    run.err = DrainFile(err);
    return run;
}

}  // namespace drovana::test
