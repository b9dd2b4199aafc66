#include "filesystem/FilterRecords.h"

#include "filesystem/Wildcard.h"

bool CNameFilter::IsNameExcluded(std::string_view name) const
{
    if (!m_strInclude.empty() && m_strInclude != "*" && !MatchWildcardList(m_strInclude, name))
        return true;
    return !m_strExclude.empty() && MatchWildcardList(m_strExclude, name);
}

bool CNameFilter::Differs(const CNameFilter& other) const
{
    // Patterns match without regard to case, so lists that differ only in case filter alike.
    return FoldCase(m_strInclude) != FoldCase(other.m_strInclude) ||
           FoldCase(m_strExclude) != FoldCase(other.m_strExclude) || m_bMatchCase != other.m_bMatchCase;
}

bool CTimeFilter::IsTimeExcluded(std::int64_t seconds) const
{
    return (m_tFrom != 0 && seconds < m_tFrom) || (m_tTo != 0 && seconds > m_tTo);
}

bool CSizeFilter::IsSizeExcluded(std::uint64_t size) const
{
    return (m_nMinSize != 0 && size < m_nMinSize) || (m_nMaxSize != 0 && size > m_nMaxSize);
}
