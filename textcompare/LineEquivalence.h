#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// How lines are judged equal: the white-space mode (0 none, 1 tab expansion, 2 space changes,
// 3 all space), case folding and the tab size of mode 1.
struct LINE_RULES
{
    int m_nWhiteSpace = 0;
    bool m_bIgnoreCase = false;
    int m_nTabSize = 4;
};

// One side's lines to be matched: each line's bytes up to and including its "\n".
struct MATCH_LINES
{
    std::vector<std::string_view> m_lines;
    bool m_bIncompleteLast = false; // the last line's "\n" was added in memory
};

// Hash of a line's bytes as the rules feed them: h = rotl(h, 7) + c over the fed bytes.
std::uint32_t HashLine(std::string_view line, const LINE_RULES& rules);

// The line equality of the rules (lines without or with their "\n").
bool LinesEqual(std::string_view a, std::string_view b, const LINE_RULES& rules);

// Puts the lines of both sides into equivalence classes shared by the sides, numbered from 0 in
// order of first appearance (left side first). An incomplete last line only joins another
// incomplete last line, unless white space changes are ignored.
void AssignLineClasses(const MATCH_LINES& left, const MATCH_LINES& right, const LINE_RULES& rules,
                       std::vector<int>& leftClasses, std::vector<int>& rightClasses, int& classCount);

// The largest prime below 2^i for the smallest i >= 9 with 2^i at least a third of `lines`.
std::uint32_t BucketCountFor(std::size_t lines);
