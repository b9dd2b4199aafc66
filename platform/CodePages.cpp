#include "platform/CodePages.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <map>
#include <mutex>

namespace platform {

namespace {

struct CodePageRow
{
    unsigned m_nCodePage;
    const char* m_pszIconvName;
};

// Windows code-page numbers and the glibc iconv names of the same encodings.
constexpr CodePageRow kCodePages[] = {
    {37, "IBM037"},         {437, "IBM437"},        {500, "IBM500"},        {708, "ISO-8859-6"},
    {720, "CP720"},         {737, "CP737"},         {775, "IBM775"},        {850, "IBM850"},
    {852, "IBM852"},        {855, "IBM855"},        {857, "IBM857"},        {858, "IBM00858"},
    {860, "IBM860"},        {861, "IBM861"},        {862, "IBM862"},        {863, "IBM863"},
    {864, "IBM864"},        {865, "IBM865"},        {866, "IBM866"},        {869, "IBM869"},
    {870, "IBM870"},        {874, "CP874"},         {875, "IBM875"},        {932, "CP932"},
    {936, "CP936"},         {949, "CP949"},         {950, "BIG5"},          {1026, "IBM1026"},
    {1047, "IBM1047"},      {1140, "IBM01140"},     {1141, "IBM01141"},     {1142, "IBM01142"},
    {1143, "IBM01143"},     {1144, "IBM01144"},     {1145, "IBM01145"},     {1146, "IBM01146"},
    {1147, "IBM01147"},     {1148, "IBM01148"},     {1149, "IBM01149"},     {1200, "UTF-16LE"},
    {1201, "UTF-16BE"},     {1250, "CP1250"},       {1251, "CP1251"},       {1252, "CP1252"},
    {1253, "CP1253"},       {1254, "CP1254"},       {1255, "CP1255"},       {1256, "CP1256"},
    {1257, "CP1257"},       {1258, "CP1258"},       {1361, "JOHAB"},        {10000, "MACINTOSH"},
    {10004, "MAC-ARABIC"},  {10006, "MACGREEK"},    {10007, "MAC-CYRILLIC"}, {10029, "MAC-CENTRALEUROPE"},
    {10079, "MAC-IS"},      {10081, "MACTURKISH"},  {12000, "UTF-32LE"},    {12001, "UTF-32BE"},
    {20127, "ANSI_X3.4-1968"}, {20866, "KOI8-R"},   {20932, "EUC-JP"},      {21866, "KOI8-U"},
    {28591, "ISO-8859-1"},  {28592, "ISO-8859-2"},  {28593, "ISO-8859-3"},  {28594, "ISO-8859-4"},
    {28595, "ISO-8859-5"},  {28596, "ISO-8859-6"},  {28597, "ISO-8859-7"},  {28598, "ISO-8859-8"},
    {28599, "ISO-8859-9"},  {28603, "ISO-8859-13"}, {28605, "ISO-8859-15"}, {50220, "ISO-2022-JP"},
    {50225, "ISO-2022-KR"}, {51932, "EUC-JP"},      {51936, "EUC-CN"},      {51949, "EUC-KR"},
    {52936, "HZ-GB-2312"},  {54936, "GB18030"},     {65000, "UTF-7"},       {65001, "UTF-8"},
};

// Byte count of one input unit, skipped when it cannot be decoded.
std::size_t UnitSize(unsigned codePage)
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

} // namespace

unsigned ResolveCodePage(unsigned codePage)
{
    switch (codePage)
    {
    case 0:
    case 3:
        return kAnsiCodePage;
    case 1:
        return kOemCodePage;
    default:
        return codePage;
    }
}

const char* IconvNameOfCodePage(unsigned codePage)
{
    codePage = ResolveCodePage(codePage);
    for (const CodePageRow& row : kCodePages)
        if (row.m_nCodePage == codePage)
            return row.m_pszIconvName;
    return nullptr;
}

bool IsCodePageInstalled(unsigned codePage)
{
    static std::mutex mutex;
    static std::map<unsigned, bool> known;
    const char* name = IconvNameOfCodePage(codePage);
    if (name == nullptr)
        return false;
    std::lock_guard guard(mutex);
    const auto it = known.find(codePage);
    if (it != known.end())
        return it->second;
    const iconv_t cd = iconv_open("UTF-8", name);
    const bool ok = cd != reinterpret_cast<iconv_t>(-1);
    if (ok)
        iconv_close(cd);
    known[codePage] = ok;
    return ok;
}

std::vector<unsigned> InstalledCodePages()
{
    std::vector<unsigned> pages;
    for (const CodePageRow& row : kCodePages)
        if (IsCodePageInstalled(row.m_nCodePage))
            pages.push_back(row.m_nCodePage);
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    return pages;
}

namespace {

// One iconv pass. A unit that cannot be converted is skipped: a whole character for UTF-8 input,
// otherwise the code page's unit.
ConversionResult ConvertOnce(std::string_view input, unsigned fromCodePage, unsigned toCodePage)
{
    ConversionResult result;
    const char* from = IconvNameOfCodePage(fromCodePage);
    const char* to = IconvNameOfCodePage(toCodePage);
    if (from == nullptr || to == nullptr)
        return result;
    // iconv handles keep state: one per call.
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return result;
    const ConversionResult replacement = [&] {
        ConversionResult r;
        r.m_strOutput = "?";
        if (std::string_view(to) != "UTF-8")
        {
            const iconv_t q = iconv_open(to, "UTF-8");
            if (q != reinterpret_cast<iconv_t>(-1))
            {
                char in[] = "?";
                char out[16];
                char* pin = in;
                char* pout = out;
                std::size_t inLeft = 1;
                std::size_t outLeft = sizeof out;
                iconv(q, &pin, &inLeft, &pout, &outLeft);
                iconv(q, nullptr, nullptr, &pout, &outLeft);
                r.m_strOutput.assign(out, static_cast<std::size_t>(pout - out));
                iconv_close(q);
            }
        }
        return r;
    }();

    std::string& out = result.m_strOutput;
    out.resize(input.size() * 2 + 64);
    char* pin = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    std::size_t used = 0;
    const std::size_t unit = ResolveCodePage(fromCodePage) == 65001 ? 0 : UnitSize(ResolveCodePage(fromCodePage));
    auto grow = [&] { out.resize(out.size() * 2 + 64); };
    while (inLeft > 0)
    {
        char* pout = out.data() + used;
        std::size_t outLeft = out.size() - used;
        const std::size_t rc = iconv(cd, &pin, &inLeft, &pout, &outLeft);
        const int error = errno;
        used = static_cast<std::size_t>(pout - out.data());
        if (rc != static_cast<std::size_t>(-1))
        {
            result.m_nLosses += rc; // characters converted irreversibly
            continue;
        }
        if (error == E2BIG)
        {
            grow();
            continue;
        }
        // EILSEQ (a character the target lacks, or bad input) or EINVAL (cut off at the end):
        // one unit becomes the replacement and the conversion goes on.
        const std::size_t sequence =
            unit == 0 ? std::max<std::size_t>(1, ValidUtf8SequenceLength(std::string_view(pin, inLeft))) : unit;
        const std::size_t skip = std::min(inLeft, sequence);
        pin += skip;
        inLeft -= skip;
        while (out.size() - used < replacement.m_strOutput.size())
            grow();
        out.replace(used, replacement.m_strOutput.size(), replacement.m_strOutput);
        used += replacement.m_strOutput.size();
        ++result.m_nLosses;
    }
    // Back to the initial shift state for stateful encodings (ISO-2022, UTF-7).
    for (;;)
    {
        char* pout = out.data() + used;
        std::size_t outLeft = out.size() - used;
        const std::size_t rc = iconv(cd, nullptr, nullptr, &pout, &outLeft);
        used = static_cast<std::size_t>(pout - out.data());
        if (rc == static_cast<std::size_t>(-1) && errno == E2BIG)
        {
            grow();
            continue;
        }
        break;
    }
    iconv_close(cd);
    out.resize(used);
    result.m_bOk = true;
    return result;
}

} // namespace

ConversionResult ConvertCodePage(std::string_view input, unsigned fromCodePage, unsigned toCodePage)
{
    fromCodePage = ResolveCodePage(fromCodePage);
    toCodePage = ResolveCodePage(toCodePage);
    if (fromCodePage == kAnsiCodePage || toCodePage == kAnsiCodePage)
        return ConvertOnce(input, fromCodePage, toCodePage);
    // Through UTF-8, so that a character the target lacks is replaced whole.
    ConversionResult middle = ConvertOnce(input, fromCodePage, kAnsiCodePage);
    if (!middle.m_bOk)
        return middle;
    ConversionResult result = ConvertOnce(middle.m_strOutput, kAnsiCodePage, toCodePage);
    result.m_nLosses += middle.m_nLosses;
    return result;
}

} // namespace platform
