#include "platform/FileSystemEntry.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

namespace {

constexpr unsigned kStatxMask = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME |
                                STATX_CTIME | STATX_BTIME | STATX_INO;

FileTime FromStatx(const struct statx_timestamp& ts)
{
    return FileTimeFromUnix(ts.tv_sec, ts.tv_nsec);
}

void Fill(const struct statx& sx, const std::string& name, FindData& out)
{
    out.m_strName = name;
    out.m_nMode = sx.stx_mode;
    out.m_dwAttributes = AttributesFromMode(sx.stx_mode, name);
    out.m_nSize = S_ISDIR(sx.stx_mode) ? 0 : sx.stx_size;
    out.m_ftCreationTime = (sx.stx_mask & STATX_BTIME) ? FromStatx(sx.stx_btime) : FromStatx(sx.stx_ctime);
    out.m_ftLastAccessTime = FromStatx(sx.stx_atime);
    out.m_ftLastWriteTime = FromStatx(sx.stx_mtime);
    out.m_nDevice = (static_cast<std::uint64_t>(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
    out.m_nInode = sx.stx_ino;
    out.m_nError = 0;
}

// Describes `name` relative to `dirfd`, following a link; a link that cannot be followed is
// described by itself with the error kept.
int Describe(int dirfd, const char* pathname, const std::string& name, FindData& out)
{
    struct statx sx{};
    if (statx(dirfd, pathname, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxMask, &sx) != 0)
        return errno;
    out.m_bSymlink = S_ISLNK(sx.stx_mode);
    if (!out.m_bSymlink)
    {
        Fill(sx, name, out);
        return 0;
    }
    struct statx target{};
    if (statx(dirfd, pathname, AT_NO_AUTOMOUNT, kStatxMask, &target) == 0)
    {
        Fill(target, name, out);
        return 0;
    }
    const int error = errno;
    Fill(sx, name, out);
    out.m_nSize = 0;
    out.m_nError = error;
    return 0;
}

} // namespace

bool FindData::IsRegularFile() const
{
    return S_ISREG(m_nMode);
}

std::uint32_t AttributesFromMode(std::uint32_t mode, const std::string& name)
{
    std::uint32_t attributes = 0;
    if (S_ISDIR(mode))
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if ((mode & S_IWUSR) == 0)
        attributes |= FILE_ATTRIBUTE_READONLY;
    if (!name.empty() && name[0] == '.' && name != "." && name != "..")
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    return attributes;
}

std::string NameOfPath(const std::string& path)
{
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == kPathSeparator)
        --end;
    const std::size_t slash = path.rfind(kPathSeparator, end == 0 ? 0 : end - 1);
    if (slash == std::string::npos)
        return path.substr(0, end);
    if (slash + 1 >= end)
        return {};
    return path.substr(slash + 1, end - slash - 1);
}

std::string PercentEncodePath(const std::string& path)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    static constexpr std::string_view kKept = "/-._~!$&'()*+,;=:@";
    std::string out;
    for (const char c : path)
    {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
            kKept.find(c) != std::string_view::npos)
            out += c;
        else
        {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
        }
    }
    return out;
}

int ReadEntry(const std::string& path, FindData& out)
{
    out = FindData{};
    if (path.empty())
        return ENOENT;
    return Describe(AT_FDCWD, path.c_str(), NameOfPath(path), out);
}

DirectoryReader::~DirectoryReader()
{
    Close();
}

bool DirectoryReader::Open(const std::string& folder)
{
    Close();
    m_strFolder = folder;
    m_nError = 0;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
    {
        m_nError = errno;
        return false;
    }
    m_pDir = dir;
    return true;
}

bool DirectoryReader::Next()
{
    DIR* dir = static_cast<DIR*>(m_pDir);
    if (dir == nullptr)
        return false;
    for (;;)
    {
        errno = 0;
        const dirent* entry = readdir(dir);
        if (entry == nullptr)
        {
            m_nError = errno;
            return false;
        }
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        m_current = FindData{};
        const int error = Describe(dirfd(dir), entry->d_name, name, m_current);
        if (error == ENOENT)
            continue; // removed between readdir and stat: it is no longer there
        if (error != 0)
        {
            m_current.m_strName = name;
            m_current.m_nError = error;
        }
        return true;
    }
}

void DirectoryReader::Close()
{
    if (m_pDir != nullptr)
    {
        closedir(static_cast<DIR*>(m_pDir));
        m_pDir = nullptr;
    }
}

} // namespace platform
