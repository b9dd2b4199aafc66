#include "foldercompare/FolderComparer.h"

#include "definitions/CompareDefaults.h"
#include "platform/Profile.h"
#include "textcompare/TextCompareOptions.h"

#include <algorithm>
#include <sys/stat.h>

CFolderComparer::CFolderComparer(const FOLDER_RECENT_SIZES& sizes)
    : m_recentFind(std::string(kRecentFindSection), "String", sizes.m_nHistory),
      m_recentFolders{CRecentStrings(std::string(kRecentFoldersSection) + "1", "Folder", sizes.m_nHistory),
                      CRecentStrings(std::string(kRecentFoldersSection) + "2", "Folder", sizes.m_nHistory)},
      m_recentFilters{CRecentStrings(std::string(kRecentFileIncludeSection), "Filter", sizes.m_nHistory),
                      CRecentStrings(std::string(kRecentFileExcludeSection), "Filter", sizes.m_nHistory),
                      CRecentStrings(std::string(kRecentFolderIncludeSection), "Filter", sizes.m_nHistory),
                      CRecentStrings(std::string(kRecentFolderExcludeSection), "Filter", sizes.m_nHistory)},
      m_recentPairs(std::string(kRecentPairsSection), sizes.m_nPairs)
{
}

CFolderComparer::~CFolderComparer()
{
    if (m_pProfile)
        SaveRecentLists(*m_pProfile);
}

void CFolderComparer::LoadSettings(platform::Profile& profile,
                                   const std::vector<TEXT_TYPE_EXTENSIONS>& textTypes)
{
    LoadOptions(profile);
    m_filterSettings.Load(profile, textTypes);
    PublishDefaults();

    m_recentFind.Load(profile);
    for (auto& list : m_recentFolders)
        list.Load(profile);
    for (auto& list : m_recentFilters)
        list.Load(profile);
    m_recentPairs.Load(profile);
    m_pProfile = &profile;
}

bool CFolderComparer::SaveSettings(platform::Profile& profile) const
{
    PublishDefaults();
    const bool ok = SaveOptions(profile);
    return m_filterSettings.Save(profile) && ok;
}

bool CFolderComparer::SaveRecentLists(platform::Profile& profile) const
{
    bool ok = m_recentFind.Save(profile);
    for (const auto& list : m_recentFolders)
        ok &= list.Save(profile);
    for (const auto& list : m_recentFilters)
        ok &= list.Save(profile);
    ok &= m_recentPairs.Save(profile);
    return ok;
}

void CFolderComparer::PublishDefaults() const
{
    CurrentCompareDefaults().m_dwFolderMethods = m_dwMethods;
}

FOLDER_METHOD_SETTINGS CFolderComparer::GetMethodSettings(const CTextCompareOptions& textOptions) const
{
    FOLDER_METHOD_SETTINGS settings;
    settings.m_bIgnoreFolderDifferences = GetIgnoreFolderDifferences();
    settings.m_nTimeTolerance = GetTimeTolerance();
    settings.SetTextRules(textOptions.m_dwRules, textOptions.m_strLineFilter);
    return settings;
}

void CFolderComparer::AddRecentFolder(int side, const std::string& path)
{
    struct stat st
    {
    };
    if (!path.empty() && ::stat(path.c_str(), &st) == 0)
        m_recentFolders[side == 0 ? 0 : 1].Add(path);
}

void CFolderComparer::AddRecentFilter(int list, const std::string& filter)
{
    if (list >= 0 && list < FilterListCount)
        m_recentFilters[list].Add(filter);
}

void CFolderComparer::AddRecentFind(const std::string& text)
{
    m_recentFind.Add(text);
}

void CFolderComparer::AddRecentPair(const std::string& left, const std::string& right)
{
    m_recentPairs.Add(left, right);
}

const CRecentStrings& CFolderComparer::RecentFilters(int list) const
{
    return m_recentFilters[list >= 0 && list < FilterListCount ? list : 0];
}
