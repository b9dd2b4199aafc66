#include "textcompare/TextCompare.h"

#include "platform/Regex.h"
#include "textcompare/ChangeSlider.h"
#include "textcompare/LineDiscarder.h"
#include "textcompare/LineEquivalence.h"
#include "textcompare/ShortestEditScript.h"
#include "textcompare/TextScan.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// One side as the comparison sees it: the text, with a "\n" added in memory when the last line has
// none.
class CSideText
{
public:
    explicit CSideText(std::string_view text) : incomplete(!text.empty() && text.back() != '\n')
    {
        if (incomplete)
        {
            m_copy.reserve(text.size() + 1);
            m_copy.assign(text);
            m_copy.push_back('\n');
            this->text = m_copy;
        }
        else
        {
            this->text = text;
        }
    }
    CSideText(const CSideText&) = delete;
    CSideText& operator=(const CSideText&) = delete;

    const bool incomplete;
    std::string_view text;

private:
    std::string m_copy; // holds the text when a line end had to be added
};

// The byte lengths of the identical leading and trailing lines.
struct IDENTICAL_ENDS
{
    std::size_t prefix = 0;
    std::size_t suffix = 0;
};

IDENTICAL_ENDS FindIdenticalEnds(const CSideText (&sides)[2], int horizonLines)
{
    const std::string_view a = sides[0].text;
    const std::string_view b = sides[1].text;
    IDENTICAL_ENDS ends;
    std::size_t prefix = CommonPrefixLength(a, b);
    // A line end added in memory is not a real one: an incomplete last line never matches a complete one.
    const bool intoAddedA = sides[0].incomplete && prefix == a.size();
    const bool intoAddedB = sides[1].incomplete && prefix == b.size();
    if (intoAddedA != intoAddedB)
        --prefix;
    while (prefix > 0 && a[prefix - 1] != '\n')
        --prefix;
    for (int h = 0; h < horizonLines && prefix > 0; ++h)
    {
        --prefix;
        while (prefix > 0 && a[prefix - 1] != '\n')
            --prefix;
    }
    ends.prefix = prefix;

    if (sides[0].incomplete == sides[1].incomplete)
    {
        std::size_t suffix = CommonSuffixLength(a, b, std::min(a.size(), b.size()) - prefix);
        const std::size_t startA = a.size() - suffix;
        const std::size_t startB = b.size() - suffix;
        const bool lineStartA = startA == 0 || a[startA - 1] == '\n';
        const bool lineStartB = startB == 0 || b[startB - 1] == '\n';
        if (suffix > 0 && !(lineStartA && lineStartB))
        {
            const std::size_t newline = a.find('\n', startA);
            suffix = newline == std::string_view::npos ? 0 : a.size() - (newline + 1);
        }
        for (int h = 0; h < horizonLines && suffix > 0; ++h)
        {
            const std::size_t newline = a.find('\n', a.size() - suffix);
            suffix = newline == std::string_view::npos ? 0 : a.size() - (newline + 1);
        }
        ends.suffix = suffix;
    }
    return ends;
}

struct CHANGE
{
    int line0;
    int line1;
    int deleted;
    int inserted;
};

// Walks both changed-flag arrays from the end; each group of changes at the same place becomes one
// change, so the list comes out in ascending order once reversed.
std::vector<CHANGE> BuildScript(const std::vector<char> (&changed)[2])
{
    const char* const c0 = changed[0].data() + 1;
    const char* const c1 = changed[1].data() + 1;
    long i0 = static_cast<long>(changed[0].size()) - 2;
    long i1 = static_cast<long>(changed[1].size()) - 2;
    std::vector<CHANGE> script;
    while (i0 >= 0 || i1 >= 0)
    {
        if (c0[i0 - 1] || c1[i1 - 1])
        {
            const long line0 = i0;
            const long line1 = i1;
            while (c0[i0 - 1])
                --i0;
            while (c1[i1 - 1])
                --i1;
            script.push_back({static_cast<int>(i0), static_cast<int>(i1), static_cast<int>(line0 - i0),
                              static_cast<int>(line1 - i1)});
        }
        --i0;
        --i1;
    }
    std::reverse(script.begin(), script.end());
    return script;
}

std::string_view WithoutNewline(std::string_view line)
{
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    return line;
}

} // namespace

bool CTextCompare::IsIgnorableLine(std::string_view line) const
{
    if (m_bIgnoreBlankLines && line.empty())
        return true;
    return m_lineFilter != nullptr && m_lineFilter->Search(line);
}

int CTextCompare::Compare(const std::array<std::string_view, 2>& texts, int& outBinaryResult,
                          CTextSectionList& sections) const
{
    if (std::memchr(texts[0].data(), '\0', texts[0].size()) || std::memchr(texts[1].data(), '\0', texts[1].size()))
    {
        outBinaryResult = texts[0] == texts[1] ? 1 : -1;
        return 0;
    }
    // Line offsets are 32-bit; texts beyond that are compared as bytes only.
    constexpr std::size_t kMaxText = std::size_t{0xFFFFFFFF} - 1;
    if (texts[0].size() >= kMaxText || texts[1].size() >= kMaxText)
    {
        outBinaryResult = texts[0] == texts[1] ? 1 : -1;
        return 0;
    }
    const CSideText sides[2] = {CSideText(texts[0]), CSideText(texts[1])};
    const IDENTICAL_ENDS ends = FindIdenticalEnds(sides, m_nHorizonLines);
    const int prefixLines = static_cast<int>(CountNewlines(sides[0].text.substr(0, ends.prefix)));

    MATCH_LINES lines[2];
    for (int s = 0; s < 2; ++s)
    {
        lines[s].m_text = sides[s].text.substr(ends.prefix, sides[s].text.size() - ends.prefix - ends.suffix);
        lines[s].m_bIncompleteLast = sides[s].incomplete && ends.suffix == 0;
    }
    if (lines[0].m_text.empty() && lines[1].m_text.empty())
        return 0;

    const LINE_RULES rules{m_nWhiteSpace, m_bIgnoreCase, m_nTabSize};
    std::vector<int> classes[2];
    int classCount = 0;
    AssignLineClasses(lines[0], lines[1], rules, classes[0], classes[1], classCount);

    // One sentinel flag before and after the lines of each side.
    std::vector<char> changed[2] = {std::vector<char>(classes[0].size() + 2, 0),
                                    std::vector<char>(classes[1].size() + 2, 0)};
    std::vector<char> flags[2] = {std::vector<char>(classes[0].size(), 0), std::vector<char>(classes[1].size(), 0)};
    UNDISCARDED_LINES undiscarded[2];
    DiscardConfusingLines(classes, classCount, m_bNoDiscards, undiscarded, flags);
    CShortestEditScript(undiscarded[0].m_classes, undiscarded[1].m_classes, m_bHeuristic, m_nMinimumTooExpensive)
        .Run(flags[0], undiscarded[0].m_realIndex, flags[1], undiscarded[1].m_realIndex);
    for (int s = 0; s < 2; ++s)
        std::copy(flags[s].begin(), flags[s].end(), changed[s].begin() + 1);
    SlideChanges(changed, classes);

    const bool classify = m_bIgnoreBlankLines || m_lineFilter != nullptr;
    for (const CHANGE& change : BuildScript(changed))
    {
        CTextSection section;
        section.nLeftFirst = prefixLines + change.line0;
        section.nRightFirst = prefixLines + change.line1;
        section.nLeftLast = section.nLeftFirst + change.deleted - 1;
        section.nRightLast = section.nRightFirst + change.inserted - 1;
        section.nKind = SECTION_CHANGED;
        if (classify)
        {
            bool ignorable = true;
            for (int k = 0; ignorable && k < change.deleted; ++k)
                ignorable = IsIgnorableLine(WithoutNewline(lines[0].Line(static_cast<std::size_t>(change.line0 + k))));
            for (int k = 0; ignorable && k < change.inserted; ++k)
                ignorable = IsIgnorableLine(WithoutNewline(lines[1].Line(static_cast<std::size_t>(change.line1 + k))));
            if (ignorable)
                section.nKind = SECTION_IGNORED;
        }
        sections.Add(section);
    }
    return 0;
}
