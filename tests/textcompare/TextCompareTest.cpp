#include "textcompare/ComparisonText.h"
#include "textcompare/LineEquivalence.h"
#include "textcompare/TextCompare.h"

#include "definitions/CompareParams.h"
#include "editing/SyntaxLineParser.h"
#include "platform/Regex.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

// Found by argument lookup, so failures print sections readably.
void PrintTo(const CTextSection& s, std::ostream* os)
{
    *os << "{L " << s.nLeftFirst << ".." << s.nLeftLast << ", R " << s.nRightFirst << ".." << s.nRightLast
        << ", kind " << s.nKind << "}";
}

namespace {

std::vector<CTextSection> Compare(const std::string& left, const std::string& right, const CTextCompare& compare = {})
{
    CTextSectionList list;
    int binary = 0;
    EXPECT_EQ(compare.Compare({left, right}, binary, list), 0);
    EXPECT_EQ(binary, 0);
    return list.Sections();
}

CTextSection Section(int l0, int l1, int r0, int r1, int kind = SECTION_CHANGED)
{
    CTextSection s;
    s.nLeftFirst = l0;
    s.nLeftLast = l1;
    s.nRightFirst = r0;
    s.nRightLast = r1;
    s.nKind = kind;
    return s;
}

TEST(TextCompare, EqualInputsGiveNoSection)
{
    EXPECT_TRUE(Compare("a\nb\nc\n", "a\nb\nc\n").empty());
    EXPECT_TRUE(Compare("", "").empty());
    EXPECT_TRUE(Compare("a\nb", "a\nb").empty());
}

TEST(TextCompare, LastLineDifference)
{
    EXPECT_EQ(Compare("a\nb\nc\n", "a\nb\nd\n"), std::vector{Section(2, 2, 2, 2)});
    // A missing final line end makes the last lines differ.
    EXPECT_EQ(Compare("a\nb", "a\nb\n"), std::vector{Section(1, 1, 1, 1)});
    EXPECT_EQ(Compare("a\nb\n", "a\nb\nc"), std::vector{Section(2, 1, 2, 2)});
}

TEST(TextCompare, InsertionHasAnEmptyLeftRange)
{
    const auto sections = Compare("a\nb\n", "a\nx\ny\nz\nb\n");
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_EQ(sections[0].nLeftFirst, 1);
    EXPECT_EQ(sections[0].nLeftLast, 0);
    EXPECT_EQ(sections[0].RightCount(), 3);
    EXPECT_EQ(sections[0].nRightFirst, 1);
}

TEST(TextCompare, RunsSlideDownWhenNothingLinesUp)
{
    // Inserting a copy of line 1 right after it reports the second copy.
    EXPECT_EQ(Compare("a\nb\nc\n", "a\nb\nb\nc\n"), std::vector{Section(2, 1, 2, 2)});
    EXPECT_EQ(Compare("x\n\n\ny\n", "x\n\n\n\ny\n"), std::vector{Section(3, 2, 3, 3)});
}

TEST(TextCompare, IgnoredBlocksAndTheirNeighbours)
{
    CTextCompare compare;
    compare.m_bIgnoreBlankLines = true;
    EXPECT_EQ(Compare("a\nb\n", "a\n\nb\n", compare), std::vector{Section(1, 0, 1, 1, SECTION_IGNORED)});
    EXPECT_EQ(Compare("a\nb\n", "a\n\nB\n", compare), std::vector{Section(1, 1, 1, 2)});
    // A line of blanks is not empty.
    EXPECT_EQ(Compare("a\nb\n", "a\n   \nb\n", compare), std::vector{Section(1, 0, 1, 1)});

    platform::CRegex filter;
    ASSERT_TRUE(CompileLineFilter("^#", filter));
    CTextCompare filtered;
    filtered.m_lineFilter = &filter;
    EXPECT_EQ(Compare("a\n#x\nb\n", "a\n#y\nb\n", filtered), std::vector{Section(1, 1, 1, 1, SECTION_IGNORED)});
    EXPECT_EQ(Compare("a\n#x\nb\n", "a\n y\nb\n", filtered), std::vector{Section(1, 1, 1, 1)});
}

TEST(TextCompare, NulBytesCompareAsBytes)
{
    CTextCompare compare;
    CTextSectionList list;
    int binary = 0;
    compare.Compare({std::string("a\0b", 3), std::string("a\0b", 3)}, binary, list);
    EXPECT_EQ(binary, 1);
    compare.Compare({std::string("a\0b", 3), std::string("a\0c", 3)}, binary, list);
    EXPECT_EQ(binary, -1);
    compare.Compare({std::string("a\nb\n"), std::string("a\0\n", 3)}, binary, list);
    EXPECT_EQ(binary, -1);
    EXPECT_EQ(list.GetCount(), 0);
}

struct RuleCase
{
    const char* name;
    std::uint32_t rules;
    const char* left;
    const char* right;
    bool equal;
};

TEST(TextCompare, WhiteSpaceAndCaseRules)
{
    const RuleCase cases[] = {
        {"changes: runs", RULE_IGNORESPACEDIFFERENCES, "a  b\n", "a b\n", true},
        {"changes: trailing", RULE_IGNORESPACEDIFFERENCES, "a b  \n", "a b\n", true},
        {"changes: none against some", RULE_IGNORESPACEDIFFERENCES, "a b\n", "ab\n", false},
        {"changes: leading", RULE_IGNORESPACEDIFFERENCES, " a\n", "a\n", false},
        {"all: removed", RULE_IGNOREALLSPACE, "a b\n", "ab\n", true},
        {"all: tabs", RULE_IGNOREALLSPACE, "\ta\tb \n", "ab\n", true},
        {"tabs: column 0", RULE_IGNORETABEXPANSION, "\tx\n", "    x\n", true},
        {"tabs: to the next stop", RULE_IGNORETABEXPANSION, "ab\tx\n", "ab  x\n", true},
        {"tabs: too few", RULE_IGNORETABEXPANSION, "ab\tx\n", "ab x\n", false},
        {"tabs: backspace", RULE_IGNORETABEXPANSION, "abc\b\tx\n", "abc\b  x\n", true},
        {"tabs: carriage return", RULE_IGNORETABEXPANSION, "abcdef\r\tx\n", "abcdef\r    x\n", true},
        {"case", RULE_IGNORECASE, "Hello World\n", "hELLO wORLD\n", true},
        {"case: lengths", RULE_IGNORECASE, "Hello\n", "hello \n", false},
        {"case and changes", RULE_IGNORECASE | RULE_IGNORESPACEDIFFERENCES, "A  B\n", "a b\n", true},
        {"no rule", 0, "a b\n", "a  b\n", false},
        {"incomplete under changes", RULE_IGNORESPACEDIFFERENCES, "a b", "a b\n", true},
        {"incomplete under tabs", RULE_IGNORETABEXPANSION, "a b", "a b\n", false},
    };
    for (const auto& c : cases)
    {
        CTextCompare compare;
        ApplyRules(compare, c.rules, nullptr, 4);
        EXPECT_EQ(Compare(std::string("x\n") + c.left, std::string("x\n") + c.right, compare).empty(), c.equal)
            << c.name;
    }
}

TEST(TextCompare, TrimmingRulesWorkOnTheComparisonText)
{
    const std::vector<std::string_view> left{"a", "b  ", "  c"};
    const std::vector<std::string_view> right{"a", "b", "c"};
    EXPECT_EQ(BuildComparisonText(left, 0, nullptr), "a\nb  \n  c");
    EXPECT_EQ(BuildComparisonText(left, RULE_IGNORETRAILINGSPACE, nullptr), "a\nb\n  c");
    // The last line is trimmed like every other.
    EXPECT_EQ(BuildComparisonText(left, RULE_IGNORELEADINGSPACE | RULE_IGNORETRAILINGSPACE, nullptr),
              BuildComparisonText(right, 0, nullptr));
    // A line of blanks becomes empty and so ignorable with the blank-line rule.
    CTextCompare compare;
    ApplyRules(compare, RULE_IGNOREBLANKLINES, nullptr, 4);
    const std::vector<std::string_view> inserted{"a", "   ", "b"};
    const std::vector<std::string_view> plain{"a", "b"};
    EXPECT_FALSE(Compare(BuildComparisonText(inserted, RULE_IGNOREBLANKLINES, nullptr),
                         BuildComparisonText(plain, 0, nullptr), compare)
                     .empty());
    const auto sections = Compare(BuildComparisonText(inserted, RULE_IGNOREBLANKLINES | RULE_IGNORETRAILINGSPACE, nullptr),
                                  BuildComparisonText(plain, 0, nullptr), compare);
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_EQ(sections[0].nKind, SECTION_IGNORED);
}

// A parser that colours "//" to the end of the line and "/* */" across lines as comments.
class CCommentParser : public ISyntaxLineParser
{
public:
    std::uint32_t ParseLine(std::uint32_t cookie, std::string_view line, std::vector<SSyntaxBlock>* blocks) const override
    {
        int position = 0;
        bool inComment = cookie != 0;
        blocks->push_back({0, inComment ? 11 : 3});
        while (position < static_cast<int>(line.size()))
        {
            const std::string_view rest = line.substr(static_cast<std::size_t>(position));
            if (!inComment && rest.substr(0, 2) == "//")
            {
                blocks->push_back({position, 11});
                return 0;
            }
            if (!inComment && rest.substr(0, 2) == "/*")
            {
                blocks->push_back({position, 11});
                inComment = true;
                position += 2;
                continue;
            }
            if (inComment && rest.substr(0, 2) == "*/")
            {
                blocks->push_back({position + 2, 3});
                inComment = false;
                position += 2;
                continue;
            }
            ++position;
        }
        return inComment ? 1 : 0;
    }
};

TEST(TextCompare, CommentRuleRemovesCommentRunsAcrossLines)
{
    const CCommentParser parser;
    const std::vector<std::string_view> lines{"int a; // one", "x /* two", "still */ y", "z"};
    EXPECT_EQ(BuildComparisonText(lines, RULE_IGNORECOMMENTS, &parser), "int a; \nx \n y\nz");
    EXPECT_EQ(BuildComparisonText(lines, RULE_IGNORECOMMENTS | RULE_IGNORETRAILINGSPACE, &parser), "int a;\nx\n y\nz");
    // Without a parser the text is unchanged.
    EXPECT_EQ(BuildComparisonText(lines, RULE_IGNORECOMMENTS, nullptr), "int a; // one\nx /* two\nstill */ y\nz");
}

TEST(TextCompare, SectionListOperations)
{
    CTextSectionList list;
    CTextSection a = Section(0, 1, 0, 0);
    a.nLeftApparentFirst = 0;
    a.nLeftApparentLast = 1;
    CTextSection b = Section(5, 4, 4, 6, SECTION_RIGHTONLY);
    b.nLeftApparentFirst = 6;
    b.nLeftApparentLast = 8;
    CTextSection t = Section(9, 9, 9, 9, SECTION_TRIVIAL);
    t.nLeftApparentFirst = t.nLeftApparentLast = 10;
    list.Add(a);
    list.Add(b);
    list.Add(t);
    EXPECT_EQ(list.FindByApparentLine(7), 1);
    EXPECT_EQ(list.FindByApparentLine(3), -1);
    EXPECT_TRUE(list.IsRowInSection(1, 0));
    EXPECT_EQ(list.FindNext(2), 1);
    EXPECT_EQ(list.FindNext(9), -1); // the trivial one does not count
    EXPECT_EQ(list.FindPrevious(5), 0);
    CTextSection out;
    EXPECT_FALSE(list.GetAt(7, out));
    CTextSection zero;
    zero.nLeftGhostFirst = zero.nRightGhostFirst = 0;
    EXPECT_EQ(out, zero);

    CTextSectionList swapped = list;
    swapped.SwapSides();
    EXPECT_EQ(swapped.Sections()[1].nKind, SECTION_LEFTONLY);
    EXPECT_EQ(swapped.Sections()[1].nLeftFirst, 4);
    swapped.SwapSides();
    EXPECT_EQ(swapped.Sections(), list.Sections());
    list.RemoveIgnored();
    EXPECT_EQ(list.GetCount(), 2);
}

// Checks what every result must satisfy: sections in order without overlap, and the lines outside
// them pairing up one to one and equal under the rules.
void CheckInvariants(const std::string& left, const std::string& right, const CTextCompare& compare,
                     const std::vector<CTextSection>& sections)
{
    const auto split = [](const std::string& text) {
        std::vector<std::string_view> lines;
        for (std::size_t start = 0; start < text.size();)
        {
            const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
            lines.push_back(std::string_view(text).substr(start, end - start));
            start = end;
        }
        return lines;
    };
    const auto l = split(left);
    const auto r = split(right);
    const LINE_RULES rules{compare.m_nWhiteSpace, compare.m_bIgnoreCase, compare.m_nTabSize};
    int i = 0;
    int j = 0;
    const auto matchUpTo = [&](int li, int rj) {
        ASSERT_EQ(li - i, rj - j) << "unchanged runs must have the same length";
        for (; i < li; ++i, ++j)
        {
            ASSERT_TRUE(LinesEqual(l[static_cast<std::size_t>(i)], r[static_cast<std::size_t>(j)], rules))
                << "line " << i << " / " << j;
            const bool lEnd = l[static_cast<std::size_t>(i)].back() == '\n';
            const bool rEnd = r[static_cast<std::size_t>(j)].back() == '\n';
            if (compare.m_nWhiteSpace < 2)
            {
                ASSERT_EQ(lEnd, rEnd) << "an incomplete last line only matches another";
            }
        }
    };
    for (const CTextSection& s : sections)
    {
        ASSERT_GE(s.nLeftFirst, i);
        ASSERT_GE(s.nRightFirst, j);
        ASSERT_GE(s.LeftCount() + s.RightCount(), 1);
        matchUpTo(s.nLeftFirst, s.nRightFirst);
        i = s.nLeftLast + 1;
        j = s.nRightLast + 1;
    }
    matchUpTo(static_cast<int>(l.size()), static_cast<int>(r.size()));
}

std::string RandomText(std::mt19937& rng, const std::vector<std::string>& vocabulary, int lines, bool finalEol)
{
    std::string text;
    for (int k = 0; k < lines; ++k)
    {
        text += vocabulary[rng() % vocabulary.size()];
        if (k + 1 < lines || finalEol)
            text += '\n';
    }
    return text;
}

std::string Edit(std::mt19937& rng, const std::string& text, const std::vector<std::string>& vocabulary, int edits)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();)
    {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    for (int e = 0; e < edits; ++e)
    {
        const std::size_t at = lines.empty() ? 0 : rng() % (lines.size() + 1);
        switch (rng() % 3)
        {
        case 0:
            if (at < lines.size())
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
            break;
        case 1:
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), vocabulary[rng() % vocabulary.size()]);
            break;
        default:
            if (at < lines.size())
                lines[at] = vocabulary[rng() % vocabulary.size()];
        }
    }
    std::string out;
    for (std::size_t k = 0; k < lines.size(); ++k)
        out += lines[k] + (k + 1 < lines.size() || rng() % 4 ? "\n" : "");
    return out;
}

TEST(TextCompare, InvariantsHoldForEveryVariantOfTheSearch)
{
    const std::vector<std::string> vocabulary{"a", "b", "c", "}", "", "x y", "x  y", " x y", "\tz", "Z", "z  ",
                                              "{", "return 0;", "RETURN 0;"};
    std::mt19937 rng(12345);
    struct VARIANT
    {
        const char* name;
        bool heuristic;
        bool noDiscards;
        int tooExpensive;
        std::uint32_t rules;
    };
    const VARIANT variants[] = {
        {"default", true, false, 256, 0},
        {"minimal", false, true, 256, 0},
        {"GNU settings", false, false, 4096, 0},
        {"early cut-off", true, false, 1, 0},
        {"space changes", true, false, 256, RULE_IGNORESPACEDIFFERENCES},
        {"all space and case", true, false, 256, RULE_IGNOREALLSPACE | RULE_IGNORECASE},
        {"tabs", true, false, 256, RULE_IGNORETABEXPANSION},
    };
    for (int round = 0; round < 60; ++round)
    {
        const int size = round % 3 == 0 ? 2000 : 150;
        const std::string left = RandomText(rng, vocabulary, static_cast<int>(rng() % size), rng() % 2);
        const std::string right = Edit(rng, left, vocabulary, static_cast<int>(rng() % (size / 3 + 1)));
        for (const auto& v : variants)
        {
            CTextCompare compare;
            ApplyRules(compare, v.rules, nullptr, 4);
            compare.m_bHeuristic = v.heuristic;
            compare.m_bNoDiscards = v.noDiscards;
            compare.m_nMinimumTooExpensive = v.tooExpensive;
            SCOPED_TRACE(std::string(v.name) + ", round " + std::to_string(round));
            CheckInvariants(left, right, compare, Compare(left, right, compare));
            if (HasFatalFailure())
                return;
        }
    }
}

TEST(TextCompare, GoodDiagonalHeuristicOnALongHardInput)
{
    // Long unique runs with scattered moves make the search expensive enough for the heuristic.
    std::mt19937 rng(7);
    std::string left;
    std::string right;
    for (int i = 0; i < 20000; ++i)
    {
        const std::string line = "line " + std::to_string(i % 3000) + "\n";
        left += line;
        if (rng() % 3 != 0)
            right += line;
        if (rng() % 4 == 0)
            right += "other " + std::to_string(rng() % 500) + "\n";
    }
    for (const bool heuristic : {true, false})
    {
        CTextCompare compare;
        compare.m_bHeuristic = heuristic;
        CheckInvariants(left, right, compare, Compare(left, right, compare));
    }
}

TEST(LineEquivalence, BucketCountsArePrimesBelowPowersOfTwo)
{
    EXPECT_EQ(BucketCountFor(0), 509u);      // 2^9
    EXPECT_EQ(BucketCountFor(3 * 512), 509u); // a third is exactly 2^9
    EXPECT_EQ(BucketCountFor(3 * 513), 1021u);
    EXPECT_EQ(BucketCountFor(3000000), 1048573u); // 2^20
}

TEST(LineEquivalence, RuleHashAgreesWithRuleEquality)
{
    const LINE_RULES space{2, false, 4};
    EXPECT_EQ(HashLine("a  b  \n", space), HashLine("a b\n", space));
    const LINE_RULES tabs{1, true, 4};
    EXPECT_EQ(HashLine("A\tb\n", tabs), HashLine("a   B\n", tabs));
    EXPECT_TRUE(LinesEqual("A\tb\n", "a   B", tabs));
    EXPECT_EQ(HashLine("", LINE_RULES{}), 0u);
    EXPECT_EQ(HashLine("ab", LINE_RULES{}), (std::uint32_t{'a'} << 7) + 'b');
}

} // namespace
