#include "app/CommandLine.h"

#include "definitions/BinaryCompareParams.h"
#include "definitions/CompareDefaults.h"
#include "definitions/ProjectCompareParams.h"
#include "definitions/TextCompareParams.h"
#include "filesystem/FilterText.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

CCommandLine Parse(std::vector<std::string> args, const COMMAND_LINE_DEFAULTS& defaults = {})
{
    args.insert(args.begin(), "quorvane");
    CCommandLine line;
    line.ParseCommandLine(args, defaults);
    return line;
}

TEST(CommandLine, ProgramNameOnlyDoesNothing)
{
    COMMAND_LINE_DEFAULTS defaults;
    defaults.m_dwRules = RULE_IGNORECASE;
    CCommandLine line;
    line.ParseCommandLine({"quorvane"}, defaults);
    EXPECT_EQ(line.m_nCommand, CMD_NONE);
    EXPECT_EQ(line.m_dwRules, 0u);
    EXPECT_TRUE(line.m_bDefaultRules);
}

TEST(CommandLine, SwitchesAndAbsolutePaths)
{
    TempDir dir;
    WriteFile(dir / "a.txt", "a\n");
    WriteFile(dir / "b.txt", "b\n");
    const CCommandLine line = Parse({"-c", dir / "a.txt", "/t:text", dir / "b.txt", "/ro:2", "/r:ias|icc|nope"});
    EXPECT_EQ(line.m_nCommand, CMD_COMPARE);
    EXPECT_EQ(line.m_nType, CMDTYPE_TEXT);
    ASSERT_EQ(line.m_nPaths, 2);
    EXPECT_EQ(line.m_strPaths[0], dir / "a.txt");
    EXPECT_EQ(line.m_strPaths[1], dir / "b.txt");
    EXPECT_FALSE(line.m_bReadOnly[0]);
    EXPECT_TRUE(line.m_bReadOnly[1]);
    EXPECT_EQ(line.m_dwRules, RULE_IGNOREALLSPACE | RULE_IGNORECASE);
    // "/tmp/x" is a path, "/c" a switch, "/?" the help.
    EXPECT_TRUE(CCommandLine::IsSwitchWord("c"));
    EXPECT_TRUE(CCommandLine::IsSwitchWord("ff:ni=*.c"));
    EXPECT_FALSE(CCommandLine::IsSwitchWord("tmp/x"));
    EXPECT_EQ(Parse({"/?"}).m_nCommand, CMD_HELP);
    EXPECT_EQ(Parse({"/?", "-e"}).m_nCommand, CMD_EDIT); // the last command switch wins
}

TEST(CommandLine, TypeDependentSwitchesBeforeTheTypeAreIgnoredButDropTheirDefaults)
{
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "l").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "r").c_str(), 0755), 0);
    COMMAND_LINE_DEFAULTS defaults;
    defaults.m_filters.m_fileFilters.m_strExclude = "*.o";
    defaults.m_filters.m_folderFilters.m_strExclude = ".git";
    const CCommandLine after = Parse({"/t:folder", "/ff:ni=*.c", "-c", dir / "l", dir / "r"}, defaults);
    EXPECT_EQ(after.m_nType, CMDTYPE_FOLDER);
    EXPECT_EQ(after.m_filters.m_fileFilters.m_strInclude, "*.c");
    EXPECT_EQ(after.m_filters.m_fileFilters.m_strExclude, "");
    EXPECT_EQ(after.m_filters.m_folderFilters.m_strExclude, ""); // both kinds of default dropped
    const CCommandLine before = Parse({"/ff:ni=*.c", "/t:folder", "-c", dir / "l", dir / "r"}, defaults);
    EXPECT_EQ(before.m_filters.m_fileFilters.m_strInclude, "*");
    EXPECT_EQ(before.m_filters.m_folderFilters.m_strExclude, "");
    const CCommandLine none = Parse({"/t:folder", "-c", dir / "l", dir / "r"}, defaults);
    EXPECT_EQ(none.m_filters.m_fileFilters.m_strExclude, "*.o");

    WriteFile(dir / "a.txt", "a\n");
    WriteFile(dir / "b.txt", "b\n");
    defaults.m_dwRules = RULE_IGNOREEOL;
    const CCommandLine rules = Parse({"/r:ias", dir / "a.txt", dir / "b.txt"}, defaults);
    EXPECT_EQ(rules.m_nType, CMDTYPE_TEXT);
    EXPECT_EQ(rules.m_dwRules, 0u);
    const auto params = CreateDefinitionFromCommandLine(rules);
    EXPECT_EQ(dynamic_cast<CTextCompareParams&>(*params).m_dwRules, CurrentCompareDefaults().m_dwTextRules);

    const CCommandLine lf = Parse({"/t:text", "/lf:re=a|b", dir / "a.txt", dir / "b.txt"});
    EXPECT_EQ(lf.m_strLineFilter, "a|b");
    EXPECT_EQ(Parse({"/lf:re=a|b", "/t:text", dir / "a.txt", dir / "b.txt"}).m_strLineFilter, "");
}

TEST(CommandLine, FilterItems)
{
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "l").c_str(), 0755), 0);
    const CCommandLine line = Parse({"/t:f", "/ff:ni=\"*.c;*.h\"|ne=test*|tf=12-31-2006|tt=0-1-2007|si=10|sa=12x|ae=rhq|te=t;b;d|bogus=1",
                                     "/df:ni=src|ne=.svn|ae=h|tf=1-1-2000", dir / "l", dir / "l"});
    const CFileFilters& files = line.m_filters.m_fileFilters;
    EXPECT_EQ(files.m_strInclude, "*.c;*.h");
    EXPECT_EQ(files.m_strExclude, "test*");
    EXPECT_EQ(files.m_tFrom, ParseDateBound("2006-12-31"));
    EXPECT_EQ(files.m_tTo, 0);
    EXPECT_EQ(files.m_nMinSize, 10u);
    EXPECT_EQ(files.m_nMaxSize, 12u);
    EXPECT_EQ(files.m_dwExcludeAttributes, 0x3u);
    EXPECT_EQ(files.m_dwExcludeTypes, 0x3u);
    EXPECT_EQ(line.m_filters.m_folderFilters.m_strInclude, "src");
    EXPECT_EQ(line.m_filters.m_folderFilters.m_strExclude, ".svn");
    EXPECT_EQ(line.m_filters.m_folderFilters.m_dwExcludeAttributes, 0x2u);
}

TEST(CommandLine, Dates)
{
    std::int64_t t = 0;
    EXPECT_TRUE(CCommandLine::ParseDate("12-31-2006", t));
    EXPECT_EQ(t, ParseDateBound("2006-12-31"));
    EXPECT_TRUE(CCommandLine::ParseDate("2-30-2007", t)); // normalised by the calendar
    EXPECT_EQ(t, ParseDateBound("2007-03-02"));
    t = 5;
    for (const char* bad : {"0-1-2007", "1-0-2007", "1-1", "", "a-b-c", "1-1-2007-1"})
    {
        EXPECT_FALSE(CCommandLine::ParseDate(bad, t)) << bad;
        EXPECT_EQ(t, 5);
    }
}

TEST(CommandLine, ResolvingCommandsAndTypes)
{
    TempDir dir;
    WriteFile(dir / "t1.txt", "text\n");
    WriteFile(dir / "t2.txt", "text\n");
    WriteFile(dir / "bin", std::string("a\0b", 3));
    WriteFile(dir / "x.cmp", "<Comparisons/>");
    WriteFile(dir / "p.dsp", "# project\n");
    ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "other").c_str(), 0755), 0);
    WriteFile(dir / "other/t1.txt", "text\n");

    struct CASE
    {
        std::vector<std::string> args;
        int command;
        int type;
        std::string left;
        std::string right;
    };
    const CASE cases[] = {
        {{dir / "t1.txt", dir / "t2.txt"}, CMD_COMPARE, CMDTYPE_TEXT, dir / "t1.txt", dir / "t2.txt"},
        {{"/t:text", dir / "t1.txt", dir / "bin"}, CMD_COMPARE, CMDTYPE_BINARY, dir / "t1.txt", dir / "bin"},
        {{dir / "sub", dir / "other"}, CMD_COMPARE, CMDTYPE_FOLDER, dir / "sub", dir / "other"},
        {{dir / "other", dir / "t1.txt"}, CMD_COMPARE, CMDTYPE_TEXT, dir / "other/t1.txt", dir / "t1.txt"},
        {{"/t:f", dir / "t1.txt", dir / "other"}, CMD_COMPARE, CMDTYPE_FOLDER, dir.Path(), dir / "other"},
        {{"/t:p", dir / "p.dsp", dir / "t1.txt"}, CMD_COMPARE, CMDTYPE_TEXT, dir / "p.dsp", dir / "t1.txt"},
        {{"/t:p", dir / "p.dsp", dir / "p.dsp"}, CMD_COMPARE, CMDTYPE_PROJECT, dir / "p.dsp", dir / "p.dsp"},
        // A resolved command goes on to the type rules, whatever it became.
        {{dir / "x.cmp"}, CMD_OPEN, CMDTYPE_TEXT, dir / "x.cmp", ""},
        {{dir / "t1.txt"}, CMD_EDIT, CMDTYPE_TEXT, dir / "t1.txt", ""},
        {{dir / "bin"}, CMD_EDIT, CMDTYPE_BINARY, dir / "bin", ""},
        {{"-e", dir / "t1.txt"}, CMD_EDIT, CMDTYPE_AUTO, dir / "t1.txt", ""},
        {{"-e"}, CMD_EDIT, CMDTYPE_AUTO, "", ""},
        {{"-c", dir / "sub"}, CMD_COMPARE, CMDTYPE_FOLDER, dir / "sub", ""},
        {{"-c", "/t:f", dir / "t1.txt"}, CMD_COMPARE, CMDTYPE_FOLDER, dir.Path(), ""},
        {{dir / "t1.txt", dir / "t2.txt", dir / "bin"}, CMD_COMPARE, CMDTYPE_TEXT, dir / "t1.txt", dir / "t2.txt"},
    };
    for (const auto& c : cases)
    {
        const CCommandLine line = Parse(c.args);
        std::string label;
        for (const auto& a : c.args)
            label += a + " ";
        EXPECT_EQ(line.m_nCommand, c.command) << label;
        EXPECT_EQ(line.m_nType, c.type) << label;
        EXPECT_EQ(line.m_strPaths[0], c.left) << label;
        EXPECT_EQ(line.m_strPaths[1], c.right) << label;
    }
}

TEST(CommandLine, PosixSplitting)
{
    EXPECT_EQ(SplitPosixCommandLine("a 'b c' \"d\\\"e\" f\\ g 'it'\\''s'"),
              (std::vector<std::string>{"a", "b c", "d\"e", "f g", "it's"}));
    EXPECT_EQ(SplitPosixCommandLine("  "), std::vector<std::string>{});
    EXPECT_EQ(SplitPosixCommandLine("''"), std::vector<std::string>{""});
}

// Generated command lines, split as a shell splits them, parse back into equal definitions.
TEST(CommandLine, GeneratedCommandLinesParseBack)
{
    TempDir dir;
    const std::string left = dir / "it's a \"left\" $HOME";
    const std::string right = dir / "right side";
    ASSERT_EQ(mkdir(left.c_str(), 0755), 0);
    ASSERT_EQ(mkdir(right.c_str(), 0755), 0);
    WriteFile(left + "/x.txt", "x\n");
    WriteFile(right + "/x.txt", "y\n");
    WriteFile(dir / "a.dsp", "# p\n");
    WriteFile(dir / "b.dsp", "# p\n");

    std::vector<std::unique_ptr<CCompareParams>> definitions;
    auto folder = std::make_unique<CFolderCompareParams>();
    folder->m_objects[0] = {left, OBJECT_READONLY};
    folder->m_objects[1] = {right, 0};
    folder->m_dwMethods = METHOD_CRC32 | METHOD_TYPE | METHOD_VERSION;
    folder->m_dwOptions = OPTION_AUTOSCANSUBFOLDERS;
    folder->m_filters.m_fileFilters.m_strInclude = "*.c;*.h";
    folder->m_filters.m_fileFilters.m_strExclude = "te st*";
    folder->m_filters.m_fileFilters.m_tFrom = ParseDateBound("2020-02-03");
    folder->m_filters.m_fileFilters.m_tTo = ParseDateBound("2021-04-05");
    folder->m_filters.m_fileFilters.m_nMinSize = 5;
    folder->m_filters.m_fileFilters.m_nMaxSize = 1ull << 35;
    folder->m_filters.m_fileFilters.m_dwExcludeAttributes = 0x27;
    folder->m_filters.m_fileFilters.m_dwExcludeTypes = 0x3;
    folder->m_filters.m_folderFilters.m_strExclude = ".svn";
    folder->m_filters.m_folderFilters.m_dwExcludeAttributes = 0x2;
    definitions.push_back(std::move(folder));

    auto plainFolder = std::make_unique<CFolderCompareParams>();
    plainFolder->m_objects[0].m_strPath = left;
    plainFolder->m_objects[1].m_strPath = right;
    definitions.push_back(std::move(plainFolder));

    auto project = std::make_unique<CProjectCompareParams>();
    project->m_objects[0].m_strPath = dir / "a.dsp";
    project->m_objects[1] = {dir / "b.dsp", OBJECT_READONLY};
    project->m_dwMethods = METHOD_SIZE;
    definitions.push_back(std::move(project));

    auto text = std::make_unique<CTextCompareParams>();
    text->m_objects[0] = {left + "/x.txt", OBJECT_READONLY};
    text->m_objects[1] = {right + "/x.txt", OBJECT_READONLY};
    text->m_dwRules = RULE_IGNORECASE | RULE_IGNORELINESMATCHINGFILTER | RULE_IGNOREBLANKLINES;
    text->m_strLineFilter = "^\\(#\\|//\\) 'q' \"d\" $x |y";
    definitions.push_back(std::move(text));

    auto binary = std::make_unique<CBinaryCompareParams>();
    binary->m_objects[0].m_strPath = left + "/x.txt";
    binary->m_objects[1] = {right + "/x.txt", OBJECT_READONLY};
    definitions.push_back(std::move(binary));

    // Also when the user's defaults differ from the definitions' values.
    COMPARE_DEFAULTS changed;
    changed.m_bAutoScanSubfolders = true;
    changed.m_folderFilters.m_fileFilters.m_strExclude = "*.o";
    changed.m_strTextLineFilter = "^REM";
    const COMPARE_DEFAULTS saved = CurrentCompareDefaults();
    for (const COMPARE_DEFAULTS& defaults : {saved, changed})
    for (const auto& original : definitions)
        for (const bool abbreviated : {true, false})
        {
            CurrentCompareDefaults() = defaults;
            const std::string text = original->GetCommandLine(false, abbreviated);
            const CCommandLine line = Parse(
                [&] {
                    auto words = SplitPosixCommandLine(text);
                    words.erase(words.begin());
                    return words;
                }(),
                CurrentCommandLineDefaults());
            const auto parsed = CreateDefinitionFromCommandLine(line);
            CurrentCompareDefaults() = saved;
            ASSERT_NE(parsed, nullptr) << text;
            EXPECT_TRUE(parsed->IsEqual(*original)) << text;
        }
}

} // namespace
