#include "filesystem/FolderFilters.h"

#include "filesystem/FileInfo.h"
#include "platform/FileSystemEntry.h"

void CFolderFilters::SetDefaults()
{
    CNameFilter::SetDefaults();
    CAttributeFilter::SetDefaults();
}

bool CFolderFilters::IsExcluded(const CFileInfo& info) const
{
    if (!info.IsFolder())
        return false;
    return IsNameExcluded(info.GetName()) || IsAttributeExcluded(info.m_dwAttributes);
}

bool CFolderFilters::IsExcluded(const platform::FindData& entry) const
{
    if (!entry.IsDirectory())
        return false;
    return IsNameExcluded(entry.m_strName) || IsAttributeExcluded(entry.m_dwAttributes);
}

bool CFolderFilters::Differs(const CFolderFilters& other) const
{
    return CNameFilter::Differs(other) || CAttributeFilter::Differs(other);
}
