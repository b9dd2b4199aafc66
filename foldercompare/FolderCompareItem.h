#pragma once

#include "filesystem/Folder.h"
#include "foldercompare/FolderCompareDiffCode.h"
#include "foldercompare/FolderCompareMethods.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

class CComboFilters;
class CFolderCompareItem;
class CFolderCompareParams;
class CItemMessageTarget;
class CProcessCallback;

// Flags of a comparison item.
inline constexpr std::uint32_t ITEM_FLAG_MAYHAVECHILDREN = 0x1; // its folders hold an entry the filters keep
inline constexpr std::uint32_t ITEM_FLAG_HIDDEN = 0x10;         // hidden by the user
inline constexpr std::uint32_t ITEM_FLAG_EXCLUDED = 0x20;       // by the filters or by the user
inline constexpr std::uint32_t ITEM_FLAG_COMPARED = 0x100;
inline constexpr std::uint32_t ITEM_FLAG_CHILDRENBUILT = 0x200; // scanned, paired, filtered, compared

// Display-filter word: which rows the views show.
inline constexpr std::uint32_t DISPLAY_IDENTICAL = 0x1;
inline constexpr std::uint32_t DISPLAY_DIFFERENT = 0x2;
inline constexpr std::uint32_t DISPLAY_LEFTORPHANS = 0x10;
inline constexpr std::uint32_t DISPLAY_RIGHTORPHANS = 0x20;
inline constexpr std::uint32_t DISPLAY_LEFTNEWER = 0x100;
inline constexpr std::uint32_t DISPLAY_RIGHTNEWER = 0x200;
inline constexpr std::uint32_t DISPLAY_ALL = 0x333;

// Modes of CompareChildren and CompareTree.
inline constexpr int COMPARE_MODE_ITEM = 0;    // the item alone
inline constexpr int COMPARE_MODE_LEVEL = 1;   // its children, one level
inline constexpr int COMPARE_MODE_SUBTREE = 2; // the whole subtree

// Selection commands of the comparison views.
inline constexpr int ID_SELECT_ALLFILES = 43510;
inline constexpr int ID_SELECT_ALLDIFFERENT = 43511;
inline constexpr int ID_SELECT_DIFFERENTBUTORPHANS = 43512;
inline constexpr int ID_SELECT_ORPHANS = 43513;
inline constexpr int ID_SELECT_LEFTORPHANS = 43514;
inline constexpr int ID_SELECT_RIGHTORPHANS = 43515;
inline constexpr int ID_SELECT_LEFTNEWER = 43516;
inline constexpr int ID_SELECT_RIGHTNEWER = 43517;
inline constexpr int ID_SELECT_LEFTNEWERANDORPHANS = 43518;
inline constexpr int ID_SELECT_RIGHTNEWERANDORPHANS = 43519;

// Side masks of the file operations.
inline constexpr int SIDE_MASK_LEFT = 1;
inline constexpr int SIDE_MASK_RIGHT = 2;
inline constexpr int SIDE_MASK_BOTH = 3;

// The cancel flag of a comparison: written by the user-interface thread, read between children.
using CancelFlag = std::atomic<int>;

// The children of an item, in pairing order. The item owns them.
class CFolderCompareItemPtrArray : public std::vector<CFolderCompareItem*>
{
};

// One pair of a folder comparison: the left and the right tree object at the same place under the
// two roots (either may be missing), the outcome of comparing them, and for a folder pair the
// aggregate of its children. Side index 0 is the left side, 1 the right side.
class CFolderCompareItem : public CFolderCompareDiffCode
{
public:
    static constexpr int kLeft = 0;
    static constexpr int kRight = 1;

    CFolderCompareItem(CFolderItem* left, CFolderItem* right);
    // Destroys the children (not the tree objects, which their folders own).
    ~CFolderCompareItem() override;
    CFolderCompareItem(const CFolderCompareItem&) = delete;
    CFolderCompareItem& operator=(const CFolderCompareItem&) = delete;

    virtual bool IsPending() const { return m_dwStatus == ITEM_STATUS_PENDING; }
    virtual bool IsSamePath() const { return m_dwStatus == ITEM_STATUS_SAMEPATH; }
    virtual bool IsIdentical() const { return m_dwStatus == ITEM_STATUS_IDENTICAL; }
    virtual bool IsDifferent() const { return m_dwStatus == ITEM_STATUS_DIFFERENT; }
    virtual bool IsError() const { return m_dwStatus == ITEM_STATUS_ERROR; }
    virtual std::uint32_t GetStatus() const { return m_dwStatus; }
    // Detaches the item from its parent and destroys it with its children.
    virtual void Remove();
    // Every present side is a folder.
    virtual bool IsFolderItem() const;
    // The directory attribute of the left side, or of the right one when the left is missing.
    virtual bool IsFolder() const;
    virtual bool IsFile() const { return !IsFolder(); }
    // 2 with child items; else 1 when the item may have children; else 0.
    virtual int GetChildState() const;
    virtual int GetChildCount() const;
    virtual bool HasSide(int index) const { return m_sides[index] != nullptr; }
    virtual bool HasBothSides() const { return HasSide(kLeft) && HasSide(kRight); }
    virtual bool SideExists(int index) const;
    virtual bool BothSidesExist() const { return SideExists(kLeft) && SideExists(kRight); }
    virtual bool IsSideAvailable(int index) const { return HasSide(index) && SideExists(index); }
    virtual bool AreBothSidesAvailable() const { return IsSideAvailable(kLeft) && IsSideAvailable(kRight); }
    virtual bool IsSideOnDisk(int index) const { return IsSideAvailable(index); }
    virtual bool AreBothSidesOnDisk() const { return IsSideOnDisk(kLeft) && IsSideOnDisk(kRight); }
    // For the Type column: 4 for a folder; with both sides the left type unless it is text, then the
    // right one; with one side its type; 0 without sides.
    virtual int GetFileType() const;
    virtual int DetectFileType();
    virtual std::string GetName() const;
    virtual bool IsExcluded() const { return (m_dwFlags & ITEM_FLAG_EXCLUDED) != 0; }
    virtual bool IsHidden() const { return (m_dwFlags & ITEM_FLAG_HIDDEN) != 0; }
    virtual void UpdateStatus();
    virtual void Exclude();
    virtual void SetHidden(bool hidden);
    virtual void UnhideChildren();
    virtual int AddChild(CFolderCompareItem* item);
    virtual CFolderCompareItem* CreateChild(CFolderItem* left, CFolderItem* right);
    // The first child (only folder children with `foldersOnly`) whose side opposite to `index`
    // pairs with `object`; null when there is none.
    virtual CFolderCompareItem* FindChildByOtherSide(int index, const CFolderItem* object,
                                                     bool foldersOnly) const;
    // Compares the item unless it is compared already (or `recompare`), then its children down to
    // `mode`, then re-aggregates the ancestors. Returns the item's status.
    virtual int CompareTree(const CFolderCompareParams& params, int mode, bool reload, bool recompare,
                            CProcessCallback* progress, const CancelFlag* cancel);
    // Compares the item alone; a folder item drops its children first when `reload` or `recompare`.
    virtual int CompareOne(const CFolderCompareParams& params, bool reload, bool recompare,
                           const CancelFlag* cancel);
    // Builds (scan with `rescan`, pair, filter) and compares the children one level or, in mode 2,
    // the whole subtree. 0 on success, -1 when this level cannot be built.
    virtual int CompareChildren(const CFolderCompareParams& params, int mode, bool rescan, bool rebuild,
                                CProcessCallback* progress, const CancelFlag* cancel);
    // Aggregates the children into the state, updates the status, and does the same for every
    // ancestor up to the root.
    virtual int UpdateState();
    // Runs the definition's methods on this pair; returns the difference bits.
    virtual std::uint32_t Compare(const CFolderCompareParams& params, const CancelFlag* cancel);
    virtual int CompareFileType();
    virtual int CompareTime();
    virtual int CompareSize();
    virtual int CompareAttributes();
    virtual int CompareVersion();
    virtual int CompareCRC();
    virtual int CompareBinary();
    virtual int CompareText();
    virtual bool ScanSides();
    virtual bool PairChildren();
    virtual int CompareNames(const CFolderItem& a, const CFolderItem& b) const;
    virtual void ApplyFiltersToChildren(const CComboFilters& filters, const CancelFlag* cancel);
    virtual bool IsExcludedByFilters(CFolderCompareItem* child, const CComboFilters& filters);
    virtual void CompareChildItems(const CFolderCompareParams& params, CProcessCallback* progress,
                                   const CancelFlag* cancel);

    // File operations on the item's sides; each keeps trees and codes in step with the disk and
    // returns 0 on success, -1 on failure (the item is then unchanged).
    // Copies side `source` over to the other side; mode 0 makes just the folder of a folder item,
    // mode 2 copies it with its contents.
    virtual int CopyToOtherSide(int source, std::uint32_t shellFlags, int mode, CItemMessageTarget* window,
                                const CancelFlag* cancel);
    virtual int MoveToOtherSide(int source, std::uint32_t shellFlags, CItemMessageTarget* window,
                                const CancelFlag* cancel);
    // Deletes the sides of `mask` (1 left, 2 right). An item left without sides is destroyed.
    virtual int DeleteSides(int mask, std::uint32_t shellFlags, CItemMessageTarget* window,
                            const CancelFlag* cancel);
    // Renames the sides of `mask` within their folders. When only one side is renamed the item
    // no longer pairs: the parent is asked to rebuild its children, which destroys this item.
    virtual int RenameSides(int mask, const std::string& newName, std::uint32_t shellFlags,
                            CItemMessageTarget* window, const CancelFlag* cancel);
    virtual int SetTime(int target, bool copyFromOther, std::time_t time, CItemMessageTarget* window);
    virtual int SetAttributes(int mask, std::uint32_t controlled, std::uint32_t toSet,
                              CItemMessageTarget* window);
    // Creates the folder `name` in this folder item's sides of `mask`.
    virtual int CreateFolder(int mask, const std::string& name, CItemMessageTarget* window);
    // Runs one content method (METHOD_CRC32, METHOD_BINARY or METHOD_TEXT), on a folder item over
    // every child that is not excluded.
    virtual int CompareContents(std::uint32_t method, CItemMessageTarget* window, const CancelFlag* cancel);
    // Makes the other side mirror side `index` after a copy (mode 2: the whole subtree).
    virtual void CloneSideToOther(int index, int mode);
    virtual void MirrorAndRemoveSide(int index);
    // Drops side `index` from the item and its subtree and destroys its tree object.
    virtual void RemoveSide(int index);
    virtual void ProbeChildren(const CComboFilters& filters);

    CFolderItem* GetSide(int index) const { return m_sides[index]; }
    CFolderCompareItem* GetParent() const { return m_pParent; }
    const CFolderCompareItemPtrArray* GetChildren() const { return m_pChildren.get(); }
    CFolderCompareItem* GetChild(int index) const { return (*m_pChildren)[static_cast<std::size_t>(index)]; }
    std::uint32_t GetFlags() const { return m_dwFlags; }
    void SetFlags(std::uint32_t flags, bool on)
    {
        m_dwFlags = on ? (m_dwFlags | flags) : (m_dwFlags & ~flags);
    }
    // A root item owns its two root folders and destroys them with itself.
    void SetOwnsSides(bool owns) { m_bOwnsSides = owns; }
    int FindChild(const CFolderCompareItem* item) const;
    // Removes the child from the array without destroying it; false when it is not a child.
    bool DetachChild(CFolderCompareItem* item);
    void RemoveAllChildren();
    // A present side that cannot be read: an entry in error, or a folder that cannot be listed.
    bool HasSideError() const;
    // Why the item is in error, for listings: the side's path and the system's reason, or that the
    // contents could not be read. Empty when the item is not in error.
    std::string GetErrorText() const;
    // Swaps the sides of the whole subtree.
    void SwapSides();
    // The methods (with the settings they read) used below this item; an item without its own
    // uses its parent's, and the root falls back to the default settings.
    void SetMethods(const CFolderCompareMethods& methods);
    const CFolderCompareMethods& GetMethods() const;

protected:
    // The aggregation of this item alone; false when nothing could be aggregated.
    bool AggregateChildren();
    // The children level of CompareChildren (steps 1 and 2); -1 when it cannot be built.
    int BuildLevel(const CFolderCompareParams& params, bool rescan, bool rebuild, CProcessCallback* progress,
                   const CancelFlag* cancel);
    void RefreshSides();
    // The folder on side `index` that this item's objects of that side go into: the parent's side,
    // or the path it would have. Empty for a root.
    std::string GetDestinationFolder(int index) const;
    // Makes the parent's folder on side `index` exist (copying the parents empty); false on failure.
    bool EnsureParentSide(int index, std::uint32_t shellFlags, CItemMessageTarget* window,
                          const CancelFlag* cancel);
    // Removes, depth first, every descendant left without sides, telling the view first.
    void RemoveSidelessChildren(CItemMessageTarget* window);
    bool IsSameObjectOnDisk() const;

    std::array<CFolderItem*, 2> m_sides{};
    CFolderCompareItem* m_pParent = nullptr;
    std::unique_ptr<CFolderCompareItemPtrArray> m_pChildren;
    std::unique_ptr<const CFolderCompareMethods> m_pMethods;
    std::uint32_t m_dwFlags = 0;
    bool m_bOwnsSides = false;
};

// Whether the display-filter word hides the item in the views.
bool IsHiddenByDisplayFilter(std::uint32_t filters, CFolderCompareItem& item);
// Whether a selection command (43510 to 43519) selects the item.
bool MatchesSelection(int command, CFolderCompareItem& item);
