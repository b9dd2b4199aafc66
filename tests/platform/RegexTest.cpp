#include "platform/Regex.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

struct RegexCase
{
    const char* pattern;
    const char* text;
    bool matches;
};

TEST(Regex, ClassicSyntax)
{
    const RegexCase cases[] = {
        {"\\(ab\\)\\|cd", "xxcd", true},
        {"\\(ab\\)\\1", "abab", true},
        {"\\(ab\\)\\1", "abac", false},
        {"(a|b)", "(a|b)", true}, // plain parentheses and bar are literal
        {"(a|b)", "a", false},
        {"a+", "caab", true},
        {"^a?b$", "b", true},
        {"x{2}", "x{2}", true}, // literal braces
        {"\\<word\\>", "a word here", true},
        {"\\<word\\>", "swordfish", false},
        {"[0-9]", "abc", false},
        {"^REM", "rem x", false}, // no case folding
        {"#", "a # b", true},     // a search, not a whole-line match
        {"", "anything", true},
    };
    for (const auto& c : cases)
    {
        platform::CRegex regex;
        ASSERT_TRUE(regex.Compile(c.pattern, platform::CRegex::Syntax::Classic)) << c.pattern;
        EXPECT_EQ(regex.Search(c.text), c.matches) << c.pattern << " in " << c.text;
    }
}

TEST(Regex, ExtendedSyntaxAndCaseFolding)
{
    platform::CRegex regex;
    ASSERT_TRUE(regex.Compile("(ab|cd)+$", platform::CRegex::Syntax::Extended));
    EXPECT_TRUE(regex.Search("xabcd"));
    EXPECT_FALSE(regex.Search("abx"));
    platform::CRegex folded;
    ASSERT_TRUE(folded.Compile("^rem", platform::CRegex::Syntax::Extended, nullptr, true));
    EXPECT_TRUE(folded.Search("REM comment"));
}

TEST(Regex, InvalidPatternsAreReportedAndMatchNothing)
{
    platform::CRegex regex;
    std::string error;
    EXPECT_FALSE(regex.Compile("\\(unclosed", platform::CRegex::Syntax::Classic, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(regex.IsCompiled());
    EXPECT_FALSE(regex.Search("unclosed"));
    EXPECT_FALSE(regex.Compile("[z-a]", platform::CRegex::Syntax::Extended, &error));
}

TEST(Regex, CompilesFromSeveralThreadsInEitherSyntax)
{
    // The engine reads its syntax from one process-wide setting while compiling.
    std::vector<std::thread> threads;
    std::vector<int> results(8, -1);
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([t, &results] {
            int good = 0;
            for (int i = 0; i < 200; ++i)
            {
                platform::CRegex regex;
                const bool classic = (t + i) % 2 == 0;
                regex.Compile(classic ? "a\\|b" : "a|b",
                              classic ? platform::CRegex::Syntax::Classic : platform::CRegex::Syntax::Extended);
                good += regex.Search("b") ? 1 : 0;
            }
            results[static_cast<std::size_t>(t)] = good;
        });
    for (auto& thread : threads)
        thread.join();
    for (const int good : results)
        EXPECT_EQ(good, 200);
}

} // namespace
