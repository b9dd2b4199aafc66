#pragma once

#include "platform/FileSystemEntry.h"
#include "platform/FileTime.h"

#include <cstdint>
#include <ctime>
#include <string>

// Status bits of a file-information record.
inline constexpr std::uint32_t FILE_STATUS_MISSING = 0x1;       // the last load did not find the path
inline constexpr std::uint32_t FILE_STATUS_RESET = 0x30;        // the value after Reset
inline constexpr std::uint32_t FILE_STATUS_EXCLUDED = 0x200000; // excluded by the active filters

// Bits of the loaded-flags word.
inline constexpr std::uint32_t FILE_LOADED_INFO = 0x1;
inline constexpr std::uint32_t FILE_LOADED_VERSION = 0x100;
inline constexpr std::uint32_t FILE_LOADED_TYPE = 0x200;
inline constexpr std::uint32_t FILE_LOADED_CRC = 0x800;

// The raw description of one directory entry.
struct tagFILE_INFO_BASE
{
    std::uint64_t m_nSize = 0; // not filled for folders
    platform::FileTime m_ftCreationTime = 0;
    platform::FileTime m_ftLastAccessTime = 0;
    platform::FileTime m_ftLastWriteTime = 0;
    std::uint32_t m_dwAttributes = 0;
    std::uint32_t m_dwStatus = FILE_STATUS_RESET;
};

// A file or folder: its path and the entry information, loaded from the path or from a directory
// enumeration, and formatted for display.
class CFileInfo : public tagFILE_INFO_BASE
{
public:
    CFileInfo();
    explicit CFileInfo(std::string path);
    virtual ~CFileInfo() = default;

    virtual void Reset();
    virtual bool LoadFromPath(const std::string& path);
    // Reloads from GetPath() and keeps the stored path text (a tree item keeps its short name).
    virtual bool Refresh();
    virtual bool LoadFromFindData(const platform::FindData& entry);
    virtual std::uint64_t GetSize() const;
    virtual std::string GetName() const;
    virtual std::string GetPath() const;
    // The name without its extension.
    virtual std::string GetTitle() const;
    // The extension with its leading dot, or "". A name's leading dot starts no extension (".profile").
    virtual std::string GetExtension() const;
    // "file://" and the full path, percent-encoded.
    virtual std::string GetURL() const;
    // The full path without its last element; "/" for an element of the root; "" when nothing is left.
    virtual std::string GetFolderPath() const;
    virtual bool IsDots() const;
    virtual std::time_t GetLastWriteTime() const;
    virtual platform::FileTime GetLastWriteFileTime() const;
    virtual std::time_t GetLastAccessTime() const;
    virtual platform::FileTime GetLastAccessFileTime() const;
    virtual std::time_t GetCreationTime() const;
    virtual platform::FileTime GetCreationFileTime() const;
    virtual bool Exists() const;
    virtual bool HasStatus10() const;
    virtual bool HasStatus20() const;
    // "RASH" positions: read-only, archive, system, hidden; "-" where not set.
    virtual std::string GetAttributesString(bool upper) const;
    // "" for folders, else the size grouped by the locale.
    virtual std::string GetSizeString() const;
    virtual std::string FormatLastWriteTime() const;
    virtual std::string FormatLastAccessTime() const;
    virtual std::string FormatCreationTime() const;
    virtual void CopyFrom(const CFileInfo& other);
    virtual bool HasAttribute(std::uint32_t mask) const;
    virtual bool HasStatus(std::uint32_t mask) const;
    // Local time, "%Y-%m-%d %H:%M:%S"; "" for a time of 0.
    virtual std::string FormatTime(platform::FileTime time) const;

    bool IsFolder() const { return HasAttribute(platform::FILE_ATTRIBUTE_DIRECTORY); }
    std::uint32_t GetLoadedFlags() const { return m_dwLoaded; }
    // The stored path text (for a tree item, its name).
    const std::string& GetStoredPath() const { return m_strPath; }
    char GetSeparator() const { return m_chSeparator; }

protected:
    std::string m_strPath;
    std::uint32_t m_dwLoaded = 0;
    char m_chSeparator = platform::kPathSeparator;
};

// True for the root of the file system, which loads as a folder without reading anything.
bool IsRootPath(const std::string& path);
