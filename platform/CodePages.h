#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Internal text is UTF-8, so UTF-8 plays the ANSI code page; the OEM code page is the DOS one.
inline constexpr unsigned kAnsiCodePage = 65001;
inline constexpr unsigned kOemCodePage = 437;
inline constexpr unsigned kCodePageAnsi = 0;       // CP_ACP
inline constexpr unsigned kCodePageOem = 1;        // CP_OEMCP
inline constexpr unsigned kCodePageThreadAnsi = 3; // CP_THREAD_ACP

// 0, 1 and 3 become the real code page they stand for; every other number is returned unchanged.
unsigned ResolveCodePage(unsigned codePage);

// The iconv name of a real code page number, or nullptr when the number has no row (pseudo numbers
// included: resolve them first).
const char* IconvNameOfCodePage(unsigned codePage);

// True when the number has a row and iconv can open that name in both directions. The answer is
// cached per number.
bool IsCodePageInstalled(unsigned codePage);

// The installed code pages, ascending.
std::vector<unsigned> InstalledCodePages();

struct ConversionResult
{
    std::string m_strOutput;
    std::size_t m_nLosses = 0; // characters replaced by "?" (unencodable or invalid input)
    bool m_bOk = false;        // false only when a code page is not installed
};

// Converts bytes between two code pages (pseudo numbers are resolved). Each character the target
// cannot encode, and each invalid input unit (one byte; two for UTF-16, four for UTF-32), becomes
// the target's "?" and counts as one loss; conversion always runs to the end of the input.
ConversionResult ConvertCodePage(std::string_view input, unsigned fromCodePage, unsigned toCodePage);

} // namespace platform
