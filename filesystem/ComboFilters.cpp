#include "filesystem/ComboFilters.h"

#include "filesystem/FileInfoEx.h"
#include "platform/FileSystemEntry.h"

void CComboFilters::SetDefaults()
{
    m_fileFilters.SetDefaults();
    m_folderFilters.SetDefaults();
}

bool CComboFilters::IsExcluded(const CFileInfoEx& info) const
{
    return info.IsFolder() ? m_folderFilters.IsExcluded(info) : m_fileFilters.IsExcluded(info);
}

bool CComboFilters::IsExcluded(const platform::FindData& entry) const
{
    return entry.IsDirectory() ? m_folderFilters.IsExcluded(entry) : m_fileFilters.IsExcluded(entry);
}

bool CComboFilters::Differs(const CComboFilters& other) const
{
    return m_fileFilters.Differs(other.m_fileFilters) || m_folderFilters.Differs(other.m_folderFilters);
}
