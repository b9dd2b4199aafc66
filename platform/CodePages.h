#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// On this platform internal text is UTF-8, which is therefore the ANSI code page.
inline constexpr unsigned kAnsiCodePage = 65001;
inline constexpr unsigned kOemCodePage = 437;

// The pseudo numbers 0 (ANSI), 1 (OEM) and 3 (the thread's ANSI) as real code pages.
unsigned ResolveCodePage(unsigned codePage);
// The iconv name of a Windows code-page number; nullptr when the table has no row for it.
const char* IconvNameOfCodePage(unsigned codePage);
// A row of the table that iconv can open here.
bool IsCodePageInstalled(unsigned codePage);
// Every installed code page, ascending.
std::vector<unsigned> InstalledCodePages();

struct ConversionResult
{
    std::string m_strOutput;
    std::size_t m_nLosses = 0; // characters the target cannot hold and input that could not be decoded
    bool m_bOk = false;        // false only when a code page is not installed
};

// Converts bytes between two code pages. What cannot be converted becomes "?" and counts as a loss;
// the conversion always goes on to the end of the input.
ConversionResult ConvertCodePage(std::string_view input, unsigned fromCodePage, unsigned toCodePage);

} // namespace platform
