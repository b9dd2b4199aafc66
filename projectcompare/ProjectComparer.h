#pragma once

#include "app/RecentStrings.h"
#include "projectcompare/ProjectFactory.h"

#include <string>
#include <utility>
#include <vector>

// The display defaults of project comparisons and the groups of project types that pair as one.
struct CProjectCompareOptions
{
    static constexpr std::string_view kSettingsSection = "Comparisons\\FolderComparison\\ProjectComparison\\Settings";
    static constexpr std::string_view kMatchesSection =
        "Comparisons\\FolderComparison\\ProjectComparison\\Settings\\Matches";

    std::uint32_t m_dwColumns = 0xFFFF;
    std::uint32_t m_dwDisplayFilters = 0x333;
    std::vector<std::string> m_matchGroups{".vcproj;.dsp;.vcp", ".vbproj;.vbp"};
};

struct PROJECT_RECENT_SIZES
{
    int m_nFiles = 10;
    int m_nPairs = 100;
};

// The application's project types, project comparison options and recent project lists.
class CProjectComparer : public CProjectFactory, public CProjectCompareOptions
{
public:
    static constexpr std::string_view kRecentProjectsSection =
        "Comparisons\\FolderComparison\\ProjectComparison\\Recent\\Projects\\";
    static constexpr std::string_view kRecentPairsSection = "Comparisons\\FolderComparison\\ProjectComparison\\Recent\\Pairs";

    explicit CProjectComparer(const PROJECT_RECENT_SIZES& sizes = {});

    // Registers the types (with the enabled flags the user left), reads the options and the lists.
    void LoadOptions(const platform::Profile& profile);
    bool SaveOptions(platform::Profile& profile);

    // Same name without extension (in any case) and both extensions in one matching group.
    bool MatchProjectFiles(const std::string& path1, const std::string& path2) const;

    void AddRecentFile(int side, const std::string& path);
    void AddRecentPair(const std::string& left, const std::string& right);
    const CRecentStrings& RecentFiles(int side) const { return m_recentFiles[side == 0 ? 0 : 1]; }
    const std::vector<CRecentPairs::Pair>& RecentPairs() const { return m_recentPairs.Items(); }

private:
    CRecentStrings m_recentFiles[2];
    CRecentPairs m_recentPairs;
};
