#include "support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::ProgramRun;
using testsupport::RunProgram;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

ProgramRun Compare(std::vector<std::string> args)
{
    args.insert(args.begin(), {QUORVANE_CLI_PATH, "compare"});
    return RunProgram(args, {"TZ=UTC", "QUORVANE_REGISTRY_DIR=/nonexistent/registry"});
}

TEST(CompareCommandTest, DryRunPrintsTheResolvedCommandAndDefinition)
{
    TempDir dir;
    WriteFile(dir / "a.txt", "a\n");
    WriteFile(dir / "b.txt", "b\n");
    const ProgramRun run = Compare({"--dry-run", "--json", "/t:text", dir / "a.txt", dir / "b.txt", "/ro:1", "/r:icc"});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strErr;
    EXPECT_EQ(run.m_strOut,
              "{\"command\":\"compare\",\"commandType\":\"text\",\"paths\":[\"" + (dir / "a.txt") + "\",\"" +
                  (dir / "b.txt") +
                  "\"],\"readOnly\":[true,false],\"definition\":{\"type\":\"text\",\"title\":\"a.txt : b.txt\","
                  "\"left\":\"" + (dir / "a.txt") + "\",\"right\":\"" + (dir / "b.txt") +
                  "\",\"leftReadOnly\":true,\"rightReadOnly\":false,\"methods\":[],\"options\":[],"
                  "\"rules\":[\"IgnoreCase\"],\"lineFilter\":\"\",\"fileFilters\":{},\"folderFilters\":{},"
                  "\"lastCompared\":\"\",\"commandLine\":\"quorvane -c /t:t '" + (dir / "a.txt") + "' '" +
                  (dir / "b.txt") + "' /ro:'1' /r:'icc'\"}}\n");
}

TEST(CompareCommandTest, CommandsWithoutADefinition)
{
    TempDir dir;
    WriteFile(dir / "x.cmp", "<Comparisons Version=\"1.0.8\"/>");
    const ProgramRun open = Compare({"--dry-run", "--json", dir / "x.cmp"});
    EXPECT_EQ(open.m_nExitCode, 0);
    EXPECT_NE(open.m_strOut.find("\"command\":\"open\""), std::string::npos) << open.m_strOut;
    EXPECT_NE(open.m_strOut.find("\"definition\":null"), std::string::npos);
    const ProgramRun help = Compare({"--dry-run", "--json", "-?"});
    EXPECT_NE(help.m_strOut.find("\"command\":\"help\""), std::string::npos);
    EXPECT_EQ(Compare({"-c", "a", "b"}).m_nExitCode, 2); // running comes later
}

} // namespace
