#include "support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::ProgramRun;
using testsupport::RunProgram;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

const std::string kData = std::string(QUORVANE_TEST_DATA_DIR) + "/cmp/";

ProgramRun Definitions(std::vector<std::string> args)
{
    args.insert(args.begin(), {QUORVANE_CLI_PATH, "definitions"});
    return RunProgram(args, {"TZ=UTC"});
}

TEST(DefinitionsCommandTest, ListsEveryDefinitionWithItsCommandLine)
{
    const ProgramRun run = Definitions({kData + "v103.cmp"});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strErr;
    EXPECT_EQ(run.m_strOut,
              "comparison 1: folder \"l : r\"\n"
              "  left:           /l\n"
              "  right:          /r\n"
              "  methods:        LMTime Size\n"
              "  options:        (none)\n"
              "  file filters:   Name Include=\"*.cpp\" Exclude=\"\" MatchCase=0; Time From=\"2019-07-08\" To=\"\"; "
              "Size Min=\"\" Max=\"2048\"; Attributes Exclude=\"S\"; Type Exclude=\"Binary\"\n"
              "  folder filters: Name Include=\"*\" Exclude=\"obj\" MatchCase=0; Attributes Exclude=\"RH\"\n"
              "  last compared:  never\n"
              "  command line:   quorvane -c /t:f '/l' '/r' /m:'time|size' "
              "/ff:'ni=*.cpp|tf=07-08-2019|sa=2048|ae=s|te=b' /df:'ne=obj|ae=rh'\n"
              "comparison 2: text \"a.txt : b.txt\"\n"
              "  left:           /a.txt\n"
              "  right:          /b.txt\n"
              "  rules:          IgnoreCase IgnoreLinesMatchingFilter\n"
              "  line filter:    ^//\n"
              "  last compared:  never\n"
              "  command line:   quorvane -c /t:t '/a.txt' '/b.txt' /r:'icc|ilmf' /lf:re='^//'\n");
    EXPECT_EQ(run.m_strErr, "");
}

TEST(DefinitionsCommandTest, JsonHasTheFixedKeys)
{
    const ProgramRun run = Definitions({"--json", kData + "v108.cmp"});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strErr;
    const std::string first = run.m_strOut.substr(0, run.m_strOut.find('\n'));
    EXPECT_EQ(first,
              "{\"type\":\"folder\",\"title\":\"left & <more> : right \\\"q\\\"\",\"left\":\"/data/left & <more>\","
              "\"right\":\"/data/right \\\"q\\\"\",\"leftReadOnly\":true,\"rightReadOnly\":false,"
              "\"methods\":[\"Size\",\"Attributes\",\"CRC32\",\"Type\"],\"options\":[\"AutoScanSubfolders\"],"
              "\"rules\":[],\"lineFilter\":\"\",\"fileFilters\":{\"Name\":{\"Include\":\"*.c;*.h\",\"Exclude\":\"test*\","
              "\"MatchCase\":true},\"Time\":{\"From\":\"2020-01-02\",\"To\":\"2021-03-04\"},\"Size\":{\"Min\":\"10\","
              "\"Max\":\"1099511627776\"},\"Attributes\":{\"Exclude\":\"RH\"},\"Type\":{\"Exclude\":\"Text|Binary\"}},"
              "\"folderFilters\":{\"Name\":{\"Include\":\"*\",\"Exclude\":\".svn;CVS\",\"MatchCase\":false},"
              "\"Attributes\":{\"Exclude\":\"H\"}},\"lastCompared\":\"2024-05-06 07:08:09\",\"commandLine\":"
              "\"quorvane -c /t:f '/data/left & <more>' '/data/right \\\"q\\\"' /ro:'1' /m:'size|attr|crc|type' "
              "/ff:'ni=*.c;*.h|ne=test*|tf=01-02-2020|tt=03-04-2021|si=10|sa=1099511627776|ae=rh|te=t;b' "
              "/df:'ne=.svn;CVS|ae=h' /o:'asf'\"}");
    EXPECT_NE(run.m_strOut.find("{\"type\":\"binary\",\"title\":\"1.bin : 2.bin\""), std::string::npos);
}

TEST(DefinitionsCommandTest, NonUtf8PathsCarryTheirBytes)
{
    TempDir dir;
    WriteFile(dir / "bytes.cmp",
              "<Comparisons Version=\"1.0.8\"><Comparison Type=\"Binary\"><Objects>"
              "<Object Path=\"/x/\xEF\xBF\xBD\" PathBytes=\"2F782FFF\"/><Object Path=\"/y\"/>"
              "</Objects></Comparison></Comparisons>");
    const ProgramRun run = Definitions({"--json", dir / "bytes.cmp"});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strErr;
    EXPECT_NE(run.m_strOut.find("\"left\":\"/x/\xEF\xBF\xBD\",\"leftBytes\":\"2f782fff\""), std::string::npos)
        << run.m_strOut;
}

TEST(DefinitionsCommandTest, UnsupportedFilesAreTrouble)
{
    TempDir dir;
    WriteFile(dir / "other.cmp", "<Comparisons Version=\"9.9\"/>");
    WriteFile(dir / "broken.cmp", "<Comparisons Version=\"1.0.8\">");
    struct Case
    {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {dir / "other.cmp", "unsupported comparison file version \"9.9\""},
        {dir / "broken.cmp", "not a comparison file: the XML is not well-formed"},
        {dir / "missing.cmp", "No such file or directory"},
    };
    for (const auto& c : cases)
    {
        const ProgramRun run = Definitions({c.path});
        EXPECT_EQ(run.m_nExitCode, 2) << c.path;
        EXPECT_EQ(run.m_strOut, "") << c.path;
        EXPECT_EQ(run.m_strErr.rfind("quorvane-cli: " + c.path + ": " + c.reason, 0), 0u) << run.m_strErr;
    }
    EXPECT_EQ(Definitions({}).m_nExitCode, 2);
}

} // namespace
