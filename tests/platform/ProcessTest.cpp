#include "platform/Process.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace platform;
using testsupport::TempDir;

namespace {

// True once the process is gone entirely; a zombie still answers kill(pid, 0).
bool GoneWithin(int pid, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end)
    {
        if (kill(pid, 0) != 0 && errno == ESRCH)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(ProcessTest, ArgumentsArriveUnchanged)
{
    const std::vector<std::string> args = {
        "two words", "\"double\" and 'single'", "$HOME", "a;b", "line\nbreak", "`id` $(id)",
        "*", "back\\slash", "caf\xE9 \xFF\xFE", "", " leading and trailing ", "-n",
    };
    // printf repeats its format for each argument and %s copies an argument as it is.
    std::vector<std::string> argv = {"/usr/bin/printf", "%s\\0"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::string out;
    int exitCode = -1;
    ASSERT_TRUE(RunAndCapture(argv, out, exitCode));
    EXPECT_EQ(exitCode, 0);
    std::string expected;
    for (const std::string& arg : args)
        expected += arg + '\0';
    EXPECT_EQ(out, expected);
}

TEST(ProcessTest, WorkingDirectoryIsHonoured)
{
    TempDir dir;
    const std::string folder = dir / "with blank; and $dollar";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);

    ProcessOptions options;
    options.m_strWorkingDirectory = folder;
    std::string out;
    int exitCode = -1;
    ASSERT_TRUE(RunAndCapture({"/bin/pwd", "-P"}, out, exitCode, options));
    EXPECT_EQ(exitCode, 0);
    char real[4096];
    ASSERT_NE(realpath(folder.c_str(), real), nullptr);
    EXPECT_EQ(out, std::string(real) + "\n");

    options.m_bWait = true;
    const ProcessResult touched = StartProcess({"touch", "made here"}, options);
    ASSERT_TRUE(touched.m_bStarted);
    EXPECT_EQ(touched.m_nExitCode, 0);
    struct stat info;
    EXPECT_EQ(stat((folder + "/made here").c_str(), &info), 0);
}

TEST(ProcessTest, FailuresToStartAreReported)
{
    TempDir dir;
    testsupport::WriteFile(dir / "not-executable", "#!/bin/sh\nexit 0\n");
    ASSERT_EQ(chmod((dir / "not-executable").c_str(), 0644), 0);

    ProcessOptions badFolder;
    badFolder.m_strWorkingDirectory = dir / "missing";
    struct Case
    {
        std::vector<std::string> m_argv;
        ProcessOptions m_options;
        int m_nError;
    };
    const Case cases[] = {
        {{"/no/such/program"}, {}, ENOENT},
        {{"quorvane-no-such-program-in-path"}, {}, ENOENT},
        {{dir / "not-executable"}, {}, EACCES},
        {{"/bin/true"}, badFolder, ENOENT},
        {{}, {}, EINVAL},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.m_argv.empty() ? std::string("(empty)") : c.m_argv[0]);
        const ProcessResult result = StartProcess(c.m_argv, c.m_options);
        EXPECT_FALSE(result.m_bStarted);
        EXPECT_EQ(result.m_nError, c.m_nError);
        EXPECT_EQ(result.m_nPid, -1);
        std::string out;
        int exitCode = 0;
        EXPECT_FALSE(RunAndCapture(c.m_argv, out, exitCode, c.m_options));
    }
}

TEST(ProcessTest, ExitCodeIsReportedWhenWaited)
{
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{"/bin/true"}, 0},
        {{"false"}, 1},
        {{"/bin/sh", "-c", "exit 42"}, 42},
        {{"/bin/sh", "-c", "kill -TERM $$"}, 128 + SIGTERM},
    };
    for (const auto& [argv, code] : cases)
    {
        SCOPED_TRACE(argv.back());
        ProcessOptions options;
        options.m_bWait = true;
        const ProcessResult result = StartProcess(argv, options);
        ASSERT_TRUE(result.m_bStarted);
        EXPECT_GT(result.m_nPid, 0);
        EXPECT_EQ(result.m_nExitCode, code);
        EXPECT_NE(kill(result.m_nPid, 0), 0) << "the wait reaps the child";

        std::string out;
        int exitCode = -1;
        ASSERT_TRUE(RunAndCapture(argv, out, exitCode));
        EXPECT_EQ(exitCode, code);
    }
}

TEST(ProcessTest, ChildrenNotWaitedForAreReapedAndDetachedOnesGetTheirOwnSession)
{
    ProcessOptions detached;
    const ProcessResult first = StartProcess({"/bin/sleep", "0.3"}, detached);
    ASSERT_TRUE(first.m_bStarted);
    EXPECT_EQ(first.m_nExitCode, -1);
    EXPECT_EQ(getsid(first.m_nPid), first.m_nPid);

    ProcessOptions attached;
    attached.m_bDetach = false;
    const ProcessResult second = StartProcess({"/bin/sleep", "0.3"}, attached);
    ASSERT_TRUE(second.m_bStarted);
    EXPECT_EQ(getsid(second.m_nPid), getsid(0));

    // Without a reaper both would stay zombies, which kill(pid, 0) still finds.
    EXPECT_TRUE(GoneWithin(first.m_nPid, std::chrono::seconds(10)));
    EXPECT_TRUE(GoneWithin(second.m_nPid, std::chrono::seconds(10)));
}

TEST(ProcessTest, CaptureReadsOutputLargerThanThePipe)
{
    std::string out;
    int exitCode = -1;
    ASSERT_TRUE(RunAndCapture({"/usr/bin/head", "-c", "300000", "/dev/zero"}, out, exitCode));
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(out, std::string(300000, '\0'));
}

TEST(ProcessTest, ChildStartsWithDefaultSignals)
{
    // An ignored SIGPIPE of ours must not reach the child. A shell cannot undo a signal ignored on
    // entry, so an inherited SIG_IGN would let it survive its own SIGPIPE and exit 0.
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction old = {};
    ASSERT_EQ(sigaction(SIGPIPE, &ignore, &old), 0);
    std::string out;
    int exitCode = -1;
    const bool ran = RunAndCapture({"/bin/sh", "-c", "trap - PIPE; kill -PIPE $$"}, out, exitCode);
    sigaction(SIGPIPE, &old, nullptr);
    ASSERT_TRUE(ran);
    EXPECT_EQ(exitCode, 128 + SIGPIPE);
}

} // namespace
