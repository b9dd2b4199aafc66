#include "platform/CodePages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using namespace platform;

namespace {

struct RoundTripCase
{
    const char* m_szName;
    unsigned m_nCodePage;
    std::string m_strUtf8;
    std::string m_strBytes; // the text in the code page, as published
};

void PrintTo(const RoundTripCase& c, std::ostream* os)
{
    *os << c.m_szName << " (" << c.m_nCodePage << ")";
}

class CodePageRoundTrip : public testing::TestWithParam<RoundTripCase>
{
};

TEST_P(CodePageRoundTrip, KnownBytesGoOutAndComeBack)
{
    const RoundTripCase& c = GetParam();
    const ConversionResult out = ConvertCodePage(c.m_strUtf8, kAnsiCodePage, c.m_nCodePage);
    ASSERT_TRUE(out.m_bOk);
    EXPECT_EQ(out.m_strOutput, c.m_strBytes);
    EXPECT_EQ(out.m_nLosses, 0u);

    const ConversionResult back = ConvertCodePage(c.m_strBytes, c.m_nCodePage, kAnsiCodePage);
    ASSERT_TRUE(back.m_bOk);
    EXPECT_EQ(back.m_strOutput, c.m_strUtf8);
    EXPECT_EQ(back.m_nLosses, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CodePageRoundTrip,
    testing::Values(
        RoundTripCase{"Western", 1252, "caf\xC3\xA9 \xE2\x82\xAC", "caf\xE9 \x80"},
        RoundTripCase{"OemUs", 437, "caf\xC3\xA9", "caf\x82"},
        RoundTripCase{"OemLatin1", 850, "\xC3\xA9\xC3\x98", "\x82\x9D"},
        RoundTripCase{"ShiftJis", 932, "\xE6\x97\xA5\xE6\x9C\xAC", "\x93\xFA\x96\x7B"},
        RoundTripCase{"Gbk", 936, "\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},
        RoundTripCase{"Uhc", 949, "\xED\x95\x9C\xEA\xB5\xAD", "\xC7\xD1\xB1\xB9"},
        RoundTripCase{"Big5", 950, "\xE4\xB8\xAD\xE6\x96\x87", "\xA4\xA4\xA4\xE5"},
        RoundTripCase{"Utf16Le", 1200, "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
                      std::string("\xE9\x00\xAC\x20\x3D\xD8\x00\xDE", 8)},
        RoundTripCase{"Utf16Be", 1201, "\xC3\xA9\xE2\x82\xAC", std::string("\x00\xE9\x20\xAC", 4)},
        RoundTripCase{"Utf32Le", 12000, "A\xF0\x9F\x98\x80", std::string("A\0\0\0\x00\xF6\x01\x00", 8)},
        RoundTripCase{"Koi8R", 20866, "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
                      "\xF0\xD2\xC9\xD7\xC5\xD4"},
        RoundTripCase{"IsoCyrillic", 28595, "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
                      "\xBF\xE0\xD8\xD2\xD5\xE2"},
        RoundTripCase{"IsoLatin1", 28591, "\xC3\xA9\xC3\xBF", "\xE9\xFF"},
        RoundTripCase{"Ebcdic", 37, "AB1 \xC3\xA9?", "\xC1\xC2\xF1\x40\x51\x6F"},
        RoundTripCase{"MacRoman", 10000, "\xC3\xA9", "\x8E"},
        RoundTripCase{"Ascii", 20127, "plain", "plain"},
        RoundTripCase{"Gb18030", 54936, "\xE2\x82\xAC", "\xA2\xE3"},
        RoundTripCase{"EucKr", 51949, "\xED\x95\x9C", "\xC7\xD1"},
        // Stateful targets: the output must end back in the initial shift state.
        RoundTripCase{"Iso2022Jp", 50220, "\xE6\x97\xA5\xE6\x9C\xAC", "\x1B$BF|K\\\x1B(B"},
        RoundTripCase{"Utf7", 65000, "\xC3\xA9", "+AOk-"},
        RoundTripCase{"Utf8", 65001, "\xE6\x97\xA5 \xF0\x9F\x98\x80", "\xE6\x97\xA5 \xF0\x9F\x98\x80"},
        RoundTripCase{"Empty", 1252, "", ""}),
    [](const testing::TestParamInfo<RoundTripCase>& info) { return std::string(info.param.m_szName); });

struct LossCase
{
    std::string m_strInput;
    unsigned m_nFrom;
    unsigned m_nTo;
    std::string m_strOutput;
    std::size_t m_nLosses;
};

TEST(CodePagesTest, UnencodableAndInvalidInputBecomeTheDefaultCharacterAndAreCounted)
{
    const LossCase cases[] = {
        {"\xE6\x97\xA5", 65001, 1252, "?", 1},
        {"a\xE6\x97\xA5" "b\xE2\x82\xAC", 65001, 28591, "a?b?", 2},
        {"\xE6\x97\xA5", 65001, 37, "\x6F", 1},                   // EBCDIC's own "?"
        {"\xE6\x97\xA5", 65001, 1200, std::string("\xE5\x65", 2), 0},
        {"a\xE2\x82\xAC", 65001, 50220, "a?", 1},
        // Between two code pages neither of which is UTF-8: a double-byte character is replaced whole.
        {"a\x93\xFA" "b", 932, 1252, "a?b", 1},
        {"\xE9", 1252, 437, "\x82", 0},
        // A loss between two double-byte characters: the replacement must leave JIS X 0208 mode.
        {"\xE6\x97\xA5\xE2\x82\xAC\xE6\x97\xA5", 65001, 50220, "\x1B$BF|\x1B(B?\x1B$BF|\x1B(B", 1},
        // Invalid UTF-8: one replacement per bad byte, and conversion goes on after it.
        {"a\xFF" "b\xC3", 65001, 1252, "a?b?", 2},
        {"a\xFF" "b\xC3", 65001, 65001, "a?b?", 2},
        {"\xC0\xAF" "z", 65001, 1252, "??z", 2},
        {"\xED\xA0\x80!", 65001, 1252, "\x3F\x3F\x3F!", 3},
        // A Shift-JIS lead byte cut off by the end, and one followed by a byte that cannot trail.
        {"A\x93", 932, 65001, "A?", 1},
        {"\x93\xFA\x81", 932, 65001, "\xE6\x97\xA5?", 1},
        // UTF-16: an odd trailing byte, and a lone surrogate, each skip one unit.
        {std::string("a\0b", 3), 1200, 65001, "a?", 1},
        {std::string("\x00\xD8" "a\0", 4), 1200, 65001, "?a", 1},
        {std::string("\xD8\x00\x00" "a", 4), 1201, 65001, "?a", 1},
        {std::string("\xFF\xFF\xFF\x7F" "A\0\0\0", 8), 12000, 65001, "?A", 1},
    };
    for (const LossCase& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(c.m_strInput) + " " + std::to_string(c.m_nFrom) + " -> " +
                     std::to_string(c.m_nTo));
        const ConversionResult result = ConvertCodePage(c.m_strInput, c.m_nFrom, c.m_nTo);
        EXPECT_TRUE(result.m_bOk);
        EXPECT_EQ(result.m_strOutput, c.m_strOutput);
        EXPECT_EQ(result.m_nLosses, c.m_nLosses);
    }
}

TEST(CodePagesTest, LongOutputThatOutgrowsTheFirstBufferIsComplete)
{
    // Each switch between ASCII and JIS X 0208 costs an escape, so the output is longer than the
    // 32-bit pivot it comes from.
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "\xE6\x97\xA5" "a";
    const ConversionResult out = ConvertCodePage(text, 65001, 50220);
    ASSERT_TRUE(out.m_bOk);
    EXPECT_EQ(out.m_nLosses, 0u);
    EXPECT_EQ(out.m_strOutput.size(), 5000u * 9);
    const ConversionResult back = ConvertCodePage(out.m_strOutput, 50220, 65001);
    EXPECT_EQ(back.m_strOutput, text);
    EXPECT_EQ(back.m_nLosses, 0u);

    std::string wide;
    for (int i = 0; i < 20000; ++i)
        wide += "\xF0\x9F\x98\x80";
    const ConversionResult utf16 = ConvertCodePage(wide, 65001, 1201);
    EXPECT_EQ(utf16.m_strOutput.size(), 20000u * 4);
    EXPECT_EQ(ConvertCodePage(utf16.m_strOutput, 1201, 65001).m_strOutput, wide);
}

TEST(CodePagesTest, EveryRowOfTheTableOpensAndConverts)
{
    const std::vector<unsigned> installed = InstalledCodePages();
    EXPECT_TRUE(std::is_sorted(installed.begin(), installed.end()));
    std::vector<unsigned> rows;
    for (unsigned n = 0; n <= 70000; ++n)
        if (IconvNameOfCodePage(n))
            rows.push_back(n);
    EXPECT_EQ(installed, rows) << "a row whose iconv name does not open";

    // Uppercase letters, digits and "?" exist in every table entry, the Katakana EBCDIC one included.
    for (unsigned codePage : installed)
    {
        SCOPED_TRACE(codePage);
        const ConversionResult out = ConvertCodePage("QZ 19?", 65001, codePage);
        ASSERT_TRUE(out.m_bOk);
        EXPECT_EQ(out.m_nLosses, 0u);
        const ConversionResult back = ConvertCodePage(out.m_strOutput, codePage, 65001);
        EXPECT_EQ(back.m_strOutput, "QZ 19?");
        EXPECT_EQ(back.m_nLosses, 0u);
    }

    for (unsigned required : {37u, 437u, 850u, 932u, 936u, 949u, 950u, 1200u, 1201u, 1252u, 20127u, 20866u,
                              21866u, 28591u, 28605u, 50220u, 51932u, 51949u, 54936u, 65000u, 65001u})
        EXPECT_TRUE(IsCodePageInstalled(required)) << required;
    EXPECT_STREQ(IconvNameOfCodePage(1252), "CP1252");
    EXPECT_STREQ(IconvNameOfCodePage(20866), "KOI8-R");
}

TEST(CodePagesTest, PseudoNumbersResolveAndUnknownNumbersFail)
{
    EXPECT_EQ(ResolveCodePage(0), 65001u);
    EXPECT_EQ(ResolveCodePage(1), 437u);
    EXPECT_EQ(ResolveCodePage(3), 65001u);
    EXPECT_EQ(ResolveCodePage(1252), 1252u);
    EXPECT_EQ(ConvertCodePage("\xC3\xA9", 0, 1).m_strOutput, "\x82");
    EXPECT_EQ(ConvertCodePage("\x82", 1, 3).m_strOutput, "\xC3\xA9");

    EXPECT_EQ(IconvNameOfCodePage(0), nullptr);
    EXPECT_FALSE(IsCodePageInstalled(0));
    EXPECT_FALSE(IsCodePageInstalled(12345));
    EXPECT_FALSE(ConvertCodePage("a", 65001, 12345).m_bOk);
    EXPECT_FALSE(ConvertCodePage("a", 12345, 65001).m_bOk);
}

TEST(CodePagesTest, ThreadsConvertAtTheSameTime)
{
    // A shared handle would mix the shift state of the two stateful conversions.
    auto work = [](unsigned codePage, const std::string& text, bool* ok) {
        for (int i = 0; i < 300; ++i)
        {
            const ConversionResult out = ConvertCodePage(text, 65001, codePage);
            if (ConvertCodePage(out.m_strOutput, codePage, 65001).m_strOutput != text || out.m_nLosses != 0)
                *ok = false;
        }
    };
    bool ok1 = true;
    bool ok2 = true;
    std::thread t1(work, 50220u, std::string("a\xE6\x97\xA5 b\xE6\x9C\xAC"), &ok1);
    std::thread t2(work, 65000u, std::string("\xC3\xA9 x \xE2\x82\xAC"), &ok2);
    t1.join();
    t2.join();
    EXPECT_TRUE(ok1);
    EXPECT_TRUE(ok2);
}

} // namespace
