#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Profile;
}

// A named line filter the user saved.
struct PRESET_LINE_FILTER
{
    std::string strName;
    std::string strFilter;

    bool operator==(const PRESET_LINE_FILTER&) const = default;
};

// The text comparison settings with the user's default rules, and their registry storage.
class CTextCompareOptions
{
public:
    static constexpr std::string_view kSettingsSection = "Comparisons\\FileComparison\\TextComparison\\Settings";
    static constexpr std::string_view kRulesSection =
        "Comparisons\\FileComparison\\TextComparison\\Settings\\Rules\\Default";
    static constexpr std::string_view kPresetsSection =
        "Comparisons\\FileComparison\\TextComparison\\Settings\\Rules\\Preset\\LineFilters";

    virtual ~CTextCompareOptions() = default;

    // Missing or out-of-range values keep their defaults. The rules become the defaults of new
    // text definitions.
    virtual void LoadFromRegistry(const platform::Profile& profile);
    virtual bool SaveToRegistry(platform::Profile& profile) const;
    void LoadPresetLineFilters(const platform::Profile& profile);
    bool SavePresetLineFilters(platform::Profile& profile) const;

    bool m_bHighlightSyntax = true;
    bool m_bKeepOwnLineEnds = false; // not stored: set for the run once a file with mixed line ends loads
    bool m_bAutoRecompare = true;
    bool m_bQuickMergeMode = false;
    bool m_bJumpToFirstDifference = false;
    std::uint32_t m_dwRules = 0x20000; // line ends ignored
    std::string m_strLineFilter;
    bool m_bHighlightLineDifferences = true;
    int m_nDetailLevel = 1; // 0 word, 1 character
    int m_nWordBreak = 1;   // 0 white space, 1 and punctuation, 2 and the custom characters
    std::string m_strCustomWordBreak = ",;:.";
    bool m_bHighlightTrivialDifferences = true;
    int m_nDisplayFilters = 0;
    bool m_bLineDifferenceFullTextSearch = false;
    std::vector<PRESET_LINE_FILTER> m_presetLineFilters;
};
