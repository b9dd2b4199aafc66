#include "foldercompare/FileComparer.h"

#include "platform/Profile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <thread>

using testsupport::TempDir;

namespace {

std::unique_ptr<CExternalTool> Tool(const char* name, const char* extensions,
                                    const char* command = "/bin/true", const char* arguments = "%1 %2")
{
    return std::make_unique<CExternalTool>(CExternalTool{name, extensions, command, arguments});
}

TEST(FileComparer, MatchingByCommonExtension)
{
    CFileComparer comparer;
    comparer.m_externalTools.push_back(Tool("cpp", ".cpp;.h"));
    comparer.m_externalTools.push_back(Tool("docs", ".doc;.txt"));
    struct
    {
        const char* left;
        const char* right;
        int expected;
    } cases[] = {
        {"/x/a.CPP", "/y/b.cpp", 0},
        {"/x/a.cpp", "/y/b.h", -1}, // both extensions listed, but they differ
        {"/x/a.c", "/y/b.c", 0},    // ".c" is found inside ".cpp": a plain substring search
        {"/x/a.txt", "/y/b.TXT", 1},
        {"/x/Makefile", "/y/README", 0}, // no extension on either side: "" is found in any text
        {"/x/a.tar.gz", "/y/b.gz", -1},
        {"/x.d/a", "/y.d/b", 0}, // a dot in a folder name is no extension
        {"/x/a.bin", "/y/b.bin", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(comparer.FindExternalTool(c.left, c.right), c.expected) << c.left << " " << c.right;
    EXPECT_EQ(CFileComparer().FindExternalTool("a", "b"), -1);
}

TEST(FileComparer, LoadSkipsIncompleteEntriesAndSaveReplacesTheList)
{
    TempDir dir;
    platform::Registry registry(dir.Path());
    platform::Profile profile(registry);
    const auto section = CFileComparer::kExternalToolsSection;
    const char* entries[][4] = {{"One", ".a", "/bin/one", "%1 %2"},
                                {"Broken", ".b", "", "%1 %2"}, // no command
                                {"Three", ".c", "/bin/three", "-x %2 %1"}};
    for (int n = 1; n <= 3; ++n)
    {
        const std::string k = std::to_string(n);
        profile.WriteProfileString(section, "Name" + k, entries[n - 1][0]);
        profile.WriteProfileString(section, "Extensions" + k, entries[n - 1][1]);
        profile.WriteProfileString(section, "Command" + k, entries[n - 1][2]);
        profile.WriteProfileString(section, "Arguments" + k, entries[n - 1][3]);
    }
    profile.WriteProfileString(section, "Name5", "AfterAGap"); // loading stops at the first missing name

    CFileComparer comparer;
    comparer.LoadExternalTools(profile);
    ASSERT_EQ(comparer.m_externalTools.size(), 2u);
    EXPECT_EQ(*comparer.m_externalTools[0], (CExternalTool{"One", ".a", "/bin/one", "%1 %2"}));
    EXPECT_EQ(*comparer.m_externalTools[1], (CExternalTool{"Three", ".c", "/bin/three", "-x %2 %1"}));

    comparer.m_externalTools.erase(comparer.m_externalTools.begin());
    ASSERT_TRUE(comparer.SaveExternalTools(profile));
    EXPECT_EQ(profile.GetProfileString(section, "Name1"), "Three");
    EXPECT_EQ(profile.GetProfileString(section, "Name2"), "");
    EXPECT_EQ(profile.GetProfileString(section, "Name5"), "");
    CFileComparer reloaded;
    reloaded.LoadExternalTools(profile);
    ASSERT_EQ(reloaded.m_externalTools.size(), 1u);
    EXPECT_EQ(reloaded.m_externalTools[0]->m_strCommand, "/bin/three");
}

TEST(FileComparer, ArgumentsKeepEachPathWhole)
{
    struct
    {
        const char* arguments;
        std::vector<std::string> expected;
    } cases[] = {
        {"%1 %2", {"tool", "/a b/l'x", "/r $(x);"}},
        {"\"%1\" \"%2\"", {"tool", "/a b/l'x", "/r $(x);"}}, // Windows-style quotes add nothing
        {"--left=%1 -R '%2'", {"tool", "--left=/a b/l'x", "-R", "/r $(x);"}},
        {"-L 'Left side' %1", {"tool", "-L", "Left side", "/a b/l'x"}},
        {"--no-paths", {"tool", "--no-paths"}},
        {"a\\ b \"q\\\"uote\" %%1", {"tool", "a b", "q\"uote", "%/a b/l'x"}},
        {"", {"tool"}},
    };
    for (const auto& c : cases)
    {
        const CExternalTool tool{"T", ".x", "tool", c.arguments};
        EXPECT_EQ(CFileComparer::BuildToolArguments(tool, "/a b/l'x", "/r $(x);"), c.expected) << c.arguments;
    }
}

TEST(FileComparer, RunStartsTheProgramOrReportsFailure)
{
    TempDir dir;
    testsupport::WriteFile(dir / "left file.txt", "from the left\n");
    CFileComparer comparer;
    comparer.m_externalTools.push_back(Tool("copy", ".txt", "/bin/cp", "%1 %2"));
    comparer.m_externalTools.push_back(Tool("missing", ".bin", "/nonexistent/program", "%1 %2"));
    const std::string target = dir / "right file.txt";
    ASSERT_EQ(comparer.RunExternalTool(dir / "left file.txt", target), 0);
    // The tool runs on its own; wait for its result.
    struct stat st
    {
    };
    for (int i = 0; i < 1000 && (::stat(target.c_str(), &st) != 0 || st.st_size != 14); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(testsupport::ReadFile(target), "from the left\n");

    EXPECT_EQ(comparer.RunExternalTool(dir / "a.bin", dir / "b.bin"), -1);
    EXPECT_EQ(comparer.RunExternalTool(dir / "a.none", dir / "b.none"), -1) << "no tool matches";
    EXPECT_EQ(comparer.RunExternalTool("a", "b", 7), -1);
}

} // namespace
