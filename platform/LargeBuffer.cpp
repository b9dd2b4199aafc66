#include "platform/LargeBuffer.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t n, std::size_t unit)
{
    return (n + unit - 1) / unit * unit;
}

} // namespace

void* MapHugePageMemory(std::size_t bytes)
{
    // Huge pages need a mapping that starts on a huge-page boundary: map more, trim both ends.
    void* p = mmap(nullptr, bytes + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    char* const raw = static_cast<char*>(p);
    char* const aligned = reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(raw) + kHugePage - 1) &
                                                  ~std::uintptr_t(kHugePage - 1));
    if (aligned != raw)
        munmap(raw, static_cast<std::size_t>(aligned - raw));
    munmap(aligned + bytes, static_cast<std::size_t>(raw + kHugePage - aligned));
#ifdef MADV_HUGEPAGE
    madvise(aligned, bytes, MADV_HUGEPAGE);
#endif
    return aligned;
}

CLargeBuffer::~CLargeBuffer()
{
    Release();
}

CLargeBuffer::CLargeBuffer(CLargeBuffer&& other) noexcept
    : m_pData(std::exchange(other.m_pData, nullptr)), m_nSize(std::exchange(other.m_nSize, 0)),
      m_nCapacity(std::exchange(other.m_nCapacity, 0))
{
}

CLargeBuffer& CLargeBuffer::operator=(CLargeBuffer&& other) noexcept
{
    if (this != &other)
    {
        Release();
        m_pData = std::exchange(other.m_pData, nullptr);
        m_nSize = std::exchange(other.m_nSize, 0);
        m_nCapacity = std::exchange(other.m_nCapacity, 0);
    }
    return *this;
}

void CLargeBuffer::Release()
{
    if (m_pData)
        munmap(m_pData, m_nCapacity);
    m_pData = nullptr;
    m_nSize = 0;
    m_nCapacity = 0;
}

bool CLargeBuffer::Reserve(std::size_t capacity)
{
    if (capacity <= m_nCapacity)
        return true;
    const std::size_t rounded = RoundUp(capacity, capacity >= kHugePage ? kHugePage : 4096);
    void* memory = MapHugePageMemory(rounded);
    if (memory == nullptr)
        return false;
    if (m_nSize > 0)
        std::memcpy(memory, m_pData, m_nSize);
    const std::size_t size = m_nSize;
    Release();
    m_pData = static_cast<char*>(memory);
    m_nSize = size;
    m_nCapacity = rounded;
    return true;
}

int ReadWholeFile(const std::string& path, CLargeBuffer& buffer)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat st{};
    if (fstat(fd, &st) != 0)
    {
        const int error = errno;
        close(fd);
        return error;
    }
    if (S_ISDIR(st.st_mode))
    {
        close(fd);
        return EISDIR;
    }
    buffer.SetSize(0);
    // The size is a hint only: the file may grow or shrink while it is read, and pipes have none.
    std::size_t capacity = S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) + 1 : 1 << 16;
    for (;;)
    {
        if (buffer.Size() == capacity || !buffer.Reserve(capacity))
        {
            capacity = capacity * 2;
            if (!buffer.Reserve(capacity))
            {
                close(fd);
                return ENOMEM;
            }
        }
        const ssize_t n = read(fd, buffer.Data() + buffer.Size(), capacity - buffer.Size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            const int error = errno;
            close(fd);
            return error;
        }
        if (n == 0)
            break;
        buffer.SetSize(buffer.Size() + static_cast<std::size_t>(n));
    }
    close(fd);
    return 0;
}

} // namespace platform
