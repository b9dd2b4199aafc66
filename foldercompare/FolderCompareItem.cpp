#include "foldercompare/FolderCompareItem.h"

#include "app/ProcessCallback.h"
#include "definitions/FolderCompareParams.h"
#include "filesystem/ComboFilters.h"
#include "foldercompare/ItemMessageTarget.h"
#include "platform/FileSystemEntry.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace
{

bool Cancelled(const CancelFlag* cancel)
{
    return cancel != nullptr && cancel->load(std::memory_order_relaxed) != 0;
}

int OtherSide(int index)
{
    return 1 - index;
}

bool InMask(int mask, int index)
{
    return (mask & (1 << index)) != 0;
}

std::string JoinPath(const std::string& folder, std::string_view name)
{
    if (folder.empty() || folder.back() == platform::kPathSeparator)
        return folder + std::string(name);
    return folder + platform::kPathSeparator + std::string(name);
}

// A name for a new or renamed object must stay a single element of its folder.
bool IsValidElementName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

void Notify(CItemMessageTarget* window, std::uint32_t message, int param, CFolderCompareItem* item)
{
    if (window != nullptr)
        window->SendItemMessage(message, param, item);
}

platform::FileOperationObserver* ObserverOf(CItemMessageTarget* window)
{
    return window != nullptr ? window->GetFileOperationObserver() : nullptr;
}

bool PathIsGone(const std::string& path)
{
    platform::FindData entry;
    return platform::ReadEntry(path, entry) != 0;
}

// Whether a copy really put the source in place: a replacement the user declined leaves the old
// file there with the operation still reporting success.
bool CopyArrived(const std::string& source, const std::string& destination)
{
    platform::FindData from;
    platform::FindData to;
    if (platform::ReadEntry(source, from) != 0 || platform::ReadEntry(destination, to) != 0)
        return false;
    return from.m_nSize == to.m_nSize && from.m_ftLastWriteTime == to.m_ftLastWriteTime;
}

std::string FormatProgressText(const char* format, const std::string& name)
{
    std::string text = format;
    const std::size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, name);
    return text;
}

} // namespace

CFolderCompareItem::CFolderCompareItem(CFolderItem* left, CFolderItem* right) : m_sides{left, right} {}

CFolderCompareItem::~CFolderCompareItem()
{
    RemoveAllChildren();
    if (m_bOwnsSides)
        for (CFolderItem* side : m_sides)
            delete side;
}

void CFolderCompareItem::RemoveAllChildren()
{
    if (!m_pChildren)
        return;
    // Without recursion: a deep tree must not cost stack.
    std::vector<CFolderCompareItem*> pending(m_pChildren->begin(), m_pChildren->end());
    m_pChildren.reset();
    while (!pending.empty())
    {
        CFolderCompareItem* item = pending.back();
        pending.pop_back();
        if (item->m_pChildren)
        {
            pending.insert(pending.end(), item->m_pChildren->begin(), item->m_pChildren->end());
            item->m_pChildren.reset();
        }
        delete item;
    }
}

void CFolderCompareItem::Remove()
{
    if (m_pParent != nullptr)
        m_pParent->DetachChild(this);
    delete this;
}

bool CFolderCompareItem::IsFolderItem() const
{
    bool any = false;
    for (const CFolderItem* side : m_sides)
    {
        if (side == nullptr)
            continue;
        if (!side->IsFolder())
            return false;
        any = true;
    }
    return any;
}

bool CFolderCompareItem::IsFolder() const
{
    const CFolderItem* side = m_sides[kLeft] != nullptr ? m_sides[kLeft] : m_sides[kRight];
    return side != nullptr && side->HasAttribute(platform::FILE_ATTRIBUTE_DIRECTORY);
}

int CFolderCompareItem::GetChildState() const
{
    if (m_pChildren && !m_pChildren->empty())
        return 2;
    return (m_dwFlags & ITEM_FLAG_MAYHAVECHILDREN) != 0 ? 1 : 0;
}

int CFolderCompareItem::GetChildCount() const
{
    return m_pChildren ? static_cast<int>(m_pChildren->size()) : 0;
}

bool CFolderCompareItem::SideExists(int index) const
{
    return m_sides[index] != nullptr && m_sides[index]->Exists();
}

int CFolderCompareItem::GetFileType() const
{
    if (IsFolder())
        return 4;
    if (HasBothSides())
    {
        const int left = m_sides[kLeft]->GetFileType();
        return left != 1 ? left : m_sides[kRight]->GetFileType();
    }
    for (const CFolderItem* side : m_sides)
        if (side != nullptr)
            return side->GetFileType();
    return 0;
}

int CFolderCompareItem::DetectFileType()
{
    for (CFolderItem* side : m_sides)
        if (side != nullptr && !side->IsFolder())
            side->DetectFileType(false);
    return GetFileType();
}

std::string CFolderCompareItem::GetName() const
{
    for (const CFolderItem* side : m_sides)
        if (side != nullptr)
            return side->GetName();
    return {};
}

bool CFolderCompareItem::HasSideError() const
{
    for (const CFolderItem* side : m_sides)
    {
        if (side == nullptr)
            continue;
        if (side->GetError() != 0)
            return true;
        if (const CFolder* folder = side->AsFolder(); folder != nullptr && folder->GetScanError() != 0)
            return true;
    }
    return false;
}

std::string CFolderCompareItem::GetErrorText() const
{
    if (m_dwStatus != ITEM_STATUS_ERROR)
        return {};
    for (const CFolderItem* side : m_sides)
    {
        if (side == nullptr)
            continue;
        if (side->GetError() == ELOOP && side->IsFolder())
            return side->GetPath() + ": a link back into a folder of its own path is not followed";
        if (side->GetError() != 0)
            return side->GetPath() + ": " + std::strerror(side->GetError());
        if (const CFolder* folder = side->AsFolder(); folder != nullptr && folder->GetScanError() != 0)
            return side->GetPath() + ": cannot be listed: " + std::strerror(folder->GetScanError());
    }
    return "The contents could not be read (a file is missing, unreadable, not a regular file, or changed "
           "while it was read).";
}

void CFolderCompareItem::UpdateStatus()
{
    if (HasBothSides())
    {
        if (m_dwStatus == ITEM_STATUS_SAMEPATH)
            return;
        if (HasSideError())
        {
            m_dwStatus = ITEM_STATUS_ERROR;
            return;
        }
        switch (m_dwState)
        {
        case ITEM_STATE_UNDETERMINED:
            m_dwStatus = ITEM_STATUS_PENDING;
            break;
        case ITEM_STATE_EQUAL:
            if (m_dwContentResult != CONTENT_NONE)
                m_dwStatus = m_dwContentResult;
            else
                m_dwStatus =
                    (IsFolderItem() || m_dwDiffBits == 0) ? ITEM_STATUS_IDENTICAL : ITEM_STATUS_DIFFERENT;
            break;
        default:
            m_dwStatus = m_dwContentResult != CONTENT_NONE ? m_dwContentResult : ITEM_STATUS_DIFFERENT;
            break;
        }
        return;
    }
    m_dwContentResult = CONTENT_NONE;
    if (HasSideError())
        m_dwStatus = ITEM_STATUS_ERROR;
    else
        m_dwStatus = m_dwState != ITEM_STATE_UNDETERMINED ? ITEM_STATUS_DIFFERENT : ITEM_STATUS_PENDING;
}

void CFolderCompareItem::Exclude()
{
    m_dwFlags |= ITEM_FLAG_EXCLUDED;
    for (CFolderItem* side : m_sides)
        if (side != nullptr)
            side->m_dwStatus |= FILE_STATUS_EXCLUDED;
}

void CFolderCompareItem::SetHidden(bool hidden)
{
    if (hidden)
        m_dwFlags |= ITEM_FLAG_HIDDEN;
    else
        m_dwFlags &= ~ITEM_FLAG_HIDDEN;
}

void CFolderCompareItem::UnhideChildren()
{
    if (m_pChildren)
        for (CFolderCompareItem* child : *m_pChildren)
            child->SetHidden(false);
}

int CFolderCompareItem::AddChild(CFolderCompareItem* item)
{
    if (!m_pChildren)
        m_pChildren = std::make_unique<CFolderCompareItemPtrArray>();
    m_pChildren->push_back(item);
    item->m_pParent = this;
    return static_cast<int>(m_pChildren->size()) - 1;
}

CFolderCompareItem* CFolderCompareItem::CreateChild(CFolderItem* left, CFolderItem* right)
{
    auto* item = new CFolderCompareItem(left, right);
    AddChild(item);
    if (item->IsFolderItem())
        m_dwState = ITEM_STATE_UNDETERMINED;
    return item;
}

int CFolderCompareItem::FindChild(const CFolderCompareItem* item) const
{
    if (!m_pChildren)
        return -1;
    const auto it = std::find(m_pChildren->begin(), m_pChildren->end(), item);
    return it == m_pChildren->end() ? -1 : static_cast<int>(it - m_pChildren->begin());
}

bool CFolderCompareItem::DetachChild(CFolderCompareItem* item)
{
    const int index = FindChild(item);
    if (index < 0)
        return false;
    m_pChildren->erase(m_pChildren->begin() + index);
    item->m_pParent = nullptr;
    if (m_pChildren->empty())
        m_pChildren.reset();
    return true;
}

CFolderCompareItem* CFolderCompareItem::FindChildByOtherSide(int index, const CFolderItem* object,
                                                             bool foldersOnly) const
{
    const int other = OtherSide(index);
    const CFolder* folder = m_sides[other] != nullptr ? m_sides[other]->AsFolder() : nullptr;
    if (object == nullptr || folder == nullptr || folder->GetChildren() == nullptr || !m_pChildren)
        return nullptr;
    for (CFolderCompareItem* child : *m_pChildren)
    {
        if (foldersOnly && !child->IsFolderItem())
            continue;
        const CFolderItem* side = child->m_sides[other];
        if (side != nullptr && CompareNames(*side, *object) == 0)
            return child;
    }
    return nullptr;
}

void CFolderCompareItem::RefreshSides()
{
    for (CFolderItem* side : m_sides)
        if (side != nullptr)
            side->Refresh();
}

int CFolderCompareItem::CompareTree(const CFolderCompareParams& params, int mode, bool reload, bool recompare,
                                    CProcessCallback* progress, const CancelFlag* cancel)
{
    if (recompare)
        m_dwFlags &= ~ITEM_FLAG_COMPARED;
    if ((m_dwFlags & ITEM_FLAG_COMPARED) == 0)
    {
        if (reload)
            RefreshSides();
        Compare(params, cancel);
    }
    if (GetChildState() != 0 && mode != COMPARE_MODE_ITEM)
        CompareChildren(params, mode, reload, recompare, progress, cancel);
    if (m_pParent != nullptr)
        m_pParent->UpdateState();
    return static_cast<int>(m_dwStatus);
}

int CFolderCompareItem::CompareOne(const CFolderCompareParams& params, bool reload, bool recompare,
                                   const CancelFlag* cancel)
{
    if (recompare)
        m_dwFlags &= ~ITEM_FLAG_COMPARED;
    if ((m_dwFlags & ITEM_FLAG_COMPARED) != 0)
        return static_cast<int>(m_dwStatus);
    if ((reload || recompare) && m_pChildren)
    {
        RemoveAllChildren();
        m_dwFlags &= ~ITEM_FLAG_CHILDRENBUILT;
    }
    if (reload)
        RefreshSides();
    Compare(params, cancel);
    if (m_pParent != nullptr)
        m_pParent->UpdateState();
    return static_cast<int>(m_dwStatus);
}

int CFolderCompareItem::BuildLevel(const CFolderCompareParams& params, bool rescan, bool rebuild,
                                   CProcessCallback* progress, const CancelFlag* cancel)
{
    if (rebuild)
        m_dwFlags &= ~ITEM_FLAG_CHILDRENBUILT;
    if ((m_dwFlags & ITEM_FLAG_CHILDRENBUILT) != 0)
        return 0;
    if (GetChildState() == 0)
        return 0;
    if (rescan && !ScanSides())
        return -1;
    if (!PairChildren())
        return -1;
    ApplyFiltersToChildren(params.m_filters, cancel);
    CompareChildItems(params, progress, cancel);
    return 0;
}

int CFolderCompareItem::CompareChildren(const CFolderCompareParams& params, int mode, bool rescan,
                                        bool rebuild, CProcessCallback* progress, const CancelFlag* cancel)
{
    if (BuildLevel(params, rescan, rebuild, progress, cancel) < 0)
        return -1;
    if (mode == COMPARE_MODE_SUBTREE && m_pChildren)
    {
        // Depth first with an explicit stack, so that depth costs no call stack. Each level is
        // aggregated once, after everything below it is done; the ancestors follow at the end.
        struct Frame
        {
            CFolderCompareItem* item;
            std::size_t next;
        };
        std::vector<Frame> stack{{this, 0}};
        while (!stack.empty())
        {
            Frame& frame = stack.back();
            CFolderCompareItem* item = frame.item;
            if (item->m_pChildren && frame.next < item->m_pChildren->size() && !Cancelled(cancel))
            {
                CFolderCompareItem* child = (*item->m_pChildren)[frame.next++];
                if (child->BuildLevel(params, rescan, rebuild, progress, cancel) == 0 && child->m_pChildren)
                    stack.push_back({child, 0});
                else
                    child->AggregateChildren();
                continue;
            }
            if (item != this)
                item->AggregateChildren();
            stack.pop_back();
        }
    }
    UpdateState();
    return 0;
}

bool CFolderCompareItem::AggregateChildren()
{
    if (!m_pChildren || m_pChildren->empty())
    {
        // A level that was built and holds nothing (an empty or unreadable pair of folders, or
        // every entry gone) has nothing left to differ.
        if ((m_dwFlags & ITEM_FLAG_CHILDRENBUILT) == 0 || !IsFolderItem())
            return false;
        m_dwState = ITEM_STATE_EQUAL;
        UpdateStatus();
        return true;
    }
    std::uint32_t state = ITEM_STATE_UNDETERMINED;
    bool pending = false;
    for (const CFolderCompareItem* child : *m_pChildren)
    {
        if (child->IsExcluded())
            continue;
        if (child->m_dwStatus == ITEM_STATUS_PENDING)
        {
            pending = true;
            break;
        }
        if (!child->HasBothSides() || child->m_dwStatus == ITEM_STATUS_DIFFERENT)
            state = ITEM_STATE_DIFFERENT;
    }
    if (pending)
        state = ITEM_STATE_UNDETERMINED;
    else if (state == ITEM_STATE_UNDETERMINED)
        state = ITEM_STATE_EQUAL;
    m_dwState = state;
    UpdateStatus();
    return true;
}

int CFolderCompareItem::UpdateState()
{
    if (!AggregateChildren())
        return GetChildState();
    for (CFolderCompareItem* item = m_pParent; item != nullptr; item = item->m_pParent)
        item->AggregateChildren();
    return static_cast<int>(m_dwState);
}

bool CFolderCompareItem::IsSameObjectOnDisk() const
{
    const CFolderItem* left = m_sides[kLeft];
    const CFolderItem* right = m_sides[kRight];
    const CFolder* leftFolder = left->AsFolder();
    const CFolder* rightFolder = right->AsFolder();
    if (leftFolder != nullptr && rightFolder != nullptr &&
        (leftFolder->GetDevice() != 0 || leftFolder->GetInode() != 0))
        return leftFolder->IsSameFolder(*rightFolder);
    // A file is the same file when it has the same name in the same folder. Names that differ only
    // in case are different files here, so the test is exact.
    const CFolder* leftParent = left->GetParent();
    const CFolder* rightParent = right->GetParent();
    if (leftParent != nullptr && rightParent != nullptr &&
        (leftParent->GetDevice() != 0 || leftParent->GetInode() != 0))
        return leftParent->IsSameFolder(*rightParent) && left->GetNameView() == right->GetNameView();
    // Objects that were never read from the disk (project trees) have only their paths.
    return ::IsSamePath(left->GetPath(), right->GetPath());
}

std::uint32_t CFolderCompareItem::Compare(const CFolderCompareParams& params, const CancelFlag* /*cancel*/)
{
    if (IsExcluded())
        return 0;
    const bool folderItem = IsFolderItem();
    if (folderItem)
    {
        // A side that cannot be entered (a link looping back) has nothing to show below it.
        if (std::any_of(m_sides.begin(), m_sides.end(),
                        [](const CFolderItem* side) { return side != nullptr && side->GetError() != 0; }))
            m_dwFlags &= ~ITEM_FLAG_MAYHAVECHILDREN;
        else
            ProbeChildren(params.m_filters);
        m_dwState = GetChildState() != 0 ? ITEM_STATE_UNDETERMINED : ITEM_STATE_EQUAL;
    }
    if (HasBothSides() && IsSameObjectOnDisk())
    {
        m_dwStatus = ITEM_STATUS_SAMEPATH;
        m_dwDiffBits = 0;
        m_dwContentResult = CONTENT_NONE;
        m_dwFlags |= ITEM_FLAG_COMPARED;
        return 0;
    }
    m_dwStatus = ITEM_STATUS_PENDING;
    m_dwDiffBits = 0;
    m_dwContentResult = CONTENT_NONE;
    if (AreBothSidesAvailable() && !HasSideError())
    {
        const std::uint32_t methods = params.m_dwMethods;
        bool contentError = false;
        if ((methods & METHOD_LMTIME) != 0)
            CompareTime();
        if ((methods & METHOD_ATTRIBUTES) != 0)
            CompareAttributes();
        if (!folderItem)
        {
            if ((methods & METHOD_TYPE) != 0)
                CompareFileType();
            if ((methods & METHOD_SIZE) != 0)
                CompareSize();
            if ((methods & METHOD_VERSION) != 0)
                CompareVersion();
            if ((methods & METHOD_CRC32) != 0)
                CompareCRC();
            if ((methods & METHOD_BINARY) != 0)
                contentError |= CompareBinary() < 0;
            if ((methods & METHOD_TEXT) != 0)
                contentError |= CompareText() < 0;
            if (contentError)
                m_dwContentResult = CONTENT_ERROR;
        }
    }
    m_dwFlags |= ITEM_FLAG_COMPARED;
    if (!(m_pChildren && AggregateChildren()))
        UpdateStatus();
    return m_dwDiffBits;
}

int CFolderCompareItem::CompareFileType()
{
    if (!HasBothSides())
        return 0;
    return CFolderCompareMethods::CompareFileType(*m_sides[kLeft], *m_sides[kRight], m_dwDiffBits);
}

int CFolderCompareItem::CompareTime()
{
    if (!HasBothSides())
        return 0;
    return GetMethods().CompareTime(*m_sides[kLeft], *m_sides[kRight], IsFolderItem(), m_dwDiffBits);
}

int CFolderCompareItem::CompareSize()
{
    if (!HasBothSides())
        return 0;
    return CFolderCompareMethods::CompareSize(*m_sides[kLeft], *m_sides[kRight], m_dwDiffBits);
}

int CFolderCompareItem::CompareAttributes()
{
    if (!HasBothSides())
        return 0;
    return GetMethods().CompareAttributes(*m_sides[kLeft], *m_sides[kRight], IsFolderItem(), m_dwDiffBits);
}

int CFolderCompareItem::CompareVersion()
{
    if (!HasBothSides())
        return 0;
    return CFolderCompareMethods::CompareVersion(*m_sides[kLeft], *m_sides[kRight], m_dwDiffBits);
}

int CFolderCompareItem::CompareCRC()
{
    if (!HasBothSides())
        return 0;
    return CFolderCompareMethods::CompareCRC(*m_sides[kLeft], *m_sides[kRight], m_dwDiffBits,
                                             m_dwContentResult);
}

int CFolderCompareItem::CompareBinary()
{
    if (!HasBothSides())
        return 0;
    return CFolderCompareMethods::CompareBinary(*m_sides[kLeft], *m_sides[kRight], m_dwContentResult);
}

int CFolderCompareItem::CompareText()
{
    if (!HasBothSides())
        return 0;
    return GetMethods().CompareText(*m_sides[kLeft], *m_sides[kRight], m_dwContentResult);
}

bool CFolderCompareItem::ScanSides()
{
    if (!IsFolderItem())
        return false;
    RemoveAllChildren();
    for (CFolderItem* side : m_sides)
        if (side != nullptr && side->Exists())
            side->AsFolder()->Scan(false);
    return true;
}

bool CFolderCompareItem::PairChildren()
{
    if (!IsFolderItem())
        return false;
    RemoveAllChildren();
    static const CFolderItems kNone;
    std::array<const CFolderItems*, 2> lists{&kNone, &kNone};
    for (int index = kLeft; index <= kRight; ++index)
    {
        CFolder* folder = m_sides[index] != nullptr ? m_sides[index]->AsFolder() : nullptr;
        if (folder != nullptr && folder->SortChildren())
            lists[index] = folder->GetChildren();
    }
    const CFolderItems& left = *lists[kLeft];
    const CFolderItems& right = *lists[kRight];
    m_pChildren = std::make_unique<CFolderCompareItemPtrArray>();
    m_pChildren->reserve(std::max(left.size(), right.size()));
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < left.size() && j < right.size())
    {
        const int order = CompareNames(*left[i], *right[j]);
        if (order == 0)
            CreateChild(left[i++], right[j++]);
        else if (order < 0)
            CreateChild(left[i++], nullptr);
        else
            CreateChild(nullptr, right[j++]);
    }
    for (; i < left.size(); ++i)
        CreateChild(left[i], nullptr);
    for (; j < right.size(); ++j)
        CreateChild(nullptr, right[j]);
    if (m_pChildren->empty())
        m_pChildren.reset();
    return true;
}

int CFolderCompareItem::CompareNames(const CFolderItem& a, const CFolderItem& b) const
{
    return CompareFolderItems(a, b);
}

void CFolderCompareItem::ApplyFiltersToChildren(const CComboFilters& filters, const CancelFlag* cancel)
{
    if (!m_pChildren)
        return;
    for (CFolderCompareItem* child : *m_pChildren)
    {
        if (Cancelled(cancel))
            break;
        child->m_dwFlags &= ~ITEM_FLAG_EXCLUDED;
        if (child->GetChildState() == 0 && IsExcludedByFilters(child, filters))
            child->m_dwFlags |= ITEM_FLAG_EXCLUDED;
    }
}

bool CFolderCompareItem::IsExcludedByFilters(CFolderCompareItem* child, const CComboFilters& filters)
{
    const bool byType = filters.m_fileFilters.m_dwExcludeTypes != 0 && !child->IsFolderItem();
    if (byType)
        child->DetectFileType();
    bool any = false;
    bool all = true;
    for (CFolderItem* side : child->m_sides)
    {
        if (side == nullptr)
            continue;
        any = true;
        // Every side is judged, so that each tree object carries its own mark.
        bool excluded = side->ApplyFilter(filters);
        // A file whose type cannot be told (unreadable, not a regular file) is neither text nor
        // binary: a type filter must not make it disappear; comparing it shows the error instead.
        if (excluded && byType && side->GetFileType() == -1)
        {
            CComboFilters withoutTypes = filters;
            withoutTypes.m_fileFilters.m_dwExcludeTypes = 0;
            excluded = side->ApplyFilter(withoutTypes);
        }
        if (!excluded)
            all = false;
    }
    return any && all;
}

void CFolderCompareItem::CompareChildItems(const CFolderCompareParams& params, CProcessCallback* progress,
                                           const CancelFlag* cancel)
{
    if (m_pChildren && !m_pChildren->empty())
    {
        const auto count = static_cast<std::int32_t>(m_pChildren->size());
        if (progress != nullptr)
        {
            progress->BeginProgress();
            progress->SetProgress(CProcessCallback::kSetRange, count - 1);
            const char* format =
                params.m_nType == COMPARE_TYPE_PROJECT ? "Comparing projects: %s" : "Comparing folders: %s";
            progress->SetProgressText(FormatProgressText(format, GetName()));
        }
        for (std::int32_t index = 0; index < count; ++index)
        {
            if (Cancelled(cancel))
                break;
            CFolderCompareItem* child = (*m_pChildren)[static_cast<std::size_t>(index)];
            if (!child->IsExcluded())
                child->Compare(params, cancel);
            if (progress != nullptr)
                progress->SetProgress(CProcessCallback::kSetPosition, index);
        }
        if (progress != nullptr)
            progress->EndProgress();
    }
    m_dwFlags |= ITEM_FLAG_CHILDRENBUILT;
}

void CFolderCompareItem::ProbeChildren(const CComboFilters& filters)
{
    if (!IsFolderItem())
        return;
    m_dwFlags &= ~ITEM_FLAG_MAYHAVECHILDREN;
    for (CFolderItem* side : m_sides)
    {
        if (side == nullptr || !side->Exists())
            continue;
        if (side->AsFolder()->ContainsUnfilteredEntry(filters))
        {
            m_dwFlags |= ITEM_FLAG_MAYHAVECHILDREN;
            return;
        }
    }
}

void CFolderCompareItem::SwapSides()
{
    std::vector<CFolderCompareItem*> pending{this};
    while (!pending.empty())
    {
        CFolderCompareItem* item = pending.back();
        pending.pop_back();
        std::swap(item->m_sides[kLeft], item->m_sides[kRight]);
        if (item->m_pChildren)
            pending.insert(pending.end(), item->m_pChildren->begin(), item->m_pChildren->end());
    }
}

void CFolderCompareItem::SetMethods(const CFolderCompareMethods& methods)
{
    m_pMethods = std::make_unique<const CFolderCompareMethods>(methods);
}

const CFolderCompareMethods& CFolderCompareItem::GetMethods() const
{
    for (const CFolderCompareItem* item = this; item != nullptr; item = item->m_pParent)
        if (item->m_pMethods)
            return *item->m_pMethods;
    static const CFolderCompareMethods kDefaults;
    return kDefaults;
}

// File operations ------------------------------------------------------------------------------

std::string CFolderCompareItem::GetDestinationFolder(int index) const
{
    // Upwards to the nearest ancestor that has this side, then down again by the names.
    std::vector<const CFolderCompareItem*> missing;
    const CFolderCompareItem* parent = m_pParent;
    while (parent != nullptr && parent->m_sides[index] == nullptr)
    {
        missing.push_back(parent);
        parent = parent->m_pParent;
    }
    if (parent == nullptr)
        return {};
    std::string folder = parent->m_sides[index]->GetPath();
    for (auto it = missing.rbegin(); it != missing.rend(); ++it)
        folder = JoinPath(folder, (*it)->GetName());
    return folder;
}

bool CFolderCompareItem::EnsureParentSide(int index, std::uint32_t shellFlags, CItemMessageTarget* window,
                                          const CancelFlag* cancel)
{
    if (m_pParent == nullptr || m_pParent->HasSide(index))
        return true;
    return m_pParent->CopyToOtherSide(OtherSide(index), shellFlags, 0, window, cancel) == 0;
}

int CFolderCompareItem::CopyToOtherSide(int source, std::uint32_t shellFlags, int mode,
                                        CItemMessageTarget* window, const CancelFlag* cancel)
{
    const int other = OtherSide(source);
    if (!IsSideOnDisk(source))
        return -1;
    if (!EnsureParentSide(other, shellFlags, window, cancel))
        return -1;
    const std::string destination = GetDestinationFolder(other);
    if (destination.empty())
        return -1;
    CFolderItem* from = m_sides[source];
    const bool folderItem = IsFolderItem();
    if (folderItem && mode == 0)
    {
        // Only the folder itself: nothing to do when it is there already.
        if (IsSideOnDisk(other))
            return 0;
        CFolder* parentFolder = m_pParent->m_sides[other]->AsFolder();
        if (parentFolder == nullptr || parentFolder->CreateSubfolder(from->GetName()) < 0)
            return -1;
    }
    else
    {
        if (from->CopyTo(destination, shellFlags, ObserverOf(window)) != 0)
            return -1;
        if (!folderItem && !CopyArrived(from->GetPath(), JoinPath(destination, from->GetName())))
            return -1;
        from->Refresh();
    }
    CloneSideToOther(source, mode);
    if (m_pParent != nullptr)
        m_pParent->UpdateState();
    Notify(window, ITEMMSG_REFRESH, folderItem && mode == 2 ? 2 : 0, this);
    return 0;
}

int CFolderCompareItem::MoveToOtherSide(int source, std::uint32_t shellFlags, CItemMessageTarget* window,
                                        const CancelFlag* cancel)
{
    const int other = OtherSide(source);
    if (!IsSideOnDisk(source))
        return -1;
    if (!EnsureParentSide(other, shellFlags, window, cancel))
        return -1;
    const std::string destination = GetDestinationFolder(other);
    if (destination.empty())
        return -1;
    CFolderItem* from = m_sides[source];
    const std::string sourcePath = from->GetPath();
    if (from->MoveTo(destination, shellFlags, ObserverOf(window)) != 0)
        return -1;
    // A move the user declined (or that could not finish) leaves the source in place.
    if (!PathIsGone(sourcePath))
        return -1;
    const bool folderItem = IsFolderItem();
    MirrorAndRemoveSide(source);
    if (m_sides[other] != nullptr && !folderItem)
        m_sides[other]->Refresh();
    if (m_pParent != nullptr)
        m_pParent->UpdateState();
    Notify(window, ITEMMSG_REFRESH, folderItem ? 2 : 0, this);
    return 0;
}

void CFolderCompareItem::CloneSideToOther(int index, int mode)
{
    const int other = OtherSide(index);
    CFolderItem* from = m_sides[index];
    if (from == nullptr)
        return;
    if (m_pParent != nullptr && !m_pParent->HasSide(other))
        m_pParent->CloneSideToOther(index, 0);
    if (m_sides[other] != nullptr)
        m_sides[other]->CopyInfoFrom(*from);
    else if (m_pParent != nullptr && m_pParent->m_sides[other] != nullptr)
    {
        CFolder* parentFolder = m_pParent->m_sides[other]->AsFolder();
        if (parentFolder == nullptr)
            return;
        CFolderItem* copy = from->Clone();
        parentFolder->AddChild(copy);
        m_sides[other] = copy;
        if (copy->IsFolder())
            copy->Refresh();
    }
    m_dwDiffBits = 0;
    if (!IsFolderItem())
    {
        m_dwContentResult = CONTENT_SAME;
        m_dwState = ITEM_STATE_EQUAL;
        UpdateStatus();
        return;
    }
    if (mode == 2 && m_pChildren)
        for (CFolderCompareItem* child : *m_pChildren)
            child->CloneSideToOther(index, 2);
    if (!AggregateChildren())
        UpdateStatus();
}

void CFolderCompareItem::MirrorAndRemoveSide(int index)
{
    CloneSideToOther(index, 2);
    RemoveSide(index);
}

void CFolderCompareItem::RemoveSide(int index)
{
    // The children's objects of this side live in this side's folder and go with it; the children
    // only forget them. Statuses are recomputed from the bottom up.
    std::vector<CFolderCompareItem*> order;
    if (m_pChildren)
    {
        std::vector<CFolderCompareItem*> pending(m_pChildren->begin(), m_pChildren->end());
        while (!pending.empty())
        {
            CFolderCompareItem* item = pending.back();
            pending.pop_back();
            order.push_back(item);
            if (item->m_pChildren)
                pending.insert(pending.end(), item->m_pChildren->begin(), item->m_pChildren->end());
        }
    }
    for (CFolderCompareItem* item : order)
    {
        item->m_sides[index] = nullptr;
        item->m_dwDiffBits = 0;
    }
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        if (!(*it)->AggregateChildren())
            (*it)->UpdateStatus();
    CFolderItem* side = m_sides[index];
    m_sides[index] = nullptr;
    if (side != nullptr)
        side->Remove();
    m_dwDiffBits = 0;
    if (!AggregateChildren())
        UpdateStatus();
}

void CFolderCompareItem::RemoveSidelessChildren(CItemMessageTarget* window)
{
    if (!m_pChildren)
        return;
    auto& children = *m_pChildren;
    std::size_t kept = 0;
    for (CFolderCompareItem* child : children)
    {
        child->RemoveSidelessChildren(window);
        if (child->HasSide(kLeft) || child->HasSide(kRight))
        {
            children[kept++] = child;
            continue;
        }
        Notify(window, ITEMMSG_REMOVE, 0, child);
        child->m_pParent = nullptr;
        delete child;
    }
    children.resize(kept);
    if (children.empty())
        m_pChildren.reset();
}

int CFolderCompareItem::DeleteSides(int mask, std::uint32_t shellFlags, CItemMessageTarget* window,
                                    const CancelFlag* /*cancel*/)
{
    bool deleted = false;
    for (int index = kLeft; index <= kRight; ++index)
    {
        if (!InMask(mask, index) || m_sides[index] == nullptr)
            continue;
        if (m_sides[index]->Delete(shellFlags, ObserverOf(window)) != 0)
            continue;
        RemoveSide(index);
        deleted = true;
    }
    if (!deleted)
        return -1;
    RemoveSidelessChildren(window);
    CFolderCompareItem* parent = m_pParent;
    if (HasSide(kLeft) || HasSide(kRight))
    {
        if (!AggregateChildren())
            UpdateStatus();
        if (parent != nullptr)
            parent->UpdateState();
        Notify(window, ITEMMSG_REFRESH, 0, this);
        return 0;
    }
    // The root belongs to its document, which decides what becomes of it.
    if (parent == nullptr)
        return 0;
    Notify(window, ITEMMSG_REMOVE, 0, this);
    Remove();
    parent->UpdateState();
    return 0;
}

int CFolderCompareItem::RenameSides(int mask, const std::string& newName, std::uint32_t shellFlags,
                                    CItemMessageTarget* window, const CancelFlag* /*cancel*/)
{
    if (!IsValidElementName(newName))
        return -1;
    int renamed = 0;
    for (int index = kLeft; index <= kRight; ++index)
    {
        CFolderItem* side = m_sides[index];
        if (!InMask(mask, index) || side == nullptr)
            continue;
        const std::string target = JoinPath(side->GetFolderPath(), newName);
        if (side->RenameTo(target, shellFlags, ObserverOf(window)) != 0)
            continue;
        side->SetName(newName);
        ++renamed;
    }
    if (renamed == 0)
        return -1;
    if (renamed == 2 || m_pParent == nullptr)
        Notify(window, ITEMMSG_REFRESH, 0, this);
    else
        // The parent rebuilds its children and so destroys this item: nothing may follow.
        Notify(window, ITEMMSG_REBUILDCHILDREN, 1, m_pParent);
    return 0;
}

int CFolderCompareItem::SetTime(int target, bool copyFromOther, std::time_t time, CItemMessageTarget* window)
{
    const int other = OtherSide(target);
    if (!HasSide(target))
        return -1;
    if (copyFromOther)
    {
        if (!HasSide(other))
            return -1;
        time = m_sides[other]->GetLastWriteTime();
    }
    if (m_sides[target]->SetLastWriteTime(time) != 0)
        return -1;
    Notify(window, ITEMMSG_RECOMPARE, 0, this);
    return 0;
}

int CFolderCompareItem::SetAttributes(int mask, std::uint32_t controlled, std::uint32_t toSet,
                                      CItemMessageTarget* window)
{
    bool changed = false;
    for (int index = kLeft; index <= kRight; ++index)
    {
        CFolderItem* side = m_sides[index];
        if (!InMask(mask, index) || side == nullptr)
            continue;
        const std::uint32_t attributes = (side->m_dwAttributes & ~controlled) | toSet;
        if (attributes == side->m_dwAttributes)
            continue;
        if (side->SetAttributes(attributes) == 0)
            changed = true;
    }
    if (!changed)
        return -1;
    Notify(window, ITEMMSG_RECOMPARE, 0, this);
    return 0;
}

int CFolderCompareItem::CreateFolder(int mask, const std::string& name, CItemMessageTarget* window)
{
    if (!IsFolderItem() || !IsValidElementName(name))
        return -1;
    std::array<CFolder*, 2> created{};
    for (int index = kLeft; index <= kRight; ++index)
    {
        CFolder* folder = m_sides[index] != nullptr ? m_sides[index]->AsFolder() : nullptr;
        if (!InMask(mask, index) || folder == nullptr || folder->CreateSubfolder(name) != 0)
            continue;
        auto* made = new CFolder(name, true);
        folder->AddChild(made);
        made->Refresh();
        created[index] = made;
    }
    if (created[kLeft] == nullptr && created[kRight] == nullptr)
        return -1;
    CFolderCompareItem* item = nullptr;
    if (created[kLeft] == nullptr || created[kRight] == nullptr)
    {
        const int index = created[kLeft] != nullptr ? kLeft : kRight;
        const int other = OtherSide(index);
        if (m_pChildren)
            for (CFolderCompareItem* child : *m_pChildren)
                if (child->m_sides[index] == nullptr && child->m_sides[other] != nullptr &&
                    child->m_sides[other]->IsFolder() && child->m_sides[other]->GetNameView() == name)
                {
                    item = child;
                    break;
                }
        if (item != nullptr)
        {
            item->m_sides[index] = created[index];
            if (!item->AggregateChildren())
                item->UpdateStatus();
        }
    }
    if (item == nullptr)
    {
        item = new CFolderCompareItem(created[kLeft], created[kRight]);
        AddChild(item);
        item->m_dwState = ITEM_STATE_EQUAL;
        item->m_dwFlags |= ITEM_FLAG_COMPARED | ITEM_FLAG_CHILDRENBUILT;
        item->UpdateStatus();
    }
    UpdateState();
    Notify(window, ITEMMSG_EXPAND, 1, this);
    Notify(window, ITEMMSG_INSERTCHILDREN, COMPARE_MODE_LEVEL, this);
    return 0;
}

namespace
{

// One content method on a file item; -1 for an unknown method.
int RunContentMethod(CFolderCompareItem& item, std::uint32_t method)
{
    switch (method)
    {
    case METHOD_CRC32:
        return item.CompareCRC();
    case METHOD_BINARY:
        return item.CompareBinary();
    case METHOD_TEXT:
        return item.CompareText();
    default:
        return -1;
    }
}

} // namespace

int CFolderCompareItem::CompareContents(std::uint32_t method, CItemMessageTarget* window,
                                        const CancelFlag* cancel)
{
    if (method != METHOD_CRC32 && method != METHOD_BINARY && method != METHOD_TEXT)
        return -1;
    if (!AreBothSidesOnDisk())
        return -1;
    if (!IsFolderItem())
    {
        RunContentMethod(*this, method);
        UpdateStatus();
        if (m_pParent != nullptr)
            m_pParent->UpdateState();
        Notify(window, ITEMMSG_REFRESH, 0, this);
        return 0;
    }
    // Every level below, bottom up, each aggregated once; the ancestors follow at the end.
    std::vector<CFolderCompareItem*> folders{this};
    for (std::size_t i = 0; i < folders.size() && !Cancelled(cancel); ++i)
    {
        if (!folders[i]->m_pChildren)
            continue;
        for (CFolderCompareItem* child : *folders[i]->m_pChildren)
        {
            if (Cancelled(cancel))
                break;
            if (child->IsExcluded() || !child->AreBothSidesOnDisk())
                continue;
            if (child->IsFolderItem())
                folders.push_back(child);
            else
            {
                RunContentMethod(*child, method);
                child->UpdateStatus();
            }
        }
    }
    for (auto it = folders.rbegin(); it != folders.rend(); ++it)
        if (!(*it)->AggregateChildren())
            (*it)->UpdateStatus();
    UpdateState();
    Notify(window, ITEMMSG_REFRESH, 2, this);
    return 0;
}

// Views and commands ----------------------------------------------------------------------------

bool IsHiddenByDisplayFilter(std::uint32_t filters, CFolderCompareItem& item)
{
    if (item.IsFolderItem())
        return false;
    if ((filters & DISPLAY_ALL) == DISPLAY_ALL)
        return false;
    const std::uint32_t status = item.GetStatus();
    if (status == ITEM_STATUS_IDENTICAL)
        return (filters & DISPLAY_IDENTICAL) == 0;
    if ((filters & (DISPLAY_ALL & ~DISPLAY_IDENTICAL)) == 0)
        return true;
    // Pending, same-path and error items belong to no category but "everything".
    if (status != ITEM_STATUS_DIFFERENT)
        return true;
    if (item.HasBothSides())
    {
        if (item.HasDiff(DIFF_LMTIME))
        {
            const int newer = item.CompareTime();
            return !((newer > 0 && (filters & DISPLAY_LEFTNEWER) != 0) ||
                     (newer < 0 && (filters & DISPLAY_RIGHTNEWER) != 0));
        }
        return (filters & DISPLAY_DIFFERENT) == 0;
    }
    if (item.HasSide(CFolderCompareItem::kLeft))
        return (filters & DISPLAY_LEFTORPHANS) == 0;
    return (filters & DISPLAY_RIGHTORPHANS) == 0;
}

bool MatchesSelection(int command, CFolderCompareItem& item)
{
    if (item.IsFolderItem())
        return false;
    const bool left = item.HasSide(CFolderCompareItem::kLeft);
    const bool right = item.HasSide(CFolderCompareItem::kRight);
    const auto newer = [&item]() { return item.HasDiff(DIFF_LMTIME) ? item.CompareTime() : 0; };
    switch (command)
    {
    case ID_SELECT_ALLFILES:
        return true;
    case ID_SELECT_ALLDIFFERENT:
        return item.IsDifferent();
    case ID_SELECT_DIFFERENTBUTORPHANS:
        return item.IsDifferent() && left && right;
    case ID_SELECT_ORPHANS:
        return !(left && right);
    case ID_SELECT_LEFTORPHANS:
        return left && !right;
    case ID_SELECT_RIGHTORPHANS:
        return right && !left;
    case ID_SELECT_LEFTNEWER:
        return newer() > 0;
    case ID_SELECT_RIGHTNEWER:
        return newer() < 0;
    case ID_SELECT_LEFTNEWERANDORPHANS:
        return (left && !right) || (left && right && newer() > 0);
    case ID_SELECT_RIGHTNEWERANDORPHANS:
        return (right && !left) || (left && right && newer() < 0);
    default:
        return false;
    }
}
