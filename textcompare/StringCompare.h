#pragma once

#include "textcompare/WordSplitter.h"

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// One inline difference: byte offsets into the first and the second line, ends inclusive. A side on
// which the difference is empty has its end one less than its start (the place where the other
// side's text belongs). Every boundary falls on a UTF-8 character boundary.
struct STRINGDIFFERENCE
{
    std::int32_t nStart1 = 0;
    std::int32_t nStart2 = 0;
    std::int32_t nEnd1 = -1;
    std::int32_t nEnd2 = -1;

    bool IsEmpty1() const { return nEnd1 < nStart1; }
    bool IsEmpty2() const { return nEnd2 < nStart2; }
    bool operator==(const STRINGDIFFERENCE&) const = default;
};

void PrintTo(const STRINGDIFFERENCE& difference, std::ostream* os);

// Finds which parts of two lines differ: word by word, optionally refined to single characters.
// The lines are split into words when the object is made; `Compare` then walks both word arrays,
// synchronising on the next word the two sides share. The synchronisation search looks words up in
// an index of the positions of each distinct word, so a walk costs O(words log words) instead of
// the square of the number of words.
class CStringCompare
{
public:
    // `whiteSpace` holds the white-space rule bits: any of them makes white space between words
    // insignificant. An unknown `breakKind` breaks at white space only.
    CStringCompare(std::string_view line1, std::string_view line2, bool caseSensitive,
                   std::uint32_t whiteSpace, int breakKind,
                   std::string_view customBreak = DEFAULT_CUSTOM_WORD_BREAK);
    CStringCompare(const CStringCompare&) = delete;
    CStringCompare& operator=(const CStringCompare&) = delete;

    // Fills the differences in ascending order. False, with no differences, when a line is too long
    // for 32-bit offsets.
    bool Compare(bool characterLevel);
    const std::vector<STRINGDIFFERENCE>& GetDifferences() const { return m_differences; }

    const std::vector<CWord>& GetWords(int side) const { return m_words[side]; }
    // Word i of the first line against word j of the second (same characters, folded when case is
    // ignored).
    bool IsSameWord(int i, int j) const;
    // The next point at which the walk synchronises from words (i, j): the first word at or after i
    // that the second line has at or after j, weighed against the first word at or after j that the
    // first line has at or after that one. False when no word at or after i occurs at or after j.
    bool FindSynchronisationPoint(int i, int j, int& outI, int& outJ) const;

private:
    void BuildWordIndex();
    int FirstOccurrence(int side, std::int32_t wordClass, int from) const;
    std::int32_t GapStart(int side, int word) const;
    void AddDifference(std::int32_t start1, std::int32_t start2, std::int32_t end1, std::int32_t end2);
    void CompareGaps(std::int32_t start1, std::int32_t end1, std::int32_t start2, std::int32_t end2);
    void CompareWords();
    void MergeTouching();
    bool RefineDifference(STRINGDIFFERENCE& difference) const;

    std::array<std::string_view, 2> m_lines;
    std::array<std::string, 2> m_folded;    // upper-cased copies, only when case is ignored
    std::array<std::string_view, 2> m_text; // what words and characters are compared in
    bool m_bCaseSensitive = true;
    std::uint32_t m_dwWhiteSpace = 0;
    int m_nBreakKind = WORDBREAK_SPACE;
    bool m_bTooLong = false;
    std::array<std::vector<CWord>, 2> m_words;
    // Each word's class (equal words share one), and per side the word positions of each class,
    // ascending, in one array sliced by m_classStart.
    std::array<std::vector<std::int32_t>, 2> m_wordClass;
    std::array<std::vector<std::int32_t>, 2> m_classStart;
    std::array<std::vector<std::int32_t>, 2> m_positions;
    std::vector<STRINGDIFFERENCE> m_differences;
};

// The inline differences of two lines. `whiteSpace` is the white-space rule bits (any non-zero value
// makes white space between words insignificant; RULE_IGNORESPACEDIFFERENCES alone keeps white space
// against none significant at character level). False, with `out` empty, when a line is longer than
// 2^31 - 1 bytes.
bool ComputeLineDifferences(std::string_view line1, std::string_view line2, bool caseSensitive,
                            std::uint32_t whiteSpace, int breakKind, bool characterLevel,
                            std::vector<STRINGDIFFERENCE>& out,
                            std::string_view customBreak = DEFAULT_CUSTOM_WORD_BREAK);

// The inline differences of one aligned row, from the comparison's rule bits and the settings
// "WordBreak", "CustomWordBreak" and the detail level (character level at 1). Both lines include
// their line ends; with RULE_IGNOREEOL the trailing CR and LF characters are cut from both.
bool ComputeRowDifferences(std::string_view left, std::string_view right, std::uint32_t rules, int breakKind,
                           std::string_view customBreak, bool characterLevel,
                           std::vector<STRINGDIFFERENCE>& out);

// The whole changed span of a row: from the first difference's start to the last difference's end
// on each side. False when there is no difference.
bool GetChangedSpan(const std::vector<STRINGDIFFERENCE>& differences, STRINGDIFFERENCE& span);

// Whether a row gets inline colours: not when it has no difference, nor when its first difference
// covers the whole of one line and nothing of the other (a line against an empty one). Line ends
// (trailing CR and LF) do not count as text of the line here.
bool HasInlineColours(const std::vector<STRINGDIFFERENCE>& differences, std::string_view line1,
                      std::string_view line2);
