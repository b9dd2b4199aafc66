#include "app/GeneralOptions.h"
#include "app/InstallDir.h"

#include "platform/ProgramPath.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using platform::Profile;
using platform::Registry;
using testsupport::TempDir;

namespace {

TEST(GeneralOptionsTest, FirstStartUsesTheDefaults)
{
    TempDir dir;
    Registry registry(dir.Path());
    Profile profile(registry);
    CGeneralOptions options;
    ASSERT_TRUE(options.LoadFromRegistry(profile));
    EXPECT_TRUE(options.m_bShowStartPage);
    EXPECT_TRUE(options.m_bWindowMaximized);
    EXPECT_TRUE(options.m_bShellCascaded);
    EXPECT_FALSE(options.m_bShellBackground);
    EXPECT_FALSE(options.m_bShowLongTitle);
    EXPECT_FALSE(options.m_bShowHorzMiniBar);
    EXPECT_TRUE(options.m_bShowVertMiniBar);
    EXPECT_TRUE(options.m_bFileWatch);
    EXPECT_EQ(options.m_nMaxMRU, 20);
    EXPECT_EQ(options.m_nMaxFiles, 10);
    EXPECT_EQ(options.m_nMaxComparisons, 100);
    EXPECT_EQ(options.m_nMaxPairs, 100);
    EXPECT_EQ(options.m_nWindowPosX, -1);
    EXPECT_EQ(options.m_nWindowSizeCY, -1);
    EXPECT_EQ(options.m_nMapBarSize, 56);
    EXPECT_EQ(options.m_nOutputBarSize, 104);
    EXPECT_EQ(options.m_nPanesOrientation, 1);
    EXPECT_TRUE(options.m_strExternalTextEditor.empty());
}

TEST(GeneralOptionsTest, EveryValueSurvivesARestartUnderItsOwnName)
{
    TempDir dir;
    {
        Registry registry(dir.Path());
        Profile profile(registry);
        CGeneralOptions options;
        options.m_bShowStartPage = false;
        options.m_bShowLongTitle = true;
        options.m_bFileWatch = false;
        options.m_bShellBackground = true;
        options.m_nMaxFiles = 3;
        options.m_nMaxMRU = 0;
        options.m_nWindowPosX = -20;
        options.m_strExternalTextEditor = "/usr/bin/my editor";
        ASSERT_TRUE(options.SaveToRegistry(profile));
        ASSERT_TRUE(registry.Flush());
    }
    Registry registry(dir.Path());
    Profile profile(registry);
    // The shared values are where other components look for them.
    EXPECT_EQ(profile.GetProfileInt("Comparisons\\FileComparison\\Settings", "FileWatch", 1), 0);
    EXPECT_EQ(profile.GetProfileInt("Integration\\Shell", "Background", 0), 1);
    EXPECT_EQ(profile.GetProfileInt("Integration\\Shell", "Cascaded", 0), 1);
    EXPECT_EQ(profile.GetProfileInt("Settings", "ShowLongTitle", 0), 1);
    EXPECT_EQ(profile.GetProfileString("Settings", "ExternalTextEditor"), "/usr/bin/my editor");

    CGeneralOptions options;
    ASSERT_TRUE(options.LoadFromRegistry(profile));
    EXPECT_FALSE(options.m_bShowStartPage);
    EXPECT_TRUE(options.m_bShowLongTitle);
    EXPECT_FALSE(options.m_bFileWatch);
    EXPECT_TRUE(options.m_bShellBackground);
    EXPECT_EQ(options.m_nMaxFiles, 3);
    EXPECT_EQ(options.m_nMaxMRU, 0);
    EXPECT_EQ(options.m_nWindowPosX, -20);
    EXPECT_EQ(options.m_strExternalTextEditor, "/usr/bin/my editor");
}

struct LimitCase
{
    const char* m_pszName;
    int m_nStored;
    int m_nRead;
};

TEST(GeneralOptionsTest, OutOfRangeValuesReadAsTheirDefaultsAndAreWrittenBackSo)
{
    const LimitCase cases[] = {
        {"MaxFiles", 20, 10},        {"MaxFiles", 15, 15},          {"MaxFiles", -1, 10},
        {"MaxMRU", 1001, 20},        {"MaxMRU", 1000, 1000},        {"MaxComparisons", 5000, 100},
        {"MaxPairs", -5, 100},       {"MapBarSize", 0, 56},         {"MapBarSize", -3, 56},
        {"OutputBarSize", 0, 104},   {"MapBarSize", 300, 300},
    };
    for (const LimitCase& c : cases)
    {
        TempDir dir;
        Registry registry(dir.Path());
        Profile profile(registry);
        profile.WriteProfileInt("Settings", c.m_pszName, c.m_nStored);
        CGeneralOptions options;
        options.LoadFromRegistry(profile);
        options.SaveToRegistry(profile);
        EXPECT_EQ(profile.GetProfileInt("Settings", c.m_pszName, -999), c.m_nRead) << c.m_pszName << " " << c.m_nStored;
    }
}

TEST(GeneralOptionsTest, BarSizesBeyondHalfTheScreenAreReplaced)
{
    TempDir dir;
    Registry registry(dir.Path());
    Profile profile(registry);
    profile.WriteProfileInt("Settings", "OutputBarSize", 600);
    profile.WriteProfileInt("Settings", "MapBarSize", 1000);
    CGeneralOptions options;
    options.LoadFromRegistry(profile, 1920, 1080);
    EXPECT_EQ(options.m_nOutputBarSize, 104);
    EXPECT_EQ(options.m_nMapBarSize, 56);

    profile.WriteProfileInt("Settings", "OutputBarSize", 500);
    profile.WriteProfileInt("Settings", "MapBarSize", 900);
    options.LoadFromRegistry(profile, 1920, 1080);
    EXPECT_EQ(options.m_nOutputBarSize, 500); // within half the height, whatever MapBarSize holds
    EXPECT_EQ(options.m_nMapBarSize, 900);
}

TEST(InstallDirTest, IsTheRunningProgramsFolderAndIsWrittenWhenMissingOrStale)
{
    TempDir dir;
    Registry registry(dir.Path());
    Profile profile(registry);
    const std::string expected = platform::RunningProgramFolder();
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ResolveInstallDir(profile), expected);
    EXPECT_EQ(profile.GetProfileString("", "InstallDir"), expected);

    profile.WriteProfileString("", "InstallDir", "/old/place");
    EXPECT_EQ(ResolveInstallDir(profile), expected);
    EXPECT_EQ(profile.GetProfileString("", "InstallDir"), expected);
}

} // namespace
