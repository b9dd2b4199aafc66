#include "textcompare/UnicodeConversion.h"

#include "platform/CodePages.h"
#include "platform/Utf8.h"
#include "textcompare/DefaultCodePage.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace
{

constexpr char32_t kReplacementChar = 0xFFFD;
constexpr const char* kReplacementText = "\xEF\xBF\xBD";

unsigned Resolve(int codePage)
{
    return platform::ResolveCodePage(static_cast<unsigned>(codePage));
}

bool IsUtf8CodePage(int codePage)
{
    return codePage >= 0 && Resolve(codePage) == 65001;
}

// Kind 0 files in the UTF-16 code pages are read and written as the matching Unicode kind.
int EffectiveKind(int kind, int codePage)
{
    if (kind == UNICODE_NONE && codePage >= 0)
    {
        const unsigned resolved = Resolve(codePage);
        if (resolved == 1200)
            return UNICODE_UCS2_LE;
        if (resolved == 1201)
            return UNICODE_UCS2_BE;
        if (resolved == 65001)
            return UNICODE_UTF8;
    }
    return kind;
}

bool IsSurrogate(char32_t u)
{
    return u >= 0xD800 && u <= 0xDFFF;
}

bool IsSurrogateFormAt(std::string_view text, std::size_t i)
{
    return i + 2 < text.size() && static_cast<unsigned char>(text[i]) == 0xED &&
           (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0xA0 &&
           (static_cast<unsigned char>(text[i + 2]) & 0xC0) == 0x80;
}

// Escaped bytes may be written back as themselves only when the encoder will see each of them as
// an invalid byte again: no valid sequence and no surrogate form may start inside the run.
bool EscapedRunIsSafe(std::string_view run)
{
    for (std::size_t i = 0; i < run.size(); ++i)
        if (platform::ValidUtf8SequenceLength(run.substr(i)) != 0 || IsSurrogateFormAt(run, i))
            return false;
    return true;
}

std::u16string UnitsFromBytes(std::string_view bytes, bool bigEndian)
{
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0);
    }
    return units;
}

// One step of the UTF-16 conversion at unit `i`: a character, a surrogate pair, or a run of lone
// surrogates; advances `i` and returns the new end of the output.
template <class UnitAt> char* AppendUtf16Step(const UnitAt& unitAt, std::size_t n, std::size_t& i, char* out)
{
    const char16_t u = unitAt(i);
    if (u < 0x80)
    {
        *out++ = static_cast<char>(u);
        ++i;
        return out;
    }
    if (u < 0x800)
    {
        *out++ = static_cast<char>(0xC0 | (u >> 6));
        *out++ = static_cast<char>(0x80 | (u & 0x3F));
        ++i;
        return out;
    }
    if (!IsSurrogate(u))
    {
        *out++ = static_cast<char>(0xE0 | (u >> 12));
        *out++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (u & 0x3F));
        ++i;
        return out;
    }
    if (u <= 0xDBFF && i + 1 < n && unitAt(i + 1) >= 0xDC00 && unitAt(i + 1) <= 0xDFFF)
    {
        const char32_t cp = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00);
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
        i += 2;
        return out;
    }
    // A lone surrogate. A run of escaped bytes (U+DC80 to U+DCFF) becomes those bytes when they come
    // back as the same units; everything else keeps its surrogate form.
    std::size_t end = i;
    std::string run;
    while (end < n && unitAt(end) >= 0xDC80 && unitAt(end) <= 0xDCFF)
        run += static_cast<char>(unitAt(end++) - 0xDC00);
    if (end > i && EscapedRunIsSafe(run))
    {
        std::memcpy(out, run.data(), run.size());
        i = end;
        return out + run.size();
    }
    const std::size_t stop = end > i ? end : i + 1;
    for (; i < stop; ++i)
    {
        const char16_t unit = unitAt(i);
        *out++ = static_cast<char>(0xE0 | (unit >> 12));
        *out++ = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (unit & 0x3F));
    }
    return out;
}

// The bulk of a file is plain ASCII: eight units at a time go through as bytes while they are all
// below U+0080; the blocks that are not go unit by unit.
template <class UnitAt>
std::size_t AppendUtf16Bytes(const UnitAt& unitAt, const char* bytes, std::size_t n, bool bigEndian,
                             char* out)
{
    char* const start = out;
    std::size_t i = 0;
#ifdef __SSE2__
    const __m128i highBits = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    while (i < n)
    {
        for (; i + 8 <= n; i += 8, out += 8)
        {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 2 * i));
            if (bigEndian)
                v = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, highBits), zero)) != 0xFFFF)
                break;
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(v, v));
        }
        const std::size_t blockEnd = std::min(i + 8, n);
        while (i < blockEnd)
            out = AppendUtf16Step(unitAt, n, i, out);
    }
#else
    (void)bytes;
    (void)bigEndian;
    while (i < n)
        out = AppendUtf16Step(unitAt, n, i, out);
#endif
    return static_cast<std::size_t>(out - start);
}

void AppendUnits(std::string& out, std::u16string_view units, bool bigEndian)
{
    out.reserve(out.size() + units.size() * 2);
    for (char16_t u : units)
    {
        const char hi = static_cast<char>(u >> 8);
        const char lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
}

// Bytes of a file in (kind, codePage) to internal text.
bool ToInternal(int kind, int codePage, std::string_view bytes, std::string& text, std::size_t& losses)
{
    switch (EffectiveKind(kind, codePage))
    {
    case UNICODE_UCS2_LE:
    case UNICODE_UCS2_BE:
        text.resize(bytes.size() / 2 * kMaxTextPerUnit);
        text.resize(TextFromUtf16Bytes(bytes.data(), bytes.size() / 2,
                                       EffectiveKind(kind, codePage) == UNICODE_UCS2_BE, text.data()));
        if (bytes.size() % 2 != 0)
        {
            // Half a unit cannot be represented; it is reported, not silently dropped.
            text += kReplacementText;
            ++losses;
        }
        return true;
    case UNICODE_UTF8:
        text.assign(bytes);
        return true;
    case UNICODE_NONE:
    {
        if (codePage < 0)
            return false;
        platform::ConversionResult result = platform::ConvertCodePage(bytes, Resolve(codePage), 65001);
        if (!result.m_bOk)
            return false;
        text = std::move(result.m_strOutput);
        losses += result.m_nLosses;
        return true;
    }
    default:
        return false;
    }
}

bool FromInternal(int kind, int codePage, std::string_view text, std::string& out, std::size_t& losses)
{
    switch (EffectiveKind(kind, codePage))
    {
    case UNICODE_UCS2_LE:
    case UNICODE_UCS2_BE:
        out.clear();
        AppendUnits(out, Utf16FromText(text), EffectiveKind(kind, codePage) == UNICODE_UCS2_BE);
        return true;
    case UNICODE_UTF8:
        out.assign(text);
        return true;
    case UNICODE_NONE:
    {
        if (codePage < 0)
            return false;
        platform::ConversionResult result = platform::ConvertCodePage(text, 65001, Resolve(codePage));
        if (!result.m_bOk)
            return false;
        out = std::move(result.m_strOutput);
        losses += result.m_nLosses;
        return true;
    }
    default:
        return false;
    }
}

} // namespace

std::string TextFromUtf16(std::u16string_view units)
{
    std::string out(units.size() * kMaxTextPerUnit, '\0');
    const auto unitAt = [units](std::size_t i) -> char16_t { return units[i]; };
    std::size_t i = 0;
    char* end = out.data();
    while (i < units.size())
        end = AppendUtf16Step(unitAt, units.size(), i, end);
    out.resize(static_cast<std::size_t>(end - out.data()));
    return out;
}

std::size_t TextFromUtf16Bytes(const char* bytes, std::size_t units, bool bigEndian, char* out)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    const auto le = [b](std::size_t i) -> char16_t
    { return static_cast<char16_t>(b[2 * i] | (b[2 * i + 1] << 8)); };
    const auto be = [b](std::size_t i) -> char16_t
    { return static_cast<char16_t>((b[2 * i] << 8) | b[2 * i + 1]); };
    return bigEndian ? AppendUtf16Bytes(be, bytes, units, true, out)
                     : AppendUtf16Bytes(le, bytes, units, false, out);
}

std::u16string Utf16FromText(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
    {
        if (IsSurrogateFormAt(text, i))
        {
            out += static_cast<char16_t>(0xD000 | ((static_cast<unsigned char>(text[i + 1]) & 0x3F) << 6) |
                                         (static_cast<unsigned char>(text[i + 2]) & 0x3F));
            i += 3;
            continue;
        }
        std::size_t length = 0;
        const char32_t cp = DecodeUtf8(text.substr(i), &length);
        if (cp == kReplacementChar && platform::ValidUtf8SequenceLength(text.substr(i)) == 0)
        {
            out += static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(text[i]));
            ++i;
            continue;
        }
        if (cp >= 0x10000)
        {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
        else
            out += static_cast<char16_t>(cp);
        i += length;
    }
    return out;
}

bool ConvertText(int fromKind, int fromCodePage, const char* src, std::size_t n, int toKind, int toCodePage,
                 std::string& out, std::size_t* losses)
{
    const std::string_view bytes(src, src ? n : 0);
    std::size_t lost = 0;
    bool ok = true;
    const int from = EffectiveKind(fromKind, fromCodePage);
    const int to = EffectiveKind(toKind, toCodePage);
    if (from == to && (from != UNICODE_NONE || SameCodePage(fromCodePage, toCodePage)))
        out.assign(bytes);
    else if ((from == UNICODE_UCS2_LE && to == UNICODE_UCS2_BE) ||
             (from == UNICODE_UCS2_BE && to == UNICODE_UCS2_LE))
    {
        out.assign(bytes);
        for (std::size_t i = 0; i + 1 < out.size(); i += 2)
            std::swap(out[i], out[i + 1]);
    }
    else
    {
        std::string text;
        ok = ToInternal(fromKind, fromCodePage, bytes, text, lost) &&
             FromInternal(toKind, toCodePage, text, out, lost);
    }
    if (losses)
        *losses += lost;
    return ok;
}

bool IsSingleByteCodePage(int codePage)
{
    if (codePage < 0)
        return false;
    const unsigned cp = Resolve(codePage);
    static constexpr unsigned kMultiByte[] = {932,   936,   949,   950,   1200,  1201,  1361,  10001, 10002,
                                              10003, 10008, 12000, 12001, 20000, 20001, 20002, 20003, 20004,
                                              20005, 20261, 20269, 20932, 20936, 50220, 50221, 50222, 50225,
                                              50227, 50229, 50930, 50931, 50933, 50935, 50936, 50937, 50939,
                                              51932, 51936, 51949, 51950, 52936, 54936, 65000, 65001};
    return std::find(std::begin(kMultiByte), std::end(kMultiByte), cp) == std::end(kMultiByte);
}

std::string CodePointToText(char32_t codePoint, bool& lossy)
{
    return CodePointToText(codePoint, lossy, GetDefaultCodePageSetting());
}

std::string CodePointToText(char32_t codePoint, bool& lossy, int codePage)
{
    lossy = false;
    std::string text;
    if (codePoint > 0x10FFFF || IsSurrogate(codePoint))
    {
        lossy = true;
        return kReplacementText;
    }
    platform::AppendUtf8(text, codePoint);
    if (codePoint < 0x80 || IsUtf8CodePage(codePage))
        return text;
    const unsigned cp = codePage < 0 ? 0 : Resolve(codePage);
    if (cp == 1200 || cp == 1201 || cp == 12000 || cp == 12001 || cp == 54936 || cp == 65000)
        return text;
    const platform::ConversionResult result = platform::ConvertCodePage(text, 65001, cp);
    if (!result.m_bOk || result.m_nLosses != 0 || result.m_strOutput.empty() ||
        (IsSingleByteCodePage(codePage) && result.m_strOutput.size() != 1))
        lossy = true;
    return text;
}

int Utf8SequenceLength(unsigned char leadByte)
{
    if (leadByte < 0x80)
        return 1;
    if (leadByte <= 0xBF)
        return 0;
    if (leadByte <= 0xDF)
        return 2;
    if (leadByte <= 0xEF)
        return 3;
    if (leadByte <= 0xF7)
        return 4;
    if (leadByte <= 0xFB)
        return 5;
    if (leadByte <= 0xFD)
        return 6;
    return 0;
}

char32_t DecodeUtf8(std::string_view bytes, std::size_t* length)
{
    const std::size_t n = platform::ValidUtf8SequenceLength(bytes);
    if (length)
        *length = n == 0 ? std::min<std::size_t>(1, bytes.size()) : n;
    if (n == 0)
        return kReplacementChar;
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    if (n == 1)
        return b0;
    char32_t cp = b0 & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
    for (std::size_t i = 1; i < n; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(bytes[i]) & 0x3F);
    return cp;
}

char32_t GetUnicodeChar(std::string_view bytes, int kind, int codePage, std::size_t* length)
{
    std::size_t used = 0;
    char32_t cp = kReplacementChar;
    const int effective = EffectiveKind(kind, codePage);
    if (effective == UNICODE_UCS2_LE || effective == UNICODE_UCS2_BE)
    {
        const std::u16string units = UnitsFromBytes(bytes.substr(0, 4), effective == UNICODE_UCS2_BE);
        if (!units.empty())
        {
            used = 2;
            cp = units[0];
            if (cp >= 0xD800 && cp <= 0xDBFF && units.size() == 2 && units[1] >= 0xDC00 && units[1] <= 0xDFFF)
            {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (units[1] - 0xDC00);
                used = 4;
            }
            else if (IsSurrogate(cp))
                cp = kReplacementChar;
        }
        else
            used = bytes.size();
    }
    else if (effective == UNICODE_UTF8)
        cp = DecodeUtf8(bytes, &used);
    else if (effective == UNICODE_NONE && !bytes.empty())
    {
        used = 1;
        // The shortest prefix that converts to exactly one character without loss.
        for (std::size_t n = 1; n <= std::min<std::size_t>(4, bytes.size()); ++n)
        {
            const platform::ConversionResult result =
                platform::ConvertCodePage(bytes.substr(0, n), codePage < 0 ? 0 : Resolve(codePage), 65001);
            if (!result.m_bOk)
                break;
            std::size_t decoded = 0;
            const char32_t c = DecodeUtf8(result.m_strOutput, &decoded);
            if (result.m_nLosses == 0 && !result.m_strOutput.empty() && decoded == result.m_strOutput.size())
            {
                cp = c;
                used = n;
                break;
            }
        }
    }
    if (length)
        *length = used;
    return cp;
}

bool SameCodePage(int a, int b)
{
    if (a == b)
        return true;
    if (a < 0 || b < 0)
        return false;
    return Resolve(a) == Resolve(b);
}

EolStyle EolStyleFromStats(const TextStats& stats)
{
    if (stats.crCount > stats.crlfCount && stats.crCount > stats.lfCount)
        return EOL_CR;
    if (stats.crlfCount < stats.lfCount)
        return EOL_LF;
    return EOL_CRLF;
}

bool HasMixedEols(const TextStats& stats)
{
    const int kinds = (stats.crCount != 0) + (stats.lfCount != 0) + (stats.crlfCount != 0);
    return kinds > 1;
}
