#pragma once

#include <vector>

// Lines that cannot take part in a good match are set aside before the search: a line whose class
// never occurs on the other side, and, where they stand among such lines, lines whose class occurs
// very often there. They are marked changed at once; the rest goes to the search.
struct UNDISCARDED_LINES
{
    std::vector<int> m_classes;  // classes of the lines that take part in the search
    std::vector<int> m_realIndex; // their indices among all lines of the side
};

// `changed` (one flag per line of each side) receives the discarded lines.
void DiscardConfusingLines(const std::vector<int> (&classes)[2], int classCount, bool noDiscards,
                           UNDISCARDED_LINES (&out)[2], std::vector<char> (&changed)[2]);
