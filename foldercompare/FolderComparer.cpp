#include "foldercompare/FolderComparer.h"

#include "definitions/CompareDefaults.h"
#include "platform/Profile.h"
#include "textcompare/TextCompareOptions.h"

#include <algorithm>
#include <sys/stat.h>

namespace {

std::string PairValue(int number, int side)
{
    return "Pair" + std::to_string(number) + "." + std::to_string(side);
}

} // namespace

CFolderComparer::CFolderComparer(const FOLDER_RECENT_SIZES& sizes)
    : m_recentFind(std::string(kRecentFindSection), "String", sizes.m_nHistory),
      m_recentFolders{CRecentStrings(std::string(kRecentFoldersSection) + "1", "Folder", sizes.m_nHistory),
                      CRecentStrings(std::string(kRecentFoldersSection) + "2", "Folder", sizes.m_nHistory)},
      m_recentFilters{CRecentStrings(std::string(kRecentFileIncludeSection), "Filter", sizes.m_nHistory),
                      CRecentStrings(std::string(kRecentFileExcludeSection), "Filter", sizes.m_nHistory),
                      CRecentStrings(std::string(kRecentFolderIncludeSection), "Filter", sizes.m_nHistory),
                      CRecentStrings(std::string(kRecentFolderExcludeSection), "Filter", sizes.m_nHistory)},
      m_nMaxPairs(std::max(sizes.m_nPairs, 0))
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
    m_recentPairs.clear();
    for (int i = 1; static_cast<int>(m_recentPairs.size()) < m_nMaxPairs; ++i)
    {
        std::string left = profile.GetProfileString(kRecentPairsSection, PairValue(i, 1));
        std::string right = profile.GetProfileString(kRecentPairsSection, PairValue(i, 2));
        if (left.empty() && right.empty())
            break;
        m_recentPairs.emplace_back(std::move(left), std::move(right));
    }
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
    if (m_nMaxPairs == 0)
        return ok;
    int number = 0;
    for (const auto& [left, right] : m_recentPairs)
    {
        ++number;
        ok &= profile.WriteProfileString(kRecentPairsSection, PairValue(number, 1), left);
        ok &= profile.WriteProfileString(kRecentPairsSection, PairValue(number, 2), right);
    }
    // A longer list saved before would otherwise come back with its old tail.
    platform::Registry& registry = profile.GetRegistry();
    const std::string key = profile.SectionKey(kRecentPairsSection);
    for (int i = number + 1; i <= m_nMaxPairs; ++i)
    {
        const bool had = registry.DeleteValue(platform::RegistryRoot::CurrentUser, key, PairValue(i, 1));
        if (!(registry.DeleteValue(platform::RegistryRoot::CurrentUser, key, PairValue(i, 2)) || had))
            break;
    }
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
    if (m_nMaxPairs == 0 || (left.empty() && right.empty()))
        return;
    const std::pair<std::string, std::string> pair(left, right);
    std::erase(m_recentPairs, pair);
    m_recentPairs.insert(m_recentPairs.begin(), pair);
    if (static_cast<int>(m_recentPairs.size()) > m_nMaxPairs)
        m_recentPairs.resize(static_cast<std::size_t>(m_nMaxPairs));
}

const CRecentStrings& CFolderComparer::RecentFilters(int list) const
{
    return m_recentFilters[list >= 0 && list < FilterListCount ? list : 0];
}
