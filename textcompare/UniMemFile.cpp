#include "textcompare/UniMemFile.h"

#include "platform/CodePages.h"
#include "platform/LargeBuffer.h"
#include "textcompare/UnicodeConversion.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// Line breaks are searched with the widest vectors of the processor the program runs on.
#define QUORVANE_X86_DISPATCH 1
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace
{

// A file whose size is not known (a kernel file reports 0) starts with this much room.
constexpr std::size_t kReadChunk = 1 << 16;
// Text memory from this size (one huge page) on is mapped and asked for huge pages: the first touch
// of a 4 KiB page costs about as much as copying 40 KiB, which would dominate reading big files.
constexpr std::size_t kMapThreshold = 2u << 20;

std::size_t PageRound(std::size_t bytes)
{
    constexpr std::size_t kPage = 4096;
    return (bytes + kPage - 1) / kPage * kPage;
}

// At least `size` bytes, not cleared; `size` becomes what was allocated. Blocks of kMapThreshold
// bytes and more are mapped, smaller ones come from the heap: ReleaseText tells them apart by size.
char* AllocateText(std::size_t& size)
{
    if (size < kMapThreshold)
        return static_cast<char*>(std::malloc(size));
    size = PageRound(size);
    return static_cast<char*>(platform::MapHugePageMemory(size));
}

void ReleaseText(char* data, std::size_t size)
{
    if (data == nullptr)
        return;
    if (size >= kMapThreshold)
        munmap(data, size);
    else
        std::free(data);
}

// Grows a block from AllocateText to at least `size` bytes, keeping the first `used`; null (and the
// block unchanged) when there is no memory.
char* GrowText(char* data, std::size_t used, std::size_t& capacity, std::size_t size)
{
    if (capacity >= kMapThreshold)
    {
        // mremap moves the pages instead of copying them.
        size = PageRound(size);
        void* p = mremap(data, capacity, size, MREMAP_MAYMOVE);
        if (p == MAP_FAILED)
            return nullptr;
        capacity = size;
        return static_cast<char*>(p);
    }
    if (size < kMapThreshold)
    {
        char* p = static_cast<char*>(std::realloc(data, size));
        if (p != nullptr)
            capacity = size;
        return p;
    }
    char* p = AllocateText(size);
    if (p == nullptr)
        return nullptr;
    std::memcpy(p, data, used);
    std::free(data);
    capacity = size;
    return p;
}

// The NUL, CR and LF bytes among 64 bytes, one bit each: byte by byte, and below with vectors of
// 128, 256 and 512 bits.
struct SPortableBreakBits
{
    static std::uint64_t Get(const char* p)
    {
        std::uint64_t bits = 0;
        for (int i = 0; i < 64; ++i)
            if (p[i] == '\r' || p[i] == '\n' || p[i] == '\0')
                bits |= std::uint64_t(1) << i;
        return bits;
    }
};

#ifdef __SSE2__
struct SSse2BreakBits
{
    static std::uint64_t Get(const char* p)
    {
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i lf = _mm_set1_epi8('\n');
        const __m128i nul = _mm_setzero_si128();
        std::uint64_t bits = 0;
        for (int i = 0; i < 4; ++i)
        {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
            const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)),
                                             _mm_cmpeq_epi8(v, nul));
            bits |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(hit))) << (16 * i);
        }
        return bits;
    }
};
using SDefaultBreakBits = SSse2BreakBits;
#else
using SDefaultBreakBits = SPortableBreakBits;
#endif

#ifdef QUORVANE_X86_DISPATCH
struct SAvx2BreakBits
{
    __attribute__((target("avx2"))) static std::uint64_t Get(const char* p)
    {
        const __m256i cr = _mm256_set1_epi8('\r');
        const __m256i lf = _mm256_set1_epi8('\n');
        const __m256i nul = _mm256_setzero_si256();
        std::uint64_t bits = 0;
        for (int i = 0; i < 2; ++i)
        {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * i));
            const __m256i hit =
                _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(v, cr), _mm256_cmpeq_epi8(v, lf)),
                                _mm256_cmpeq_epi8(v, nul));
            bits |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm256_movemask_epi8(hit))) << (32 * i);
        }
        return bits;
    }
};

struct SAvx512BreakBits
{
    __attribute__((target("avx512bw"))) static std::uint64_t Get(const char* p)
    {
        const __m512i v = _mm512_loadu_si512(p);
        return _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('\r')) |
               _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('\n')) |
               _mm512_cmpeq_epi8_mask(v, _mm512_setzero_si512());
    }
};
#endif

// The break bits of the 64-byte window at `window`; the last window of a text may be shorter.
template <class Bits> std::uint64_t WindowBreakBits(const char* text, std::size_t size, std::size_t window)
{
    const char* p = text + window;
    if (window + 64 <= size)
        return Bits::Get(p);
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < size - window; ++i)
        if (p[i] == '\r' || p[i] == '\n' || p[i] == '\0')
            bits |= std::uint64_t(1) << i;
    return bits;
}

// Finds the NUL, CR and LF bytes of a text 64 at a time, one bit per byte, so that the many short
// lines of a file cost a bit search each rather than a scan.
template <class Bits> class CLineBreakFinder
{
public:
    CLineBreakFinder(const char* text, std::size_t size) : m_pText(text), m_nSize(size) {}

    // The offset of the first break at or after `pos`; the size when there is none. Calls must ask
    // for positions that do not go back.
    std::size_t Next(std::size_t pos)
    {
        const std::size_t window = pos & ~std::size_t(63);
        if (window != m_nWindow)
        {
            m_nWindow = window;
            m_nBits = WindowBits(window);
        }
        m_nBits &= ~std::uint64_t(0) << (pos - window);
        while (m_nBits == 0)
        {
            m_nWindow += 64;
            if (m_nWindow >= m_nSize)
                return m_nSize;
            m_nBits = WindowBits(m_nWindow);
        }
        return m_nWindow + static_cast<std::size_t>(__builtin_ctzll(m_nBits));
    }

private:
    std::uint64_t WindowBits(std::size_t window) const
    {
        return WindowBreakBits<Bits>(m_pText, m_nSize, window);
    }

    const char* m_pText;
    std::size_t m_nSize;
    std::size_t m_nWindow = ~std::size_t(0);
    std::uint64_t m_nBits = 0;
};

// Splitting bytes into lines, between calls.
struct SByteSplit
{
    const char* text;
    std::size_t size;
    std::size_t pos;
    std::int32_t cr = 0;
    std::int32_t lf = 0;
    std::int32_t crlf = 0;
    std::size_t zero = ~std::size_t(0); // the NUL that ended the last line given, if any
};

// Up to `max` lines from the position; stops after a line that a NUL ends. Goes through the text a
// window of 64 bytes at a time and through each window's breaks a bit at a time, so that a line costs
// a few instructions.
template <class Bits> std::size_t SplitBytes(SByteSplit& split, UniLineView* lines, std::size_t max)
{
    const char* const text = split.text;
    const std::size_t size = split.size;
    std::size_t pos = split.pos;
    if (max == 0 || pos >= size)
        return 0;
    std::int32_t cr = 0, lf = 0, crlf = 0;
    std::size_t n = 0;
    std::size_t window = pos & ~std::size_t(63);
    std::uint64_t bits = WindowBreakBits<Bits>(text, size, window) & (~std::uint64_t(0) << (pos - window));
    bool more = true; // breaks may follow
    for (;;)
    {
        while (bits == 0 && more)
        {
            window += 64;
            more = window < size;
            // A CR LF across two windows leaves the position one byte into the second.
            if (more)
                bits = WindowBreakBits<Bits>(text, size, window) & ~std::uint64_t(pos > window);
        }
        if (!more)
        {
            // The last line, without a line end.
            if (pos < size)
            {
                lines[n++] = {text + pos, static_cast<std::uint32_t>(size - pos), 0};
                pos = size;
            }
            break;
        }
        const std::size_t stop = window + static_cast<std::size_t>(__builtin_ctzll(bits));
        bits &= bits - 1;
        UniLineView& line = lines[n++];
        line.text = text + pos;
        line.length = static_cast<std::uint32_t>(stop - pos);
        line.eolLength = 1;
        const char c = text[stop];
        pos = stop + 1;
        if (c == '\n')
            ++lf;
        else if (c == '\r')
        {
            if (pos < size && text[pos] == '\n')
            {
                line.eolLength = 2;
                ++pos;
                ++crlf;
                // The LF's own bit, when it lies in this window (a CR that ends it has none after).
                bits &= bits - 1;
            }
            else
                ++cr;
        }
        else
        {
            line.eolLength = 0;
            split.zero = stop;
            break;
        }
        if (n == max || pos == size)
            break;
    }
    split.pos = pos;
    split.cr += cr;
    split.lf += lf;
    split.crlf += crlf;
    return n;
}

using SplitFunction = std::size_t (*)(SByteSplit&, UniLineView*, std::size_t);

std::size_t SplitBytesDefault(SByteSplit& split, UniLineView* lines, std::size_t max)
{
    return SplitBytes<SDefaultBreakBits>(split, lines, max);
}

#ifdef QUORVANE_X86_DISPATCH
// `flatten` inlines the generic loop into these, so that it is compiled for their instructions.
__attribute__((target("avx2"), flatten)) std::size_t SplitBytesAvx2(SByteSplit& split, UniLineView* lines,
                                                                    std::size_t max)
{
    return SplitBytes<SAvx2BreakBits>(split, lines, max);
}

__attribute__((target("avx512bw"), flatten)) std::size_t SplitBytesAvx512(SByteSplit& split,
                                                                          UniLineView* lines, std::size_t max)
{
    return SplitBytes<SAvx512BreakBits>(split, lines, max);
}
#endif

std::size_t SplitBytesPortable(SByteSplit& split, UniLineView* lines, std::size_t max)
{
    return SplitBytes<SPortableBreakBits>(split, lines, max);
}

// The splitter for vectors of at most `bits` bits that this processor has.
SplitFunction ChooseSplit(int bits)
{
#ifdef QUORVANE_X86_DISPATCH
    __builtin_cpu_init();
    if (bits >= 512 && __builtin_cpu_supports("avx512bw"))
        return SplitBytesAvx512;
    if (bits >= 256 && __builtin_cpu_supports("avx2"))
        return SplitBytesAvx2;
#endif
    return bits >= 128 ? SplitBytesDefault : SplitBytesPortable;
}

std::atomic<SplitFunction> s_splitBytes{ChooseSplit(512)};

// The same for the `n` UTF-16 units at `p`, in units.
std::size_t FindUtf16LineBreak(const char* p, std::size_t n, bool bigEndian)
{
    std::size_t i = 0;
#ifdef __SSE2__
    // Units are loaded as they lie in memory: a big-endian CR reads as 0x0D00 here.
    const __m128i cr = _mm_set1_epi16(static_cast<short>(bigEndian ? 0x0D00 : 0x000D));
    const __m128i lf = _mm_set1_epi16(static_cast<short>(bigEndian ? 0x0A00 : 0x000A));
    const __m128i nul = _mm_setzero_si128();
    for (; i + 8 <= n; i += 8)
    {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * i));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, cr), _mm_cmpeq_epi16(v, lf)),
                                         _mm_cmpeq_epi16(v, nul));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        if (mask != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(mask)) / 2;
    }
#endif
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    for (; i < n; ++i)
    {
        const unsigned u = bigEndian ? (b[2 * i] << 8) | b[2 * i + 1] : (b[2 * i + 1] << 8) | b[2 * i];
        if (u == '\r' || u == '\n' || u == 0)
            return i;
    }
    return n;
}

// Converts the UTF-16 line at `p` (`available` units up to the end of the file) as far as its NUL,
// CR or LF into `out`, which has room for kMaxTextPerUnit bytes per available unit; `units` receives
// the line's units. ASCII goes eight units at a time, in one pass with the search for the line's end;
// from the first other character on, the rest of the line is found first and then converted whole,
// so that surrogate pairs and runs of escaped bytes stay together.
std::size_t ConvertUtf16Line(const char* p, std::size_t available, bool bigEndian, char* out,
                             std::size_t& units)
{
    std::size_t i = 0;
    char* o = out;
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi16('\r');
    const __m128i lf = _mm_set1_epi16('\n');
    const __m128i zero = _mm_setzero_si128();
    const __m128i highBits = _mm_set1_epi16(static_cast<short>(0xFF80));
    while (i + 8 <= available)
    {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * i));
        if (bigEndian)
            v = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
        const unsigned breaks = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi16(v, cr), _mm_cmpeq_epi16(v, lf)), _mm_cmpeq_epi16(v, zero))));
        const unsigned other =
            ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, highBits), zero))) &
            0xFFFF;
        // Eight bytes go out whatever the units are; only those before the first break or other
        // character count, and the room of three bytes a unit takes the rest.
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(v, v));
        const unsigned stop = breaks | other;
        if (stop == 0)
        {
            i += 8;
            o += 8;
            continue;
        }
        const unsigned k = static_cast<unsigned>(__builtin_ctz(stop)) / 2;
        i += k;
        o += k;
        if (breaks & (1u << (2 * k)))
        {
            units = i;
            return static_cast<std::size_t>(o - out);
        }
        break;
    }
#endif
    const std::size_t rest = FindUtf16LineBreak(p + 2 * i, available - i, bigEndian);
    o += TextFromUtf16Bytes(p + 2 * i, rest, bigEndian, o);
    units = i + rest;
    return static_cast<std::size_t>(o - out);
}

[[noreturn]] void OutOfMemory()
{
    std::fputs("out of memory while reading a text\n", stderr);
    std::abort();
}

} // namespace

UniMemFile::~UniMemFile()
{
    Close();
}

bool UniMemFile::OpenRead(const std::string& path)
{
    return Open(path, O_RDONLY);
}

bool UniMemFile::OpenUpdate(const std::string& path)
{
    return Open(path, O_RDWR);
}

bool UniMemFile::Open(const std::string& path, int openFlags)
{
    if (DoOpen(path, openFlags))
        return true;
    // Keep the reason across the cleanup.
    const UniFileError error = m_lastError;
    Close();
    m_lastError = error;
    return false;
}

bool UniMemFile::Close()
{
    bool ok = true;
    if (m_nFd >= 0 && close(m_nFd) != 0 && errno != EINTR)
    {
        SetApiError("close", errno);
        ok = false;
    }
    m_nFd = -1;
    m_bOpen = false;
    FreeMemory();
    m_nTextStart = 0;
    m_nPosition = 0;
    m_nLineNumber = -1;
    return ok;
}

bool UniMemFile::FetchStatus()
{
    if (m_nFd < 0)
        return FetchStatusByPath();
    return FetchStatus(m_nFd);
}

bool UniMemFile::DoOpen(const std::string& path, int openFlags)
{
    Close();
    SetPath(path);
    ResetForOpen();
    if (path.empty())
    {
        SetApiError("open", ENOENT);
        return false;
    }
    // Non-blocking so that a FIFO cannot hang the opening; regular files ignore the flag.
    m_nFd = open(m_strPath.c_str(), (openFlags & O_ACCMODE) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (m_nFd < 0)
    {
        SetApiError("open", errno);
        return false;
    }
    struct stat st;
    if (fstat(m_nFd, &st) != 0)
    {
        SetApiError("fstat", errno);
        return false;
    }
    if (S_ISDIR(st.st_mode))
    {
        SetApiError("read", EISDIR);
        return false;
    }
    if (!S_ISREG(st.st_mode))
    {
        SetCustomError("not a regular file");
        return false;
    }
    m_nFileSize = st.st_size;
    m_bStatusFetched = true;
    if (m_nFileSize >= kMaxFileSize)
    {
        SetCustomError("UniMemFile cannot handle files over 2 gigabytes");
        return false;
    }
    if (!ReadAll())
        return false;
    m_bOpen = true;
    m_nLineNumber = 0;
    return true;
}

void UniMemFile::FreeMemory()
{
    ReleaseText(m_pContent, m_nContentCapacity);
    m_pContent = nullptr;
    m_nContentSize = 0;
    m_nContentCapacity = 0;
    ReleaseText(m_pText, m_nTextCapacity);
    m_pText = nullptr;
    m_nTextSize = 0;
    m_nTextCapacity = 0;
    m_bContentViewed = false;
    m_strScratch.clear();
    m_strScratch.shrink_to_fit();
}

// Reads to the end of the file rather than to the size fetched: a file that shrinks or grows while
// it is read gives what was there, never bytes that are not. The bytes go into memory that is not
// cleared first, with room for a NUL after them.
bool UniMemFile::ReadAll()
{
    FreeMemory();
    std::size_t capacity = static_cast<std::size_t>(m_nFileSize) + 1;
    if (m_nFileSize == 0)
        capacity = kReadChunk;
    m_pContent = AllocateText(capacity);
    if (m_pContent == nullptr)
    {
        SetApiError("read", ENOMEM);
        return false;
    }
    m_nContentCapacity = capacity;
    std::size_t used = 0;
    for (;;)
    {
        char probe[4096];
        const bool full = used + 1 == m_nContentCapacity;
        // Once the room is used up, a small read tells whether the file has grown.
        char* into = full ? probe : m_pContent + used;
        const std::size_t room = full ? sizeof probe : m_nContentCapacity - 1 - used;
        const ssize_t got = read(m_nFd, into, room);
        if (got < 0)
        {
            if (errno == EINTR)
                continue;
            SetApiError("read", errno);
            FreeMemory();
            return false;
        }
        if (got == 0)
            break;
        if (full)
        {
            char* grown = GrowText(m_pContent, used, m_nContentCapacity,
                                   std::max(m_nContentCapacity * 2, used + 1 + kReadChunk));
            if (grown == nullptr)
            {
                SetApiError("read", ENOMEM);
                FreeMemory();
                return false;
            }
            m_pContent = grown;
            std::memcpy(m_pContent + used, probe, static_cast<std::size_t>(got));
        }
        used += static_cast<std::size_t>(got);
        if (static_cast<std::int64_t>(used) >= kMaxFileSize)
        {
            SetCustomError("UniMemFile cannot handle files over 2 gigabytes");
            FreeMemory();
            return false;
        }
    }
    m_pContent[used] = '\0';
    m_nContentSize = used;
    m_nFileSize = static_cast<std::int64_t>(used);
    return true;
}

int UniMemFile::LimitVectorWidth(int bits)
{
    const SplitFunction split = ChooseSplit(bits);
    s_splitBytes.store(split, std::memory_order_relaxed);
#ifdef QUORVANE_X86_DISPATCH
    if (split == SplitBytesAvx512)
        return 512;
    if (split == SplitBytesAvx2)
        return 256;
#endif
    return split == SplitBytesDefault ? 128 : 0;
}

bool UniMemFile::ReadBom()
{
    m_nCharSize = 1;
    m_nTextStart = 0;
    bool found = true;
    const std::string_view data = GetContent();
    if (data.size() >= 2 && data.substr(0, 2) == "\xFF\xFE")
    {
        SetUnicodeKind(UNICODE_UCS2_LE);
        m_nTextStart = 2;
    }
    else if (data.size() >= 2 && data.substr(0, 2) == "\xFE\xFF")
    {
        SetUnicodeKind(UNICODE_UCS2_BE);
        m_nTextStart = 2;
    }
    else if (data.size() >= 3 && data.substr(0, 3) == "\xEF\xBB\xBF")
    {
        SetUnicodeKind(UNICODE_UTF8);
        m_nTextStart = 3;
    }
    else
    {
        found = false;
        m_nCharSize = m_nUnicodeKind == UNICODE_UCS2_LE || m_nUnicodeKind == UNICODE_UCS2_BE ? 2 : 1;
    }
    m_nPosition = m_nTextStart;
    m_bBomChecked = true;
    // Reading starts again: the converted lines of an earlier pass go.
    ReleaseText(m_pText, m_nTextCapacity);
    m_pText = nullptr;
    m_nTextSize = 0;
    m_nTextCapacity = 0;
    m_bContentViewed = false;
    return found;
}

UniMemFile::EReadWay UniMemFile::GetReadWay() const
{
    int kind = m_nUnicodeKind;
    if (kind == UNICODE_NONE && m_nCodePage >= 0)
    {
        // The UTF-16 code pages without a mark read as their Unicode kinds; UTF-8 is internal text.
        const unsigned cp = platform::ResolveCodePage(static_cast<unsigned>(m_nCodePage));
        if (cp == 1200)
            kind = UNICODE_UCS2_LE;
        else if (cp == 1201)
            kind = UNICODE_UCS2_BE;
        else if (cp == 65001)
            kind = UNICODE_UTF8;
    }
    switch (kind)
    {
    case UNICODE_UCS2_LE:
        return EReadWay::Utf16Le;
    case UNICODE_UCS2_BE:
        return EReadWay::Utf16Be;
    case UNICODE_UTF8:
        return EReadWay::Bytes;
    default:
        return EReadWay::Converted;
    }
}

bool UniMemFile::KeepsText() const
{
    return GetReadWay() != EReadWay::Converted;
}

bool UniMemFile::ReadLine(std::string& line)
{
    std::string eol;
    return ReadLine(line, eol);
}

bool UniMemFile::ReadLine(std::string& line, std::string& eol)
{
    line.clear();
    eol.clear();
    if (!m_bOpen || m_nPosition >= m_nContentSize)
        return false;
    const EReadWay way = GetReadWay();
    switch (way)
    {
    case EReadWay::Bytes:
    {
        UniLineView view;
        ReadBytesLines(&view, 1);
        line.assign(view.text, view.length);
        eol.assign(view.text + view.length, view.eolLength);
        break;
    }
    case EReadWay::Utf16Le:
    case EReadWay::Utf16Be:
    {
        const bool bigEndian = way == EReadWay::Utf16Be;
        const std::size_t units = ScanUtf16Line(bigEndian);
        line.resize(units * kMaxTextPerUnit + 3);
        std::size_t eolLength = 0;
        const std::size_t length = ReadUtf16Line(units, bigEndian, line.data(), eolLength);
        eol.assign(line, length, eolLength);
        line.resize(length);
        break;
    }
    case EReadWay::Converted:
    {
        const std::size_t eolLength = ReadConvertedLine(line);
        eol.assign(line, line.size() - eolLength);
        line.resize(line.size() - eolLength);
        break;
    }
    }
    return true;
}

bool UniMemFile::ReadLineView(std::string_view& line, std::string_view& eol)
{
    line = {};
    eol = {};
    if (!m_bOpen || m_nPosition >= m_nContentSize)
        return false;
    const EReadWay way = GetReadWay();
    switch (way)
    {
    case EReadWay::Bytes:
    {
        UniLineView view;
        ReadLineViews(&view, 1);
        line = {view.text, view.length};
        eol = {view.text + view.length, view.eolLength};
        break;
    }
    case EReadWay::Utf16Le:
    case EReadWay::Utf16Be:
    {
        UniLineView view;
        ReadUtf16Lines(&view, 1, way == EReadWay::Utf16Be);
        line = {view.text, view.length};
        eol = {view.text + view.length, view.eolLength};
        break;
    }
    case EReadWay::Converted:
    {
        const std::size_t eolLength = ReadConvertedLine(m_strScratch);
        const std::size_t length = m_strScratch.size() - eolLength;
        line = {m_strScratch.data(), length};
        eol = {m_strScratch.data() + length, eolLength};
        break;
    }
    }
    return true;
}

std::size_t UniMemFile::ReadLineViews(UniLineView* lines, std::size_t max)
{
    if (!m_bOpen)
        return 0;
    const EReadWay way = GetReadWay();
    if (way == EReadWay::Converted)
    {
        assert(false && "converted lines do not stay");
        return 0;
    }
    if (way == EReadWay::Bytes)
    {
        assert(m_pText == nullptr && "views of one pass come from one kind");
        const std::size_t n = ReadBytesLines(lines, max);
        m_bContentViewed = m_bContentViewed || n != 0;
        return n;
    }
    return ReadUtf16Lines(lines, max, way == EReadWay::Utf16Be);
}

std::size_t UniMemFile::ReadUtf16Lines(UniLineView* lines, std::size_t max, bool bigEndian)
{
    assert(!m_bContentViewed && "views of one pass come from one kind");
    if (m_nPosition >= m_nContentSize || max == 0)
        return 0;
    if (m_pText == nullptr)
    {
        // Room for the whole rest of the file, so that the lines never move: pages that the text
        // does not reach are never touched.
        std::size_t capacity = (m_nContentSize - m_nPosition) / 2 * kMaxTextPerUnit + 3 + 1;
        m_pText = AllocateText(capacity);
        if (m_pText == nullptr)
            OutOfMemory();
        m_nTextCapacity = capacity;
    }
    std::size_t n = 0;
    while (n < max && m_nPosition < m_nContentSize)
    {
        char* out = m_pText + m_nTextSize;
        const std::size_t available = (m_nContentSize - m_nPosition) / 2;
        assert(m_nTextSize + available * kMaxTextPerUnit + 3 < m_nTextCapacity &&
               "room for the rest of the file");
        std::size_t units = 0;
        std::size_t length = ConvertUtf16Line(m_pContent + m_nPosition, available, bigEndian, out, units);
        m_nPosition += 2 * units;
        std::size_t eolLength = 0;
        length = EndUtf16Line(bigEndian, out, length, eolLength);
        lines[n++] = {out, static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(eolLength)};
        m_nTextSize += length + eolLength;
    }
    return n;
}

UniTextMemory UniMemFile::TakeText()
{
    UniTextMemory memory;
    if (m_pText != nullptr)
    {
        m_pText[m_nTextSize] = '\0';
        memory = {m_pText, m_nTextCapacity, &ReleaseText};
        m_pText = nullptr;
        m_nTextSize = 0;
        m_nTextCapacity = 0;
    }
    else if (m_bContentViewed)
    {
        memory = {m_pContent, m_nContentCapacity, &ReleaseText};
        m_pContent = nullptr;
        m_nContentSize = 0;
        m_nContentCapacity = 0;
        m_bContentViewed = false;
    }
    m_nPosition = std::max(m_nPosition, m_nContentSize);
    return memory;
}

std::size_t UniMemFile::TakeEol(std::size_t unit, bool bigEndian)
{
    auto unitAt = [&](std::size_t pos) -> unsigned
    {
        if (pos + unit > m_nContentSize)
            return 0xFFFF;
        const auto b0 = static_cast<unsigned char>(m_pContent[pos]);
        if (unit == 1)
            return b0;
        const auto b1 = static_cast<unsigned char>(m_pContent[pos + 1]);
        return bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0;
    };
    const unsigned first = unitAt(m_nPosition);
    if (first == '\r')
    {
        m_nPosition += unit;
        ++m_nLineNumber;
        if (unitAt(m_nPosition) == '\n')
        {
            m_nPosition += unit;
            ++m_stats.crlfCount;
            return 2;
        }
        ++m_stats.crCount;
        return 1;
    }
    if (first == '\n')
    {
        m_nPosition += unit;
        ++m_nLineNumber;
        ++m_stats.lfCount;
        return 1;
    }
    return 0;
}

// UTF-8 files and files in the UTF-8 code page are internal text already: the bytes are taken as
// they are, invalid sequences included, so that saving gives the same file back. A NUL ends the
// line without a line end.
std::size_t UniMemFile::ReadBytesLines(UniLineView* lines, std::size_t max)
{
    const SplitFunction split = s_splitBytes.load(std::memory_order_relaxed);
    SByteSplit state{m_pContent, m_nContentSize, m_nPosition};
    std::size_t n = 0;
    while (n < max && state.pos < state.size)
    {
        n += split(state, lines + n, max - n);
        if (state.zero != ~std::size_t(0))
        {
            RecordZero(static_cast<std::int64_t>(state.zero));
            state.zero = ~std::size_t(0);
        }
    }
    m_stats.crCount += state.cr;
    m_stats.lfCount += state.lf;
    m_stats.crlfCount += state.crlf;
    m_nLineNumber += state.cr + state.lf + state.crlf;
    m_nPosition = state.pos;
    return n;
}

std::size_t UniMemFile::ScanUtf16Line(bool bigEndian) const
{
    return FindUtf16LineBreak(m_pContent + m_nPosition, (m_nContentSize - m_nPosition) / 2, bigEndian);
}

std::size_t UniMemFile::ReadUtf16Line(std::size_t units, bool bigEndian, char* out, std::size_t& eolLength)
{
    const std::size_t length = TextFromUtf16Bytes(m_pContent + m_nPosition, units, bigEndian, out);
    m_nPosition += 2 * units;
    return EndUtf16Line(bigEndian, out, length, eolLength);
}

std::size_t UniMemFile::EndUtf16Line(bool bigEndian, char* out, std::size_t length, std::size_t& eolLength)
{
    eolLength = 0;
    if (m_nPosition + 2 <= m_nContentSize)
    {
        // Stopped at a NUL, CR or LF.
        const char low = m_pContent[m_nPosition + (bigEndian ? 1 : 0)];
        if (low == '\0')
        {
            RecordZero(static_cast<std::int64_t>(m_nPosition));
            m_nPosition += 2;
        }
        else
        {
            eolLength = TakeEol(2, bigEndian);
            out[length] = low;
            if (eolLength == 2)
                out[length + 1] = '\n';
        }
    }
    else if (m_nPosition < m_nContentSize)
    {
        // An odd byte at the end is half a character: shown as U+FFFD and counted as a loss.
        std::memcpy(out + length, "\xEF\xBF\xBD", 3);
        length += 3;
        ++m_stats.lossCount;
        m_nPosition = m_nContentSize;
    }
    return length;
}

std::size_t UniMemFile::ReadConvertedLine(std::string& text)
{
    const std::size_t start = m_nPosition;
    const std::size_t size = m_nContentSize;
    // NUL bytes are counted and stay in the line; only CR and LF end it.
    CLineBreakFinder<SDefaultBreakBits> finder(m_pContent, size);
    std::size_t stop = finder.Next(start);
    while (stop < size && m_pContent[stop] == '\0')
    {
        RecordZero(static_cast<std::int64_t>(stop));
        stop = finder.Next(stop + 1);
    }
    m_nPosition = stop;
    const char* bytes = m_pContent + start;
    const std::size_t n = stop - start;
    std::size_t losses = 0;
    if (!ConvertText(UNICODE_NONE, m_nCodePage, bytes, n, UNICODE_UTF8, 65001, text, &losses))
    {
        // A code page that cannot be converted: the bytes are kept and each non-ASCII one is a loss.
        text.assign(bytes, n);
        for (char c : text)
            losses += static_cast<unsigned char>(c) >= 0x80;
    }
    m_stats.lossCount += static_cast<std::int32_t>(losses);
    const std::size_t eolLength = TakeEol(1, false);
    text.append(m_pContent + stop, eolLength);
    return eolLength;
}

bool UniMemFile::WriteText(std::string_view)
{
    SetCustomError("UniMemFile cannot write");
    return false;
}
