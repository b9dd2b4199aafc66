#include "textcompare/StringCompare.h"

#include "definitions/CompareParams.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

namespace
{

constexpr std::size_t MAX_LINE_LENGTH = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

// The line without its trailing CR and LF characters.
std::string_view WithoutLineEnd(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    return line;
}

bool IsSpaceAt(std::string_view text, std::size_t pos)
{
    return IsWordSpace(static_cast<unsigned char>(text[pos]));
}

} // namespace

void PrintTo(const STRINGDIFFERENCE& d, std::ostream* os)
{
    *os << "{" << d.nStart1 << ".." << d.nEnd1 << " | " << d.nStart2 << ".." << d.nEnd2 << "}";
}

CStringCompare::CStringCompare(std::string_view line1, std::string_view line2, bool caseSensitive,
                               std::uint32_t whiteSpace, int breakKind, std::string_view customBreak)
    : m_lines{line1, line2}, m_bCaseSensitive(caseSensitive), m_dwWhiteSpace(whiteSpace),
      m_nBreakKind(breakKind)
{
    m_bTooLong = line1.size() > MAX_LINE_LENGTH || line2.size() > MAX_LINE_LENGTH;
    if (m_bTooLong)
        return;
    for (int side = 0; side < 2; ++side)
    {
        if (m_bCaseSensitive)
            m_text[side] = m_lines[side];
        else
        {
            m_folded[side] = FoldedUpper(m_lines[side]);
            m_text[side] = m_folded[side];
        }
    }
    const CWordBreaks breaks(m_nBreakKind, customBreak);
    for (int side = 0; side < 2; ++side)
        SplitWords(m_lines[side], m_text[side], breaks, m_words[side]);
    BuildWordIndex();
}

void CStringCompare::BuildWordIndex()
{
    std::unordered_map<std::string_view, std::int32_t> classes;
    classes.reserve(m_words[0].size() + m_words[1].size());
    for (int side = 0; side < 2; ++side)
    {
        m_wordClass[side].clear();
        m_wordClass[side].reserve(m_words[side].size());
        for (const CWord& word : m_words[side])
        {
            const std::string_view text = m_text[side].substr(word.nStart, word.Length());
            const auto [it, added] = classes.try_emplace(text, static_cast<std::int32_t>(classes.size()));
            m_wordClass[side].push_back(it->second);
        }
    }
    const std::size_t classCount = classes.size();
    for (int side = 0; side < 2; ++side)
    {
        std::vector<std::int32_t>& start = m_classStart[side];
        start.assign(classCount + 1, 0);
        for (std::int32_t c : m_wordClass[side])
            ++start[c + 1];
        for (std::size_t c = 0; c < classCount; ++c)
            start[c + 1] += start[c];
        std::vector<std::int32_t> next(start.begin(), start.end() - 1);
        m_positions[side].assign(m_wordClass[side].size(), 0);
        for (std::size_t k = 0; k < m_wordClass[side].size(); ++k)
            m_positions[side][next[m_wordClass[side][k]]++] = static_cast<std::int32_t>(k);
    }
}

int CStringCompare::FirstOccurrence(int side, std::int32_t wordClass, int from) const
{
    const auto first = m_positions[side].begin() + m_classStart[side][wordClass];
    const auto last = m_positions[side].begin() + m_classStart[side][wordClass + 1];
    const auto it = std::lower_bound(first, last, from);
    return it == last ? -1 : *it;
}

bool CStringCompare::IsSameWord(int i, int j) const
{
    return m_wordClass[0][i] == m_wordClass[1][j];
}

bool CStringCompare::FindSynchronisationPoint(int i, int j, int& outI, int& outJ) const
{
    const auto& words1 = m_words[0];
    const auto& words2 = m_words[1];
    const int count1 = static_cast<int>(words1.size());
    const int count2 = static_cast<int>(words2.size());
    int i1 = -1;
    int j1 = -1;
    for (int k = i; k < count1 && i1 < 0; ++k)
    {
        j1 = FirstOccurrence(1, m_wordClass[0][k], j);
        if (j1 >= 0)
            i1 = k;
    }
    if (i1 < 0)
        return false;
    int i2 = -1;
    int j2 = -1;
    for (int k = j; k < count2 && j2 < 0; ++k)
    {
        i2 = FirstOccurrence(0, m_wordClass[1][k], i1);
        if (i2 >= 0)
            j2 = k;
    }
    // Take the pair that skips less: the second one skips more of the first line (up to i2), the first
    // one more of the second line (up to j1).
    if (j2 < 0 || words1[i2].nEnd - words1[i1].nStart >= words2[j1].nEnd - words2[j2].nStart)
    {
        outI = i1;
        outJ = j1;
    }
    else
    {
        outI = i2;
        outJ = j2;
    }
    return true;
}

std::int32_t CStringCompare::GapStart(int side, int word) const
{
    return word > 0 ? m_words[side][word - 1].nEnd + 1 : 0;
}

void CStringCompare::AddDifference(std::int32_t start1, std::int32_t start2, std::int32_t end1,
                                   std::int32_t end2)
{
    STRINGDIFFERENCE d;
    d.nStart1 = start1;
    d.nStart2 = start2;
    d.nEnd1 = std::max(end1, start1 - 1);
    d.nEnd2 = std::max(end2, start2 - 1);
    m_differences.push_back(d);
}

// The white space before two words, [start, end) on each side: what is left after the common front
// and back is a difference.
void CStringCompare::CompareGaps(std::int32_t start1, std::int32_t end1, std::int32_t start2,
                                 std::int32_t end2)
{
    const std::string_view a = m_lines[0];
    const std::string_view b = m_lines[1];
    while (start1 < end1 && start2 < end2 && a[start1] == b[start2])
    {
        ++start1;
        ++start2;
    }
    if (start1 == end1 && start2 == end2)
        return;
    while (end1 > start1 && end2 > start2 && a[end1 - 1] == b[end2 - 1])
    {
        --end1;
        --end2;
    }
    AddDifference(start1, start2, end1 - 1, end2 - 1);
}

void CStringCompare::CompareWords()
{
    const auto& words1 = m_words[0];
    const auto& words2 = m_words[1];
    const int count1 = static_cast<int>(words1.size());
    const int count2 = static_cast<int>(words2.size());
    const bool spaceSignificant = m_dwWhiteSpace == 0;
    int i = 0;
    int j = 0;
    while (i < count1 && j < count2)
    {
        if (spaceSignificant)
            CompareGaps(GapStart(0, i), words1[i].nStart, GapStart(1, j), words2[j].nStart);
        if (IsSameWord(i, j))
        {
            ++i;
            ++j;
            continue;
        }
        int syncI = 0;
        int syncJ = 0;
        if (!FindSynchronisationPoint(i, j, syncI, syncJ))
        {
            AddDifference(words1[i].nStart, words2[j].nStart, words1[count1 - 1].nEnd,
                          words2[count2 - 1].nEnd);
            i = count1;
            j = count2;
            break;
        }
        std::int32_t end1 = 0;
        std::int32_t end2 = 0;
        if (spaceSignificant)
        {
            // Up to the synchronisation words, leaving out the white space both sides share before them.
            end1 = words1[syncI].nStart - 1;
            end2 = words2[syncJ].nStart - 1;
            const std::int32_t floor1 = GapStart(0, syncI) - 1;
            const std::int32_t floor2 = GapStart(1, syncJ) - 1;
            while (end1 > floor1 && end2 > floor2 && m_lines[0][end1] == m_lines[1][end2])
            {
                --end1;
                --end2;
            }
        }
        else
        {
            // The unmatched words with one separator after them, but never into the synchronisation
            // word (break characters touch the words beside them).
            end1 = syncI > 0 ? std::min(words1[syncI - 1].nEnd + 1, words1[syncI].nStart - 1) : -1;
            end2 = syncJ > 0 ? std::min(words2[syncJ - 1].nEnd + 1, words2[syncJ].nStart - 1) : -1;
        }
        AddDifference(words1[i].nStart, words2[j].nStart, end1, end2);
        i = syncI + 1;
        j = syncJ + 1;
    }

    // Whatever follows the last word the walk consumed on each side.
    const std::string_view a = m_lines[0];
    const std::string_view b = m_lines[1];
    const auto length1 = static_cast<std::int32_t>(a.size());
    const auto length2 = static_cast<std::int32_t>(b.size());
    std::int32_t pos1 = GapStart(0, i);
    std::int32_t pos2 = GapStart(1, j);
    while (pos1 < length1 && pos2 < length2 && IsSpaceAt(a, pos1) && IsSpaceAt(b, pos2) &&
           (!spaceSignificant || a[pos1] == b[pos2]))
    {
        ++pos1;
        ++pos2;
    }
    if (pos1 < length1 || pos2 < length2)
        AddDifference(pos1, pos2, length1 - 1, length2 - 1);
}

void CStringCompare::MergeTouching()
{
    std::vector<STRINGDIFFERENCE> merged;
    merged.reserve(m_differences.size());
    for (const STRINGDIFFERENCE& d : m_differences)
    {
        if (!merged.empty())
        {
            STRINGDIFFERENCE& last = merged.back();
            if (d.nStart1 <= last.nEnd1 + 1 && d.nStart2 <= last.nEnd2 + 1)
            {
                last.nEnd1 = std::max(last.nEnd1, d.nEnd1);
                last.nEnd2 = std::max(last.nEnd2, d.nEnd2);
                continue;
            }
        }
        merged.push_back(d);
    }
    m_differences.swap(merged);
}

// Narrows a word-level difference to the characters that differ, matching from both ends. False
// when nothing is left on either side (the two parts are equal under the rules).
bool CStringCompare::RefineDifference(STRINGDIFFERENCE& d) const
{
    if (d.IsEmpty1() || d.IsEmpty2())
        return true; // a pure insertion or deletion has nothing to narrow
    const std::string_view a = m_text[0];
    const std::string_view b = m_text[1];
    const bool spaceIgnored = m_dwWhiteSpace != 0;
    // White space against none still counts under "space changes" unless all space is ignored.
    const bool spaceChangesOnly =
        (m_dwWhiteSpace & RULE_IGNORESPACEDIFFERENCES) != 0 && (m_dwWhiteSpace & RULE_IGNOREALLSPACE) == 0;

    std::size_t lo1 = d.nStart1;
    std::size_t hi1 = static_cast<std::size_t>(d.nEnd1) + 1;
    std::size_t lo2 = d.nStart2;
    std::size_t hi2 = static_cast<std::size_t>(d.nEnd2) + 1;
    if (spaceIgnored)
    {
        while (lo1 < hi1 && IsSpaceAt(a, lo1))
            ++lo1;
        while (hi1 > lo1 && IsSpaceAt(a, hi1 - 1))
            --hi1;
        while (lo2 < hi2 && IsSpaceAt(b, lo2))
            ++lo2;
        while (hi2 > lo2 && IsSpaceAt(b, hi2 - 1))
            --hi2;
    }

    // From the front: p1 and p2 end at the first mismatch, or where a side is used up.
    std::size_t p1 = lo1;
    std::size_t p2 = lo2;
    while (p1 < hi1 && p2 < hi2)
    {
        const bool space1 = IsSpaceAt(a, p1);
        const bool space2 = IsSpaceAt(b, p2);
        if (spaceIgnored && (space1 || space2))
        {
            if (spaceChangesOnly && !(space1 && space2))
                break;
            while (p1 < hi1 && IsSpaceAt(a, p1))
                ++p1;
            while (p2 < hi2 && IsSpaceAt(b, p2))
                ++p2;
            continue;
        }
        const std::size_t length1 = CharacterLength(a, p1);
        const std::size_t length2 = CharacterLength(b, p2);
        if (length1 != length2 || a.compare(p1, length1, b, p2, length2) != 0)
            break;
        p1 += length1;
        p2 += length2;
    }

    // From the back, not past the front mismatch: q1 and q2 end just after the last mismatch.
    std::size_t q1 = hi1;
    std::size_t q2 = hi2;
    if (p1 < hi1 && p2 < hi2)
    {
        while (q1 > p1 && q2 > p2)
        {
            const bool space1 = IsSpaceAt(a, q1 - 1);
            const bool space2 = IsSpaceAt(b, q2 - 1);
            if (spaceIgnored && (space1 || space2))
            {
                if (spaceChangesOnly && !(space1 && space2))
                    break;
                while (q1 > p1 && IsSpaceAt(a, q1 - 1))
                    --q1;
                while (q2 > p2 && IsSpaceAt(b, q2 - 1))
                    --q2;
                continue;
            }
            const std::size_t start1 = PreviousCharacterStart(a, p1, q1);
            const std::size_t start2 = PreviousCharacterStart(b, p2, q2);
            if (q1 - start1 != q2 - start2 || a.compare(start1, q1 - start1, b, start2, q2 - start2) != 0)
                break;
            q1 = start1;
            q2 = start2;
        }
    }
    // A side matched to nothing stays as an empty range where the other side's text belongs.
    if (q1 <= p1 && q2 <= p2)
        return false;
    d.nStart1 = static_cast<std::int32_t>(p1);
    d.nEnd1 = static_cast<std::int32_t>(std::max(q1, p1)) - 1;
    d.nStart2 = static_cast<std::int32_t>(p2);
    d.nEnd2 = static_cast<std::int32_t>(std::max(q2, p2)) - 1;
    return true;
}

bool CStringCompare::Compare(bool characterLevel)
{
    m_differences.clear();
    if (m_bTooLong)
        return false;
    CompareWords();
    MergeTouching();
    if (characterLevel)
    {
        std::erase_if(m_differences, [this](STRINGDIFFERENCE& d) { return !RefineDifference(d); });
    }
    return true;
}

bool ComputeLineDifferences(std::string_view line1, std::string_view line2, bool caseSensitive,
                            std::uint32_t whiteSpace, int breakKind, bool characterLevel,
                            std::vector<STRINGDIFFERENCE>& out, std::string_view customBreak)
{
    CStringCompare compare(line1, line2, caseSensitive, whiteSpace, breakKind, customBreak);
    const bool done = compare.Compare(characterLevel);
    out = compare.GetDifferences();
    return done;
}

bool ComputeRowDifferences(std::string_view left, std::string_view right, std::uint32_t rules, int breakKind,
                           std::string_view customBreak, bool characterLevel,
                           std::vector<STRINGDIFFERENCE>& out)
{
    if ((rules & RULE_IGNOREEOL) != 0)
    {
        left = WithoutLineEnd(left);
        right = WithoutLineEnd(right);
    }
    return ComputeLineDifferences(left, right, (rules & RULE_IGNORECASE) == 0, rules & 0xFFFF, breakKind,
                                  characterLevel, out, customBreak);
}

bool GetChangedSpan(const std::vector<STRINGDIFFERENCE>& differences, STRINGDIFFERENCE& span)
{
    if (differences.empty())
        return false;
    span.nStart1 = differences.front().nStart1;
    span.nStart2 = differences.front().nStart2;
    span.nEnd1 = differences.back().nEnd1;
    span.nEnd2 = differences.back().nEnd2;
    return true;
}

bool HasInlineColours(const std::vector<STRINGDIFFERENCE>& differences, std::string_view line1,
                      std::string_view line2)
{
    if (differences.empty())
        return false;
    const STRINGDIFFERENCE& first = differences.front();
    const auto text1 = static_cast<std::int64_t>(WithoutLineEnd(line1).size());
    const auto text2 = static_cast<std::int64_t>(WithoutLineEnd(line2).size());
    auto coversAll = [](std::int64_t start, std::int64_t end, std::int64_t length)
    { return length > 0 && start <= 0 && end >= length - 1; };
    auto coversNothing = [](std::int64_t start, std::int64_t end, std::int64_t length)
    { return end < start || start >= length; };
    const bool wholeAgainstNothing =
        (coversAll(first.nStart1, first.nEnd1, text1) && coversNothing(first.nStart2, first.nEnd2, text2)) ||
        (coversAll(first.nStart2, first.nEnd2, text2) && coversNothing(first.nStart1, first.nEnd1, text1));
    return !wholeAgainstNothing;
}
