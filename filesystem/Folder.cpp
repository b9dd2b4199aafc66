#include "filesystem/Folder.h"

#include "filesystem/ComboFilters.h"
#include "filesystem/FileFindEx.h"
#include "filesystem/Wildcard.h"

#include <algorithm>
#include <cerrno>

CFolder::~CFolder()
{
    DestroyChildren(std::move(m_pChildren));
}

void CFolder::DestroyChildren(std::unique_ptr<CFolderItems> children)
{
    if (!children)
        return;
    std::vector<CFolderItem*> pending(children->begin(), children->end());
    children.reset();
    while (!pending.empty())
    {
        CFolderItem* item = pending.back();
        pending.pop_back();
        if (CFolder* folder = item->AsFolder(); folder != nullptr && folder->m_pChildren)
        {
            pending.insert(pending.end(), folder->m_pChildren->begin(), folder->m_pChildren->end());
            folder->m_pChildren.reset();
        }
        delete item;
    }
}

bool CFolder::LoadFromPath(const std::string& path)
{
    const bool loaded = CFolderItem::LoadFromPath(path);
    if (loaded && m_nDevice == 0 && m_nInode == 0)
    {
        // The file-system root loads without reading its entry; its identity is still needed to
        // recognise links that lead back to it.
        platform::FindData entry;
        if (platform::ReadEntry(path, entry) == 0 && entry.m_nError == 0)
        {
            m_nDevice = entry.m_nDevice;
            m_nInode = entry.m_nInode;
        }
    }
    return loaded;
}

void CFolder::Reset()
{
    CFolderItem::Reset();
    m_nDevice = m_nInode = 0;
}

bool CFolder::LoadFromFindData(const platform::FindData& entry)
{
    const bool loaded = CFolderItem::LoadFromFindData(entry);
    m_nDevice = entry.m_nDevice;
    m_nInode = entry.m_nInode;
    // A link (or mount) back to a folder of its own path is an error entry, never entered: that is
    // what keeps a scan of the whole tree finite.
    if (entry.m_nError == 0 && m_pParent != nullptr && m_pParent->IsOnOwnPath(entry))
        m_nError = ELOOP;
    return loaded;
}

CFolderItem* CFolder::Clone() const
{
    auto* copy = new CFolder(GetName(), true);
    copy->CopyInfoFrom(*this);
    copy->m_nDevice = m_nDevice;
    copy->m_nInode = m_nInode;
    return copy;
}

bool CFolder::IsFolder() const
{
    return HasAttribute(platform::FILE_ATTRIBUTE_DIRECTORY);
}

int CFolder::HasChildren() const
{
    if (!m_pChildren)
        return 0;
    for (const CFolderItem* child : *m_pChildren)
        if (!child->IsExcluded())
            return 2;
    return 0;
}

int CFolder::GetChildCount(bool all) const
{
    if (!m_pChildren)
        return 0;
    if (all)
        return static_cast<int>(m_pChildren->size());
    return static_cast<int>(std::count_if(m_pChildren->begin(), m_pChildren->end(),
                                          [](const CFolderItem* child) { return !child->IsExcluded(); }));
}

bool CFolder::ContainsUnfilteredEntry(const CComboFilters& filters) const
{
    if (!Exists() || !IsFolder() || m_nError != 0)
        return false;
    CFileFindEx find;
    if (!find.FindFile(GetPath()))
        return true;
    while (find.FindNextFile())
        if (!filters.IsExcluded(find.GetFindData()))
            return true;
    // A listing cut short by a read error leaves entries unseen.
    return find.GetLastError() != 0;
}

bool CFolder::IsOnOwnPath(const platform::FindData& entry) const
{
    for (const CFolder* folder = this; folder != nullptr; folder = folder->m_pParent)
        if (folder->m_nDevice == entry.m_nDevice && folder->m_nInode == entry.m_nInode &&
            (folder->m_nDevice != 0 || folder->m_nInode != 0))
            return true;
    return false;
}

bool CFolder::Scan(bool filesOnly)
{
    const std::string path = GetPath();
    if (!IsRootPath(path) && (!IsFolder() || IsDots()))
        return false;
    // A link back into its own path is shown as an error, never entered.
    if (m_nError != 0)
        return false;
    RemoveAllChildren();
    m_nScanError = 0;
    CFileFindEx find;
    if (!find.FindFile(path))
    {
        m_nScanError = find.GetLastError() != 0 ? find.GetLastError() : EIO;
        return true;
    }
    while (find.FindNextFile())
    {
        const platform::FindData& entry = find.GetFindData();
        if (entry.m_strName == "." || entry.m_strName == "..")
            continue;
        if (entry.IsDirectory())
        {
            if (filesOnly)
                continue;
            AddFolder(entry.m_strName, entry);
        }
        else
            AddFile(entry.m_strName, entry);
    }
    m_nScanError = find.GetLastError();
    return true;
}

bool CFolder::SortChildren()
{
    if (!m_pChildren)
        return false;
    std::sort(m_pChildren->begin(), m_pChildren->end(),
              [](const CFolderItem* a, const CFolderItem* b) { return CompareFolderItems(*a, *b) < 0; });
    return true;
}

void CFolder::RemoveAllChildren()
{
    DestroyChildren(std::move(m_pChildren));
}

int CFolder::AddChild(CFolderItem* item)
{
    if (!m_pChildren)
        m_pChildren = std::make_unique<CFolderItems>();
    m_pChildren->push_back(item);
    item->m_pParent = this;
    return static_cast<int>(m_pChildren->size()) - 1;
}

int CFolder::FindChild(const CFolderItem* item) const
{
    if (!m_pChildren)
        return -1;
    const auto it = std::find(m_pChildren->begin(), m_pChildren->end(), item);
    return it == m_pChildren->end() ? -1 : static_cast<int>(it - m_pChildren->begin());
}

bool CFolder::DetachChild(CFolderItem* item)
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

bool CFolder::DeleteChild(CFolderItem* item)
{
    if (!DetachChild(item))
        return false;
    delete item;
    return true;
}

CFolderItem* CFolder::AddFile(const std::string& path, const platform::FindData& entry)
{
    auto* item = new CFolderItem(platform::NameOfPath(path), true);
    AddChild(item);
    item->LoadFromFindData(entry);
    return item;
}

CFolder* CFolder::AddFolder(const std::string& path, const platform::FindData& entry)
{
    auto* folder = new CFolder(platform::NameOfPath(path), true);
    AddChild(folder);
    folder->LoadFromFindData(entry);
    return folder;
}

bool CFolder::IsSameFolder(const CFolder& other) const
{
    if (m_nDevice == 0 && m_nInode == 0)
        return false;
    return m_nDevice == other.m_nDevice && m_nInode == other.m_nInode;
}

namespace
{

unsigned char FoldAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

} // namespace

int CompareFolderItemNames(std::string_view a, std::string_view b)
{
    // ASCII is folded in place; the rest of the names from the first non-ASCII byte on goes through
    // the full folding, which works one code point at a time and so agrees with the ASCII prefix.
    std::size_t i = 0;
    const std::size_t common = std::min(a.size(), b.size());
    for (; i < common; ++i)
    {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (ca >= 0x80 || cb >= 0x80)
            break;
        if (FoldAscii(ca) != FoldAscii(cb))
            return FoldAscii(ca) < FoldAscii(cb) ? -1 : 1;
    }
    if (i < common)
    {
        const int folded = Sign(FoldCase(a.substr(i)).compare(FoldCase(b.substr(i))));
        if (folded != 0)
            return folded;
    }
    else if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return Sign(a.compare(b));
}

int CompareFolderItems(const CFolderItem& a, const CFolderItem& b)
{
    const bool folderA = a.IsFolder();
    const bool folderB = b.IsFolder();
    if (folderA != folderB)
        return folderA ? -1 : 1;
    return CompareFolderItemNames(a.GetNameView(), b.GetNameView());
}

CFolder* OpenRootFolder(const std::string& path)
{
    platform::FindData entry;
    if (path.empty() || (!IsRootPath(path) && (platform::ReadEntry(path, entry) != 0 || entry.m_nError != 0 ||
                                               !entry.IsDirectory())))
        return nullptr;
    auto* root = new CFolder(path, false);
    if (!root->LoadFromPath(path))
    {
        delete root;
        return nullptr;
    }
    return root;
}
