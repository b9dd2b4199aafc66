#include "definitions/BinaryCompareParams.h"
#include "definitions/CommandLineText.h"
#include "definitions/ProjectCompareParams.h"
#include "definitions/TextCompareParams.h"
#include "filesystem/FilterText.h"
#include "platform/Process.h"

#include <gtest/gtest.h>

namespace {

template <typename T>
T Definition(const std::string& left, const std::string& right)
{
    T params;
    params.m_objects[0].m_strPath = left;
    params.m_objects[1].m_strPath = right;
    return params;
}

TEST(CommandLine, BareDefinitionHasNone)
{
    EXPECT_EQ(CCompareParams().GetCommandLine(false, true), "");
}

TEST(CommandLine, BinaryWithRightSideReadOnly)
{
    auto params = Definition<CBinaryCompareParams>("C:/a.bin", "C:/b.bin");
    params.m_objects[1].m_dwFlags = OBJECT_READONLY;
    EXPECT_EQ(params.GetCommandLine(false, true, CommandLineQuoting::Batch),
              "quorvane -c /t:b \"C:/a.bin\" \"C:/b.bin\" /ro:\"2\"");
    EXPECT_EQ(params.GetCommandLine(false, false, CommandLineQuoting::Batch),
              "quorvane -compare /type:binary \"C:/a.bin\" \"C:/b.bin\" /readonly:\"2\"");
    EXPECT_EQ(params.GetCommandLine(false, true), "quorvane -c /t:b 'C:/a.bin' 'C:/b.bin' /ro:'2'");
}

TEST(CommandLine, EmptyPathsAndBothReadOnly)
{
    auto params = Definition<CBinaryCompareParams>("/a", "");
    params.m_objects[0].m_dwFlags = OBJECT_READONLY;
    params.m_objects[1].m_dwFlags = OBJECT_READONLY;
    EXPECT_EQ(params.GetCommandLine(false, true), "quorvane -c /t:b '/a' /ro:'1|2'");
}

TEST(CommandLine, FullPathNamesTheProgramInItsFolder)
{
    const auto params = Definition<CBinaryCompareParams>("/a", "/b");
    const std::string line = params.GetCommandLine(true, true);
    const std::string expectedProgram = "'" + CommandLineProgramFolder() + "/quorvane'";
    EXPECT_EQ(line.substr(0, expectedProgram.size()), expectedProgram);
}

TEST(CommandLine, FolderWithDefaultFiltersWritesNoFilterSwitch)
{
    auto params = Definition<CFolderCompareParams>("/l", "/r");
    params.m_dwMethods = METHOD_LMTIME | METHOD_SIZE;
    EXPECT_EQ(params.GetCommandLine(false, true, CommandLineQuoting::Batch),
              "quorvane -c /t:f \"/l\" \"/r\" /m:\"time|size\"");
    params.m_dwMethods = 0;
    EXPECT_EQ(params.GetCommandLine(false, true), "quorvane -c /t:f '/l' '/r'");
}

TEST(CommandLine, FolderWithEveryValueInBothForms)
{
    auto params = Definition<CProjectCompareParams>("/l/a.sln", "/r/a.sln");
    params.m_dwMethods = METHOD_TYPE | METHOD_LMTIME | METHOD_SIZE | METHOD_ATTRIBUTES | METHOD_VERSION |
                         METHOD_CRC32 | METHOD_BINARY | METHOD_TEXT;
    params.m_dwOptions = OPTION_AUTOSCANSUBFOLDERS;
    CFileFilters& files = params.m_filters.m_fileFilters;
    files.m_strInclude = "*.c;*.h";
    files.m_strExclude = "test*";
    files.m_tFrom = ParseDateBound("2006-12-31");
    files.m_tTo = ParseDateBound("2007-01-02");
    files.m_nMinSize = 1;
    files.m_nMaxSize = 1ull << 33;
    files.m_dwExcludeAttributes = 0x1 | 0x2 | 0x4 | 0x20;
    files.m_dwExcludeTypes = 0x7;
    params.m_filters.m_folderFilters.m_strExclude = ".svn";
    params.m_filters.m_folderFilters.m_dwExcludeAttributes = 0x2;

    EXPECT_EQ(params.GetCommandLine(false, true, CommandLineQuoting::Batch),
              "quorvane -c /t:p \"/l/a.sln\" \"/r/a.sln\" /m:\"time|size|attr|ver|crc|bin|txt|type\""
              " /ff:\"ni=*.c;*.h|ne=test*|tf=12-31-2006|tt=01-02-2007|si=1|sa=8589934592|ae=rash|te=t;b;d\""
              " /df:\"ne=.svn|ae=h\" /o:\"asf\"");
    EXPECT_EQ(params.GetCommandLine(false, false, CommandLineQuoting::Batch),
              "quorvane -compare /type:project \"/l/a.sln\" \"/r/a.sln\""
              " /method:\"time|size|attributes|version|crc32|binary|text|type\""
              " /filefilter:\"nameinclude=*.c;*.h|nameexclude=test*|timefrom=12-31-2006|timeto=01-02-2007"
              "|sizemin=1|sizemax=8589934592|attributesexclude=rash|typeexclude=text;binary;directory\""
              " /folderfilter:\"nameexclude=.svn|attributesexclude=h\" /option:\"autoscansubfolders\"");
}

TEST(CommandLine, TextRulesAndLineFilter)
{
    auto params = Definition<CTextCompareParams>("/a.txt", "/b.txt");
    params.m_dwRules = 0;
    EXPECT_EQ(params.GetCommandLine(false, true), "quorvane -c /t:t '/a.txt' '/b.txt'");
    params.m_dwRules = RULE_IGNOREALLSPACE | RULE_IGNORESPACEDIFFERENCES | RULE_IGNORETABEXPANSION |
                       RULE_IGNORELEADINGSPACE | RULE_IGNORETRAILINGSPACE | RULE_IGNORECASE | RULE_IGNOREEOL |
                       RULE_IGNOREBLANKLINES | RULE_IGNORECOMMENTS | RULE_IGNORELINESMATCHINGFILTER;
    params.m_strLineFilter = "^(REM|#)";
    EXPECT_EQ(params.GetCommandLine(false, true, CommandLineQuoting::Batch),
              "quorvane -c /t:t \"/a.txt\" \"/b.txt\" /r:\"ias|isd|ite|ils|its|icc|ieol|ibl|ic|ilmf\""
              " /lf:re=\"^(REM|#)\"");
    EXPECT_EQ(params.GetCommandLine(false, false, CommandLineQuoting::Batch),
              "quorvane -compare /type:text \"/a.txt\" \"/b.txt\" /rule:\"ignoreallspace|ignorespacedifferences|"
              "ignoretabexpansion|ignoreleadingspace|ignoretrailingspace|ignorecase|ignorelineendings|"
              "ignoreblanklines|ignorecomments|ignorelinesmatchingfilter\" /linefilter:regexp=\"^(REM|#)\"");
}

// What a shell makes of the generated text: the argument vector the program would receive.
std::vector<std::string> ShellWords(const std::string& commandLine)
{
    std::string output;
    int status = -1;
    EXPECT_TRUE(platform::RunAndCapture(
        {"sh", "-c", "for a in " + commandLine.substr(commandLine.find(' ') + 1) + "; do printf '%s\\n' \"$a\"; done"},
        output, status));
    EXPECT_EQ(status, 0);
    std::vector<std::string> words;
    std::size_t start = 0;
    for (std::size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
        words.push_back(output.substr(start, end - start));
    return words;
}

TEST(CommandLine, PosixQuotingSurvivesTheShell)
{
    auto params = Definition<CTextCompareParams>("/tmp/it's $HOME `x` \"q\" \\ a&b;c", "/tmp/plain");
    params.m_dwRules = RULE_IGNORECASE;
    params.m_strLineFilter = "a|b$' *";
    const auto words = ShellWords(params.GetCommandLine(false, true));
    ASSERT_EQ(words.size(), 6u);
    EXPECT_EQ(words[0], "-c");
    EXPECT_EQ(words[1], "/t:t");
    EXPECT_EQ(words[2], "/tmp/it's $HOME `x` \"q\" \\ a&b;c");
    EXPECT_EQ(words[3], "/tmp/plain");
    EXPECT_EQ(words[4], "/r:icc");
    EXPECT_EQ(words[5], "/lf:re=a|b$' *");
}

} // namespace
