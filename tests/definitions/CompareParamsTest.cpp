#include "definitions/BinaryCompareParams.h"
#include "definitions/CompareDefaults.h"
#include "definitions/CompareParamsFactory.h"
#include "definitions/ProjectCompareParams.h"
#include "definitions/TextCompareParams.h"

#include <gtest/gtest.h>

namespace {

template <typename T>
T Definition(const std::string& left, const std::string& right, std::uint32_t leftFlags = 0,
             std::uint32_t rightFlags = 0)
{
    T params;
    params.m_objects[0] = {left, leftFlags};
    params.m_objects[1] = {right, rightFlags};
    return params;
}

TEST(CompareParams, ConstructionGivesTypeAndDefaults)
{
    EXPECT_EQ(CCompareParams().m_nType, 0);
    EXPECT_EQ(CFolderCompareParams().m_nType, COMPARE_TYPE_FOLDER);
    EXPECT_EQ(CProjectCompareParams().m_nType, COMPARE_TYPE_PROJECT);
    EXPECT_EQ(CTextCompareParams().m_nType, COMPARE_TYPE_TEXT);
    EXPECT_EQ(CBinaryCompareParams().m_nType, COMPARE_TYPE_BINARY);

    CFolderCompareParams folder;
    EXPECT_EQ(folder.m_dwMethods, METHOD_LMTIME | METHOD_SIZE);
    EXPECT_EQ(folder.m_dwOptions, 0u);
    EXPECT_TRUE(folder.m_filters.Equals(CComboFilters()));
    EXPECT_EQ(folder.m_tLastCompared, 0);
    EXPECT_EQ(CTextCompareParams().m_dwRules, RULE_IGNOREEOL);
    EXPECT_EQ(CProjectCompareParams().m_dwOptions, 0u);
}

TEST(CompareParams, DefaultsAreTakenAtConstructionTime)
{
    const COMPARE_DEFAULTS saved = CurrentCompareDefaults();
    CurrentCompareDefaults().m_dwFolderMethods = METHOD_CRC32;
    CurrentCompareDefaults().m_dwTextRules = RULE_IGNORECASE;
    CFolderCompareParams folder;
    CTextCompareParams text;
    CurrentCompareDefaults() = saved;
    EXPECT_EQ(folder.m_dwMethods, METHOD_CRC32);
    EXPECT_EQ(text.m_dwRules, RULE_IGNORECASE);
    EXPECT_EQ(CFolderCompareParams().m_dwMethods, saved.m_dwFolderMethods);
}

TEST(CompareParams, TitlesUseLastComponentsOrUntitled)
{
    EXPECT_EQ(Definition<CTextCompareParams>("/home/u/a.txt", "").GetTitle(), "a.txt : Untitled");
    EXPECT_EQ(Definition<CFolderCompareParams>("/src/left/", "/").GetTitle(), "left : /");
    EXPECT_EQ(Definition<CTextCompareParams>("rel.txt", "/x/b.txt").GetTitle(), "rel.txt : b.txt");

    const auto text = Definition<CTextCompareParams>("/home/u/a.txt", "/tmp/b.txt");
    EXPECT_EQ(FormatComparisonTitle(text, false, false, false), "a.txt : b.txt");
    EXPECT_EQ(FormatComparisonTitle(text, true, false, false), "a.txt * : b.txt");
    EXPECT_EQ(FormatComparisonTitle(text, false, true, true), "/home/u/a.txt : /tmp/b.txt *");
    EXPECT_EQ(FormatComparisonTitle(CTextCompareParams(), false, false, true), "Untitled : Untitled");
}

TEST(CompareParams, SwapSidesMovesFlagsWithPaths)
{
    auto params = Definition<CBinaryCompareParams>("/a", "/b", OBJECT_READONLY, 0);
    params.SwapSides();
    EXPECT_EQ(params.m_objects[0].m_strPath, "/b");
    EXPECT_EQ(params.m_objects[0].m_dwFlags, 0u);
    EXPECT_EQ(params.m_objects[1].m_strPath, "/a");
    EXPECT_EQ(params.m_objects[1].m_dwFlags, OBJECT_READONLY);
}

TEST(CompareParams, SameObjectsWithAndWithoutSwapping)
{
    const auto a = Definition<CTextCompareParams>("/x/1.txt", "/y/2.txt", OBJECT_READONLY);
    const auto swapped = Definition<CBinaryCompareParams>("/y/2.txt", "/x/1.txt");
    EXPECT_FALSE(a.IsSameObjects(swapped, false));
    EXPECT_TRUE(a.IsSameObjects(swapped, true));
    // Types and flags do not matter; separators are folded; case is significant on this system.
    EXPECT_TRUE(a.IsSameObjects(Definition<CBinaryCompareParams>("/x//1.txt", "/y/2.txt"), false));
    EXPECT_FALSE(a.IsSameObjects(Definition<CTextCompareParams>("/x/1.TXT", "/y/2.txt"), true));
}

TEST(CompareParams, CopyFromKeepsTypeAndLastComparedTime)
{
    auto source = Definition<CTextCompareParams>("/l", "/r", 0, OBJECT_READONLY);
    source.m_dwRules = RULE_IGNORECASE | RULE_IGNOREBLANKLINES;
    source.m_strLineFilter = "^#";
    source.m_tLastCompared = 111;
    CTextCompareParams target;
    target.m_nType = 99;
    target.m_tLastCompared = 222;
    target.CopyFrom(source);
    EXPECT_EQ(target.m_nType, 99);
    EXPECT_EQ(target.m_tLastCompared, 222);
    EXPECT_EQ(target.m_objects[1].m_dwFlags, OBJECT_READONLY);
    EXPECT_EQ(target.m_dwRules, source.m_dwRules);
    EXPECT_EQ(target.m_strLineFilter, "^#");

    // The copy constructor copies everything.
    const CTextCompareParams copy(source);
    EXPECT_EQ(copy.m_tLastCompared, 111);
    EXPECT_TRUE(copy.IsEqual(source));
}

TEST(CompareParams, FolderCopyTakesMethodsOptionsAndFilters)
{
    auto source = Definition<CFolderCompareParams>("/l", "/r");
    source.m_dwMethods = METHOD_BINARY;
    source.m_dwOptions = OPTION_AUTOSCANSUBFOLDERS;
    source.m_filters.m_fileFilters.m_strExclude = "*.o";
    source.m_filters.m_folderFilters.m_strExclude = ".git";
    CProjectCompareParams project;
    project.CopyFrom(source);
    EXPECT_EQ(project.m_nType, COMPARE_TYPE_PROJECT);
    EXPECT_EQ(project.m_dwMethods, METHOD_BINARY);
    EXPECT_EQ(project.m_dwOptions, OPTION_AUTOSCANSUBFOLDERS);
    EXPECT_TRUE(project.m_filters.Equals(source.m_filters));
    EXPECT_FALSE(project.IsEqual(source)); // the types differ
}

struct EqualityCase
{
    const char* name;
    void (*change)(CTextCompareParams&);
    bool equal;
};

TEST(CompareParams, TextEquality)
{
    const EqualityCase cases[] = {
        {"identical", [](CTextCompareParams&) {}, true},
        {"line filter case", [](CTextCompareParams& p) { p.m_strLineFilter = "^REM"; }, false},
        {"path case", [](CTextCompareParams& p) { p.m_objects[0].m_strPath = "/A.txt"; }, false},
        {"trailing separator", [](CTextCompareParams& p) { p.m_objects[1].m_strPath = "/b.txt/"; }, true},
        {"read-only flag", [](CTextCompareParams& p) { p.m_objects[1].m_dwFlags = OBJECT_READONLY; }, false},
        {"rules", [](CTextCompareParams& p) { p.m_dwRules |= RULE_IGNORECASE; }, false},
        {"last compared", [](CTextCompareParams& p) { p.m_tLastCompared = 5; }, true},
    };
    for (const auto& c : cases)
    {
        auto a = Definition<CTextCompareParams>("/a.txt", "/b.txt");
        a.m_strLineFilter = "^rem";
        auto b = a;
        c.change(b);
        EXPECT_EQ(a.IsEqual(b), c.equal) << c.name;
        EXPECT_EQ(b.IsEqual(a), c.equal) << c.name;
    }
}

TEST(CompareParams, FolderEqualityComparesFilters)
{
    auto a = Definition<CFolderCompareParams>("/a", "/b");
    auto b = a;
    EXPECT_TRUE(a.IsEqual(b));
    b.m_filters.m_fileFilters.m_strInclude = "*.C";
    a.m_filters.m_fileFilters.m_strInclude = "*.c";
    EXPECT_TRUE(a.IsEqual(b)); // patterns compare without case
    b.m_filters.m_fileFilters.m_nMinSize = 1;
    EXPECT_FALSE(a.IsEqual(b));
    EXPECT_FALSE(a.IsEqual(Definition<CBinaryCompareParams>("/a", "/b")));
}

TEST(CompareParams, FactoryKnowsTheFourTypes)
{
    for (const int type : {COMPARE_TYPE_FOLDER, COMPARE_TYPE_PROJECT, COMPARE_TYPE_TEXT, COMPARE_TYPE_BINARY})
    {
        const auto params = CreateCompareParams(type);
        ASSERT_NE(params, nullptr);
        EXPECT_EQ(params->m_nType, type);
    }
    EXPECT_EQ(CreateCompareParams(0), nullptr);
    EXPECT_EQ(CreateCompareParams(12), nullptr);
}

} // namespace
