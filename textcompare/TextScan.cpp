#include "textcompare/TextScan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Compared in blocks first; memcmp on a block is many times faster than a byte loop.
constexpr std::size_t kBlock = 4096;

} // namespace

std::size_t CountNewlines(std::string_view text)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    std::size_t count = 0;
#if defined(__SSE2__)
    // Byte lanes count the matches of up to 255 blocks; a sum of absolute differences against zero
    // then adds the lanes up.
    const __m128i newline = _mm_set1_epi8('\n');
    while (end - p >= 16)
    {
        __m128i lanes = _mm_setzero_si128();
        for (int block = 0; block < 255 && end - p >= 16; ++block, p += 16)
        {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(bytes, newline));
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
#endif
    for (; p < end; ++p)
        count += *p == '\n';
    return count;
}

std::size_t CommonPrefixLength(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    while (i + kBlock <= n && std::memcmp(a.data() + i, b.data() + i, kBlock) == 0)
        i += kBlock;
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

std::size_t CommonSuffixLength(std::string_view a, std::string_view b, std::size_t limit)
{
    limit = std::min({limit, a.size(), b.size()});
    const char* ea = a.data() + a.size();
    const char* eb = b.data() + b.size();
    std::size_t i = 0;
    while (i + kBlock <= limit && std::memcmp(ea - i - kBlock, eb - i - kBlock, kBlock) == 0)
        i += kBlock;
    while (i < limit && ea[-1 - static_cast<std::ptrdiff_t>(i)] == eb[-1 - static_cast<std::ptrdiff_t>(i)])
        ++i;
    return i;
}

std::size_t SkipLines(std::string_view text, std::size_t position, std::size_t lines)
{
    // Whole blocks with fewer line ends than still wanted are skipped by count; the last few lines
    // are found one by one.
    constexpr std::size_t kSkipBlock = 1024;
    position = std::min(position, text.size());
    while (lines > 0 && text.size() - position > kSkipBlock)
    {
        const std::size_t inBlock = CountNewlines(text.substr(position, kSkipBlock));
        if (inBlock >= lines)
            break;
        lines -= inBlock;
        position += kSkipBlock;
    }
    for (; lines > 0 && position < text.size(); --lines)
    {
        const void* found = std::memchr(text.data() + position, '\n', text.size() - position);
        position = found ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) + 1 : text.size();
    }
    return position;
}
