#include "projectcompare/ProjectComparer.h"

#include "platform/Profile.h"

#include <algorithm>
#include <cctype>
#include <sys/stat.h>

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string NameWithoutExtension(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

} // namespace

CProjectComparer::CProjectComparer(const PROJECT_RECENT_SIZES& sizes)
    : m_recentFiles{CRecentStrings(std::string(kRecentProjectsSection) + "1", "Project", sizes.m_nFiles),
                    CRecentStrings(std::string(kRecentProjectsSection) + "2", "Project", sizes.m_nFiles)},
      m_recentPairs(std::string(kRecentPairsSection), sizes.m_nPairs)
{
}

void CProjectComparer::LoadOptions(const platform::Profile& profile)
{
    RegisterProjectTypes();
    // The flags the user set on the options page are written at exit; read them back so that a
    // disabled type stays disabled.
    LoadEnabledFlags(profile);
    m_dwColumns = static_cast<std::uint32_t>(profile.GetProfileInt(kSettingsSection, "ShowColumns", 0xFFFF));
    m_dwDisplayFilters = static_cast<std::uint32_t>(profile.GetProfileInt(kSettingsSection, "DisplayFilters", 0x333));
    std::vector<std::string> groups;
    for (int i = 1;; ++i)
    {
        const std::string group = profile.GetProfileString(kMatchesSection, "Types" + std::to_string(i));
        if (group.empty())
            break;
        groups.push_back(Lower(group));
    }
    m_matchGroups = groups.empty() ? CProjectCompareOptions().m_matchGroups : groups;
    for (auto& list : m_recentFiles)
        list.Load(profile);
    m_recentPairs.Load(profile);
}

bool CProjectComparer::SaveOptions(platform::Profile& profile)
{
    bool ok = true;
    for (const auto& list : m_recentFiles)
        ok &= list.Save(profile);
    ok &= m_recentPairs.Save(profile);
    ok &= profile.WriteProfileInt(kSettingsSection, "ShowColumns", static_cast<int>(m_dwColumns));
    ok &= profile.WriteProfileInt(kSettingsSection, "DisplayFilters", static_cast<int>(m_dwDisplayFilters));
    profile.GetRegistry().DeleteKey(platform::RegistryRoot::CurrentUser, profile.SectionKey(kMatchesSection));
    int number = 0;
    for (const auto& group : m_matchGroups)
        ok &= profile.WriteProfileString(kMatchesSection, "Types" + std::to_string(++number), group);
    ok &= SaveProjectTypes(profile);
    return ok;
}

bool CProjectComparer::MatchProjectFiles(const std::string& path1, const std::string& path2) const
{
    if (Lower(NameWithoutExtension(path1)) != Lower(NameWithoutExtension(path2)))
        return false;
    const std::string e1 = LowerExtension(path1);
    const std::string e2 = LowerExtension(path2);
    if (e1.empty() || e2.empty())
        return false;
    for (const auto& group : m_matchGroups)
        if (group.find(e1) != std::string::npos && group.find(e2) != std::string::npos)
            return true;
    return false;
}

void CProjectComparer::AddRecentFile(int side, const std::string& path)
{
    struct stat st{};
    if (!path.empty() && stat(path.c_str(), &st) == 0)
        m_recentFiles[side == 0 ? 0 : 1].Add(path);
}

void CProjectComparer::AddRecentPair(const std::string& left, const std::string& right)
{
    m_recentPairs.Add(left, right);
}
