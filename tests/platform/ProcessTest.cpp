#include "platform/Process.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using platform::ProcessOptions;
using platform::StartProcess;
using testsupport::ReadFile;
using testsupport::TempDir;

namespace {

TEST(ProcessTest, ArgumentsArriveWholeAndUnchanged)
{
    TempDir dir;
    const std::vector<std::string> args = {"a b", "\"quoted\"", "$HOME", "x;rm -rf /", "line\nbreak",
                                           "caf\xE9", "'single'", ""};
    // cp copies the file named by its first argument to the second: an argument that a shell
    // would split, expand or quote otherwise makes it fail or write elsewhere.
    for (const std::string& name : {std::string("a b $HOME;x 'q' \"d\"")})
    {
        testsupport::WriteFile(dir / "source", "payload");
        ProcessOptions options;
        options.m_bWait = true;
        const auto result = StartProcess({"cp", dir / "source", dir / name}, options);
        ASSERT_TRUE(result.m_bStarted);
        EXPECT_EQ(result.m_nExitCode, 0);
        EXPECT_EQ(ReadFile(dir / name), "payload");
    }
    // printf writes each argument back between NULs.
    std::vector<std::string> argv = {"sh", "-c", "printf '%s\\0' \"$@\" > out", "sh"};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessOptions options;
    options.m_bWait = true;
    options.m_strWorkingDirectory = dir.Path();
    const auto result = StartProcess(argv, options);
    ASSERT_TRUE(result.m_bStarted);
    EXPECT_EQ(result.m_nExitCode, 0);
    std::string expected;
    for (const std::string& a : args)
        expected += a + '\0';
    EXPECT_EQ(ReadFile(dir / "out"), expected); // also shows the working folder was used
}

TEST(ProcessTest, MissingProgramIsReportedAndExitCodesAreKept)
{
    const auto missing = StartProcess({"/no/such/program"});
    EXPECT_FALSE(missing.m_bStarted);
    EXPECT_EQ(missing.m_nError, ENOENT);
    EXPECT_FALSE(StartProcess({}).m_bStarted);

    ProcessOptions options;
    options.m_bWait = true;
    EXPECT_EQ(StartProcess({"false"}, options).m_nExitCode, 1);
    EXPECT_EQ(StartProcess({"sh", "-c", "exit 7"}, options).m_nExitCode, 7);
    EXPECT_TRUE(StartProcess({"true"}).m_bStarted);
}

} // namespace
