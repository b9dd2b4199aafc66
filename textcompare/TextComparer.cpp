#include "textcompare/TextComparer.h"

#include "platform/Profile.h"

#include <algorithm>
#include <sys/stat.h>

CTextComparer::CTextComparer(const TEXT_RECENT_SIZES& sizes)
    : m_recentFiles{CRecentStrings(std::string(kRecentFilesSection) + "1", "File", sizes.m_nFiles),
                    CRecentStrings(std::string(kRecentFilesSection) + "2", "File", sizes.m_nFiles)},
      m_recentFilters(std::string(kRecentFiltersSection), "Filter", sizes.m_nFilters),
      m_recentPairs(std::string(kRecentPairsSection), sizes.m_nPairs)
{
}

void CTextComparer::LoadFromRegistry(const platform::Profile& profile)
{
    CTextCompareOptions::LoadFromRegistry(profile);
    for (auto& list : m_recentFiles)
        list.Load(profile);
    m_recentFilters.Load(profile);
    m_recentPairs.Load(profile);
}

bool CTextComparer::SaveAll(platform::Profile& profile) const
{
    bool ok = true;
    for (const auto& list : m_recentFiles)
        ok &= list.Save(profile);
    ok &= m_recentFilters.Save(profile);
    ok &= m_recentPairs.Save(profile);
    return ok && SaveToRegistry(profile);
}

void CTextComparer::AddRecentFile(int side, const std::string& path)
{
    struct stat st{};
    if (!path.empty() && stat(path.c_str(), &st) == 0)
        m_recentFiles[side == 0 ? 0 : 1].Add(path);
}

void CTextComparer::AddRecentFilter(const std::string& filter)
{
    m_recentFilters.Add(filter);
}

void CTextComparer::AddRecentPair(const std::string& left, const std::string& right)
{
    m_recentPairs.Add(left, right);
}
