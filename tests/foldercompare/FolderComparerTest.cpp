#include "foldercompare/FolderComparer.h"

#include "definitions/CompareDefaults.h"
#include "definitions/CompareParams.h"
#include "definitions/FolderCompareParams.h"
#include "platform/Profile.h"
#include "platform/Regex.h"
#include "support/TestSupport.h"
#include "textcompare/TextCompareOptions.h"

#include <gtest/gtest.h>

using testsupport::TempDir;

namespace {

// Restores the process-wide defaults of new definitions after a test that loads settings.
class DefaultsGuard
{
public:
    DefaultsGuard() : m_saved(CurrentCompareDefaults()) {}
    ~DefaultsGuard() { CurrentCompareDefaults() = m_saved; }

private:
    COMPARE_DEFAULTS m_saved;
};

TEST(FolderCompareColors, PresetsAndMatching)
{
    CFolderCompareColors colors(0x123456);
    EXPECT_EQ(colors.GetMatchingPreset(), CFolderCompareColors::kPresetDetailed);
    const CFolderCompareColors::Colors detailed = {0x123456, 0xF0FFFF, 0xDDFFE0, 0xE0E0FF, 0x0000FF, 0xFFFFE0,
                                                   0xFF0000, 0xFFE0E0, 0xF0F0F0, 0x808080, 0xF0F0F0};
    const CFolderCompareColors::Colors concise = {0x123456, 0xF0FFFF, 0xFFFFFF, 0xF0CAA6, 0x0000FF, 0xFFFFFF,
                                                  0xFF0000, 0xC0DCC0, 0xF0F0F0, 0x808080, 0xF0F0F0};
    EXPECT_EQ(colors.GetColors(), detailed);
    colors.SetPreset(CFolderCompareColors::kPresetConcise);
    EXPECT_EQ(colors.GetColors(), concise);
    EXPECT_EQ(colors.GetMatchingPreset(), CFolderCompareColors::kPresetConcise);
    colors.SetColor(10, 0x000001);
    EXPECT_EQ(colors.GetMatchingPreset(), -1);
    EXPECT_EQ(CFolderCompareColors::PresetName(0), "Concise Style");
    EXPECT_EQ(CFolderCompareColors::PresetName(1), "Detailed Style (Default)");
}

TEST(FolderCompareColors, StoredColorsAreReadOnlyWithACountOfEleven)
{
    TempDir dir;
    platform::Registry registry(dir.Path());
    platform::Profile profile(registry);
    CFolderCompareColors saved;
    saved.SetColor(3, 0xABCDEF);
    ASSERT_TRUE(saved.SaveColors(profile));
    EXPECT_EQ(profile.GetProfileInt(CFolderCompareColors::kColorsSection, "Count", 0), 11);
    EXPECT_EQ(profile.GetProfileInt(CFolderCompareColors::kColorsSection, "Color4", 0), 0xABCDEF);

    CFolderCompareColors loaded;
    loaded.LoadColors(profile);
    EXPECT_EQ(loaded.GetColors(), saved.GetColors());

    profile.WriteProfileInt(CFolderCompareColors::kColorsSection, "Count", 10);
    CFolderCompareColors ignored;
    ignored.LoadColors(profile);
    EXPECT_EQ(ignored.GetMatchingPreset(), CFolderCompareColors::kPresetDetailed);
}

TEST(FolderCompareOptions, FirstStartUsesTheDefaults)
{
    TempDir dir;
    platform::Registry registry(dir.Path());
    platform::Profile profile(registry);
    CFolderCompareOptions options;
    options.m_dwMethods = 0;
    options.m_nTimeTolerance = 9;
    options.LoadOptions(profile);
    EXPECT_EQ(options.m_dwMethods, METHOD_LMTIME | METHOD_SIZE);
    EXPECT_FALSE(options.m_bQuickMergeMode);
    EXPECT_FALSE(options.m_bAutoScanFolders);
    EXPECT_TRUE(options.GetIgnoreFolderDifferences());
    EXPECT_EQ(options.GetTimeTolerance(), 2);
    EXPECT_FALSE(options.HasFont());
    EXPECT_FALSE(options.m_bShowGridLines);
    EXPECT_TRUE(options.m_bShowShellCommands);
    EXPECT_FALSE(options.m_bFolderWatch);
    EXPECT_EQ(options.m_dwShowColumns, 0xFFFFu);
    EXPECT_EQ(options.m_dwDisplayFilters, 819u);
    EXPECT_EQ(options.m_columnWidths, CFolderCompareOptions::DefaultColumnWidths());
    EXPECT_EQ(options.GetMatchingPreset(), CFolderCompareColors::kPresetDetailed);
}

TEST(FolderCompareOptions, ColumnWidthNamesAndDefaults)
{
    using O = CFolderCompareOptions;
    EXPECT_EQ(O::ColumnWidthValueName(O::ColumnName, O::LeftPane), "WidthName1");
    EXPECT_EQ(O::ColumnWidthValueName(O::ColumnLMTime, O::DetailView), "WidthLMTimeDV");
    EXPECT_EQ(O::ColumnWidthValueName(O::ColumnFolder, O::RightPane), "WidthFolder2");
    EXPECT_EQ(O::ColumnWidthValueName(O::ColumnCount, O::LeftPane), "");
    const O::ColumnWidths widths = O::DefaultColumnWidths();
    const int expected[O::ColumnCount][O::WidthSetCount] = {{128, 128, 128}, {60, 60, 60}, {120, 120, 128},
                                                            {40, 40, 40},    {40, 40, 40}, {60, 60, 60},
                                                            {72, 72, 72},    {60, 60, 60}, {192, 192, 188}};
    for (int c = 0; c < O::ColumnCount; ++c)
        for (int s = 0; s < O::WidthSetCount; ++s)
            EXPECT_EQ(widths[static_cast<std::size_t>(c)][static_cast<std::size_t>(s)], expected[c][s])
                << O::ColumnWidthValueName(c, s);
}

TEST(FolderCompareOptions, RoundTripWithRegistryNames)
{
    TempDir dir;
    {
        platform::Registry registry(dir.Path());
        platform::Profile profile(registry);
        CFolderCompareOptions options;
        options.m_dwMethods = METHOD_CRC32 | METHOD_ATTRIBUTES | METHOD_TEXT;
        options.m_bQuickMergeMode = true;
        options.m_bAutoScanFolders = true;
        options.m_bIgnoreFolderDifferences = false;
        options.m_nTimeTolerance = 0;
        options.m_font = {"DejaVu Sans Mono", -12, 700, true, 0};
        options.m_bShowGridLines = true;
        options.m_bFolderWatch = true;
        options.m_dwShowColumns = 0x15;
        options.m_dwDisplayFilters = 0x110;
        options.m_columnWidths[CFolderCompareOptions::ColumnCRC][CFolderCompareOptions::DetailView] = 99;
        options.SetPreset(CFolderCompareColors::kPresetConcise);
        ASSERT_TRUE(options.SaveOptions(profile));

        using O = CFolderCompareOptions;
        EXPECT_EQ(profile.GetProfileInt(O::kDefaultMethodsSection, "CompareCRC", 7), 1);
        EXPECT_EQ(profile.GetProfileInt(O::kDefaultMethodsSection, "CompareLMTime", 7), 0);
        EXPECT_EQ(profile.GetProfileInt(O::kDefaultMethodsSection, "CompareAsText", 7), 1);
        EXPECT_EQ(profile.GetProfileInt(O::kMethodsSection, "AutoScanFolders", 7), 1);
        EXPECT_EQ(profile.GetProfileInt(O::kMethodsSection, "SmallTimeToIgnore", 7), 0);
        EXPECT_EQ(profile.GetProfileString(O::kSettingsSection, "Font"), "DejaVu Sans Mono|-12|700|1|0");
        EXPECT_EQ(profile.GetProfileInt(O::kSettingsSection, "DisplayFilters", 7), 0x110);
        EXPECT_EQ(profile.GetProfileInt(O::kColumnsSection, "WidthCRCDV", 7), 99);
    }
    platform::Registry registry(dir.Path());
    platform::Profile profile(registry);
    CFolderCompareOptions loaded;
    loaded.LoadOptions(profile);
    EXPECT_EQ(loaded.m_dwMethods, METHOD_CRC32 | METHOD_ATTRIBUTES | METHOD_TEXT);
    EXPECT_TRUE(loaded.m_bQuickMergeMode);
    EXPECT_TRUE(loaded.m_bAutoScanFolders);
    EXPECT_FALSE(loaded.GetIgnoreFolderDifferences());
    EXPECT_EQ(loaded.GetTimeTolerance(), 0);
    EXPECT_EQ(loaded.m_font, (FOLDER_VIEW_FONT{"DejaVu Sans Mono", -12, 700, true, 0}));
    EXPECT_TRUE(loaded.m_bShowGridLines);
    EXPECT_TRUE(loaded.m_bFolderWatch);
    EXPECT_EQ(loaded.m_dwShowColumns, 0x15u);
    EXPECT_EQ(loaded.m_dwDisplayFilters, 0x110u);
    EXPECT_EQ(loaded.m_columnWidths[CFolderCompareOptions::ColumnCRC][CFolderCompareOptions::DetailView], 99);
    EXPECT_EQ(loaded.GetMatchingPreset(), CFolderCompareColors::kPresetConcise);
}

TEST(FolderCompareOptions, NegativeToleranceIsReadAsTwoSeconds)
{
    TempDir dir;
    platform::Registry registry(dir.Path());
    platform::Profile profile(registry);
    profile.WriteProfileInt(CFolderCompareOptions::kMethodsSection, "SmallTimeToIgnore", -5);
    CFolderCompareOptions options;
    options.LoadOptions(profile);
    EXPECT_EQ(options.GetTimeTolerance(), 2);
    profile.WriteProfileInt(CFolderCompareOptions::kMethodsSection, "SmallTimeToIgnore", 30);
    options.LoadOptions(profile);
    EXPECT_EQ(options.GetTimeTolerance(), 30);
}

TEST(FolderCompareOptions, FontText)
{
    struct
    {
        const char* text;
        bool ok;
        FOLDER_VIEW_FONT font;
    } cases[] = {
        {"Courier New|-13|400|0|0", true, {"Courier New", -13, 400, false, 0}},
        {"Courier New", true, {"Courier New", 14, 400, false, 1}}, // missing parts take the assumed values
        {"Mono|10", true, {"Mono", 10, 400, false, 1}},
        {"Mono|10|700|1", true, {"Mono", 10, 700, true, 1}},
        {"", false, {}},
        {"|10|400|0|0", false, {}}, // no face name
        {"Mono|ten", false, {}},
        {"Mono|10|400|0|0|9", false, {}},
        {"Mono|", false, {}},
    };
    for (const auto& c : cases)
    {
        FOLDER_VIEW_FONT font{"unchanged", 1, 2, true, 3};
        EXPECT_EQ(CFolderCompareOptions::ParseFontText(c.text, font), c.ok) << c.text;
        if (c.ok)
            EXPECT_EQ(font, c.font) << c.text;
        else
            EXPECT_EQ(font, (FOLDER_VIEW_FONT{"unchanged", 1, 2, true, 3})) << c.text;
    }
}

TEST(FolderComparer, LoadSettingsPublishesTheDefaultMethods)
{
    DefaultsGuard guard;
    TempDir dir;
    platform::Registry registry(dir.Path());
    platform::Profile profile(registry);
    profile.WriteProfileInt(CFolderCompareOptions::kDefaultMethodsSection, "CompareLMTime", 0);
    profile.WriteProfileInt(CFolderCompareOptions::kDefaultMethodsSection, "CompareAsBinary", 1);
    CFolderComparer comparer;
    comparer.LoadSettings(profile);
    EXPECT_EQ(CurrentCompareDefaults().m_dwFolderMethods, METHOD_SIZE | METHOD_BINARY);
    EXPECT_EQ(CFolderCompareParams().m_dwMethods, METHOD_SIZE | METHOD_BINARY);

    // The options pages apply their changes by saving them.
    comparer.m_dwMethods = METHOD_CRC32;
    ASSERT_TRUE(comparer.SaveSettings(profile));
    EXPECT_EQ(CFolderCompareParams().m_dwMethods, METHOD_CRC32);
}

TEST(FolderComparer, MethodSettingsCarryTheFolderRuleAndTextRules)
{
    CFolderComparer comparer;
    comparer.m_bIgnoreFolderDifferences = false;
    comparer.m_nTimeTolerance = 7;
    CTextCompareOptions text;
    text.m_dwRules = RULE_IGNORECASE | RULE_IGNORELINESMATCHINGFILTER;
    text.m_strLineFilter = "^//";
    const FOLDER_METHOD_SETTINGS settings = comparer.GetMethodSettings(text);
    EXPECT_FALSE(settings.m_bIgnoreFolderDifferences);
    EXPECT_EQ(settings.m_nTimeTolerance, 7);
    EXPECT_EQ(settings.m_dwTextRules, RULE_IGNORECASE | RULE_IGNORELINESMATCHINGFILTER);
    ASSERT_NE(settings.m_lineFilter, nullptr);
    EXPECT_TRUE(settings.m_lineFilter->Search("// a comment"));
    EXPECT_FALSE(settings.m_lineFilter->Search("code"));
}

TEST(FolderComparer, RecentListsAreWrittenWhenDestroyed)
{
    DefaultsGuard guard;
    TempDir dir, existing;
    {
        platform::Registry registry(dir.Path());
        platform::Profile profile(registry);
        CFolderComparer comparer(FOLDER_RECENT_SIZES{3, 2});
        comparer.LoadSettings(profile);
        comparer.AddRecentFolder(0, existing.Path());
        comparer.AddRecentFolder(0, existing / "missing"); // does not exist: not entered
        comparer.AddRecentFolder(1, "");
        comparer.AddRecentFilter(CFolderComparer::FileExclude, "*.o");
        comparer.AddRecentFind("needle");
        for (const char* name : {"a", "b", "c"})
            comparer.AddRecentPair(std::string("/l/") + name, std::string("/r/") + name);
        EXPECT_EQ(comparer.RecentFolders(0).Items(), std::vector<std::string>{existing.Path()});
        EXPECT_TRUE(comparer.RecentFolders(1).Items().empty());
        ASSERT_EQ(comparer.RecentPairs().size(), 2u);
        EXPECT_EQ(comparer.RecentPairs().front().first, "/l/c");
        registry.Flush();
        EXPECT_EQ(profile.GetProfileString(CFolderComparer::kRecentPairsSection, "Pair1.1"), "")
            << "nothing is written before the settings object goes";
    }
    platform::Registry registry(dir.Path());
    platform::Profile profile(registry);
    EXPECT_EQ(profile.GetProfileString("Comparisons\\FolderComparison\\Recent\\Folders\\1", "Folder1"),
              existing.Path());
    EXPECT_EQ(profile.GetProfileString(CFolderComparer::kRecentFileExcludeSection, "Filter1"), "*.o");
    EXPECT_EQ(profile.GetProfileString(CFolderComparer::kRecentFindSection, "String1"), "needle");
    EXPECT_EQ(profile.GetProfileString(CFolderComparer::kRecentPairsSection, "Pair1.1"), "/l/c");
    EXPECT_EQ(profile.GetProfileString(CFolderComparer::kRecentPairsSection, "Pair2.2"), "/r/b");

    CFolderComparer reloaded(FOLDER_RECENT_SIZES{3, 2});
    reloaded.LoadSettings(profile);
    EXPECT_EQ(reloaded.RecentFilters(CFolderComparer::FileExclude).Items(), std::vector<std::string>{"*.o"});
    ASSERT_EQ(reloaded.RecentPairs().size(), 2u);
    EXPECT_EQ(reloaded.RecentPairs()[1], (std::pair<std::string, std::string>("/l/b", "/r/b")));
}

TEST(FolderComparer, ListsOfSizeZeroAreNotKept)
{
    DefaultsGuard guard;
    TempDir dir, existing;
    platform::Registry registry(dir.Path());
    platform::Profile profile(registry);
    CFolderComparer comparer(FOLDER_RECENT_SIZES{0, 0});
    comparer.AddRecentFolder(0, existing.Path());
    comparer.AddRecentPair("/a", "/b");
    EXPECT_TRUE(comparer.RecentFolders(0).Items().empty());
    EXPECT_TRUE(comparer.RecentPairs().empty());
}

TEST(FolderComparer, ShorterPairListLeavesNoStaleEntries)
{
    DefaultsGuard guard;
    TempDir dir;
    platform::Registry registry(dir.Path());
    platform::Profile profile(registry);
    for (int i = 1; i <= 3; ++i)
    {
        profile.WriteProfileString(CFolderComparer::kRecentPairsSection, "Pair" + std::to_string(i) + ".1",
                                   "l");
        profile.WriteProfileString(CFolderComparer::kRecentPairsSection, "Pair" + std::to_string(i) + ".2",
                                   "r");
    }
    CFolderComparer comparer(FOLDER_RECENT_SIZES{5, 5});
    comparer.AddRecentPair("/x", "/y");
    ASSERT_TRUE(comparer.SaveRecentLists(profile));
    CFolderComparer reloaded(FOLDER_RECENT_SIZES{5, 5});
    reloaded.LoadSettings(profile);
    ASSERT_EQ(reloaded.RecentPairs().size(), 1u);
    EXPECT_EQ(reloaded.RecentPairs()[0].first, "/x");
}

} // namespace
