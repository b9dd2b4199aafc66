#include "textcompare/TextComparer.h"

#include "definitions/CompareDefaults.h"
#include "definitions/CompareParams.h"
#include "definitions/TextCompareParams.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::TempDir;

namespace {

TEST(TextCompareOptions, FirstStartUsesTheDefaults)
{
    TempDir dir;
    platform::Registry registry(dir.Path());
    platform::Profile profile(registry);
    CTextCompareOptions options;
    options.m_dwRules = 0;
    options.LoadFromRegistry(profile);
    EXPECT_EQ(options.m_dwRules, RULE_IGNOREEOL);
    EXPECT_TRUE(options.m_bHighlightSyntax);
    EXPECT_TRUE(options.m_bAutoRecompare);
    EXPECT_EQ(options.m_nDetailLevel, 1);
    EXPECT_EQ(options.m_nWordBreak, 1);
    EXPECT_EQ(options.m_strCustomWordBreak, ",;:.");
    EXPECT_TRUE(options.m_presetLineFilters.empty());
}

TEST(TextCompareOptions, RoundTripAndRangesAndRuleNames)
{
    TempDir dir;
    const COMPARE_DEFAULTS saved = CurrentCompareDefaults();
    {
        platform::Registry registry(dir.Path());
        platform::Profile profile(registry);
        CTextCompareOptions options;
        options.m_dwRules = RULE_IGNORECASE | RULE_IGNORETRAILINGSPACE;
        options.m_strLineFilter = "^\\(REM\\|#\\)";
        options.m_bQuickMergeMode = true;
        options.m_nDetailLevel = 0;
        options.m_nWordBreak = 2;
        options.m_strCustomWordBreak = ",";
        options.m_presetLineFilters = {{"Comments", "^#"}, {"Empty", ""}, {"Blank", "^$"}};
        ASSERT_TRUE(options.SaveToRegistry(profile));
        EXPECT_EQ(profile.GetProfileInt(CTextCompareOptions::kRulesSection, "IgnoreEOLs", 7), 0);
        EXPECT_EQ(profile.GetProfileInt(CTextCompareOptions::kRulesSection, "IgnoreCase", 7), 1);
        EXPECT_EQ(profile.GetProfileString(CTextCompareOptions::kPresetsSection, "Filter2"), "^$");
        profile.WriteProfileInt(CTextCompareOptions::kSettingsSection, "WordBreak", 9); // out of range
    }
    platform::Registry registry(dir.Path());
    platform::Profile profile(registry);
    CTextCompareOptions loaded;
    loaded.LoadFromRegistry(profile);
    EXPECT_EQ(loaded.m_dwRules, RULE_IGNORECASE | RULE_IGNORETRAILINGSPACE);
    EXPECT_EQ(loaded.m_strLineFilter, "^\\(REM\\|#\\)");
    EXPECT_TRUE(loaded.m_bQuickMergeMode);
    EXPECT_EQ(loaded.m_nDetailLevel, 0);
    EXPECT_EQ(loaded.m_nWordBreak, 1);
    EXPECT_EQ(loaded.m_presetLineFilters,
              (std::vector<PRESET_LINE_FILTER>{{"Comments", "^#"}, {"Blank", "^$"}}));
    // New text definitions start with the loaded rules.
    EXPECT_EQ(CTextCompareParams().m_dwRules, RULE_IGNORECASE | RULE_IGNORETRAILINGSPACE);
    CurrentCompareDefaults() = saved;
}

TEST(TextComparer, RecentListsKeepExistingPathsAndTheirLimits)
{
    TempDir dir;
    testsupport::WriteFile(dir / "a.txt", "a");
    testsupport::WriteFile(dir / "b.txt", "b");
    {
        platform::Registry registry(dir.Path() + "/settings");
        platform::Profile profile(registry);
        CTextComparer comparer({2, 2, 1});
        comparer.AddRecentFile(0, dir / "a.txt");
        comparer.AddRecentFile(0, dir / "missing.txt");
        comparer.AddRecentFile(0, "");
        comparer.AddRecentFile(0, dir / "b.txt");
        comparer.AddRecentFile(0, dir / "a.txt");
        comparer.AddRecentFilter("");
        comparer.AddRecentFilter("^#");
        comparer.AddRecentPair("/x", "/y");
        comparer.AddRecentPair("/p", "/q");
        EXPECT_EQ(comparer.RecentFiles(0).Items(), (std::vector<std::string>{dir / "a.txt", dir / "b.txt"}));
        ASSERT_TRUE(comparer.SaveAll(profile));
    }
    platform::Registry registry(dir.Path() + "/settings");
    platform::Profile profile(registry);
    CTextComparer loaded({2, 2, 1});
    loaded.LoadFromRegistry(profile);
    EXPECT_EQ(loaded.RecentFiles(0).Items(), (std::vector<std::string>{dir / "a.txt", dir / "b.txt"}));
    EXPECT_TRUE(loaded.RecentFiles(1).Items().empty());
    EXPECT_EQ(loaded.RecentFilters().Items(), std::vector<std::string>{"^#"});
    ASSERT_EQ(loaded.RecentPairs().size(), 1u);
    EXPECT_EQ(loaded.RecentPairs()[0], (std::pair<std::string, std::string>{"/p", "/q"}));
    EXPECT_EQ(profile.GetProfileString("Comparisons\\FileComparison\\TextComparison\\Recent\\Pairs", "Pair1.2"), "/q");

    CTextComparer none({0, 0, 0});
    none.AddRecentFilter("x");
    EXPECT_TRUE(none.RecentFilters().Items().empty());
}

} // namespace
