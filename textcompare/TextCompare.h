#pragma once

#include "textcompare/TextSection.h"

#include <array>
#include <string_view>

namespace platform {
class CRegex;
}

// Compares two texts line by line under the comparison rules and reports each block of changed
// lines as a section. The steps, in order: identical ends are cut off, the remaining lines are hashed
// into equivalence classes, lines that cannot match are discarded, a shortest edit script is found
// (Myers), changed runs slide to canonical places, and the script is built and classified.
class CTextCompare
{
public:
    int m_nWhiteSpace = 0; // 0 none, 1 tab expansion, 2 space changes, 3 all space
    bool m_bIgnoreCase = false;
    bool m_bIgnoreBlankLines = false;
    const platform::CRegex* m_lineFilter = nullptr; // not owned
    int m_nTabSize = 4;
    bool m_bHeuristic = true;
    bool m_bNoDiscards = false;
    // The search cost at which the search stops at the furthest point reached, at least. GNU diff
    // gives up later (4096, without the good-diagonal heuristic); its twin front end asks for that.
    int m_nMinimumTooExpensive = 256;
    // Lines of the identical ends that still take part in the matching, so that changed runs may
    // slide into them (GNU diff keeps its context lines this way); none by default.
    int m_nHorizonLines = 0;

    // When either text holds a NUL byte, `outBinaryResult` becomes 1 (identical bytes) or -1 and no
    // section is produced; otherwise it is left alone. Always returns 0.
    int Compare(const std::array<std::string_view, 2>& sides, int& outBinaryResult, CTextSectionList& sections) const;

    // Whether a line (without its line end) is ignorable under the blank-line rule and the filter.
    bool IsIgnorableLine(std::string_view line) const;
};
