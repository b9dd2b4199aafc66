#include "filesystem/FileInfo.h"

#include "filesystem/FileHelpers.h"

#include <cstdio>

CFileInfo::CFileInfo() = default;

CFileInfo::CFileInfo(std::string path) : m_strPath(std::move(path)) {}

bool IsRootPath(const std::string& path)
{
    return !path.empty() && path.find_first_not_of('/') == std::string::npos;
}

void CFileInfo::Reset()
{
    m_nSize = 0;
    m_ftCreationTime = m_ftLastAccessTime = m_ftLastWriteTime = 0;
    m_dwAttributes = 0;
    m_dwStatus = FILE_STATUS_RESET;
}

bool CFileInfo::LoadFromPath(const std::string& path)
{
    Reset();
    m_strPath = path;
    if (IsRootPath(path))
    {
        m_dwAttributes = platform::FILE_ATTRIBUTE_DIRECTORY;
        m_dwLoaded = FILE_LOADED_INFO;
        return true;
    }
    platform::FindData entry;
    if (platform::ReadEntry(path, entry) != 0 || entry.m_nError != 0)
    {
        m_dwStatus = FILE_STATUS_MISSING;
        return false;
    }
    return LoadFromFindData(entry);
}

bool CFileInfo::Refresh()
{
    if (m_strPath.empty())
        return false;
    const std::string stored = m_strPath;
    const bool loaded = LoadFromPath(GetPath());
    m_strPath = stored;
    return loaded;
}

bool CFileInfo::LoadFromFindData(const platform::FindData& entry)
{
    Reset();
    m_dwAttributes = entry.m_dwAttributes;
    if (!entry.IsDirectory())
        m_nSize = entry.m_nSize;
    m_ftCreationTime = entry.m_ftCreationTime;
    m_ftLastAccessTime = entry.m_ftLastAccessTime;
    m_ftLastWriteTime = entry.m_ftLastWriteTime;
    m_dwLoaded = FILE_LOADED_INFO;
    return true;
}

std::uint64_t CFileInfo::GetSize() const
{
    return m_nSize;
}

std::string CFileInfo::GetName() const
{
    return platform::NameOfPath(GetPath());
}

std::string CFileInfo::GetPath() const
{
    return m_strPath;
}

namespace {

// Position of the dot that starts the extension of a name, or npos.
std::size_t ExtensionDot(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return std::string::npos;
    return dot;
}

} // namespace

std::string CFileInfo::GetTitle() const
{
    const std::string name = GetName();
    const std::size_t dot = ExtensionDot(name);
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string CFileInfo::GetExtension() const
{
    const std::string name = GetName();
    const std::size_t dot = ExtensionDot(name);
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string CFileInfo::GetURL() const
{
    return "file://" + platform::PercentEncodePath(GetPath());
}

std::string CFileInfo::GetFolderPath() const
{
    std::string path = GetPath();
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || path == "/")
        return {};
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool CFileInfo::IsDots() const
{
    if (!IsFolder())
        return false;
    const std::string name = GetName();
    return name == "." || name == "..";
}

std::time_t CFileInfo::GetLastWriteTime() const
{
    return platform::UnixTimeFromFileTime(m_ftLastWriteTime);
}

platform::FileTime CFileInfo::GetLastWriteFileTime() const
{
    return m_ftLastWriteTime;
}

std::time_t CFileInfo::GetLastAccessTime() const
{
    return platform::UnixTimeFromFileTime(m_ftLastAccessTime);
}

platform::FileTime CFileInfo::GetLastAccessFileTime() const
{
    return m_ftLastAccessTime;
}

std::time_t CFileInfo::GetCreationTime() const
{
    return platform::UnixTimeFromFileTime(m_ftCreationTime);
}

platform::FileTime CFileInfo::GetCreationFileTime() const
{
    return m_ftCreationTime;
}

bool CFileInfo::Exists() const
{
    return !HasStatus(FILE_STATUS_MISSING);
}

bool CFileInfo::HasStatus10() const
{
    return HasStatus(0x10);
}

bool CFileInfo::HasStatus20() const
{
    return HasStatus(0x20);
}

std::string CFileInfo::GetAttributesString(bool upper) const
{
    std::string text = "----";
    if (HasAttribute(platform::FILE_ATTRIBUTE_READONLY))
        text[0] = upper ? 'R' : 'r';
    if (HasAttribute(platform::FILE_ATTRIBUTE_ARCHIVE))
        text[1] = upper ? 'A' : 'a';
    if (HasAttribute(platform::FILE_ATTRIBUTE_SYSTEM))
        text[2] = upper ? 'S' : 's';
    if (HasAttribute(platform::FILE_ATTRIBUTE_HIDDEN))
        text[3] = upper ? 'H' : 'h';
    return text;
}

std::string CFileInfo::GetSizeString() const
{
    if (IsFolder())
        return {};
    return FormatNumber(m_nSize);
}

std::string CFileInfo::FormatLastWriteTime() const
{
    return FormatTime(m_ftLastWriteTime);
}

std::string CFileInfo::FormatLastAccessTime() const
{
    return FormatTime(m_ftLastAccessTime);
}

std::string CFileInfo::FormatCreationTime() const
{
    return FormatTime(m_ftCreationTime);
}

void CFileInfo::CopyFrom(const CFileInfo& other)
{
    static_cast<tagFILE_INFO_BASE&>(*this) = other;
    m_strPath = other.m_strPath;
    m_dwLoaded = other.m_dwLoaded;
}

bool CFileInfo::HasAttribute(std::uint32_t mask) const
{
    return (m_dwAttributes & mask) != 0;
}

bool CFileInfo::HasStatus(std::uint32_t mask) const
{
    return (m_dwStatus & mask) != 0;
}

std::string CFileInfo::FormatTime(platform::FileTime time) const
{
    return platform::FormatLocalFileTime(time, "%Y-%m-%d %H:%M:%S");
}
