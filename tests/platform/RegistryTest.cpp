#include "platform/Profile.h"
#include "platform/Registry.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

using platform::Registry;
using platform::RegistryRoot;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

constexpr RegistryRoot HKCU = RegistryRoot::CurrentUser;

std::vector<std::string> FilesIn(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RegistryTest, ValuesSurviveARestart)
{
    TempDir dir;
    {
        Registry registry(dir.Path());
        platform::Profile profile(registry);
        EXPECT_TRUE(profile.WriteProfileInt("Settings", "MaxFiles", 7));
        EXPECT_TRUE(profile.WriteProfileInt("Settings", "WindowPosX", -1));
        EXPECT_TRUE(profile.WriteProfileString("", "InstallDir", "/opt/q \"x\"\\"));
        EXPECT_TRUE(registry.Flush());
    }
    const std::string text = ReadFile(dir / "HKEY_CURRENT_USER.reg");
    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\n", 0), 0u);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Melkwen\\Quorvane\\Settings]\n"), std::string::npos);
    EXPECT_NE(text.find("\"MaxFiles\"=dword:00000007\n"), std::string::npos);
    EXPECT_NE(text.find("\"InstallDir\"=\"/opt/q \\\"x\\\"\\\\\"\n"), std::string::npos);

    Registry again(dir.Path());
    platform::Profile profile(again);
    EXPECT_EQ(profile.GetProfileInt("Settings", "MaxFiles", 10), 7);
    EXPECT_EQ(profile.GetProfileInt("Settings", "WindowPosX", 0), -1);
    EXPECT_EQ(profile.GetProfileString("", "InstallDir"), "/opt/q \"x\"\\");
    EXPECT_EQ(profile.GetProfileInt("Settings", "Missing", 42), 42);
    EXPECT_EQ(profile.GetProfileString("Settings", "Missing", "dflt"), "dflt");
    // A value of the other type gives the default.
    EXPECT_EQ(profile.GetProfileInt("", "InstallDir", 5), 5);
}

TEST(RegistryTest, TwoProcessesKeepEachOthersChanges)
{
    TempDir dir;
    Registry first(dir.Path());
    Registry second(dir.Path());
    // Both have read the (empty) hive before either writes.
    EXPECT_FALSE(first.GetDword(HKCU, "S", "a").has_value());
    EXPECT_FALSE(second.GetDword(HKCU, "S", "b").has_value());
    first.SetDword(HKCU, "S", "a", 1);
    first.SetDword(HKCU, "S", "shared", 1);
    ASSERT_TRUE(first.Flush());
    second.SetDword(HKCU, "S", "b", 2);
    second.SetDword(HKCU, "S", "shared", 2);
    ASSERT_TRUE(second.Flush());

    Registry reader(dir.Path());
    EXPECT_EQ(reader.GetDword(HKCU, "S", "a"), 1u);
    EXPECT_EQ(reader.GetDword(HKCU, "S", "b"), 2u);
    EXPECT_EQ(reader.GetDword(HKCU, "S", "shared"), 2u); // the later writer wins for the same value
    // The second process now also sees the first one's value.
    EXPECT_EQ(second.GetDword(HKCU, "S", "a"), 1u);
}

TEST(RegistryTest, DeletionsAreMergedToo)
{
    TempDir dir;
    {
        Registry setup(dir.Path());
        setup.SetDword(HKCU, "S\\Old", "x", 1);
        setup.SetDword(HKCU, "S", "y", 1);
    }
    Registry first(dir.Path());
    Registry second(dir.Path());
    EXPECT_TRUE(first.DeleteKey(HKCU, "S\\Old"));
    ASSERT_TRUE(first.Flush());
    EXPECT_TRUE(second.DeleteValue(HKCU, "S", "y"));
    second.SetDword(HKCU, "S", "z", 3);
    ASSERT_TRUE(second.Flush());

    Registry reader(dir.Path());
    EXPECT_FALSE(reader.KeyExists(HKCU, "S\\Old"));
    EXPECT_FALSE(reader.GetDword(HKCU, "S", "y").has_value());
    EXPECT_EQ(reader.GetDword(HKCU, "S", "z"), 3u);
}

TEST(RegistryTest, UnchangedHiveIsNotRewritten)
{
    TempDir dir;
    const std::string original = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\S]\n\"x\"=dword:00000001\n";
    WriteFile(dir / "HKEY_CURRENT_USER.reg", original);
    {
        Registry registry(dir.Path());
        EXPECT_EQ(registry.GetDword(HKCU, "S", "x"), 1u);
        registry.SetDword(HKCU, "S", "x", 1); // same value: no change
    }
    EXPECT_EQ(ReadFile(dir / "HKEY_CURRENT_USER.reg"), original);
}

struct DamagedCase
{
    const char* m_pszName;
    std::string m_strText;
};

class RegistryDamagedHive : public ::testing::TestWithParam<DamagedCase>
{
};

TEST_P(RegistryDamagedHive, IsKeptAsideReportedAndReplaced)
{
    TempDir dir;
    WriteFile(dir / "HKEY_CURRENT_USER.reg", GetParam().m_strText);
    Registry registry(dir.Path());
    EXPECT_FALSE(registry.GetDword(HKCU, "S", "x").has_value());
    const auto problems = registry.TakeProblems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("is damaged"), std::string::npos) << problems[0];

    // The damaged bytes are kept under another name, never lost.
    const auto files = FilesIn(dir.Path());
    std::string aside;
    for (const auto& name : files)
        if (name.rfind("HKEY_CURRENT_USER.reg.corrupt-", 0) == 0)
            aside = name;
    ASSERT_FALSE(aside.empty());
    EXPECT_EQ(ReadFile(dir / aside), GetParam().m_strText);
    EXPECT_NE(problems[0].find(aside), std::string::npos);

    registry.SetDword(HKCU, "S", "x", 5);
    ASSERT_TRUE(registry.Flush());
    Registry again(dir.Path());
    EXPECT_EQ(again.GetDword(HKCU, "S", "x"), 5u);
    EXPECT_TRUE(again.TakeProblems().empty());
}

const DamagedCase kDamaged[] = {
    {"Garbage", std::string("\x00\x01\x02garbage\xff", 11)},
    {"Truncated", "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\S]\n\"x\"=\"unfinis"},
    {"CutInKey", "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\S"},
    {"Empty", ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, RegistryDamagedHive, ::testing::ValuesIn(kDamaged),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

TEST(RegistryTest, UnreadableHiveIsReportedAndNeverWrittenOver)
{
    TempDir dir;
    // A folder in place of the file cannot be read, even by root.
    ASSERT_EQ(mkdir((dir / "HKEY_CURRENT_USER.reg").c_str(), 0700), 0);
    WriteFile(dir / "HKEY_CURRENT_USER.reg/keep", "x");
    Registry registry(dir.Path());
    registry.SetDword(HKCU, "S", "x", 1);
    EXPECT_FALSE(registry.Flush());
    const auto problems = registry.TakeProblems();
    ASSERT_FALSE(problems.empty());
    EXPECT_NE(problems[0].find("cannot be read"), std::string::npos) << problems[0];
    EXPECT_EQ(ReadFile(dir / "HKEY_CURRENT_USER.reg/keep"), "x");
}

TEST(RegistryTest, EachRootHasItsOwnFile)
{
    TempDir dir;
    {
        Registry registry(dir.Path());
        registry.SetString(RegistryRoot::ClassesRoot, "*\\ShellEx\\ContextMenuHandlers\\Quorvane", "", "{x}");
        registry.SetDword(HKCU, "S", "x", 1);
    }
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"HKEY_CLASSES_ROOT.reg", "HKEY_CLASSES_ROOT.reg.lock",
                                                             "HKEY_CURRENT_USER.reg", "HKEY_CURRENT_USER.reg.lock"}));
    EXPECT_NE(ReadFile(dir / "HKEY_CLASSES_ROOT.reg").find("[HKEY_CLASSES_ROOT\\*\\ShellEx\\ContextMenuHandlers\\Quorvane]\n@=\"{x}\""),
              std::string::npos);
}

TEST(RegistryTest, NamesThatCannotBeStoredAreRefused)
{
    TempDir dir;
    Registry registry(dir.Path());
    EXPECT_FALSE(registry.SetDword(HKCU, "S\nT", "x", 1));
    EXPECT_FALSE(registry.SetDword(HKCU, "S", "x\ny", 1));
    EXPECT_FALSE(registry.SetDword(HKCU, "S]", "x", 1));
    EXPECT_FALSE(registry.KeyExists(HKCU, "S"));
}

TEST(RegistryTest, DefaultDirectoryFollowsTheEnvironment)
{
    {
        testsupport::ScopedEnv dir("QUORVANE_REGISTRY_DIR", "/x/y");
        EXPECT_EQ(Registry::DefaultDirectory(), "/x/y");
    }
    testsupport::ScopedEnv noOverride("QUORVANE_REGISTRY_DIR", "");
    testsupport::ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(Registry::DefaultDirectory(), "/cfg/Melkwen/Quorvane");
}

} // namespace
