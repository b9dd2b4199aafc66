#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// A private anonymous mapping of `bytes` (a multiple of 4 KiB), starting on a 2 MiB boundary and asked
// to be backed by huge pages, not cleared by us; release it with munmap(memory, bytes). Null when the
// memory is short. The first touch of fresh 4 KiB pages costs more than reading data into them.
void* MapHugePageMemory(std::size_t bytes);

// Memory for big inputs read whole, taken straight from the kernel and, from 2 MiB up, asked to be
// backed by huge pages: first touches of fresh 4 KiB pages cost more than reading the data into them.
// Not zero-filled by us, never copied when it grows within its capacity.
class CLargeBuffer
{
public:
    CLargeBuffer() = default;
    ~CLargeBuffer();
    CLargeBuffer(CLargeBuffer&& other) noexcept;
    CLargeBuffer& operator=(CLargeBuffer&& other) noexcept;
    CLargeBuffer(const CLargeBuffer&) = delete;
    CLargeBuffer& operator=(const CLargeBuffer&) = delete;

    // Room for at least `capacity` bytes, keeping the contents; false when memory is short.
    bool Reserve(std::size_t capacity);
    char* Data() { return m_pData; }
    const char* Data() const { return m_pData; }
    std::size_t Size() const { return m_nSize; }
    void SetSize(std::size_t size) { m_nSize = size; }
    std::string_view View() const { return {m_pData, m_nSize}; }

private:
    void Release();

    char* m_pData = nullptr;
    std::size_t m_nSize = 0;
    std::size_t m_nCapacity = 0;
};

// Reads the whole file into `buffer`. 0, or the errno of the failure (EISDIR for a folder).
int ReadWholeFile(const std::string& path, CLargeBuffer& buffer);

} // namespace platform
