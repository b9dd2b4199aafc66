#pragma once

#include "filesystem/FilterRecords.h"

class CFileInfoEx;
namespace platform {
struct FindData;
}

// Judges files by name, last write time, size, attributes and content type. Folders are never
// excluded by it.
class CFileFilters : public CNameFilter,
                     public CTimeFilter,
                     public CSizeFilter,
                     public CAttributeFilter,
                     public CTypeFilter
{
public:
    virtual ~CFileFilters() = default;
    virtual void SetDefaults();
    // The type is judged from the object's stored type: detect it first when the type mask is set.
    virtual bool IsExcluded(const CFileInfoEx& info) const;
    // A raw directory entry, before any object exists: everything but the type.
    virtual bool IsExcluded(const platform::FindData& entry) const;
    virtual bool Differs(const CFileFilters& other) const;
    virtual bool Equals(const CFileFilters& other) const { return !Differs(other); }
};
