#pragma once

#include "filesystem/FilterSettings.h"
#include "foldercompare/FolderCompareMethods.h"
#include "foldercompare/FolderCompareOptions.h"
#include "app/RecentStrings.h"

#include <string>
#include <utility>
#include <vector>

class CTextCompareOptions;

// The lengths of the recent lists, from the general options: "MaxMRU" for the per-field histories,
// "MaxPairs" for the folder pairs. A length of 0 keeps no list.
struct FOLDER_RECENT_SIZES
{
    int m_nHistory = 20;
    int m_nPairs = 100;
};

// The application's folder comparison settings: the options with their colours, the default filters
// and filter presets, and the recent lists of the folder comparison dialogs. (The report settings and
// writer are a further base of this object, added with the reports.)
class CFolderComparer : public CFolderCompareOptions
{
public:
    static constexpr std::string_view kRecentFindSection = "Comparisons\\FolderComparison\\Recent\\Find";
    static constexpr std::string_view kRecentFoldersSection =
        "Comparisons\\FolderComparison\\Recent\\Folders\\";
    static constexpr std::string_view kRecentFileIncludeSection =
        "Comparisons\\FolderComparison\\Recent\\Filters\\Files\\Include";
    static constexpr std::string_view kRecentFileExcludeSection =
        "Comparisons\\FolderComparison\\Recent\\Filters\\Files\\Exclude";
    static constexpr std::string_view kRecentFolderIncludeSection =
        "Comparisons\\FolderComparison\\Recent\\Filters\\Folders\\Include";
    static constexpr std::string_view kRecentFolderExcludeSection =
        "Comparisons\\FolderComparison\\Recent\\Filters\\Folders\\Exclude";
    static constexpr std::string_view kRecentPairsSection = "Comparisons\\FolderComparison\\Recent\\Pairs";
    // Recent folders are shown shortened to this many characters.
    static constexpr int kRecentFolderDisplayLength = 30;

    // The four filter histories.
    enum FilterList
    {
        FileInclude,
        FileExclude,
        FolderInclude,
        FolderExclude,
        FilterListCount
    };

    explicit CFolderComparer(const FOLDER_RECENT_SIZES& sizes = {});
    // Writes the recent lists to the profile the settings were loaded from.
    ~CFolderComparer() override;
    CFolderComparer(const CFolderComparer&) = delete;
    CFolderComparer& operator=(const CFolderComparer&) = delete;

    // Reads the options, the default filters and presets and the colours, then the recent lists; the
    // methods become the defaults of new folder definitions. `profile` must outlive this object, which
    // writes its recent lists there when it is destroyed.
    void LoadSettings(platform::Profile& profile, const std::vector<TEXT_TYPE_EXTENSIONS>& textTypes = {});
    // The options, default filters and presets, and colours (not the recent lists); the methods become
    // the defaults of new folder definitions, as the options pages apply them.
    bool SaveSettings(platform::Profile& profile) const;
    bool SaveRecentLists(platform::Profile& profile) const;
    // Makes the methods the defaults of new folder definitions (after the options pages change them).
    void PublishDefaults() const;

    // What the comparison methods read, with the text rules and line filter of the text settings.
    FOLDER_METHOD_SETTINGS GetMethodSettings(const CTextCompareOptions& textOptions) const;

    // A folder enters its side's list only when the text is not empty and the path exists.
    void AddRecentFolder(int side, const std::string& path);
    void AddRecentFilter(int list, const std::string& filter);
    void AddRecentFind(const std::string& text);
    void AddRecentPair(const std::string& left, const std::string& right);

    const CRecentStrings& RecentFolders(int side) const { return m_recentFolders[side == 0 ? 0 : 1]; }
    const CRecentStrings& RecentFilters(int list) const;
    const CRecentStrings& RecentFind() const { return m_recentFind; }
    const std::vector<CRecentPairs::Pair>& RecentPairs() const { return m_recentPairs.Items(); }

    CFilterSettings m_filterSettings;

private:
    CRecentStrings m_recentFind;
    CRecentStrings m_recentFolders[2];
    CRecentStrings m_recentFilters[FilterListCount];
    CRecentPairs m_recentPairs;
    platform::Profile* m_pProfile = nullptr; // where the recent lists go at destruction
};
