#include "textcompare/TextComparer.h"

#include "platform/Profile.h"

#include <algorithm>
#include <sys/stat.h>

namespace {

std::string PairValue(int number, int side)
{
    return "Pair" + std::to_string(number) + "." + std::to_string(side);
}

} // namespace

CTextComparer::CTextComparer(const TEXT_RECENT_SIZES& sizes)
    : m_recentFiles{CRecentStrings(std::string(kRecentFilesSection) + "1", "File", sizes.m_nFiles),
                    CRecentStrings(std::string(kRecentFilesSection) + "2", "File", sizes.m_nFiles)},
      m_recentFilters(std::string(kRecentFiltersSection), "Filter", sizes.m_nFilters),
      m_nMaxPairs(std::max(sizes.m_nPairs, 0))
{
}

void CTextComparer::LoadFromRegistry(const platform::Profile& profile)
{
    CTextCompareOptions::LoadFromRegistry(profile);
    for (auto& list : m_recentFiles)
        list.Load(profile);
    m_recentFilters.Load(profile);
    m_recentPairs.clear();
    for (int i = 1; static_cast<int>(m_recentPairs.size()) < m_nMaxPairs; ++i)
    {
        std::string left = profile.GetProfileString(kRecentPairsSection, PairValue(i, 1));
        std::string right = profile.GetProfileString(kRecentPairsSection, PairValue(i, 2));
        if (left.empty() && right.empty())
            break;
        m_recentPairs.emplace_back(std::move(left), std::move(right));
    }
}

bool CTextComparer::SaveAll(platform::Profile& profile) const
{
    bool ok = true;
    for (const auto& list : m_recentFiles)
        ok &= list.Save(profile);
    ok &= m_recentFilters.Save(profile);
    if (m_nMaxPairs > 0)
    {
        int number = 0;
        for (const auto& [left, right] : m_recentPairs)
        {
            ++number;
            ok &= profile.WriteProfileString(kRecentPairsSection, PairValue(number, 1), left);
            ok &= profile.WriteProfileString(kRecentPairsSection, PairValue(number, 2), right);
        }
    }
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
    if (m_nMaxPairs == 0 || (left.empty() && right.empty()))
        return;
    const std::pair<std::string, std::string> pair(left, right);
    std::erase(m_recentPairs, pair);
    m_recentPairs.insert(m_recentPairs.begin(), pair);
    if (static_cast<int>(m_recentPairs.size()) > m_nMaxPairs)
        m_recentPairs.resize(static_cast<std::size_t>(m_nMaxPairs));
}
