#include "filesystem/FileFilters.h"

#include "filesystem/FileInfoEx.h"
#include "platform/FileSystemEntry.h"
#include "platform/FileTime.h"

void CFileFilters::SetDefaults()
{
    CNameFilter::SetDefaults();
    CTimeFilter::SetDefaults();
    CSizeFilter::SetDefaults();
    CAttributeFilter::SetDefaults();
    CTypeFilter::SetDefaults();
}

bool CFileFilters::IsExcluded(const CFileInfoEx& info) const
{
    if (info.IsFolder())
        return false;
    return IsNameExcluded(info.GetName()) || IsTimeExcluded(info.GetLastWriteTime()) ||
           IsSizeExcluded(info.GetSize()) || IsAttributeExcluded(info.m_dwAttributes) ||
           IsTypeExcluded(info.GetFileType());
}

bool CFileFilters::IsExcluded(const platform::FindData& entry) const
{
    if (entry.IsDirectory())
        return false;
    return IsNameExcluded(entry.m_strName) ||
           IsTimeExcluded(platform::UnixTimeFromFileTime(entry.m_ftLastWriteTime)) ||
           IsSizeExcluded(entry.m_nSize) || IsAttributeExcluded(entry.m_dwAttributes);
}

bool CFileFilters::Differs(const CFileFilters& other) const
{
    return CNameFilter::Differs(other) || CTimeFilter::Differs(other) || CSizeFilter::Differs(other) ||
           CAttributeFilter::Differs(other) || CTypeFilter::Differs(other);
}
