#include "platform/CodePages.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cassert>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <map>

namespace platform {

namespace {

struct CodePageRow
{
    unsigned m_nCodePage;
    const char* m_szIconvName;
};

// Windows code page numbers and the glibc iconv name of the same character set, ascending by number.
// Numbers whose glibc counterpart differs in meaning (708, 20936, 50221, 50222, the IA5 variants,
// ...) have no row on purpose.
constexpr CodePageRow kCodePageTable[] = {
    {37, "IBM037"},                   // EBCDIC US-Canada
    {437, "IBM437"},                  // OEM United States
    {500, "IBM500"},                  // EBCDIC International
    {737, "CP737"},                   // OEM Greek
    {775, "IBM775"},                  // OEM Baltic
    {850, "IBM850"},                  // OEM Multilingual Latin 1
    {852, "IBM852"},                  // OEM Latin 2
    {855, "IBM855"},                  // OEM Cyrillic
    {857, "IBM857"},                  // OEM Turkish
    {858, "IBM858"},                  // OEM Multilingual Latin 1 + euro
    {860, "IBM860"},                  // OEM Portuguese
    {861, "IBM861"},                  // OEM Icelandic
    {862, "IBM862"},                  // OEM Hebrew
    {863, "IBM863"},                  // OEM French Canadian
    {864, "IBM864"},                  // OEM Arabic
    {865, "IBM865"},                  // OEM Nordic
    {866, "IBM866"},                  // OEM Russian
    {869, "IBM869"},                  // OEM Modern Greek
    {870, "IBM870"},                  // EBCDIC Multilingual Latin 2
    {874, "WINDOWS-874"},             // Thai
    {875, "IBM875"},                  // EBCDIC Greek Modern
    {932, "CP932"},                   // Japanese Shift-JIS
    {936, "CP936"},                   // Simplified Chinese GBK
    {949, "CP949"},                   // Korean Unified Hangul Code
    {950, "CP950"},                   // Traditional Chinese Big5
    {1026, "IBM1026"},                // EBCDIC Turkish
    {1047, "IBM1047"},                // EBCDIC Latin 1/Open System
    {1140, "IBM1140"},                // EBCDIC US-Canada + euro
    {1141, "IBM1141"},                // EBCDIC Germany + euro
    {1142, "IBM1142"},                // EBCDIC Denmark-Norway + euro
    {1143, "IBM1143"},                // EBCDIC Finland-Sweden + euro
    {1144, "IBM1144"},                // EBCDIC Italy + euro
    {1145, "IBM1145"},                // EBCDIC Latin America-Spain + euro
    {1146, "IBM1146"},                // EBCDIC United Kingdom + euro
    {1147, "IBM1147"},                // EBCDIC France + euro
    {1148, "IBM1148"},                // EBCDIC International + euro
    {1149, "IBM1149"},                // EBCDIC Icelandic + euro
    {1200, "UTF-16LE"},
    {1201, "UTF-16BE"},
    {1250, "CP1250"},                 // Central European
    {1251, "CP1251"},                 // Cyrillic
    {1252, "CP1252"},                 // Western European
    {1253, "CP1253"},                 // Greek
    {1254, "CP1254"},                 // Turkish
    {1255, "CP1255"},                 // Hebrew
    {1256, "CP1256"},                 // Arabic
    {1257, "CP1257"},                 // Baltic
    {1258, "CP1258"},                 // Vietnamese
    {1361, "CP1361"},                 // Korean Johab
    {10000, "MACINTOSH"},             // Mac Roman
    {10007, "CP10007"},               // Mac Cyrillic
    {10017, "MAC-UK"},                // Mac Ukrainian
    {10029, "MAC-CENTRALEUROPE"},     // Mac Central European
    {10079, "MAC-IS"},                // Mac Icelandic
    {12000, "UTF-32LE"},
    {12001, "UTF-32BE"},
    {20127, "ANSI_X3.4-1968"},        // US-ASCII
    {20273, "IBM273"},                // EBCDIC Germany
    {20277, "IBM277"},                // EBCDIC Denmark-Norway
    {20278, "IBM278"},                // EBCDIC Finland-Sweden
    {20280, "IBM280"},                // EBCDIC Italy
    {20284, "IBM284"},                // EBCDIC Latin America-Spain
    {20285, "IBM285"},                // EBCDIC United Kingdom
    {20290, "IBM290"},                // EBCDIC Japanese Katakana Extended
    {20297, "IBM297"},                // EBCDIC France
    {20420, "IBM420"},                // EBCDIC Arabic
    {20423, "IBM423"},                // EBCDIC Greek
    {20424, "IBM424"},                // EBCDIC Hebrew
    {20866, "KOI8-R"},                // Russian
    {20871, "IBM871"},                // EBCDIC Icelandic
    {20880, "IBM880"},                // EBCDIC Cyrillic Russian
    {20905, "IBM905"},                // EBCDIC Turkish
    {20932, "EUC-JP"},                // Japanese JIS X 0208-1990 and 0212-1990
    {21025, "IBM1025"},               // EBCDIC Cyrillic Serbian-Bulgarian
    {21866, "KOI8-U"},                // Ukrainian
    {28591, "ISO-8859-1"},
    {28592, "ISO-8859-2"},
    {28593, "ISO-8859-3"},
    {28594, "ISO-8859-4"},
    {28595, "ISO-8859-5"},
    {28596, "ISO-8859-6"},
    {28597, "ISO-8859-7"},
    {28598, "ISO-8859-8"},            // Hebrew, visual order
    {28599, "ISO-8859-9"},
    {28603, "ISO-8859-13"},
    {28605, "ISO-8859-15"},
    {38598, "ISO-8859-8"},            // Hebrew, logical order: the same bytes as 28598
    {50220, "ISO-2022-JP"},
    {50225, "ISO-2022-KR"},
    {51932, "EUC-JP"},
    {51936, "EUC-CN"},
    {51949, "EUC-KR"},
    {54936, "GB18030"},
    {65000, "UTF-7"},
    {65001, "UTF-8"},
};
constexpr std::size_t kCodePageCount = std::size(kCodePageTable);

// The pivot between any two code pages: one 32-bit unit per character, so a failing character is
// always exactly one unit wide whatever the two ends are.
constexpr const char* kPivotName = "UTF-32LE";
constexpr std::size_t kPivotUnit = 4;
// Written to the pivot for an invalid input unit; not a code point, so the encoder rejects it too
// and both kinds of loss leave through the same replacement path.
constexpr unsigned char kInvalidMark[kPivotUnit] = {0xFF, 0xFF, 0xFF, 0xFF};
constexpr unsigned char kReplacement[kPivotUnit] = {'?', 0, 0, 0};

const CodePageRow* FindRow(unsigned codePage)
{
    const auto* end = std::end(kCodePageTable);
    const auto* row = std::lower_bound(std::begin(kCodePageTable), end, codePage,
                                       [](const CodePageRow& r, unsigned n) { return r.m_nCodePage < n; });
    return row != end && row->m_nCodePage == codePage ? row : nullptr;
}

const iconv_t kNoHandle = reinterpret_cast<iconv_t>(-1);

// Per-thread handles: an iconv descriptor carries shift state and must not be used by two threads
// at once, and opening one loads a module, so each thread keeps the ones it used.
class CHandleCache
{
public:
    CHandleCache() = default;
    CHandleCache(const CHandleCache&) = delete;
    CHandleCache& operator=(const CHandleCache&) = delete;
    ~CHandleCache()
    {
        for (auto& [key, handle] : m_handles)
            if (handle != kNoHandle)
                iconv_close(handle);
    }

    // A handle in its initial state, or kNoHandle.
    iconv_t Get(bool toPivot, const char* name)
    {
        const auto key = std::make_pair(toPivot, std::string(name));
        auto found = m_handles.find(key);
        if (found == m_handles.end())
        {
            iconv_t handle = toPivot ? iconv_open(kPivotName, name) : iconv_open(name, kPivotName);
            found = m_handles.emplace(key, handle).first;
        }
        if (found->second != kNoHandle)
            iconv(found->second, nullptr, nullptr, nullptr, nullptr);
        return found->second;
    }

private:
    std::map<std::pair<bool, std::string>, iconv_t> m_handles;
};

CHandleCache& ThreadHandles()
{
    thread_local CHandleCache cache;
    return cache;
}

std::size_t InputUnitSize(unsigned codePage)
{
    switch (codePage)
    {
    case 1200:
    case 1201:
        return 2;
    case 12000:
    case 12001:
        return 4;
    default:
        return 1;
    }
}

// Runs one iconv call over the whole input, growing `out` on E2BIG. Returns the errno that stopped
// it (0 when all input was consumed) and adds the irreversible conversions iconv reports to `losses`.
int ConvertChunk(iconv_t handle, const char*& in, std::size_t& inLeft, std::string& out, std::size_t& used,
                 std::size_t& losses)
{
    for (;;)
    {
        char* outPtr = out.data() + used;
        std::size_t outLeft = out.size() - used;
        // A null input pointer asks iconv to return to the initial shift state.
        char** inArg = in ? const_cast<char**>(&in) : nullptr;
        const std::size_t result = iconv(handle, inArg, in ? &inLeft : nullptr, &outPtr, &outLeft);
        used = static_cast<std::size_t>(outPtr - out.data());
        if (result != static_cast<std::size_t>(-1))
        {
            losses += result;
            return 0;
        }
        if (errno != E2BIG)
            return errno;
        out.resize(out.size() * 2 + 64);
    }
}

// Source bytes to the pivot; each invalid or incomplete unit becomes kInvalidMark.
void Decode(iconv_t handle, std::string_view input, std::size_t unit, std::string& pivot, std::size_t& losses)
{
    std::size_t used = 0;
    pivot.resize(input.size() * kPivotUnit + 64);
    const char* in = input.data();
    std::size_t inLeft = input.size();
    while (inLeft > 0)
    {
        const int error = ConvertChunk(handle, in, inLeft, pivot, used, losses);
        if (error == 0)
            break;
        // EILSEQ, or EINVAL for a sequence cut off by the end of the input: skip one unit and go on.
        const std::size_t skip = std::min(unit, inLeft);
        in += skip;
        inLeft -= skip;
        if (pivot.size() - used < kPivotUnit)
            pivot.resize(pivot.size() * 2 + 64);
        std::memcpy(pivot.data() + used, kInvalidMark, kPivotUnit);
        used += kPivotUnit;
    }
    const char* flush = nullptr;
    std::size_t none = 0;
    ConvertChunk(handle, flush, none, pivot, used, losses);
    pivot.resize(used);
}

// The pivot to target bytes; each unit the target rejects becomes "?" in the target's own bytes,
// written through the same handle so a stateful target stays in a consistent shift state.
void Encode(iconv_t handle, std::string_view pivot, std::string& out, std::size_t& losses)
{
    std::size_t used = 0;
    out.resize(pivot.size() + 64);
    const char* in = pivot.data();
    std::size_t inLeft = pivot.size();
    while (inLeft > 0)
    {
        const int error = ConvertChunk(handle, in, inLeft, out, used, losses);
        if (error == 0)
            break;
        assert(inLeft >= kPivotUnit && "the pivot holds whole units only");
        in += kPivotUnit;
        inLeft -= kPivotUnit;
        ++losses;
        const char* replacement = reinterpret_cast<const char*>(kReplacement);
        std::size_t replacementLeft = kPivotUnit;
        ConvertChunk(handle, replacement, replacementLeft, out, used, losses);
    }
    const char* flush = nullptr;
    std::size_t none = 0;
    ConvertChunk(handle, flush, none, out, used, losses);
    out.resize(used);
}

} // namespace

unsigned ResolveCodePage(unsigned codePage)
{
    switch (codePage)
    {
    case kCodePageAnsi:
    case kCodePageThreadAnsi:
        return kAnsiCodePage;
    case kCodePageOem:
        return kOemCodePage;
    default:
        return codePage;
    }
}

const char* IconvNameOfCodePage(unsigned codePage)
{
    const CodePageRow* row = FindRow(codePage);
    return row ? row->m_szIconvName : nullptr;
}

bool IsCodePageInstalled(unsigned codePage)
{
    enum : std::uint8_t { kUnknown, kInstalled, kMissing };
    static std::array<std::atomic<std::uint8_t>, kCodePageCount> s_states{};

    const CodePageRow* row = FindRow(codePage);
    if (!row)
        return false;
    std::atomic<std::uint8_t>& state = s_states[static_cast<std::size_t>(row - kCodePageTable)];
    std::uint8_t known = state.load(std::memory_order_relaxed);
    if (known == kUnknown)
    {
        // Opened here and closed again rather than taken from the thread's cache, so that asking
        // about every code page does not leave two handles per code page in each asking thread.
        bool installed = true;
        for (bool toPivot : {true, false})
        {
            iconv_t handle = toPivot ? iconv_open(kPivotName, row->m_szIconvName)
                                     : iconv_open(row->m_szIconvName, kPivotName);
            if (handle == kNoHandle)
                installed = false;
            else
                iconv_close(handle);
        }
        known = installed ? kInstalled : kMissing;
        state.store(known, std::memory_order_relaxed);
    }
    return known == kInstalled;
}

std::vector<unsigned> InstalledCodePages()
{
    std::vector<unsigned> result;
    for (const CodePageRow& row : kCodePageTable)
        if (IsCodePageInstalled(row.m_nCodePage))
            result.push_back(row.m_nCodePage);
    return result;
}

ConversionResult ConvertCodePage(std::string_view input, unsigned fromCodePage, unsigned toCodePage)
{
    ConversionResult result;
    fromCodePage = ResolveCodePage(fromCodePage);
    toCodePage = ResolveCodePage(toCodePage);
    if (!IsCodePageInstalled(fromCodePage) || !IsCodePageInstalled(toCodePage))
        return result;

    CHandleCache& handles = ThreadHandles();
    iconv_t decoder = handles.Get(true, IconvNameOfCodePage(fromCodePage));
    iconv_t encoder = handles.Get(false, IconvNameOfCodePage(toCodePage));
    if (decoder == kNoHandle || encoder == kNoHandle)
        return result;

    std::string pivot;
    std::size_t decodeLosses = 0;
    Decode(decoder, input, InputUnitSize(fromCodePage), pivot, decodeLosses);
    // Invalid input reaches the encoder as kInvalidMark and is counted there, once.
    Encode(encoder, pivot, result.m_strOutput, result.m_nLosses);
    result.m_nLosses += decodeLosses;
    result.m_bOk = true;
    return result;
}

} // namespace platform
