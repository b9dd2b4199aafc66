#include "editing/SyntaxTextBuffer.h"

#include "platform/LargeBuffer.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

namespace
{

// Arrays and blocks from this size on are mapped directly and asked for huge pages: a first touch
// of a 4 KiB page costs about as much as copying 40 KiB, which would dominate loading big files.
constexpr std::size_t kMapThreshold = 2u << 20;

// Loading sizes the line array for lines of about this length (most source and prose lines are
// longer), so that it rarely grows; pages it does not reach are never touched.
constexpr std::size_t kExpectedLineBytes = 32;

// Grows a mapping from platform::MapHugePageMemory, in place when the addresses after it are free, else moved to a new
// aligned place: the pages move instead of being copied, huge pages whole.
void* RemapBytes(void* old, std::size_t oldBytes, std::size_t newBytes)
{
    void* p = mremap(old, oldBytes, newBytes, 0);
    if (p != MAP_FAILED)
        return p;
    void* target = platform::MapHugePageMemory(newBytes);
    if (target == nullptr)
        return nullptr;
    p = mremap(old, oldBytes, newBytes, MREMAP_MAYMOVE | MREMAP_FIXED, target);
    if (p == MAP_FAILED)
    {
        munmap(target, newBytes);
        return nullptr;
    }
    return p;
}

std::size_t PageRound(std::size_t bytes)
{
    constexpr std::size_t kPage = 4096;
    return (bytes + kPage - 1) / kPage * kPage;
}

} // namespace

CSyntaxTextBuffer::CSyntaxTextBuffer(const STuning& tuning) : m_tuning(tuning)
{
    if (m_tuning.lineGranularity == 0)
        m_tuning.lineGranularity = 1;
    if (m_tuning.minLoadBlock == 0)
        m_tuning.minLoadBlock = 1;
    m_tuning.maxLoadBlock = std::max(m_tuning.maxLoadBlock, m_tuning.minLoadBlock);
    if (m_tuning.initialLines == 0)
        m_tuning.initialLines = 1;
}

CSyntaxTextBuffer::~CSyntaxTextBuffer()
{
    CSyntaxTextBuffer::FreeLines();
    if (m_bLinesMapped)
        munmap(m_pLines, PageRound(m_nLineCapacity * sizeof(CSyntaxTextLine)));
    else
        std::free(m_pLines);
}

std::size_t CSyntaxTextBuffer::RoundedCapacity(std::size_t needed) const
{
    const std::size_t g = m_tuning.lineGranularity;
    return ((needed + 1) / g + 1) * g;
}

void CSyntaxTextBuffer::FreeLineText(CSyntaxTextLine& line)
{
    if (line.capacity != 0)
    {
        std::free(line.text);
        --m_nOwnedLines;
    }
    line.text = nullptr;
    line.capacity = 0;
    line.length = 0;
    line.eolLength = 0;
}

void CSyntaxTextBuffer::FreeLines()
{
    // A loaded file that was hardly edited owns few blocks: stop looking once all are freed.
    for (std::size_t i = 0; i < m_nLines && m_nOwnedLines != 0; ++i)
        FreeLineText(m_pLines[i]);
    assert(m_nOwnedLines == 0 && "every owned block is in a line");
    m_nLines = 0;
    FreeLoadBlocks();
}

void CSyntaxTextBuffer::FreeLoadBlocks()
{
    for (SLoadBlock& block : m_aLoadBlocks)
    {
        if (block.mapped)
            munmap(block.data, block.size);
        else
            std::free(block.data);
    }
    m_aLoadBlocks.clear();
    for (SLoadBlock& block : m_aAdoptedBlocks)
        block.release(block.data, block.size);
    m_aAdoptedBlocks.clear();
    m_pLoadNext = nullptr;
    m_nLoadLeft = 0;
}

void CSyntaxTextBuffer::ReserveLines(std::size_t count)
{
    if (count <= m_nLineCapacity)
        return;
    const std::size_t oldBytes = m_nLineCapacity * sizeof(CSyntaxTextLine);
    const std::size_t newBytes = count * sizeof(CSyntaxTextLine);
    if (newBytes >= kMapThreshold)
    {
        // mremap moves the pages instead of copying them, so growing never holds two arrays.
        void* p = nullptr;
        if (m_bLinesMapped)
        {
            p = RemapBytes(m_pLines, PageRound(oldBytes), PageRound(newBytes));
        }
        else if ((p = platform::MapHugePageMemory(PageRound(newBytes))) != nullptr)
        {
            if (m_nLines != 0)
                std::memcpy(p, m_pLines, m_nLines * sizeof(CSyntaxTextLine));
            std::free(m_pLines);
        }
        if (p == nullptr)
        {
            std::fputs("out of memory for the line array\n", stderr);
            std::abort();
        }
        m_pLines = static_cast<CSyntaxTextLine*>(p);
        m_bLinesMapped = true;
        m_nLineCapacity = PageRound(newBytes) / sizeof(CSyntaxTextLine);
        return;
    }
    void* p = std::realloc(m_pLines, newBytes);
    if (p == nullptr)
    {
        std::fputs("out of memory for the line array\n", stderr);
        std::abort();
    }
    m_pLines = static_cast<CSyntaxTextLine*>(p);
    m_nLineCapacity = count;
}

bool CSyntaxTextBuffer::OpenGap(std::size_t index, std::size_t count)
{
    if (index > m_nLines)
        return false;
    if (m_nLines + count > m_nLineCapacity)
        ReserveLines(std::max(m_nLines + count, std::max<std::size_t>(m_nLineCapacity * 2, 16)));
    if (index < m_nLines)
        std::memmove(static_cast<void*>(m_pLines + index + count), m_pLines + index,
                     (m_nLines - index) * sizeof(CSyntaxTextLine));
    for (std::size_t i = index; i < index + count; ++i)
        new (&m_pLines[i]) CSyntaxTextLine();
    m_nLines += count;
    return true;
}

void CSyntaxTextBuffer::SetEolFromText(CSyntaxTextLine& line, std::size_t total)
{
    const char* t = line.text;
    std::uint32_t eol = 0;
    if (total >= 2 && t[total - 2] == '\r' && t[total - 1] == '\n')
        eol = 2;
    else if (total >= 1 && (t[total - 1] == '\r' || t[total - 1] == '\n'))
        eol = 1;
    line.eolLength = eol;
    line.length = static_cast<std::int32_t>(total - eol);
}

bool CSyntaxTextBuffer::EnsureOwned(CSyntaxTextLine& line, std::size_t needed)
{
    if (needed > static_cast<std::size_t>(kMaxLineLength))
        return false;
    if (line.capacity != 0 && needed + 1 <= line.capacity)
        return true;
    const std::size_t capacity = RoundedCapacity(needed);
    const std::size_t keep = static_cast<std::size_t>(line.length) + line.eolLength;
    char* block = nullptr;
    if (line.capacity != 0)
        block = static_cast<char*>(std::realloc(line.text, capacity));
    else if ((block = static_cast<char*>(std::malloc(capacity))) != nullptr && keep != 0)
        std::memcpy(block, line.text, keep);
    if (block == nullptr)
        return false;
    if (line.capacity == 0)
        ++m_nOwnedLines;
    block[keep] = '\0';
    line.text = block;
    line.capacity = static_cast<std::uint32_t>(capacity);
    return true;
}

bool CSyntaxTextBuffer::InsertLine(const char* text, int length, int index, int count)
{
    const std::size_t n = length < 0 ? (text ? std::strlen(text) : 0) : static_cast<std::size_t>(length);
    if (index == -1)
        index = GetLineCount();
    if (index < 0 || index > GetLineCount() || count < 0 || n > static_cast<std::size_t>(kMaxLineLength))
        return false;
    if (!OpenGap(static_cast<std::size_t>(index), static_cast<std::size_t>(count)))
        return false;
    for (int i = 0; i < count; ++i)
    {
        CSyntaxTextLine& line = m_pLines[index + i];
        if (!EnsureOwned(line, n))
        {
            RemoveLines(index, count);
            return false;
        }
        if (n != 0)
            std::memcpy(line.text, text, n);
        line.text[n] = '\0';
        SetEolFromText(line, n);
    }
    return true;
}

bool CSyntaxTextBuffer::RemoveLines(int index, int count)
{
    if (index < 0 || count < 0 || index > GetLineCount() || count > GetLineCount() - index)
        return false;
    for (int i = index; i < index + count; ++i)
        FreeLineText(m_pLines[i]);
    if (count != 0 && static_cast<std::size_t>(index + count) < m_nLines)
        std::memmove(static_cast<void*>(m_pLines + index), m_pLines + index + count,
                     (m_nLines - static_cast<std::size_t>(index + count)) * sizeof(CSyntaxTextLine));
    m_nLines -= static_cast<std::size_t>(count);
    return true;
}

bool CSyntaxTextBuffer::AppendToLine(int index, const char* text, int length)
{
    if (index < 0 || index >= GetLineCount())
        return false;
    const std::size_t n = length < 0 ? (text ? std::strlen(text) : 0) : static_cast<std::size_t>(length);
    CSyntaxTextLine& line = m_pLines[index];
    const std::size_t total = static_cast<std::size_t>(line.length) + n;
    if (n == 0 && line.eolLength == 0)
        return true;
    if (!EnsureOwned(line, total))
        return false;
    if (n != 0)
        std::memcpy(line.text + line.length, text, n);
    line.text[total] = '\0';
    SetEolFromText(line, total);
    return true;
}

void CSyntaxTextBuffer::TruncateLine(int index, int column)
{
    CSyntaxTextLine& line = m_pLines[index];
    assert(column >= 0 && column <= line.length && "cut inside the line");
    line.length = column;
    line.eolLength = 0;
    if (line.text != nullptr)
        line.text[column] = '\0';
}

bool CSyntaxTextBuffer::ReplaceLineEol(int index, std::string_view eol)
{
    if (!(eol.empty() || eol == "\r\n" || eol == "\r" || eol == "\n"))
        return false;
    CSyntaxTextLine& line = m_pLines[index];
    const std::size_t total = static_cast<std::size_t>(line.length) + eol.size();
    if (eol.empty())
    {
        TruncateLine(index, line.length);
        return true;
    }
    // A loaded line has room for its own line end and a NUL: a shorter one fits in place.
    const bool inPlace = line.capacity == 0 && line.text != nullptr && eol.size() <= line.eolLength;
    if (!inPlace && !EnsureOwned(line, total))
        return false;
    // In place, the NUL goes only where the old line end was: after a line end of the same length
    // comes the NUL of a load block, or the next line of adopted text.
    const bool ownByte = !inPlace || eol.size() < line.eolLength;
    std::memcpy(line.text + line.length, eol.data(), eol.size());
    if (ownByte)
        line.text[total] = '\0';
    line.eolLength = static_cast<std::uint32_t>(eol.size());
    return true;
}

bool CSyntaxTextBuffer::MoveLines(int first, int last, int to)
{
    const int count = last - first + 1;
    if (first < 0 || count <= 0 || last >= GetLineCount() || to < 0 || to > GetLineCount() - count)
        return false;
    if (to == first)
        return true;
    // Destination lines that are not part of the source are overwritten: free them first.
    for (int i = to; i < to + count; ++i)
        if (i < first || i > last)
            FreeLineText(m_pLines[i]);
    std::memmove(static_cast<void*>(m_pLines + to), m_pLines + first,
                 static_cast<std::size_t>(count) * sizeof(CSyntaxTextLine));
    for (int i = first; i <= last; ++i)
        if (i < to || i >= to + count)
            new (&m_pLines[i]) CSyntaxTextLine();
    return true;
}

bool CSyntaxTextBuffer::ResetLines(int index, int count)
{
    if (index < 0 || count < 0 || index > GetLineCount() || count > GetLineCount() - index)
        return false;
    for (int i = index; i < index + count; ++i)
    {
        FreeLineText(m_pLines[i]);
        m_pLines[i] = CSyntaxTextLine();
    }
    return true;
}

void CSyntaxTextBuffer::BeginLoading(std::size_t textBytes)
{
    FreeLines();
    ReserveLines(std::max(m_tuning.initialLines, textBytes / kExpectedLineBytes));
}

char* CSyntaxTextBuffer::LoadSpace(std::size_t bytes)
{
    if (bytes > m_nLoadLeft)
    {
        std::size_t size = m_aLoadBlocks.empty()
                               ? m_tuning.minLoadBlock
                               : std::min(m_aLoadBlocks.back().size * 2, m_tuning.maxLoadBlock);
        size = std::max(size, bytes);
        SLoadBlock block;
        block.size = size;
        if (size >= kMapThreshold)
        {
            block.size = PageRound(size);
            block.data = static_cast<char*>(platform::MapHugePageMemory(block.size));
            block.mapped = true;
        }
        else
            block.data = static_cast<char*>(std::malloc(size));
        if (block.data == nullptr)
        {
            std::fputs("out of memory while loading a text\n", stderr);
            std::abort();
        }
        m_aLoadBlocks.push_back(block);
        m_pLoadNext = block.data;
        m_nLoadLeft = block.size;
    }
    char* p = m_pLoadNext;
    m_pLoadNext += bytes;
    m_nLoadLeft -= bytes;
    return p;
}

void CSyntaxTextBuffer::AppendLoadedLine(std::string_view text, std::string_view eol)
{
    if (m_nLines == m_nLineCapacity)
        ReserveLines(m_nLineCapacity * 2);
    CSyntaxTextLine& line = *new (&m_pLines[m_nLines]) CSyntaxTextLine();
    ++m_nLines;
    const std::size_t chars = text.size() + eol.size();
    if (chars == 0)
        return;
    char* p = LoadSpace(chars + 1);
    if (!text.empty())
        std::memcpy(p, text.data(), text.size());
    if (!eol.empty())
        std::memcpy(p + text.size(), eol.data(), eol.size());
    p[chars] = '\0';
    line.text = p;
    line.length = static_cast<std::int32_t>(text.size());
    line.eolLength = static_cast<std::uint32_t>(eol.size());
}

void CSyntaxTextBuffer::AdoptLoadBlock(char* data, std::size_t size, void (*release)(char*, std::size_t))
{
    if (data == nullptr)
        return;
    SLoadBlock block;
    block.data = data;
    block.size = size;
    block.release = release;
    m_aAdoptedBlocks.push_back(block);
}

void CSyntaxTextBuffer::EndLoading()
{
    if (m_bLinesMapped)
    {
        const std::size_t used = PageRound(std::max<std::size_t>(m_nLines, 1) * sizeof(CSyntaxTextLine));
        const std::size_t had = PageRound(m_nLineCapacity * sizeof(CSyntaxTextLine));
        if (used < had)
        {
            munmap(reinterpret_cast<char*>(m_pLines) + used, had - used);
            m_nLineCapacity = used / sizeof(CSyntaxTextLine);
        }
    }
}

std::string CSyntaxTextBuffer::DumpLines() const
{
    std::string out;
    char buf[64];
    for (std::size_t i = 0; i < m_nLines; ++i)
    {
        const CSyntaxTextLine& line = m_pLines[i];
        out += line.Text();
        out += '|';
        for (char c : line.Eol())
            out += c == '\r' ? "CR" : "LF";
        std::snprintf(buf, sizeof buf, "|%x|%u\n", line.flags, line.revision);
        out += buf;
    }
    return out;
}
