#pragma once

#include "filesystem/FileObject.h"

#include <cstdint>
#include <string>
#include <string_view>

class CComboFilters;
class CFolder;

// One object of a folder tree: a file (or, as CFolder, a folder) with its place in the tree. An
// object made inside a tree stores only its name and builds its full path from its parent; a root
// stores its full path.
class CFolderItem : public CFileObject
{
public:
    CFolderItem() = default;
    CFolderItem(std::string path, bool relative);
    ~CFolderItem() override = default;
    CFolderItem(const CFolderItem&) = delete;
    CFolderItem& operator=(const CFolderItem&) = delete;

    void Reset() override;
    bool LoadFromFindData(const platform::FindData& entry) override;
    // The parent's full path joined with the stored name by "/" (no second one when the parent's
    // path already ends in "/"), or the stored path of a root.
    std::string GetPath() const override;
    // A tree object stores its name: no path has to be built for it.
    std::string GetName() const override;
    // The name without a copy where it is stored as such.
    std::string_view GetNameView() const;

    // A new unparented object of the same class holding this one's name and description (children
    // are not copied).
    virtual CFolderItem* Clone() const;
    // Detaches the object from its parent and destroys it.
    virtual void Remove();
    // Files are never folders, whatever their attributes say; CFolder answers by the attribute.
    virtual bool IsFolder() const;
    virtual CFolderItem* GetItem();
    virtual bool IsExcluded() const;
    // Marks the object excluded when the filters exclude it (the mark is cleared first); returns the mark.
    virtual bool ApplyFilter(const CComboFilters& filters);
    // Takes over another object's description. Name, parent, relative flag and children stay.
    virtual void CopyInfoFrom(const CFileInfoEx& other);
    // The folder operations of a tree object, or null for a file.
    virtual CFolder* AsFolder() { return nullptr; }
    virtual const CFolder* AsFolder() const { return nullptr; }

    bool IsRelative() const { return m_bRelative != 0; }
    CFolder* GetParent() const { return m_pParent; }
    // The object's new name after it was renamed on disk (a root keeps its folder).
    void SetName(const std::string& name);
    // errno of an entry that cannot be described or followed: a dangling link, a link back into a
    // folder of its own path (ELOOP), a name that cannot be stat'ed. 0 for a sound entry.
    int GetError() const { return m_nError; }
    void SetError(int error) { m_nError = error; }

protected:
    friend class CFolder;

    std::int32_t m_bRelative = 0;
    int m_nError = 0;
    CFolder* m_pParent = nullptr;
};
