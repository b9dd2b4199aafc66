#pragma once

#include "filesystem/FilterRecords.h"

class CFileInfo;
namespace platform {
struct FindData;
}

// Judges folders by name and attributes. Files are never excluded by it.
class CFolderFilters : public CNameFilter, public CAttributeFilter
{
public:
    virtual ~CFolderFilters() = default;
    virtual void SetDefaults();
    virtual bool IsExcluded(const CFileInfo& info) const;
    virtual bool IsExcluded(const platform::FindData& entry) const;
    virtual bool Differs(const CFolderFilters& other) const;
    virtual bool Equals(const CFolderFilters& other) const { return !Differs(other); }
};
