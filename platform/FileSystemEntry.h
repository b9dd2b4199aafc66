#pragma once

#include "platform/FileTime.h"

#include <cstdint>
#include <string>

namespace platform {

// Attribute bits in the values that stored settings and comparisons use.
inline constexpr std::uint32_t FILE_ATTRIBUTE_READONLY = 0x1;
inline constexpr std::uint32_t FILE_ATTRIBUTE_HIDDEN = 0x2;
inline constexpr std::uint32_t FILE_ATTRIBUTE_SYSTEM = 0x4;
inline constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr std::uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;

// Path separator of this platform.
inline constexpr char kPathSeparator = '/';

// One directory entry with what the file-information model needs of it. On this platform
// read-only means "no write permission for the owner", hidden means "name starts with a dot";
// archive and system are never set. A symbolic link is described by its target; a dangling
// link keeps the link's own description with m_nError set.
struct FindData
{
    std::string m_strName;          // last element only, bytes as on disk
    std::uint32_t m_dwAttributes = 0;
    std::uint64_t m_nSize = 0;      // 0 for folders
    FileTime m_ftCreationTime = 0;  // birth time where the file system has one, else change time
    FileTime m_ftLastAccessTime = 0;
    FileTime m_ftLastWriteTime = 0;
    std::uint32_t m_nMode = 0;      // st_mode of the described object
    std::uint64_t m_nDevice = 0;
    std::uint64_t m_nInode = 0;
    bool m_bSymlink = false;        // the entry itself is a symbolic link
    int m_nError = 0;               // errno of a link that could not be followed, else 0

    bool IsDirectory() const { return (m_dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsRegularFile() const;
};

// Describes the object at a path, following symbolic links. Returns 0 and fills `out`, or the
// errno of the failure. A dangling link returns 0 with out.m_nError set (the link exists).
int ReadEntry(const std::string& path, FindData& out);

// Attribute word for a stat mode and a name.
std::uint32_t AttributesFromMode(std::uint32_t mode, const std::string& name);

// Last element of a path ("" for "/"), and the path without it (see FolderOfPath).
std::string NameOfPath(const std::string& path);

// A path with every byte outside RFC 3986's path characters written as %XX (file URLs, Trash info).
std::string PercentEncodePath(const std::string& path);

// Enumerates one folder ("." and ".." are left out). Entries come in the order the file system
// gives them.
class DirectoryReader
{
public:
    DirectoryReader() = default;
    ~DirectoryReader();
    DirectoryReader(const DirectoryReader&) = delete;
    DirectoryReader& operator=(const DirectoryReader&) = delete;

    // Starts an enumeration of `folder`; false with LastError() set when it cannot be opened.
    bool Open(const std::string& folder);
    // Advances to the next entry; false at the end or on a read error (LastError() tells which).
    bool Next();
    const FindData& Current() const { return m_current; }
    int LastError() const { return m_nError; }
    void Close();

private:
    void* m_pDir = nullptr; // DIR*
    std::string m_strFolder;
    FindData m_current;
    int m_nError = 0;
};

} // namespace platform
