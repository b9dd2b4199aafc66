#include "app/RecentStrings.h"

#include "platform/Profile.h"

#include <algorithm>

CRecentStrings::CRecentStrings(std::string section, std::string valuePrefix, int size)
    : m_strSection(std::move(section)), m_strValuePrefix(std::move(valuePrefix)), m_nSize(std::max(size, 0))
{
}

std::string CRecentStrings::ValueName(std::size_t number) const
{
    return m_strValuePrefix + std::to_string(number);
}

void CRecentStrings::Load(const platform::Profile& profile)
{
    m_items.clear();
    for (std::size_t i = 1; static_cast<int>(m_items.size()) < m_nSize; ++i)
    {
        std::string text = profile.GetProfileString(m_strSection, ValueName(i));
        if (text.empty())
            break;
        if (std::find(m_items.begin(), m_items.end(), text) == m_items.end())
            m_items.push_back(std::move(text));
    }
}

bool CRecentStrings::Save(platform::Profile& profile) const
{
    if (m_nSize == 0)
        return true;
    bool ok = true;
    std::size_t number = 0;
    for (const auto& text : m_items)
        ok &= profile.WriteProfileString(m_strSection, ValueName(++number), text);
    // Entries a longer list left behind would otherwise come back on the next load.
    platform::Registry& registry = profile.GetRegistry();
    const std::string key = profile.SectionKey(m_strSection);
    for (std::size_t i = number + 1; i <= number + 64; ++i)
        if (!registry.DeleteValue(platform::RegistryRoot::CurrentUser, key, ValueName(i)))
            break;
    return ok;
}

void CRecentStrings::Add(std::string_view text)
{
    if (m_nSize == 0 || text.empty())
        return;
    std::erase(m_items, std::string(text));
    m_items.insert(m_items.begin(), std::string(text));
    if (static_cast<int>(m_items.size()) > m_nSize)
        m_items.resize(static_cast<std::size_t>(m_nSize));
}

namespace {

std::string PairValue(std::size_t number, int side)
{
    return "Pair" + std::to_string(number) + "." + std::to_string(side);
}

} // namespace

CRecentPairs::CRecentPairs(std::string section, int size) : m_strSection(std::move(section)), m_nSize(std::max(size, 0))
{
}

void CRecentPairs::Load(const platform::Profile& profile)
{
    m_items.clear();
    for (std::size_t i = 1; static_cast<int>(m_items.size()) < m_nSize; ++i)
    {
        std::string left = profile.GetProfileString(m_strSection, PairValue(i, 1));
        std::string right = profile.GetProfileString(m_strSection, PairValue(i, 2));
        if (left.empty() && right.empty())
            break;
        m_items.emplace_back(std::move(left), std::move(right));
    }
}

bool CRecentPairs::Save(platform::Profile& profile) const
{
    if (m_nSize == 0)
        return true;
    bool ok = true;
    std::size_t number = 0;
    for (const auto& [left, right] : m_items)
    {
        ++number;
        ok &= profile.WriteProfileString(m_strSection, PairValue(number, 1), left);
        ok &= profile.WriteProfileString(m_strSection, PairValue(number, 2), right);
    }
    // A longer list saved before would otherwise come back with its old tail.
    platform::Registry& registry = profile.GetRegistry();
    const std::string key = profile.SectionKey(m_strSection);
    for (std::size_t i = number + 1;; ++i)
    {
        const bool had = registry.DeleteValue(platform::RegistryRoot::CurrentUser, key, PairValue(i, 1));
        if (!(registry.DeleteValue(platform::RegistryRoot::CurrentUser, key, PairValue(i, 2)) || had))
            break;
    }
    return ok;
}

void CRecentPairs::Add(const std::string& left, const std::string& right)
{
    if (m_nSize == 0 || (left.empty() && right.empty()))
        return;
    const Pair pair(left, right);
    std::erase(m_items, pair);
    m_items.insert(m_items.begin(), pair);
    if (static_cast<int>(m_items.size()) > m_nSize)
        m_items.resize(static_cast<std::size_t>(m_nSize));
}
