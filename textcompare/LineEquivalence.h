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

// One side's lines to be matched: a text in which every line ends with "\n", split by offsets.
struct MATCH_LINES
{
    std::string_view m_text;
    std::vector<std::uint32_t> m_starts; // one per line and one for the end
    bool m_bIncompleteLast = false;      // the last line's "\n" was added in memory

    std::size_t Count() const { return m_starts.empty() ? 0 : m_starts.size() - 1; }
    std::string_view Line(std::size_t i) const
    {
        return m_text.substr(m_starts[i], m_starts[i + 1] - m_starts[i]);
    }
};

// Hash of a line's bytes as the rules feed them: h = rotl(h, 7) + c over the fed bytes.
std::uint32_t HashLine(std::string_view line, const LINE_RULES& rules);

// The line equality of the rules (lines without or with their "\n").
bool LinesEqual(std::string_view a, std::string_view b, const LINE_RULES& rules);

// Splits both texts into lines and puts the lines into equivalence classes shared by the sides,
// numbered from 0 in order of first appearance (left side first), in one pass over the bytes. An
// incomplete last line only joins another incomplete last line, unless white space changes are
// ignored. The texts must be shorter than 4 GiB.
void AssignLineClasses(MATCH_LINES& left, MATCH_LINES& right, const LINE_RULES& rules,
                       std::vector<int>& leftClasses, std::vector<int>& rightClasses, int& classCount);

// The largest prime below 2^i for the smallest i >= 9 with 2^i at least a third of `lines`.
std::uint32_t BucketCountFor(std::size_t lines);
