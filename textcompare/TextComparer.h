#pragma once

#include "app/RecentStrings.h"
#include "textcompare/TextCompareOptions.h"

#include <utility>

// The sizes of the recent lists, from the general options; 0 keeps no list.
struct TEXT_RECENT_SIZES
{
    int m_nFiles = 10;
    int m_nFilters = 10;
    int m_nPairs = 100;
};

// The application's text comparison settings with the recent files, filters and file pairs of the
// new-comparison dialog.
class CTextComparer : public CTextCompareOptions
{
public:
    static constexpr std::string_view kRecentFilesSection = "Comparisons\\FileComparison\\TextComparison\\Recent\\Files\\";
    static constexpr std::string_view kRecentFiltersSection = "Comparisons\\FileComparison\\TextComparison\\Recent\\Filters";
    static constexpr std::string_view kRecentPairsSection = "Comparisons\\FileComparison\\TextComparison\\Recent\\Pairs";
    // Recent paths are shown shortened to this many characters.
    static constexpr int kRecentFileDisplayLength = 30;

    explicit CTextComparer(const TEXT_RECENT_SIZES& sizes = {});

    void LoadFromRegistry(const platform::Profile& profile) override;
    // The recent lists, then the settings (what the comparer does at exit).
    bool SaveAll(platform::Profile& profile) const;

    // A path enters its side's list only when it is not empty and exists; a filter when not empty.
    void AddRecentFile(int side, const std::string& path);
    void AddRecentFilter(const std::string& filter);
    void AddRecentPair(const std::string& left, const std::string& right);

    const CRecentStrings& RecentFiles(int side) const { return m_recentFiles[side == 0 ? 0 : 1]; }
    const CRecentStrings& RecentFilters() const { return m_recentFilters; }
    const std::vector<CRecentPairs::Pair>& RecentPairs() const { return m_recentPairs.Items(); }

private:
    CRecentStrings m_recentFiles[2];
    CRecentStrings m_recentFilters;
    CRecentPairs m_recentPairs;
};
