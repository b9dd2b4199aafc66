#include "platform/CodePages.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace platform;

namespace {

TEST(CodePagesTest, EveryRowOfTheTableOpensInIconv)
{
    // The table's invariant: a number it names is a code page this system can convert.
    for (const unsigned cp : {37u, 437u, 850u, 932u, 936u, 949u, 950u, 1200u, 1201u, 1252u, 20866u, 28595u,
                              50220u, 54936u, 65000u, 65001u})
        EXPECT_TRUE(IsCodePageInstalled(cp)) << cp << " " << IconvNameOfCodePage(cp);
    const std::vector<unsigned> installed = InstalledCodePages();
    EXPECT_TRUE(std::is_sorted(installed.begin(), installed.end()));
    EXPECT_GE(installed.size(), 60u);
    EXPECT_FALSE(IsCodePageInstalled(12345));
    EXPECT_EQ(IconvNameOfCodePage(12345), nullptr);
}

TEST(CodePagesTest, PseudoNumbersResolve)
{
    EXPECT_EQ(ResolveCodePage(0), 65001u);
    EXPECT_EQ(ResolveCodePage(1), 437u);
    EXPECT_EQ(ResolveCodePage(3), 65001u);
    EXPECT_EQ(ResolveCodePage(1252), 1252u);
}

struct KnownBytes
{
    unsigned m_nCodePage;
    std::string m_strUtf8;
    std::string m_strBytes;
};

TEST(CodePagesTest, KnownCharactersHaveTheirPublishedBytesBothWays)
{
    const KnownBytes cases[] = {
        {1252, "\xC3\xA9", "\xE9"},
        {1252, "\xE2\x82\xAC", "\x80"},
        {437, "\xC3\xA9", "\x82"},
        {932, "\xE6\x97\xA5\xE6\x9C\xAC", "\x93\xFA\x96\x7B"},
        {1200, "A\xE2\x82\xAC", std::string("A\0\xAC\x20", 4)},
        {1201, "A\xE2\x82\xAC", std::string("\0A\x20\xAC", 4)},
        {20866, "\xD0\x96", "\xF6"},
        {28595, "\xD0\x96", "\xB6"},
        {37, "A", "\xC1"},
        {65001, "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
    };
    for (const KnownBytes& c : cases)
    {
        const ConversionResult out = ConvertCodePage(c.m_strUtf8, 65001, c.m_nCodePage);
        EXPECT_TRUE(out.m_bOk);
        EXPECT_EQ(out.m_strOutput, c.m_strBytes) << c.m_nCodePage;
        EXPECT_EQ(out.m_nLosses, 0u) << c.m_nCodePage;
        const ConversionResult back = ConvertCodePage(c.m_strBytes, c.m_nCodePage, 65001);
        EXPECT_EQ(back.m_strOutput, c.m_strUtf8) << c.m_nCodePage;
        EXPECT_EQ(back.m_nLosses, 0u) << c.m_nCodePage;
    }
}

TEST(CodePagesTest, WhatCannotBeConvertedBecomesAQuestionMarkAndCounts)
{
    const ConversionResult lost = ConvertCodePage("a\xE6\x97\xA5z", 65001, 1252);
    EXPECT_EQ(lost.m_strOutput, "a?z");
    EXPECT_EQ(lost.m_nLosses, 1u);

    const ConversionResult bad = ConvertCodePage("x\xFFy\xC3", 65001, 1252);
    EXPECT_EQ(bad.m_strOutput, "x?y?");
    EXPECT_EQ(bad.m_nLosses, 2u);

    // An odd length of UTF-16 leaves a cut-off unit at the end.
    const ConversionResult odd = ConvertCodePage(std::string("A\0B", 3), 1200, 65001);
    EXPECT_EQ(odd.m_strOutput, "A?");
    EXPECT_EQ(odd.m_nLosses, 1u);

    // A stateful target ends in its initial state.
    const ConversionResult jis = ConvertCodePage("\xE6\x97\xA5", 65001, 50220);
    EXPECT_EQ(jis.m_strOutput, "\x1B$BF|\x1B(B");

    EXPECT_FALSE(ConvertCodePage("x", 65001, 12345).m_bOk);
    // Large input grows the output as it goes.
    const std::string big(1 << 20, 'a');
    EXPECT_EQ(ConvertCodePage(big, 65001, 1200).m_strOutput.size(), std::size_t{2 << 20});
}

} // namespace

namespace {

TEST(CodePagesTest, BetweenTwoCodePagesACharacterIsReplacedWhole)
{
    // Shift-JIS to Windows-1252: the kanji has no place, the Latin letters do.
    const ConversionResult out = ConvertCodePage("a\x93\xFA" "b", 932, 1252);
    EXPECT_EQ(out.m_strOutput, "a?b");
    EXPECT_EQ(out.m_nLosses, 1u);
    EXPECT_EQ(ConvertCodePage("\xE9", 1252, 437).m_strOutput, "\x82");
}

} // namespace
