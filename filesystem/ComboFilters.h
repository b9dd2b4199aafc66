#pragma once

#include "filesystem/FileFilters.h"
#include "filesystem/FolderFilters.h"

// The filters of one folder or project comparison: files go to the file filters, folders to the
// folder filters.
class CComboFilters
{
public:
    virtual ~CComboFilters() = default;
    virtual void SetDefaults();
    virtual bool IsExcluded(const CFileInfoEx& info) const;
    virtual bool IsExcluded(const platform::FindData& entry) const;
    virtual bool Differs(const CComboFilters& other) const;
    virtual bool Equals(const CComboFilters& other) const { return !Differs(other); }

    CFileFilters m_fileFilters;
    CFolderFilters m_folderFilters;
};
