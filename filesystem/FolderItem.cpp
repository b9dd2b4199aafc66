#include "filesystem/FolderItem.h"

#include "filesystem/ComboFilters.h"
#include "filesystem/Folder.h"

#include <vector>

CFolderItem::CFolderItem(std::string path, bool relative)
    : CFileObject(std::move(path)), m_bRelative(relative ? 1 : 0)
{
}

void CFolderItem::Reset()
{
    CFileObject::Reset();
    m_nError = 0;
}

bool CFolderItem::LoadFromFindData(const platform::FindData& entry)
{
    const bool loaded = CFileObject::LoadFromFindData(entry);
    m_nError = entry.m_nError;
    return loaded;
}

std::string CFolderItem::GetPath() const
{
    if (m_pParent == nullptr || m_bRelative == 0)
        return m_strPath;
    // Built from the top down without recursion: trees can be deep.
    std::vector<const CFolderItem*> chain;
    const CFolderItem* top = this;
    while (top->m_pParent != nullptr && top->m_bRelative != 0)
    {
        chain.push_back(top);
        top = top->m_pParent;
    }
    std::string path = top->m_strPath;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    {
        if (!path.empty() && path.back() != platform::kPathSeparator)
            path += platform::kPathSeparator;
        path += (*it)->m_strPath;
    }
    return path;
}

std::string CFolderItem::GetName() const
{
    return std::string(GetNameView());
}

std::string_view CFolderItem::GetNameView() const
{
    const std::string_view path = m_strPath;
    if (m_bRelative != 0)
        return path;
    // The last element of a root's full path, as NameOfPath finds it.
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == platform::kPathSeparator)
        --end;
    const std::size_t slash = path.rfind(platform::kPathSeparator, end == 0 ? 0 : end - 1);
    if (slash == std::string_view::npos)
        return path.substr(0, end);
    if (slash + 1 >= end)
        return {};
    return path.substr(slash + 1, end - slash - 1);
}

CFolderItem* CFolderItem::Clone() const
{
    auto* copy = new CFolderItem(GetName(), true);
    copy->CopyInfoFrom(*this);
    return copy;
}

void CFolderItem::Remove()
{
    if (m_pParent != nullptr)
        m_pParent->DetachChild(this);
    delete this;
}

bool CFolderItem::IsFolder() const
{
    return false;
}

CFolderItem* CFolderItem::GetItem()
{
    return this;
}

bool CFolderItem::IsExcluded() const
{
    return HasStatus(FILE_STATUS_EXCLUDED);
}

bool CFolderItem::ApplyFilter(const CComboFilters& filters)
{
    m_dwStatus &= ~FILE_STATUS_EXCLUDED;
    if (filters.IsExcluded(*this))
        m_dwStatus |= FILE_STATUS_EXCLUDED;
    return IsExcluded();
}

void CFolderItem::CopyInfoFrom(const CFileInfoEx& other)
{
    // The stored path is this object's name in its own tree, not part of the description.
    std::string stored = std::move(m_strPath);
    CFileInfoEx::CopyFrom(other);
    m_strPath = std::move(stored);
    if (const auto* item = dynamic_cast<const CFolderItem*>(&other))
        m_nError = item->m_nError;
}

void CFolderItem::SetName(const std::string& name)
{
    if (m_bRelative != 0)
    {
        m_strPath = name;
        return;
    }
    const std::string folder = GetFolderPath();
    m_strPath = folder.empty() ? name : (folder.back() == '/' ? folder + name : folder + "/" + name);
}
