#include "textcompare/StringCompare.h"

#include "definitions/CompareParams.h"
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

namespace
{

using Diffs = std::vector<STRINGDIFFERENCE>;

STRINGDIFFERENCE D(int start1, int end1, int start2, int end2)
{
    STRINGDIFFERENCE d;
    d.nStart1 = start1;
    d.nEnd1 = end1;
    d.nStart2 = start2;
    d.nEnd2 = end2;
    return d;
}

std::vector<std::string> WordTexts(std::string_view line, int breakKind, std::string_view custom = ",;:.")
{
    std::vector<CWord> words;
    SplitWords(line, line, CWordBreaks(breakKind, custom), words);
    std::vector<std::string> texts;
    for (const CWord& word : words)
        texts.emplace_back(line.substr(word.nStart, word.Length()));
    return texts;
}

// ---------------------------------------------------------------------------------------------
// Splitting lines into words

struct SplitCase
{
    const char* name;
    std::string line;
    int breakKind;
    std::string custom;
    std::vector<std::string> words;
};

class SplitWordsTest : public testing::TestWithParam<SplitCase>
{
};

TEST_P(SplitWordsTest, Words)
{
    const SplitCase& c = GetParam();
    EXPECT_EQ(WordTexts(c.line, c.breakKind, c.custom), c.words);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitWordsTest,
    testing::Values(
        SplitCase{"CommaInsideWordAtKind0", "a,b", WORDBREAK_SPACE, ",;:.", {"a,b"}},
        SplitCase{"CommaBreaksAtKind1", "a,b", WORDBREAK_PUNCTUATION, ",;:.", {"a", ",", "b"}},
        SplitCase{"CustomDefault", "a.b-c;d", WORDBREAK_CUSTOM, ",;:.", {"a", ".", "b-c", ";", "d"}},
        SplitCase{"CustomOwnSet", "a.b-c", WORDBREAK_CUSTOM, "-", {"a.b", "-", "c"}},
        SplitCase{
            "BreakRunsAreSingleWords", "f((x))", WORDBREAK_PUNCTUATION, "", {"f", "(", "(", "x", ")", ")"}},
        SplitCase{"AllWhiteSpaceSeparates", "\t a \v\fb\r\n", WORDBREAK_SPACE, "", {"a", "b"}},
        SplitCase{"OnlySpace", " \t\r\n", WORDBREAK_PUNCTUATION, "", {}},
        SplitCase{"MultiByteCustomBreak", "日本、語", WORDBREAK_CUSTOM, "、", {"日本", "、", "語"}},
        // "é" is C3 A9 and "ã" is C3 A3: a break character never matches part of another character.
        SplitCase{"CustomBreakSharesLeadByte", "ãé", WORDBREAK_CUSTOM, "é", {"ã", "é"}},
        SplitCase{"CustomBreakNoPartialMatch", "ã", WORDBREAK_CUSTOM, "é", {"ã"}},
        // A non-breaking space (C2 A0) is not one of the separating white-space characters.
        SplitCase{"NonAsciiSpaceIsPartOfWord",
                  "a\xC2\xA0"
                  "b",
                  WORDBREAK_SPACE,
                  "",
                  {"a\xC2\xA0"
                   "b"}},
        SplitCase{"InvalidBytesStayInWord",
                  "a\xFF\xC3"
                  "b c",
                  WORDBREAK_PUNCTUATION,
                  "",
                  {"a\xFF\xC3"
                   "b",
                   "c"}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

TEST(SplitWordsTest, PunctuationKindBreaksAtExactlyTheAsciiPunctuation)
{
    for (int c = 0x21; c < 0x7F; ++c)
    {
        const std::string line = std::string("a") + static_cast<char>(c) + "b";
        const std::size_t expected = std::ispunct(c) ? 3 : 1;
        EXPECT_EQ(WordTexts(line, WORDBREAK_PUNCTUATION).size(), expected)
            << "character " << static_cast<char>(c);
        EXPECT_EQ(WordTexts(line, WORDBREAK_SPACE).size(), 1u) << "character " << static_cast<char>(c);
    }
}

TEST(SplitWordsTest, WordOffsetsAreInclusive)
{
    std::vector<CWord> words;
    const std::string line = "  é,b";
    SplitWords(line, line, CWordBreaks(WORDBREAK_PUNCTUATION), words);
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0].nStart, 2);
    EXPECT_EQ(words[0].nEnd, 3); // last byte of the two-byte "é"
    EXPECT_EQ(words[1].nStart, 4);
    EXPECT_EQ(words[1].nEnd, 4);
    EXPECT_EQ(words[2].nStart, 5);
    EXPECT_EQ(words[2].nEnd, 5);
}

TEST(HashWordTest, RotateAddOverSignedBytes)
{
    EXPECT_EQ(HashWord(""), 0u);
    EXPECT_EQ(HashWord("a"), 97u);
    EXPECT_EQ(HashWord("ab"), 97u + (97u << 7) + 98u);
    EXPECT_EQ(HashWord("\xFF"), 0xFFFFFFFFu); // the byte counts as -1
}

TEST(HashWordTest, FoldedWordsHashAlikeWhenCaseIsIgnored)
{
    const std::string line1 = "Hello WORLD";
    const std::string line2 = "hELLO world";
    std::vector<CWord> words1;
    std::vector<CWord> words2;
    SplitWords(line1, FoldedUpper(line1), CWordBreaks(WORDBREAK_SPACE), words1);
    SplitWords(line2, FoldedUpper(line2), CWordBreaks(WORDBREAK_SPACE), words2);
    EXPECT_EQ(words1, words2);
    SplitWords(line1, line1, CWordBreaks(WORDBREAK_SPACE), words1);
    SplitWords(line2, line2, CWordBreaks(WORDBREAK_SPACE), words2);
    EXPECT_NE(words1[0].nHash, words2[0].nHash);
}

TEST(Utf8CharacterTest, ForwardAndBackwardSplitsAgree)
{
    // Valid sequences of every length, a truncated sequence, a stray continuation byte, an overlong form.
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xE2\x82"
                             "b\x80\xC0\xAF"
                             "c";
    std::vector<std::size_t> forward;
    for (std::size_t pos = 0; pos < text.size(); pos += CharacterLength(text, pos))
        forward.push_back(pos);
    const std::vector<std::size_t> expected = {0, 1, 3, 6, 10, 11, 12, 13, 14, 15, 16};
    EXPECT_EQ(forward, expected);
    std::vector<std::size_t> backward;
    for (std::size_t pos = text.size(); pos > 0; pos = PreviousCharacterStart(text, 0, pos))
        backward.insert(backward.begin(), PreviousCharacterStart(text, 0, pos));
    EXPECT_EQ(backward, expected);
}

// ---------------------------------------------------------------------------------------------
// Inline differences

struct LineCase
{
    const char* name;
    std::string line1;
    std::string line2;
    bool caseSensitive;
    std::uint32_t whiteSpace;
    int breakKind;
    Diffs words;      // at word level
    Diffs characters; // at character level
};

class LineDifferencesTest : public testing::TestWithParam<LineCase>
{
};

TEST_P(LineDifferencesTest, WordAndCharacterLevel)
{
    const LineCase& c = GetParam();
    Diffs out;
    EXPECT_TRUE(
        ComputeLineDifferences(c.line1, c.line2, c.caseSensitive, c.whiteSpace, c.breakKind, false, out));
    EXPECT_EQ(out, c.words) << "word level";
    EXPECT_TRUE(
        ComputeLineDifferences(c.line1, c.line2, c.caseSensitive, c.whiteSpace, c.breakKind, true, out));
    EXPECT_EQ(out, c.characters) << "character level";
}

constexpr std::uint32_t ALL = RULE_IGNOREALLSPACE;
constexpr std::uint32_t CHANGES = RULE_IGNORESPACEDIFFERENCES;
constexpr int PUNCT = WORDBREAK_PUNCTUATION;

INSTANTIATE_TEST_SUITE_P(
    Cases, LineDifferencesTest,
    testing::Values(
        LineCase{"Identical", "int a = 1;", "int a = 1;", true, 0, PUNCT, {}, {}},
        LineCase{"BothEmpty", "", "", true, 0, PUNCT, {}, {}},
        LineCase{
            "OneChangedWord", "int a = 1;", "int b = 1;", true, 0, PUNCT, {D(4, 4, 4, 4)}, {D(4, 4, 4, 4)}},
        // With white space ignored a word-level difference takes one separator after the words along.
        LineCase{"OneChangedWordSpaceIgnored",
                 "int a = 1;",
                 "int b = 1;",
                 true,
                 ALL,
                 PUNCT,
                 {D(4, 5, 4, 5)},
                 {D(4, 4, 4, 4)}},
        LineCase{"ExtraSpacesOnly",
                 "x  =  1",
                 "x = 1",
                 true,
                 0,
                 PUNCT,
                 {D(2, 2, 2, 1), D(5, 5, 4, 3)},
                 {D(2, 2, 2, 1), D(5, 5, 4, 3)}},
        LineCase{"ExtraSpacesSpaceRule", "x  =  1", "x = 1", true, CHANGES, PUNCT, {}, {}},
        LineCase{
            "ExtraSpacesLeadingSpaceRule", "x  =  1", "x = 1", true, RULE_IGNORELEADINGSPACE, PUNCT, {}, {}},
        LineCase{"LineAgainstEmpty", "hello world", "", true, 0, PUNCT, {D(0, 10, 0, -1)}, {D(0, 10, 0, -1)}},
        LineCase{"EmptyAgainstLine", "", "hello", true, 0, PUNCT, {D(0, -1, 0, 4)}, {D(0, -1, 0, 4)}},
        // The CR stands against nothing, just before the LF that both lines share.
        LineCase{"LineEnds", "abc\r\n", "abc\n", true, 0, PUNCT, {D(3, 4, 3, 3)}, {D(3, 3, 3, 2)}},
        LineCase{"CaseIgnored", "Hello World", "hello WORLD", false, 0, PUNCT, {}, {}},
        LineCase{
            "CaseKept", "Hello World", "hello world", true, 0, PUNCT, {D(0, 10, 0, 10)}, {D(0, 6, 0, 6)}},
        LineCase{"CaseIgnoredInsideRefinement",
                 "Foo.Bar",
                 "foo.baz",
                 false,
                 0,
                 PUNCT,
                 {D(4, 6, 4, 6)},
                 {D(6, 6, 6, 6)}},
        LineCase{"InsertedWord", "a c", "a b c", true, 0, PUNCT, {D(2, 1, 2, 2)}, {D(2, 1, 2, 2)}},
        LineCase{
            "DeletedWordSpaceIgnored", "a b c", "a c", true, ALL, PUNCT, {D(2, 3, 2, 1)}, {D(2, 3, 2, 1)}},
        // Words that touch through break characters: the difference stops before the word "b" that
        // both sides share.
        LineCase{
            "TouchingWordsSpaceIgnored", "a,b", "a,x,b", true, ALL, PUNCT, {D(2, 1, 2, 3)}, {D(2, 1, 2, 3)}},
        LineCase{"TouchingWords", "a,b", "a,x,b", true, 0, PUNCT, {D(2, 1, 2, 3)}, {D(2, 1, 2, 3)}},
        // The second synchronisation candidate (b, b) skips less than the first (a, a).
        LineCase{"SynchronisesOnNearerPair",
                 "x a b c",
                 "y b c a",
                 true,
                 0,
                 PUNCT,
                 {D(0, 2, 0, 0), D(7, 6, 5, 6)},
                 {D(0, 2, 0, 0), D(7, 6, 5, 6)}},
        LineCase{"NothingInCommon", "foo bar", "baz qux", true, 0, PUNCT, {D(0, 6, 0, 6)}, {D(0, 6, 0, 6)}},
        LineCase{"TrailingWordsOfSecond", "foo", "foo bar", true, 0, PUNCT, {D(3, 2, 3, 6)}, {D(3, 2, 3, 6)}},
        // Under the all-space rule the refinement finds the two parts equal and drops the difference.
        LineCase{"EqualWithoutSpace", "a b c", "abc", true, ALL, PUNCT, {D(0, 4, 0, 2)}, {}},
        LineCase{"SpaceAgainstNoneCountsForSpaceChanges",
                 "a b",
                 "ab",
                 true,
                 CHANGES,
                 PUNCT,
                 {D(0, 2, 0, 1)},
                 {D(1, 1, 1, 0)}},
        LineCase{
            "AllSpaceWinsOverSpaceChanges", "a b", "ab", true, ALL | CHANGES, PUNCT, {D(0, 2, 0, 1)}, {}},
        // From the back "bc" matches; then white space stands against "z".
        LineCase{"SpaceAgainstLetterSpaceChanges",
                 "xa  bc",
                 "ya zbc",
                 true,
                 CHANGES,
                 WORDBREAK_SPACE,
                 {D(0, 5, 0, 5)},
                 {D(0, 3, 0, 3)}},
        LineCase{"SpaceAgainstLetterAllSpace",
                 "xa  bc",
                 "ya zbc",
                 true,
                 ALL,
                 WORDBREAK_SPACE,
                 {D(0, 5, 0, 5)},
                 {D(0, 1, 0, 3)}},
        LineCase{"TrailingSpaceKeptWhenIgnoringSpace",
                 "foo",
                 "foo   ",
                 true,
                 ALL,
                 PUNCT,
                 {D(3, 2, 3, 5)},
                 {D(3, 2, 3, 5)}},
        // Characters, not bytes: the differing characters are covered whole.
        LineCase{"TwoByteCharacter", "naïve", "naive", true, 0, PUNCT, {D(0, 5, 0, 4)}, {D(2, 3, 2, 2)}},
        LineCase{"SameLeadByte", "café", "cafè", true, 0, PUNCT, {D(0, 4, 0, 4)}, {D(3, 4, 3, 4)}},
        // "é" is C3 A9 and "©" is C2 A9: matching from the back must not take the shared last byte.
        LineCase{"SameLastByte", "aé", "a©", true, 0, PUNCT, {D(0, 2, 0, 2)}, {D(1, 2, 1, 2)}},
        LineCase{"TruncatedSequenceAgainstWhole",
                 "x\xE2\x82",
                 "x\xE2\x82\xAC",
                 true,
                 0,
                 PUNCT,
                 {D(0, 2, 0, 3)},
                 {D(1, 2, 1, 3)}},
        LineCase{"NonAsciiCaseIsKept", "ÄBC", "äbc", false, 0, PUNCT, {D(0, 3, 0, 3)}, {D(0, 1, 0, 1)}}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// Caller-side glue of a row

struct RowCase
{
    const char* name;
    std::string left;
    std::string right;
    std::uint32_t rules;
    int breakKind;
    std::string custom;
    bool characterLevel;
    Diffs expected;
};

class RowDifferencesTest : public testing::TestWithParam<RowCase>
{
};

TEST_P(RowDifferencesTest, FromRules)
{
    const RowCase& c = GetParam();
    Diffs out;
    EXPECT_TRUE(
        ComputeRowDifferences(c.left, c.right, c.rules, c.breakKind, c.custom, c.characterLevel, out));
    EXPECT_EQ(out, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RowDifferencesTest,
    testing::Values(
        RowCase{"LineEndsCutWhenIgnored", "abc\r\n", "abc\n", RULE_IGNOREEOL, 1, ",;:.", true, {}},
        RowCase{"AllLineEndCharactersCut", "abc\r\r\n", "abc", RULE_IGNOREEOL, 1, ",;:.", true, {}},
        RowCase{"LineEndsKept", "abc\r\n", "abc\n", 0, 1, ",;:.", true, {D(3, 3, 3, 2)}},
        RowCase{"CaseRule", "ABC\n", "abc\n", RULE_IGNOREEOL | RULE_IGNORECASE, 1, ",;:.", true, {}},
        RowCase{"NoCaseRule", "ABC\n", "abc\n", RULE_IGNOREEOL, 1, ",;:.", true, {D(0, 2, 0, 2)}},
        RowCase{"LowRuleBitsIgnoreSpace",
                "x  =  1\n",
                "x = 1\n",
                RULE_IGNOREEOL | RULE_IGNORETRAILINGSPACE,
                1,
                ",;:.",
                true,
                {}},
        RowCase{"HighRuleBitsKeepSpace",
                "x  =  1\n",
                "x = 1\n",
                RULE_IGNOREEOL | RULE_IGNOREBLANKLINES | RULE_IGNORECOMMENTS,
                1,
                ",;:.",
                true,
                {D(2, 2, 2, 1), D(5, 5, 4, 3)}},
        RowCase{"WordLevel", "int abc;", "int abd;", RULE_IGNOREEOL, 1, ",;:.", false, {D(4, 6, 4, 6)}},
        RowCase{"SpaceOnlyBreaks", "a;b", "a;c", RULE_IGNOREEOL, 0, ",;:.", false, {D(0, 2, 0, 2)}},
        RowCase{"CustomBreaks", "a;b", "a;c", RULE_IGNOREEOL, 2, ";", false, {D(2, 2, 2, 2)}},
        RowCase{
            "CustomBreaksWithoutTheCharacter", "a;b", "a;c", RULE_IGNOREEOL, 2, ",", false, {D(0, 2, 0, 2)}}),
    [](const testing::TestParamInfo<RowCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// Helpers of the views

TEST(ChangedSpanTest, FromFirstStartToLastEnd)
{
    STRINGDIFFERENCE span;
    EXPECT_FALSE(GetChangedSpan({}, span));
    ASSERT_TRUE(GetChangedSpan({D(2, 2, 2, 1), D(5, 5, 4, 3)}, span));
    EXPECT_EQ(span, D(2, 5, 2, 3));
    ASSERT_TRUE(GetChangedSpan({D(4, 4, 4, 4)}, span));
    EXPECT_EQ(span, D(4, 4, 4, 4));
}

struct ColourCase
{
    const char* name;
    std::string line1;
    std::string line2;
    std::uint32_t rules;
    bool characterLevel;
    bool colours;
};

class InlineColoursTest : public testing::TestWithParam<ColourCase>
{
};

TEST_P(InlineColoursTest, WholeLineAgainstNothingIsNotColoured)
{
    const ColourCase& c = GetParam();
    Diffs out;
    ASSERT_TRUE(ComputeRowDifferences(c.line1, c.line2, c.rules, 1, ",;:.", c.characterLevel, out));
    EXPECT_EQ(HasInlineColours(out, c.line1, c.line2), c.colours);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InlineColoursTest,
    testing::Values(ColourCase{"LineAgainstEmpty", "hello world\n", "\n", RULE_IGNOREEOL, true, false},
                    ColourCase{"EmptyAgainstLine", "\n", "hello\n", RULE_IGNOREEOL, false, false},
                    // The line ends stay in the texts, yet the first difference is still a whole line
                    // against nothing of the other.
                    ColourCase{"LineEndsKeptWordLevel", "abc\n", "\n", 0, false, false},
                    ColourCase{"LineEndsKeptCharacterLevel", "abc\r\n", "\n", 0, true, false},
                    ColourCase{"Equal", "abc\n", "abc\n", RULE_IGNOREEOL, true, false},
                    ColourCase{"PartlyChanged", "int a = 1;\n", "int b = 1;\n", RULE_IGNOREEOL, true, true},
                    ColourCase{"WholeAgainstPart", "abc\n", "xyz abc\n", RULE_IGNOREEOL, false, true},
                    ColourCase{"LineEndOnly", "abc\r\n", "abc\n", 0, true, true}),
    [](const testing::TestParamInfo<ColourCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// The indexed synchronisation search against the plain scan it replaces

bool NaiveSynchronisationPoint(const CStringCompare& compare, int i, int j, int& outI, int& outJ)
{
    const auto& words1 = compare.GetWords(0);
    const auto& words2 = compare.GetWords(1);
    const int count1 = static_cast<int>(words1.size());
    const int count2 = static_cast<int>(words2.size());
    int i1 = -1, j1 = -1, i2 = -1, j2 = -1;
    for (int a = i; a < count1 && i1 < 0; ++a)
        for (int b = j; b < count2; ++b)
            if (compare.IsSameWord(a, b))
            {
                i1 = a;
                j1 = b;
                break;
            }
    if (i1 < 0)
        return false;
    for (int b = j; b < count2 && j2 < 0; ++b)
        for (int a = i1; a < count1; ++a)
            if (compare.IsSameWord(a, b))
            {
                i2 = a;
                j2 = b;
                break;
            }
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

std::string RandomWords(std::mt19937& random, int count)
{
    static const char* const vocabulary[] = {"a", "bb", "c", "dd", "Ee", "eE", "ff", "g"};
    std::string line;
    for (int k = 0; k < count; ++k)
    {
        if (k > 0)
            line += (random() % 4 == 0) ? "  " : " ";
        line += vocabulary[random() % std::size(vocabulary)];
    }
    return line;
}

TEST(SynchronisationTest, IndexedSearchMatchesPlainScan)
{
    std::mt19937 random(1234);
    for (int round = 0; round < 200; ++round)
    {
        const std::string line1 = RandomWords(random, static_cast<int>(random() % 12));
        const std::string line2 = RandomWords(random, static_cast<int>(random() % 12));
        const bool caseSensitive = round % 2 == 0;
        CStringCompare compare(line1, line2, caseSensitive, 0, WORDBREAK_SPACE);
        const int count1 = static_cast<int>(compare.GetWords(0).size());
        const int count2 = static_cast<int>(compare.GetWords(1).size());
        for (int i = 0; i < count1; ++i)
            for (int j = 0; j < count2; ++j)
            {
                int gotI = -1, gotJ = -1, wantI = -1, wantJ = -1;
                const bool got = compare.FindSynchronisationPoint(i, j, gotI, gotJ);
                const bool want = NaiveSynchronisationPoint(compare, i, j, wantI, wantJ);
                ASSERT_EQ(got, want) << "'" << line1 << "' / '" << line2 << "' at " << i << "," << j;
                if (want)
                {
                    EXPECT_EQ(gotI, wantI) << "'" << line1 << "' / '" << line2 << "' at " << i << "," << j;
                    EXPECT_EQ(gotJ, wantJ) << "'" << line1 << "' / '" << line2 << "' at " << i << "," << j;
                }
            }
    }
}

// ---------------------------------------------------------------------------------------------
// Invariants over random lines and every setting

bool IsCharacterBoundary(std::string_view text, std::int32_t pos)
{
    std::size_t at = 0;
    while (at < static_cast<std::size_t>(pos))
        at += CharacterLength(text, at);
    return at == static_cast<std::size_t>(pos);
}

std::string WithoutSpace(std::string_view text)
{
    std::string out;
    for (char c : text)
        if (!IsWordSpace(static_cast<unsigned char>(c)))
            out += c;
    return out;
}

// The text between the differences (and before the first and after the last), folded when case is
// ignored, without white space: white space that both sides have before a synchronisation word is
// left out of a difference even when the pairing of the gaps then differs from side to side.
std::vector<std::string> Unchanged(std::string_view line, const Diffs& diffs, int side, bool caseSensitive)
{
    std::vector<std::string> parts;
    std::int32_t from = 0;
    auto add = [&](std::int32_t to)
    {
        std::string part(line.substr(from, to - from));
        if (!caseSensitive)
            part = FoldedUpper(part);
        parts.push_back(WithoutSpace(part));
    };
    for (const STRINGDIFFERENCE& d : diffs)
    {
        add(side == 0 ? d.nStart1 : d.nStart2);
        from = (side == 0 ? d.nEnd1 : d.nEnd2) + 1;
    }
    add(static_cast<std::int32_t>(line.size()));
    return parts;
}

std::string RandomText(std::mt19937& random)
{
    static const char* const pieces[] = {"a", "b", "A",        " ",    "  ", "\t", ",", ".",  "é",
                                         "è", "€", "\xE2\x82", "\xFF", "ab", "ba", ";", "\r", "\n"};
    std::string text;
    const int count = static_cast<int>(random() % 14);
    for (int k = 0; k < count; ++k)
        text += pieces[random() % std::size(pieces)];
    return text;
}

TEST(LineDifferenceInvariantsTest, OrderedOnCharacterBoundariesAndEqualOutside)
{
    const std::uint32_t spaceRules[] = {0, RULE_IGNOREALLSPACE, RULE_IGNORESPACEDIFFERENCES,
                                        RULE_IGNORETABEXPANSION, RULE_IGNORELEADINGSPACE};
    std::mt19937 random(99);
    for (int round = 0; round < 3000; ++round)
    {
        std::string line1 = RandomText(random);
        std::string line2 = random() % 3 == 0 ? line1 : RandomText(random);
        if (random() % 3 == 0 && !line2.empty())
            line2.insert(random() % line2.size(), "x");
        const bool caseSensitive = random() % 2 == 0;
        const std::uint32_t whiteSpace = spaceRules[random() % std::size(spaceRules)];
        const int breakKind = static_cast<int>(random() % 3);
        const bool characterLevel = random() % 2 == 0;
        Diffs diffs;
        ASSERT_TRUE(ComputeLineDifferences(line1, line2, caseSensitive, whiteSpace, breakKind, characterLevel,
                                           diffs, ",é"));
        const std::string where = "'" + line1 + "' / '" + line2 + "' ws " + std::to_string(whiteSpace) +
                                  " break " + std::to_string(breakKind) + (caseSensitive ? "" : " nocase") +
                                  (characterLevel ? " chars" : " words");
        const auto length1 = static_cast<std::int32_t>(line1.size());
        const auto length2 = static_cast<std::int32_t>(line2.size());
        std::int32_t after1 = 0;
        std::int32_t after2 = 0;
        for (const STRINGDIFFERENCE& d : diffs)
        {
            ASSERT_GE(d.nStart1, after1) << where;
            ASSERT_GE(d.nStart2, after2) << where;
            ASSERT_GE(d.nEnd1, d.nStart1 - 1) << where;
            ASSERT_GE(d.nEnd2, d.nStart2 - 1) << where;
            ASSERT_LT(d.nEnd1, length1) << where;
            ASSERT_LT(d.nEnd2, length2) << where;
            ASSERT_FALSE(d.IsEmpty1() && d.IsEmpty2()) << where;
            EXPECT_TRUE(IsCharacterBoundary(line1, d.nStart1) && IsCharacterBoundary(line1, d.nEnd1 + 1))
                << where;
            EXPECT_TRUE(IsCharacterBoundary(line2, d.nStart2) && IsCharacterBoundary(line2, d.nEnd2 + 1))
                << where;
            after1 = d.nEnd1 + 1;
            after2 = d.nEnd2 + 1;
        }
        EXPECT_EQ(Unchanged(line1, diffs, 0, caseSensitive), Unchanged(line2, diffs, 1, caseSensitive))
            << where;
        const bool equal = caseSensitive ? line1 == line2 : FoldedUpper(line1) == FoldedUpper(line2);
        if (equal)
        {
            EXPECT_TRUE(diffs.empty()) << where;
        }
        else if (whiteSpace == 0)
        {
            EXPECT_FALSE(diffs.empty()) << where; // with white space significant every change shows
        }
    }
}

// ---------------------------------------------------------------------------------------------
// A long line against a slightly changed copy

TEST(LongLineTest, FewChangesInManyWords)
{
    constexpr int WORDS = 200000;
    std::string line1;
    std::string line2;
    Diffs expected;
    auto at = [](const std::string& s) { return static_cast<std::int32_t>(s.size()); };
    for (int k = 0; k < WORDS; ++k)
    {
        if (k > 0)
        {
            line1 += ' ';
            line2 += ' ';
        }
        const std::string word = "w" + std::to_string(k);
        if (k == 1000)
        {
            // A replaced word.
            expected.push_back(D(at(line1), at(line1) + 2, at(line2), at(line2) + 4));
            line1 += "old";
            line2 += "newer";
            continue;
        }
        if (k == 70000)
        {
            // A word only on the left; the separator after it counts as the one both sides share.
            expected.push_back(D(at(line1), at(line1) + 4, at(line2), at(line2) - 1));
            line1 += "extra ";
        }
        if (k == 150000)
        {
            expected.push_back(D(at(line1), at(line1) - 1, at(line2), at(line2) + 2));
            line2 += "new ";
        }
        line1 += word;
        line2 += word;
    }
    for (bool characterLevel : {false, true})
    {
        Diffs out;
        ASSERT_TRUE(ComputeLineDifferences(line1, line2, true, 0, WORDBREAK_SPACE, characterLevel, out));
        EXPECT_EQ(out, expected) << (characterLevel ? "character level" : "word level");
    }
}

} // namespace
