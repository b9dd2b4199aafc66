#include "filesystem/FileHelpers.h"

#include "platform/NumberFormat.h"

#include <isa-l/crc.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool PathExists(const std::string& path)
{
    struct stat st{};
    return stat(path.c_str(), &st) == 0;
}

// Large reads into one reused buffer: page-cache reads then run at memory speed instead of
// paying a system call per 4 KiB.
constexpr std::size_t kReadBlock = 256 * 1024;

// Opens a regular file for reading without ever blocking on a FIFO or device; -1 with errno set.
int OpenRegularFile(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat st{};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        close(fd);
        errno = error;
        return -1;
    }
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return fd;
}

// Reads into `buffer` until it is full or the file ends; the byte count, or -1 on an error.
ssize_t ReadBlock(int fd, unsigned char* buffer, std::size_t size)
{
    std::size_t done = 0;
    while (done < size)
    {
        const ssize_t n = read(fd, buffer + done, size - done);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

} // namespace

bool EnsureFolder(const std::string& path, bool parentsOnly)
{
    if (path.empty())
        return false;
    if (PathExists(path))
        return true;
    // Every prefix that ends just before a separator, from the second character on, so that the
    // root itself is never created.
    for (std::size_t i = 1; i < path.size(); ++i)
        if (path[i] == '/')
            mkdir(path.substr(0, i).c_str(), 0777);
    if (parentsOnly)
    {
        std::string trimmed = path;
        while (trimmed.size() > 1 && trimmed.back() == '/')
            trimmed.pop_back();
        const std::size_t slash = trimmed.rfind('/');
        return slash == std::string::npos || PathExists(slash == 0 ? std::string("/") : trimmed.substr(0, slash));
    }
    mkdir(path.c_str(), 0777);
    return PathExists(path);
}

std::string FormatNumber(const std::string& text)
{
    std::size_t start = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        start = 1;
    if (start >= text.size() || text.find_first_not_of("0123456789", start) != std::string::npos)
        return text;
    const platform::NumberGrouping grouping = platform::CurrentNumberGrouping();
    const std::string digits = text.substr(start);

    // Group sizes from the right: "3;2;0" (32) is one group of 3, then groups of 2.
    const int first = grouping.m_nGrouping == 32 ? 3 : grouping.m_nGrouping;
    const int rest = grouping.m_nGrouping == 32 ? 2 : grouping.m_nGrouping;
    std::string reversed;
    int inGroup = 0;
    int groupSize = first;
    for (std::size_t i = digits.size(); i-- > 0;)
    {
        if (groupSize > 0 && inGroup == groupSize)
        {
            reversed.append(grouping.m_strSeparator.rbegin(), grouping.m_strSeparator.rend());
            inGroup = 0;
            groupSize = rest;
        }
        reversed += digits[i];
        ++inGroup;
    }
    std::string result(reversed.rbegin(), reversed.rend());
    return negative ? grouping.m_strNegativeSign + result : result;
}

std::string FormatNumber(std::uint64_t value)
{
    return FormatNumber(std::to_string(value));
}

bool ComputeFileCRC(const std::string& path, std::uint32_t& crc, int* error)
{
    crc = 0;
    const int fd = OpenRegularFile(path);
    if (fd < 0)
    {
        if (error)
            *error = errno;
        return false;
    }
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[kReadBlock]);
    std::uint32_t value = 0;
    for (;;)
    {
        const ssize_t n = ReadBlock(fd, buffer.get(), kReadBlock);
        if (n < 0)
        {
            if (error)
                *error = errno;
            close(fd);
            return false;
        }
        if (n == 0)
            break;
        value = crc32_gzip_refl(value, buffer.get(), static_cast<std::uint64_t>(n));
        if (static_cast<std::size_t>(n) < kReadBlock)
            break;
    }
    close(fd);
    crc = value;
    if (error)
        *error = 0;
    return true;
}

std::uint32_t ComputeFileCRC(const std::string& path)
{
    std::uint32_t crc = 0;
    ComputeFileCRC(path, crc);
    return crc;
}

int DetectFileType(const std::string& path)
{
    if (path.empty())
        return -1;
    const int fd = OpenRegularFile(path);
    if (fd < 0)
        return -1;
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[kReadBlock]);
    int type = 1;
    bool first = true;
    for (;;)
    {
        const ssize_t n = ReadBlock(fd, buffer.get(), kReadBlock);
        if (n < 0)
        {
            type = -1;
            break;
        }
        const auto* p = buffer.get();
        if (first)
        {
            first = false;
            const bool utf16 = n >= 2 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF));
            const bool utf8 = n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF;
            if (utf16 || utf8)
                break;
        }
        if (n > 0 && std::memchr(p, 0, static_cast<std::size_t>(n)) != nullptr)
        {
            type = 2;
            break;
        }
        if (static_cast<std::size_t>(n) < kReadBlock)
            break;
    }
    close(fd);
    return type;
}
