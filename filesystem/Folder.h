#pragma once

#include "filesystem/FolderItem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The children of a folder. Destroying the array does not destroy the children: the folder does.
class CFolderItems : public std::vector<CFolderItem*>
{
};

// A folder of a tree. Its children are read from the disk one level at a time (Scan) and owned by
// it; the array exists only while there is at least one child.
class CFolder : public CFolderItem
{
public:
    using CFolderItem::CFolderItem;
    ~CFolder() override;

    void Reset() override;
    bool LoadFromPath(const std::string& path) override;
    bool LoadFromFindData(const platform::FindData& entry) override;
    CFolderItem* Clone() const override;
    bool IsFolder() const override;
    CFolder* AsFolder() override { return this; }
    const CFolder* AsFolder() const override { return this; }

    // 2 when at least one child is not excluded, else 0.
    virtual int HasChildren() const;
    // All children, or (with `all` false) those that are not excluded.
    virtual int GetChildCount(bool all) const;
    // Whether the folder on disk holds an entry that the filters keep, judged on the raw entries
    // without building objects. A folder that exists but cannot be listed answers true: what it
    // holds is unknown, and a scan then records why it cannot be read.
    virtual bool ContainsUnfilteredEntry(const CComboFilters& filters) const;
    // Rebuilds the children from the disk, one level deep, in the order the file system gives.
    // False, changing nothing, when this is not a folder that can be scanned. A folder that cannot
    // be listed scans to no children with GetScanError() set, and still returns true.
    virtual bool Scan(bool filesOnly);
    virtual bool SortChildren();
    virtual void RemoveAllChildren();
    virtual int AddChild(CFolderItem* item);
    virtual int FindChild(const CFolderItem* item) const;
    virtual bool DetachChild(CFolderItem* item);
    virtual bool DeleteChild(CFolderItem* item);
    virtual CFolderItem* AddFile(const std::string& path, const platform::FindData& entry);
    virtual CFolder* AddFolder(const std::string& path, const platform::FindData& entry);

    // The children array; null when there are none.
    CFolderItems* GetChildren() const { return m_pChildren.get(); }
    CFolderItem* GetChild(int index) const { return (*m_pChildren)[static_cast<std::size_t>(index)]; }
    // errno of the last scan when the folder could not be listed completely, else 0.
    int GetScanError() const { return m_nScanError; }
    // The folder's identity on disk (0, 0 when it was never loaded from the disk).
    std::uint64_t GetDevice() const { return m_nDevice; }
    std::uint64_t GetInode() const { return m_nInode; }
    // Both are the same folder on disk (device and inode), whatever paths lead to them.
    bool IsSameFolder(const CFolder& other) const;

private:
    // Whether a folder entry is this folder or one of its ancestors (a link or mount looping back).
    bool IsOnOwnPath(const platform::FindData& entry) const;
    // Destroys every child (the whole subtree) without recursion, so depth costs no stack.
    static void DestroyChildren(std::unique_ptr<CFolderItems> children);

    std::unique_ptr<CFolderItems> m_pChildren;
    std::uint64_t m_nDevice = 0;
    std::uint64_t m_nInode = 0;
    int m_nScanError = 0;
};

// The order of a tree and the pairing rule of a comparison: folders before files, then names
// without regard to case (simple Unicode case folding, code point order), then the exact bytes. 0
// only for two folders or two files with byte-identical names: two names that differ only in case
// are two different objects.
int CompareFolderItems(const CFolderItem& a, const CFolderItem& b);
// The name part of that order.
int CompareFolderItemNames(std::string_view a, std::string_view b);

// A root folder for `path`, loaded from the disk without its children; null when `path` is not an
// existing directory.
CFolder* OpenRootFolder(const std::string& path);
