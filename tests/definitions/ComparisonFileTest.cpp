#include "definitions/BinaryCompareParams.h"
#include "definitions/ComparisonFile.h"
#include "definitions/ProjectCompareParams.h"
#include "definitions/TextCompareParams.h"
#include "filesystem/FilterText.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

const std::string kData = std::string(QUORVANE_TEST_DATA_DIR) + "/cmp/";

CComparisonFile::List Load(const std::string& name)
{
    CComparisonFile::List list;
    std::string why;
    EXPECT_TRUE(CComparisonFile().LoadComparisons(kData + name, list, &why)) << name << ": " << why;
    return list;
}

template <typename T>
const T& As(const std::unique_ptr<CCompareParams>& params)
{
    const auto* typed = dynamic_cast<const T*>(params.get());
    EXPECT_NE(typed, nullptr);
    static const T empty;
    return typed ? *typed : empty;
}

TEST(ComparisonFileRead, CurrentFormatWithEveryValue)
{
    const auto list = Load("v108.cmp");
    ASSERT_EQ(list.size(), 5u); // the unknown type and the entry without a type are skipped

    const auto& folder = As<CFolderCompareParams>(list[0]);
    EXPECT_EQ(folder.m_nType, COMPARE_TYPE_FOLDER);
    EXPECT_EQ(folder.m_tLastCompared, ParseDateTime("2024-05-06 07:08:09"));
    EXPECT_EQ(folder.m_objects[0].m_strPath, "/data/left & <more>");
    EXPECT_EQ(folder.m_objects[0].m_dwFlags, OBJECT_READONLY);
    EXPECT_EQ(folder.m_objects[1].m_strPath, "/data/right \"q\"");
    EXPECT_EQ(folder.m_objects[1].m_dwFlags, 0u);
    EXPECT_EQ(folder.m_dwMethods, METHOD_SIZE | METHOD_ATTRIBUTES | METHOD_CRC32 | METHOD_TYPE);
    EXPECT_EQ(folder.m_dwOptions, OPTION_AUTOSCANSUBFOLDERS);
    const CFileFilters& files = folder.m_filters.m_fileFilters;
    EXPECT_EQ(files.m_strInclude, "*.c;*.h");
    EXPECT_EQ(files.m_strExclude, "test*");
    EXPECT_EQ(files.m_bMatchCase, 1);
    EXPECT_EQ(files.m_tFrom, ParseDateBound("2020-01-02"));
    EXPECT_EQ(files.m_tTo, ParseDateBound("2021-03-04"));
    EXPECT_EQ(files.m_nMinSize, 10u);
    EXPECT_EQ(files.m_nMaxSize, 1099511627776u);
    EXPECT_EQ(files.m_dwExcludeAttributes, 0x3u);
    EXPECT_EQ(files.m_dwExcludeTypes, 0x3u);
    EXPECT_EQ(folder.m_filters.m_folderFilters.m_strExclude, ".svn;CVS");
    EXPECT_EQ(folder.m_filters.m_folderFilters.m_dwExcludeAttributes, 0x2u);

    const auto& project = As<CProjectCompareParams>(list[1]);
    EXPECT_EQ(project.m_nType, COMPARE_TYPE_PROJECT);
    EXPECT_EQ(project.m_tLastCompared, 0);
    EXPECT_EQ(project.m_dwMethods, METHOD_CRC32);
    EXPECT_EQ(project.m_dwOptions, OPTION_AUTOSCANSUBFOLDERS);
    EXPECT_EQ(project.m_objects[1].m_dwFlags, OBJECT_READONLY);
    EXPECT_TRUE(project.m_filters.Equals(CComboFilters()));

    const auto& text = As<CTextCompareParams>(list[2]);
    EXPECT_EQ(text.m_tLastCompared, 0); // the seconds are missing
    EXPECT_EQ(text.m_dwRules, RULE_IGNOREALLSPACE | RULE_IGNORETRAILINGSPACE | RULE_IGNOREBLANKLINES |
                                  RULE_IGNOREEOL | RULE_IGNORELINESMATCHINGFILTER);
    EXPECT_EQ(text.m_strLineFilter, "^\\(REM\\|#\\)");

    EXPECT_EQ(list[3]->m_nType, COMPARE_TYPE_BINARY);
    EXPECT_EQ(list[3]->m_objects[0].m_dwFlags, OBJECT_READONLY);

    // Methods missing: 0; a chain broken at "Time" reads the name filter only.
    const auto& broken = As<CFolderCompareParams>(list[4]);
    EXPECT_EQ(broken.m_dwMethods, 0u);
    EXPECT_EQ(broken.m_filters.m_fileFilters.m_strInclude, "*.txt");
    EXPECT_EQ(broken.m_filters.m_fileFilters.m_nMinSize, 0u);
    EXPECT_TRUE(broken.m_objects[0].m_strPath.empty());
}

TEST(ComparisonFileRead, Version103)
{
    const auto list = Load("v103.cmp");
    ASSERT_EQ(list.size(), 2u);
    const auto& folder = As<CFolderCompareParams>(list[0]);
    EXPECT_EQ(folder.m_tLastCompared, 0);
    EXPECT_EQ(folder.m_dwMethods, METHOD_LMTIME | METHOD_SIZE);
    EXPECT_EQ(folder.m_dwOptions, 0u);
    const CFileFilters& files = folder.m_filters.m_fileFilters;
    EXPECT_EQ(files.m_strInclude, "*.cpp");
    EXPECT_EQ(files.m_tFrom, ParseDateBound("2019-07-08"));
    EXPECT_EQ(files.m_tTo, 0);
    EXPECT_EQ(files.m_nMaxSize, 2048u);
    EXPECT_EQ(files.m_dwExcludeAttributes, 0x4u);
    EXPECT_EQ(files.m_dwExcludeTypes, 0x2u);
    EXPECT_EQ(folder.m_filters.m_folderFilters.m_strExclude, "obj");
    EXPECT_EQ(folder.m_filters.m_folderFilters.m_dwExcludeAttributes, 0x3u);

    const auto& text = As<CTextCompareParams>(list[1]);
    EXPECT_EQ(text.m_dwRules, RULE_IGNORECASE | RULE_IGNORELINESMATCHINGFILTER);
    EXPECT_EQ(text.m_strLineFilter, "^//");
}

TEST(ComparisonFileRead, Version102)
{
    const auto list = Load("v102.cmp");
    ASSERT_EQ(list.size(), 2u);
    const auto& folder = As<CFolderCompareParams>(list[0]);
    EXPECT_EQ(folder.m_dwMethods, METHOD_BINARY);
    EXPECT_EQ(folder.m_dwOptions, OPTION_AUTOSCANSUBFOLDERS);
    const CFileFilters& files = folder.m_filters.m_fileFilters;
    EXPECT_EQ(files.m_strInclude, "*.pas");
    EXPECT_EQ(files.m_strExclude, "~*");
    EXPECT_EQ(files.m_tFrom, ParseDateBound("2001-02-03"));
    EXPECT_EQ(files.m_tTo, ParseDateBound("2002-03-04"));
    EXPECT_EQ(files.m_nMinSize, 1u);
    EXPECT_EQ(files.m_nMaxSize, 2u);
    EXPECT_EQ(files.m_dwExcludeAttributes, 0x20u);
    EXPECT_EQ(files.m_dwExcludeTypes, 0x1u);

    const auto& text = As<CTextCompareParams>(list[1]);
    EXPECT_EQ(text.m_dwRules, RULE_IGNOREBLANKLINES | RULE_IGNORELINESMATCHINGFILTER);
    EXPECT_EQ(text.m_strLineFilter, "^;");
}

TEST(ComparisonFileRead, Version101)
{
    const auto list = Load("v101.cmp");
    ASSERT_EQ(list.size(), 3u);
    const auto& project = As<CProjectCompareParams>(list[0]);
    EXPECT_EQ(project.m_objects[0].m_strPath, "/p/one.dpr");
    EXPECT_EQ(project.m_objects[0].m_dwFlags, OBJECT_READONLY);
    EXPECT_EQ(project.m_objects[1].m_strPath, "/p/two.dpr");
    EXPECT_EQ(project.m_dwMethods, METHOD_CRC32 | METHOD_SIZE | METHOD_LMTIME);
    EXPECT_EQ(project.m_dwOptions, OPTION_AUTOSCANSUBFOLDERS);
    const CFileFilters& files = project.m_filters.m_fileFilters;
    EXPECT_EQ(files.m_strInclude, "*.pas");
    EXPECT_EQ(files.m_bMatchCase, 1);
    EXPECT_EQ(files.m_tFrom, 1167523200);
    EXPECT_EQ(files.m_tTo, 0);
    EXPECT_EQ(files.m_nMaxSize, 4096u);
    EXPECT_EQ(files.m_dwExcludeAttributes, 0x22u);
    EXPECT_EQ(files.m_dwExcludeTypes, 0x2u);

    EXPECT_EQ(As<CTextCompareParams>(list[1]).m_dwRules, RULE_IGNORECASE | RULE_IGNOREALLSPACE);
    EXPECT_TRUE(As<CTextCompareParams>(list[1]).m_strLineFilter.empty());

    // Out-of-range and malformed numbers keep the reset values.
    EXPECT_EQ(As<CFolderCompareParams>(list[2]).m_dwMethods, 0u);
    EXPECT_EQ(As<CFolderCompareParams>(list[2]).m_dwOptions, 0u);
}

TEST(ComparisonFileRead, OldestFormatUnderEitherRootName)
{
    const auto list = Load("v100.cmp");
    ASSERT_EQ(list.size(), 4u);
    const auto& folder = As<CFolderCompareParams>(list[0]);
    EXPECT_EQ(folder.m_objects[0].m_strPath, "/old/l");
    EXPECT_EQ(folder.m_objects[1].m_dwFlags, OBJECT_READONLY);
    EXPECT_EQ(folder.m_dwMethods, METHOD_LMTIME | METHOD_SIZE);
    EXPECT_EQ(folder.m_dwOptions, OPTION_AUTOSCANSUBFOLDERS);
    EXPECT_EQ(folder.m_filters.m_fileFilters.m_strInclude, "*.bas");
    EXPECT_EQ(folder.m_filters.m_fileFilters.m_strExclude, "*.bak");
    EXPECT_EQ(folder.m_filters.m_fileFilters.m_bMatchCase, 1);
    EXPECT_EQ(As<CTextCompareParams>(list[1]).m_dwRules, RULE_IGNOREEOL);
    EXPECT_EQ(list[2]->m_nType, COMPARE_TYPE_BINARY);
    EXPECT_EQ(As<CProjectCompareParams>(list[3]).m_dwMethods, METHOD_LMTIME);

    const auto vandrel = Load("vandrel.cmp");
    ASSERT_EQ(vandrel.size(), 1u);
    EXPECT_EQ(vandrel[0]->m_objects[1].m_strPath, "/v/b.bin");
}

struct RejectCase
{
    const char* name;
    const char* xml;
};

TEST(ComparisonFileRead, UnsupportedDocumentsYieldNothing)
{
    const RejectCase cases[] = {
        {"not XML", "this is not xml"},
        {"unclosed", "<Comparisons Version=\"1.0.8\"><Comparison Type=\"Binary\">"},
        {"unknown version", "<Comparisons Version=\"1.0.9\"><Comparison Type=\"Binary\"/></Comparisons>"},
        {"version case", "<Comparisons Version=\"1.0.8 \"/>"},
        {"no version", "<Comparisons><Comparison Type=\"Binary\"/></Comparisons>"},
        {"oldest, wrong format", "<Quorvane Format=\"2.0\"><Project Type=\"BinaryFiles\"/></Quorvane>"},
        {"other root", "<Something/>"},
        {"empty", ""},
    };
    for (const auto& c : cases)
    {
        CComparisonFile::List list;
        std::string why;
        EXPECT_FALSE(CComparisonFile().LoadComparisonsFromText(c.xml, list, &why)) << c.name;
        EXPECT_TRUE(list.empty()) << c.name;
        EXPECT_FALSE(why.empty()) << c.name;
    }
}

TEST(ComparisonFileRead, MissingFileAndFolderAreReported)
{
    TempDir dir;
    CComparisonFile::List list;
    std::string why;
    EXPECT_FALSE(CComparisonFile().LoadComparisons(dir / "none.cmp", list, &why));
    EXPECT_NE(why.find("No such file"), std::string::npos) << why;
    EXPECT_FALSE(CComparisonFile().LoadComparisons(dir.Path(), list, &why));
    EXPECT_TRUE(list.empty());
}

TEST(ComparisonFileRead, SupportedFileWithoutUsableEntriesIsStillRead)
{
    CComparisonFile::List list;
    EXPECT_TRUE(CComparisonFile().LoadComparisonsFromText(
        "<Comparisons Version=\"1.0.8\"><Comparison Type=\"Nothing\"/><Other/></Comparisons>", list));
    EXPECT_TRUE(list.empty());
}

CComparisonFile::List SampleList()
{
    CComparisonFile::List list;
    auto folder = std::make_unique<CFolderCompareParams>();
    folder->m_objects[0] = {"/data/it's \"quoted\" & <tagged>", OBJECT_READONLY};
    folder->m_objects[1] = {"/data/non-UTF-8 \xff\xfe name", 0};
    folder->m_dwMethods = METHOD_CRC32 | METHOD_TYPE;
    folder->m_dwOptions = OPTION_AUTOSCANSUBFOLDERS;
    folder->m_tLastCompared = ParseDateTime("2023-11-12 13:14:15");
    CFileFilters& files = folder->m_filters.m_fileFilters;
    files.m_strInclude = "*.c;*.h";
    files.m_strExclude = "a\tb\nc";
    files.m_bMatchCase = 1;
    files.m_tFrom = ParseDateBound("2022-02-02");
    files.m_nMaxSize = 5ull << 32;
    files.m_dwExcludeAttributes = 0x27;
    files.m_dwExcludeTypes = 0x3;
    folder->m_filters.m_folderFilters.m_strExclude = ".git";
    folder->m_filters.m_folderFilters.m_dwExcludeAttributes = 0x2;
    list.push_back(std::move(folder));

    auto project = std::make_unique<CProjectCompareParams>();
    project->m_objects[0].m_strPath = "/p/a.sln";
    project->m_objects[1].m_strPath = "/p/b.sln";
    project->m_dwOptions = OPTION_AUTOSCANSUBFOLDERS;
    list.push_back(std::move(project));

    auto text = std::make_unique<CTextCompareParams>();
    text->m_objects[0].m_strPath = "/t/ä.txt";
    text->m_dwRules = RULE_IGNORECASE | RULE_IGNORECOMMENTS;
    text->m_strLineFilter = "^<!--.*-->$ & \"x\"";
    list.push_back(std::move(text));

    auto empty = std::make_unique<CTextCompareParams>();
    empty->m_dwRules = 0;
    list.push_back(std::move(empty));

    list.push_back(nullptr); // an empty slot is skipped
    auto binary = std::make_unique<CBinaryCompareParams>();
    binary->m_objects[1] = {"/b/2.bin", OBJECT_READONLY};
    list.push_back(std::move(binary));
    return list;
}

TEST(ComparisonFileWrite, RoundTripIsEqualAndWellFormed)
{
    TempDir dir;
    const auto saved = SampleList();
    ASSERT_TRUE(CComparisonFile().SaveComparisons(dir / "out.cmp", saved, -1));

    const std::string text = ReadFile(dir / "out.cmp");
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
    EXPECT_NE(text.find("<Comparisons Version=\"1.0.8\">"), std::string::npos);
    EXPECT_NE(text.find("Exclude=\"Text|Binary\""), std::string::npos);
    EXPECT_EQ(text.find('\xff'), std::string::npos) << "raw bytes would make the file ill-formed";
    tinyxml2::XMLDocument doc;
    EXPECT_EQ(doc.Parse(text.c_str(), text.size()), tinyxml2::XML_SUCCESS);

    CComparisonFile::List loaded;
    ASSERT_TRUE(CComparisonFile().LoadComparisons(dir / "out.cmp", loaded));
    ASSERT_EQ(loaded.size(), 5u);
    std::size_t i = 0;
    for (const auto& original : saved)
    {
        if (!original)
            continue;
        EXPECT_TRUE(loaded[i]->IsEqual(*original)) << "entry " << i;
        EXPECT_EQ(loaded[i]->m_tLastCompared, original->m_tLastCompared) << "entry " << i;
        ++i;
    }
    // Exact bytes survive, even those XML cannot carry as they are.
    EXPECT_EQ(loaded[0]->m_objects[1].m_strPath, "/data/non-UTF-8 \xff\xfe name");
    EXPECT_EQ(As<CFolderCompareParams>(loaded[0]).m_filters.m_fileFilters.m_strExclude, "a\tb\nc");
    EXPECT_EQ(As<CFolderCompareParams>(loaded[0]).m_filters.m_fileFilters.m_nMaxSize, 5ull << 32);
    EXPECT_EQ(As<CFolderCompareParams>(loaded[1]).m_dwOptions, OPTION_AUTOSCANSUBFOLDERS);
    EXPECT_TRUE(As<CTextCompareParams>(loaded[3]).m_strLineFilter.empty());
}

TEST(ComparisonFileWrite, TextWithoutLineFilterHasNoFiltersElement)
{
    TempDir dir;
    CComparisonFile::List list;
    list.push_back(std::make_unique<CTextCompareParams>());
    ASSERT_TRUE(CComparisonFile().SaveComparisons(dir / "t.cmp", list));
    const std::string text = ReadFile(dir / "t.cmp");
    EXPECT_EQ(text.find("<Filters"), std::string::npos);
    EXPECT_NE(text.find("LastComparedTime=\"\""), std::string::npos);
}

TEST(ComparisonFileWrite, MaximumCountLimitsTheEntries)
{
    TempDir dir;
    CComparisonFile::List list;
    for (int i = 0; i < 150; ++i)
    {
        auto binary = std::make_unique<CBinaryCompareParams>();
        binary->m_objects[0].m_strPath = "/f" + std::to_string(i);
        list.push_back(std::move(binary));
    }
    for (const auto& [limit, expected] : {std::pair{100, 100u}, {-1, 150u}, {0, 0u}})
    {
        ASSERT_TRUE(CComparisonFile().SaveComparisons(dir / "m.cmp", list, limit));
        CComparisonFile::List loaded;
        ASSERT_TRUE(CComparisonFile().LoadComparisons(dir / "m.cmp", loaded));
        ASSERT_EQ(loaded.size(), expected) << limit;
        if (expected > 0)
        {
            EXPECT_EQ(loaded.back()->m_objects[0].m_strPath, "/f" + std::to_string(expected - 1));
        }
    }
}

TEST(ComparisonFileWrite, FailedSaveKeepsThePreviousFile)
{
    if (testsupport::RunningAsRoot())
        GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "locked").c_str(), 0755), 0);
    WriteFile(dir / "locked/keep.cmp", "previous contents");
    ASSERT_EQ(chmod((dir / "locked").c_str(), 0555), 0);
    std::string why;
    EXPECT_FALSE(CComparisonFile().SaveComparisons(dir / "locked/keep.cmp", SampleList(), -1, &why));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(ReadFile(dir / "locked/keep.cmp"), "previous contents");
    chmod((dir / "locked").c_str(), 0755);
}

TEST(ComparisonFileWrite, FullDiskKeepsThePreviousFile)
{
    TempDir dir;
    const std::string previous(64, 'p');
    WriteFile(dir / "keep.cmp", previous);
    CComparisonFile::List list;
    for (int i = 0; i < 200; ++i)
        list.push_back(std::make_unique<CBinaryCompareParams>());
    // The child may write no more than 1 KiB to any file, as on a full disk.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1024, 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(CComparisonFile().SaveComparisons(dir / "keep.cmp", list) ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3) << "the save must report the failure";
    EXPECT_EQ(ReadFile(dir / "keep.cmp"), previous);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"keep.cmp"}) << "no temporary file is left behind";
}

TEST(ComparisonFileWrite, SaveOntoAFolderFailsAndKeepsIt)
{
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "taken.cmp").c_str(), 0755), 0);
    EXPECT_FALSE(CComparisonFile().SaveComparisons(dir / "taken.cmp", SampleList()));
    struct stat st{};
    ASSERT_EQ(stat((dir / "taken.cmp").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST(ComparisonFileWrite, ReplacingKeepsPermissionsAndLinks)
{
    TempDir dir;
    WriteFile(dir / "real.cmp", "old");
    ASSERT_EQ(chmod((dir / "real.cmp").c_str(), 0640), 0);
    ASSERT_EQ(symlink("real.cmp", (dir / "link.cmp").c_str()), 0);
    ASSERT_TRUE(CComparisonFile().SaveComparisons(dir / "link.cmp", SampleList()));
    struct stat st{};
    ASSERT_EQ(lstat((dir / "link.cmp").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat((dir / "real.cmp").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    CComparisonFile::List loaded;
    EXPECT_TRUE(CComparisonFile().LoadComparisons(dir / "real.cmp", loaded));
    EXPECT_EQ(loaded.size(), 5u);
}

TEST(ComparisonFile, ExtensionTest)
{
    EXPECT_TRUE(IsComparisonFile("/a/b.cmp"));
    EXPECT_TRUE(IsComparisonFile("B.CMP"));
    EXPECT_TRUE(IsComparisonFile("x.Cmp"));
    EXPECT_FALSE(IsComparisonFile("/a.cmp/b"));
    EXPECT_FALSE(IsComparisonFile("b.cmpx"));
    EXPECT_FALSE(IsComparisonFile("cmp"));
    EXPECT_FALSE(IsComparisonFile(""));
}

} // namespace
