#include "filesystem/Wildcard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct WildcardCase
{
    const char* pattern;
    const char* name;
    bool matches;
};

void PrintTo(const WildcardCase& c, std::ostream* os)
{
    *os << "\"" << c.pattern << "\" vs \"" << c.name << "\"";
}

class WildcardMatch : public testing::TestWithParam<WildcardCase>
{
};

TEST_P(WildcardMatch, MatchesAsExpected)
{
    EXPECT_EQ(MatchWildcard(GetParam().pattern, GetParam().name), GetParam().matches);
}

const WildcardCase kWildcardCases[] = {
    // Stars and extensions, any case.
    {"*.txt", "notes.txt", true},
    {"*.txt", "NOTES.TXT", true},
    {"*.TXT", "notes.txt", true},
    {"*.txt", "notes.txt.bak", false},
    {"*.txt", ".txt", true},
    {"*", "", true},
    {"*", "anything.at.all", true},
    {"*.*", "Makefile", false}, // a dot is a character like any other
    {"*.*", "a.b", true},
    {"a*b*c", "aXXbYYc", true},
    {"a*b*c", "aXXbYY", false},
    // "?" is exactly one character, and a dot counts as one.
    {"file.?", "file.c", true},
    {"file.?", "file.", false},
    {"file.?", "file.cc", false},
    {"?", ".", true},
    {"??", "é", false}, // one character of two bytes
    {"?", "é", true},
    {"?", "\xff", true}, // an invalid byte is one character
    {"?x", "\xc3x", true},
    // Empty pattern.
    {"", "", true},
    {"", "a", false},
    // Sets and ranges.
    {"[a-c]*", "banana", true},
    {"[a-c]*", "Banana", true},
    {"[a-c]*", "date", false},
    {"[!a-c]*", "date", true},
    {"[!a-c]*", "apple", false},
    {"[xyz]", "Y", true},
    {"[`]]", "]", true},
    {"[a`-z]", "-", true},
    {"[a`-z]", "m", false},
    {"[é]", "É", true},
    {"[", "[", true}, // an unclosed set is an ordinary character
    {"[]", "a", false},
    // Backquote quotes the next character.
    {"`*", "*", true},
    {"`*", "a", false},
    {"a`?", "a?", true},
    {"a`?", "ab", false},
    // Negation at the start of the remaining pattern.
    {"!*.txt", "notes.txt", false},
    {"!*.txt", "notes.doc", true},
    {"a!b", "ac", true},
    {"a!b", "ab", false},
    {"!", "!", true}, // nothing follows: an ordinary character
    // 0x1A: a run without a dot.
    {"\x1a.txt", "notes.txt", true},
    {"\x1a.txt", "my.notes.txt", false},
    {"\x1a", "Makefile", true},
    {"\x1a", "a.b", false},
    // Non-ASCII letters fold too.
    {"ÄRGER*", "ärgerlich", true},
    {"*ß", "straß", true},
};

INSTANTIATE_TEST_SUITE_P(Patterns, WildcardMatch, testing::ValuesIn(kWildcardCases));

TEST(Wildcard, MissingArgumentsNeverMatch)
{
    EXPECT_FALSE(MatchWildcard(nullptr, "a"));
    EXPECT_FALSE(MatchWildcard("*", nullptr));
}

TEST(Wildcard, ManyStarsOnALongNameStayFast)
{
    // Without memoisation this pattern needs exponential time on a name without the final "b".
    const std::string pattern = "*a*a*a*a*a*a*a*a*a*a*a*a*!b";
    const std::string name(3000, 'a');
    EXPECT_TRUE(MatchWildcard(pattern, name));
    EXPECT_FALSE(MatchWildcard("*a*a*a*a*a*a*a*a*a*a*a*a*b", name));
}

TEST(Wildcard, PatternListsSkipEmptyItemsAndKeepBlanks)
{
    std::vector<std::string> seen;
    ForEachPattern(";;*.c;; *.h;", [&](std::string_view p) {
        seen.emplace_back(p);
        return false;
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"*.c", " *.h"}));

    EXPECT_TRUE(MatchWildcardList("*.c;*.h", "x.h"));
    EXPECT_FALSE(MatchWildcardList("*.c; *.h", "x.h"));
    EXPECT_FALSE(MatchWildcardList(";;;", "x.h"));
    EXPECT_FALSE(MatchWildcardList("", ""));
}

TEST(Wildcard, LongListsAreMatchedWhole)
{
    std::string list;
    for (int i = 0; i < 300; ++i)
        list += "*.x" + std::to_string(i) + ";";
    list += "*.last";
    ASSERT_GT(list.size(), 1024u);
    EXPECT_TRUE(MatchWildcardList(list, "file.LAST"));
}

TEST(Wildcard, FoldCaseKeepsInvalidBytes)
{
    EXPECT_EQ(FoldCase("AbÉ\xff"), "abé\xff");
}

} // namespace
