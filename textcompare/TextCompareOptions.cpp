#include "textcompare/TextCompareOptions.h"

#include "definitions/CompareDefaults.h"
#include "definitions/CompareParams.h"
#include "platform/Profile.h"

#include <array>

namespace {

struct RULE_VALUE
{
    const char* name;
    std::uint32_t bit;
};

// The registry names of the rules ("IgnoreEOLs" here, "IgnoreEOL" in comparison files).
constexpr std::array<RULE_VALUE, 10> kRuleValues{{
    {"IgnoreAllSpace", RULE_IGNOREALLSPACE},
    {"IgnoreSpaceDifferences", RULE_IGNORESPACEDIFFERENCES},
    {"IgnoreTabExpansion", RULE_IGNORETABEXPANSION},
    {"IgnoreLeadingSpace", RULE_IGNORELEADINGSPACE},
    {"IgnoreTrailingSpace", RULE_IGNORETRAILINGSPACE},
    {"IgnoreCase", RULE_IGNORECASE},
    {"IgnoreEOLs", RULE_IGNOREEOL},
    {"IgnoreBlankLines", RULE_IGNOREBLANKLINES},
    {"IgnoreComments", RULE_IGNORECOMMENTS},
    {"IgnoreLinesMatchingFilter", RULE_IGNORELINESMATCHINGFILTER},
}};

struct BOOL_VALUE
{
    const char* name;
    bool CTextCompareOptions::*field;
};

constexpr std::array<BOOL_VALUE, 7> kBoolValues{{
    {"HighlightSyntax", &CTextCompareOptions::m_bHighlightSyntax},
    {"AutoRecompare", &CTextCompareOptions::m_bAutoRecompare},
    {"QuickMergeMode", &CTextCompareOptions::m_bQuickMergeMode},
    {"JumpToFirstDifference", &CTextCompareOptions::m_bJumpToFirstDifference},
    {"HighlightLineDifferences", &CTextCompareOptions::m_bHighlightLineDifferences},
    {"HighlightTrivialDifferences", &CTextCompareOptions::m_bHighlightTrivialDifferences},
    {"LineDifferenceFullTextSearch", &CTextCompareOptions::m_bLineDifferenceFullTextSearch},
}};

struct INT_VALUE
{
    const char* name;
    int CTextCompareOptions::*field;
    int low;
    int high;
};

constexpr std::array<INT_VALUE, 3> kIntValues{{
    {"DetailLevel", &CTextCompareOptions::m_nDetailLevel, 0, 1},
    {"WordBreak", &CTextCompareOptions::m_nWordBreak, 0, 2},
    {"DisplayFilters", &CTextCompareOptions::m_nDisplayFilters, 0, 0x7FFFFFFF},
}};

int InRange(int value, const INT_VALUE& entry, int fallback)
{
    return value >= entry.low && value <= entry.high ? value : fallback;
}

} // namespace

void CTextCompareOptions::LoadFromRegistry(const platform::Profile& profile)
{
    const CTextCompareOptions defaults;
    for (const auto& entry : kBoolValues)
        this->*entry.field = profile.GetProfileInt(kSettingsSection, entry.name, defaults.*entry.field ? 1 : 0) != 0;
    for (const auto& entry : kIntValues)
        this->*entry.field =
            InRange(profile.GetProfileInt(kSettingsSection, entry.name, defaults.*entry.field), entry, defaults.*entry.field);
    m_strCustomWordBreak = profile.GetProfileString(kSettingsSection, "CustomWordBreak", defaults.m_strCustomWordBreak);
    m_dwRules = 0;
    for (const auto& rule : kRuleValues)
        if (profile.GetProfileInt(kRulesSection, rule.name, (defaults.m_dwRules & rule.bit) ? 1 : 0) != 0)
            m_dwRules |= rule.bit;
    m_strLineFilter = profile.GetProfileString(kRulesSection, "LineFilter");
    LoadPresetLineFilters(profile);
    CurrentCompareDefaults().m_dwTextRules = m_dwRules;
    CurrentCompareDefaults().m_strTextLineFilter = m_strLineFilter;
}

bool CTextCompareOptions::SaveToRegistry(platform::Profile& profile) const
{
    const CTextCompareOptions defaults;
    bool ok = true;
    for (const auto& entry : kBoolValues)
        ok &= profile.WriteProfileInt(kSettingsSection, entry.name, this->*entry.field ? 1 : 0);
    for (const auto& entry : kIntValues)
        ok &= profile.WriteProfileInt(kSettingsSection, entry.name, InRange(this->*entry.field, entry, defaults.*entry.field));
    ok &= profile.WriteProfileString(kSettingsSection, "CustomWordBreak", m_strCustomWordBreak);
    for (const auto& rule : kRuleValues)
        ok &= profile.WriteProfileInt(kRulesSection, rule.name, (m_dwRules & rule.bit) ? 1 : 0);
    ok &= profile.WriteProfileString(kRulesSection, "LineFilter", m_strLineFilter);
    ok &= SavePresetLineFilters(profile);
    return ok;
}

void CTextCompareOptions::LoadPresetLineFilters(const platform::Profile& profile)
{
    m_presetLineFilters.clear();
    for (int i = 1;; ++i)
    {
        std::string filter = profile.GetProfileString(kPresetsSection, "Filter" + std::to_string(i));
        if (filter.empty())
            return;
        m_presetLineFilters.push_back({profile.GetProfileString(kPresetsSection, "Name" + std::to_string(i)), std::move(filter)});
    }
}

bool CTextCompareOptions::SavePresetLineFilters(platform::Profile& profile) const
{
    bool ok = true;
    int number = 0;
    for (const auto& preset : m_presetLineFilters)
    {
        if (preset.strFilter.empty())
            continue;
        ++number;
        ok &= profile.WriteProfileString(kPresetsSection, "Filter" + std::to_string(number), preset.strFilter);
        ok &= profile.WriteProfileString(kPresetsSection, "Name" + std::to_string(number), preset.strName);
    }
    // Higher numbers left from a longer list would be read back otherwise.
    platform::Registry& registry = profile.GetRegistry();
    const std::string key = profile.SectionKey(kPresetsSection);
    for (int i = number + 1;; ++i)
    {
        const bool had = registry.DeleteValue(platform::RegistryRoot::CurrentUser, key, "Filter" + std::to_string(i));
        registry.DeleteValue(platform::RegistryRoot::CurrentUser, key, "Name" + std::to_string(i));
        if (!had)
            break;
    }
    return ok;
}
