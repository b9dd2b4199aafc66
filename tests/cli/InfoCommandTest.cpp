#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::ProgramRun;
using testsupport::RunProgram;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

ProgramRun Info(std::vector<std::string> args)
{
    args.insert(args.begin(), {QUORVANE_CLI_PATH, "info"});
    return RunProgram(args, {"TZ=UTC"});
}

void SetTime(const std::string& path, time_t seconds)
{
    struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

TEST(InfoCommandTest, PrintsOneLinePerPath)
{
    TempDir dir;
    WriteFile(dir / "a.txt", "123456789");
    WriteFile(dir / "b.bin", std::string(5000, 'x') + '\0');
    ASSERT_EQ(chmod((dir / "a.txt").c_str(), 0444), 0);
    SetTime(dir / "a.txt", 1700000000);
    SetTime(dir / "b.bin", 1700000000);
    const ProgramRun run = Info({dir / "a.txt", dir / "b.bin"});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strErr;
    EXPECT_EQ(run.m_strOut, "file\t9\t2023-11-14 22:13:20\tR---\ttext\tCBF43926\t0,0,0,0\t" + (dir / "a.txt") + "\n" +
                                "file\t5,001\t2023-11-14 22:13:20\t----\tbinary\t" + "FB180" + "\t0,0,0,0\t" +
                                (dir / "b.bin") + "\n");
    EXPECT_EQ(run.m_strErr, "");
}

TEST(InfoCommandTest, JsonLinesHaveTheFixedKeys)
{
    TempDir dir;
    WriteFile(dir / "a.txt", "123456789");
    SetTime(dir / "a.txt", 1700000000);
    ASSERT_EQ(mkdir((dir / ".sub").c_str(), 0755), 0);
    SetTime(dir / ".sub", 1700000000);
    const ProgramRun run = Info({"--json", dir / "a.txt", dir / ".sub"});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strErr;
    EXPECT_EQ(run.m_strOut,
              "{\"path\":\"" + (dir / "a.txt") +
                  "\",\"kind\":\"file\",\"size\":9,\"mtime\":\"2023-11-14 22:13:20\",\"attributes\":\"----\","
                  "\"type\":\"text\",\"crc\":\"CBF43926\",\"version\":\"0,0,0,0\"}\n"
                  "{\"path\":\"" +
                  (dir / ".sub") +
                  "\",\"kind\":\"folder\",\"size\":0,\"mtime\":\"2023-11-14 22:13:20\",\"attributes\":\"---H\","
                  "\"type\":\"unknown\",\"crc\":\"\",\"version\":\"0,0,0,0\"}\n");
}

TEST(InfoCommandTest, MissingPathIsReportedWhileTheOthersArePrinted)
{
    TempDir dir;
    WriteFile(dir / "a", "");
    ASSERT_EQ(symlink("nowhere", (dir / "dangling").c_str()), 0);
    const ProgramRun run = Info({dir / "missing", dir / "a", dir / "dangling"});
    EXPECT_EQ(run.m_nExitCode, 2);
    EXPECT_NE(run.m_strOut.find("\ttext\t0\t0,0,0,0\t" + (dir / "a") + "\n"), std::string::npos) << run.m_strOut;
    EXPECT_EQ(run.m_strOut.find("missing"), std::string::npos);
    EXPECT_NE(run.m_strErr.find(dir / "missing" + ": No such file or directory"), std::string::npos) << run.m_strErr;
    EXPECT_NE(run.m_strErr.find(dir / "dangling" + ": dangling symbolic link"), std::string::npos) << run.m_strErr;

    const ProgramRun json = Info({"--json", dir / "missing"});
    EXPECT_EQ(json.m_nExitCode, 2);
    EXPECT_NE(json.m_strOut.find("\"kind\":\"missing\""), std::string::npos);
}

TEST(InfoCommandTest, NameThatIsNotUtf8KeepsItsBytesInJson)
{
    TempDir dir;
    const std::string name = dir / "caf\xE9.txt";
    WriteFile(name, "x");
    const ProgramRun run = Info({"--json", name});
    EXPECT_EQ(run.m_nExitCode, 0);
    EXPECT_NE(run.m_strOut.find("caf\xEF\xBF\xBD.txt\""), std::string::npos) << run.m_strOut;
    std::string hex;
    for (const unsigned char c : name)
    {
        char buffer[3];
        snprintf(buffer, sizeof buffer, "%02x", c);
        hex += buffer;
    }
    EXPECT_NE(run.m_strOut.find("\"pathBytes\":\"" + hex + "\""), std::string::npos) << run.m_strOut;
}

TEST(InfoCommandTest, FifoIsDescribedWithoutBlocking)
{
    TempDir dir;
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    const ProgramRun run = Info({dir / "fifo"});
    EXPECT_EQ(run.m_nExitCode, 2);
    EXPECT_NE(run.m_strErr.find("not a regular file"), std::string::npos) << run.m_strErr;
}

TEST(InfoCommandTest, BadUsageExitsWithTwo)
{
    EXPECT_EQ(Info({}).m_nExitCode, 2);
    EXPECT_EQ(Info({"--bogus", "/"}).m_nExitCode, 2);
    EXPECT_EQ(RunProgram({QUORVANE_CLI_PATH, "frobnicate"}).m_nExitCode, 2);
    EXPECT_EQ(RunProgram({QUORVANE_CLI_PATH, "--help"}).m_nExitCode, 0);
}

} // namespace
