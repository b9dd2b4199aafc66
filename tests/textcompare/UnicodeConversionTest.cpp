#include "textcompare/UnicodeConversion.h"

#include "platform/Utf8.h"
#include "textcompare/DefaultCodePage.h"

#include <gtest/gtest.h>

#include <random>

using namespace std::string_literals;

namespace
{

TEST(UnicodeConversionTest, Utf8SequenceLengthFollowsTheLeadByte)
{
    // clang-format off
    const std::pair<unsigned, int> cases[] = {{0x00, 1}, {0x7F, 1}, {0x80, 0}, {0xBF, 0}, {0xC0, 2}, {0xDF, 2},
                                              {0xE0, 3}, {0xEF, 3}, {0xF0, 4}, {0xF7, 4}, {0xF8, 5}, {0xFB, 5},
                                              {0xFC, 6}, {0xFD, 6}, {0xFE, 0}, {0xFF, 0}};
    // clang-format on
    for (auto [lead, length] : cases)
        EXPECT_EQ(Utf8SequenceLength(static_cast<unsigned char>(lead)), length) << std::hex << lead;
}

TEST(UnicodeConversionTest, DecodeUtf8RejectsWhatIsNotOneValidSequence)
{
    struct Case
    {
        std::string bytes;
        char32_t cp;
        std::size_t length;
    };
    // clang-format off
    const Case cases[] = {
        {"A", U'A', 1},
        {"\xC3\xA9x", 0xE9, 2},
        {"\xE2\x82\xAC", 0x20AC, 3},
        {"\xF0\x9F\x98\x80", 0x1F600, 4},
        {"\xE2\x82", 0xFFFD, 1},         // cut off
        {"\xC0\xAF", 0xFFFD, 1},         // overlong "/"
        {"\xE0\x80\xAF", 0xFFFD, 1},     // overlong
        {"\xED\xA0\x80", 0xFFFD, 1},     // surrogate
        {"\xF4\x90\x80\x80", 0xFFFD, 1}, // above U+10FFFF
        {"\xF8\x88\x80\x80\x80", 0xFFFD, 1},
        {"\x80", 0xFFFD, 1},
        {"", 0xFFFD, 0},
    };
    // clang-format on
    for (const Case& c : cases)
    {
        std::size_t length = 99;
        EXPECT_EQ(static_cast<std::uint32_t>(DecodeUtf8(c.bytes, &length)), static_cast<std::uint32_t>(c.cp))
            << c.bytes;
        EXPECT_EQ(length, c.length) << c.bytes;
    }
}

TEST(UnicodeConversionTest, GetUnicodeCharPerKind)
{
    std::size_t length = 0;
    EXPECT_EQ(GetUnicodeChar("\xE9\x00"s, UNICODE_UCS2_LE, 0, &length), 0xE9u);
    EXPECT_EQ(length, 2u);
    EXPECT_EQ(GetUnicodeChar("\xD8\x3D\xDE\x00"s, UNICODE_UCS2_BE, 0, &length), 0x1F600u);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(GetUnicodeChar("\x00\xD8x\x00"s, UNICODE_UCS2_LE, 0, &length), 0xFFFDu); // lone surrogate
    EXPECT_EQ(GetUnicodeChar("\xC3\xA9", UNICODE_UTF8, 0, &length), 0xE9u);
    EXPECT_EQ(GetUnicodeChar("\x80", UNICODE_NONE, 1252, &length), 0x20ACu);
    EXPECT_EQ(length, 1u);
    EXPECT_EQ(GetUnicodeChar("\x93\xFA", UNICODE_NONE, 932, &length), 0x65E5u);
    EXPECT_EQ(length, 2u);
    EXPECT_EQ(GetUnicodeChar("\xC3\xA9", UNICODE_NONE, 65001, &length), 0xE9u);
}

TEST(UnicodeConversionTest, CodePointToTextIsUtf8AndLossOnlyWhereTheCodePageCannotHoldIt)
{
    struct Case
    {
        char32_t cp;
        int codePage;
        std::string text;
        bool lossy;
    };
    // clang-format off
    const Case cases[] = {
        {U'a', 1252, "a", false},
        {0xE9, 65001, "\xC3\xA9", false},
        {0x1F600, 65001, "\xF0\x9F\x98\x80", false},
        {0xE9, 1252, "\xC3\xA9", false},
        {0x416, 1252, "\xD0\x96", true},     // Cyrillic Zhe is not in windows-1252
        {0x416, 20866, "\xD0\x96", false},   // but it is in KOI8-R
        {0x65E5, 932, "\xE6\x97\xA5", false}, // two bytes in a double-byte code page are fine
        {0xD800, 65001, "\xEF\xBF\xBD", true},
        {0x110000, 65001, "\xEF\xBF\xBD", true},
    };
    // clang-format on
    for (const Case& c : cases)
    {
        bool lossy = !c.lossy;
        EXPECT_EQ(CodePointToText(c.cp, lossy, c.codePage), c.text)
            << std::hex << static_cast<std::uint32_t>(c.cp);
        EXPECT_EQ(lossy, c.lossy) << std::hex << static_cast<std::uint32_t>(c.cp) << " in " << std::dec
                                  << c.codePage;
    }
    bool lossy = true;
    ASSERT_EQ(GetDefaultCodePageSetting(), 65001);
    EXPECT_EQ(CodePointToText(0x416, lossy), "\xD0\x96");
    EXPECT_FALSE(lossy);
}

TEST(UnicodeConversionTest, SameCodePageResolvesThePseudoNumbers)
{
    EXPECT_TRUE(SameCodePage(1252, 1252));
    EXPECT_FALSE(SameCodePage(1252, 1250));
    EXPECT_TRUE(SameCodePage(0, 65001));
    EXPECT_TRUE(SameCodePage(3, 65001));
    EXPECT_TRUE(SameCodePage(0, 3));
    EXPECT_TRUE(SameCodePage(1, 437));
    EXPECT_FALSE(SameCodePage(1, 0));
    EXPECT_FALSE(SameCodePage(-1, 65001));
}

TEST(UnicodeConversionTest, EolStyleFromStatsAndMixedEols)
{
    struct Case
    {
        int cr, lf, crlf;
        EolStyle style;
        bool mixed;
    };
    // clang-format off
    const Case cases[] = {
        {3, 0, 2, EOL_CR, true},  {0, 2, 2, EOL_CRLF, true}, {0, 3, 2, EOL_LF, true}, {1, 1, 1, EOL_CRLF, true},
        {0, 0, 0, EOL_CRLF, false}, {0, 5, 0, EOL_LF, false}, {2, 2, 0, EOL_LF, true}, {2, 0, 2, EOL_CRLF, true},
        {1, 0, 0, EOL_CR, false},
    };
    // clang-format on
    for (const Case& c : cases)
    {
        TextStats stats;
        stats.crCount = c.cr;
        stats.lfCount = c.lf;
        stats.crlfCount = c.crlf;
        EXPECT_EQ(EolStyleFromStats(stats), c.style) << c.cr << " " << c.lf << " " << c.crlf;
        EXPECT_EQ(HasMixedEols(stats), c.mixed) << c.cr << " " << c.lf << " " << c.crlf;
    }
}

TEST(UnicodeConversionTest, ConvertTextBetweenKinds)
{
    struct Case
    {
        int fromKind, fromCp;
        std::string src;
        int toKind, toCp;
        std::string expected;
        std::size_t losses;
    };
    // clang-format off
    const Case cases[] = {
        {UNICODE_UCS2_LE, 0, "a\x00\xE9\x00"s, UNICODE_UCS2_BE, 0, "\x00" "a\x00\xE9"s, 0},
        {UNICODE_UCS2_BE, 0, "\x00" "a"s, UNICODE_UCS2_LE, 0, "a\x00"s, 0},
        {UNICODE_UCS2_LE, 0, "\xE9\x00"s, UNICODE_NONE, 1252, "\xE9", 0},
        {UNICODE_UCS2_LE, 0, "\x16\x04"s, UNICODE_NONE, 1252, "?", 1},
        {UNICODE_NONE, 932, "\x93\xFA", UNICODE_UCS2_LE, 0, "\xE5\x65", 0},
        {UNICODE_NONE, 1252, "\xE9", UNICODE_NONE, 20866, "?", 1},
        {UNICODE_NONE, 1252, "\xE9", UNICODE_NONE, 28591, "\xE9", 0},
        {UNICODE_NONE, 1252, "\x80", UNICODE_UTF8, 0, "\xE2\x82\xAC", 0},
        {UNICODE_NONE, 0, "\xFF\xC3\xA9", UNICODE_UTF8, 0, "\xFF\xC3\xA9", 0}, // UTF-8 to UTF-8: untouched
        {UNICODE_UTF8, 0, "\xFF", UNICODE_UCS2_LE, 0, "\xFF\xDC", 0},          // escaped, not replaced
        {UNICODE_NONE, 1252, "abc", UNICODE_NONE, 1252, "abc", 0},
    };
    // clang-format on
    for (const Case& c : cases)
    {
        std::string out = "junk";
        std::size_t losses = 0;
        EXPECT_TRUE(
            ConvertText(c.fromKind, c.fromCp, c.src.data(), c.src.size(), c.toKind, c.toCp, out, &losses));
        EXPECT_EQ(out, c.expected) << c.fromKind << "/" << c.fromCp << " -> " << c.toKind << "/" << c.toCp;
        EXPECT_EQ(losses, c.losses);
    }
    std::string out;
    EXPECT_FALSE(ConvertText(UNICODE_NONE, 708, "a", 1, UNICODE_UTF8, 0, out)); // no converter for ASMO 708
    EXPECT_FALSE(ConvertText(UNICODE_UTF8, 0, "a", 1, UNICODE_NONE, 12345, out));
}

// Any sequence of UTF-16 units comes back unchanged through internal text, and any bytes come back
// unchanged through UTF-16: both directions a load and a save take.
TEST(UnicodeConversionTest, Utf16AndInternalTextRoundTripWithoutLoss)
{
    // clang-format off
    const char16_t interesting[] = {u'a', u'\r', 0x00E9, 0x20AC, 0xFFFD, 0xFFFF, 0xD800, 0xDBFF, 0xDC00,
                                    0xDC7F, 0xDC80, 0xDCC3, 0xDCA9, 0xDCED, 0xDCA0, 0xDCBF, 0xDCFF, 0xDFFF};
    // clang-format on
    std::mt19937 random(12345);
    for (int round = 0; round < 20000; ++round)
    {
        std::u16string units;
        const int n = static_cast<int>(random() % 7);
        for (int i = 0; i < n; ++i)
            units += interesting[random() % std::size(interesting)];
        ASSERT_EQ(Utf16FromText(TextFromUtf16(units)), units) << round;
    }
    for (int round = 0; round < 20000; ++round)
    {
        std::string bytes;
        const int n = static_cast<int>(random() % 8);
        for (int i = 0; i < n; ++i)
            bytes += static_cast<char>(random() % 2 ? 0x80 + random() % 0x80 : random() % 0x100);
        // Bytes whose units would pair up again are the only ones that can change; they cannot
        // come from a file, whose lone surrogates never pair.
        const std::string text = TextFromUtf16(Utf16FromText(bytes));
        if (text != bytes)
        {
            EXPECT_EQ(Utf16FromText(text), Utf16FromText(bytes)) << round;
        }
    }
    EXPECT_EQ(TextFromUtf16(u"\xDCFF\xDC80"), "\xFF\x80");                 // escaped bytes come back as bytes
    EXPECT_EQ(TextFromUtf16(u"\xDCC3\xDCA9"), "\xED\xB3\x83\xED\xB2\xA9"); // would read as U+00E9
    EXPECT_EQ(TextFromUtf16(u"\xD800"), "\xED\xA0\x80");
    EXPECT_EQ(platform::BytesFromUtf16(Utf16FromText("\xFF"
                                                     "a")),
              "\xFF"
              "a"); // the platform's escape
}

// The file reader converts UTF-16 straight from the file's bytes, eight units at a time while they
// are ASCII: it must give what the unit-by-unit conversion gives, in both byte orders, wherever the
// runs of ASCII start and stop and whatever surrogates lie between them.
TEST(UnicodeConversionTest, Utf16FromBytesConvertsAsFromUnits)
{
    // clang-format off
    const char16_t other[] = {0x00E9, 0x07FF, 0x0800, 0x20AC, 0xFFFF, 0xD83D, 0xDE00, 0xD800, 0xDBFF, 0xDC00,
                              0xDC80, 0xDCC3, 0xDCA9, 0xDCFF, 0xDFFF, 0x0080, 0x007F};
    // clang-format on
    std::mt19937 random(99);
    for (int round = 0; round < 5000; ++round)
    {
        std::u16string units;
        const int n = static_cast<int>(random() % 70);
        const unsigned otherEvery = 2 + random() % 30;
        for (int i = 0; i < n; ++i)
            units += random() % otherEvery == 0 ? other[random() % std::size(other)]
                                                : static_cast<char16_t>(random() % 0x80);
        const std::string expected = TextFromUtf16(units);
        for (bool bigEndian : {false, true})
        {
            std::string bytes;
            for (char16_t u : units)
            {
                const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
                bytes += bigEndian ? hi : lo;
                bytes += bigEndian ? lo : hi;
            }
            std::string out(units.size() * kMaxTextPerUnit, '\x55');
            const std::size_t length = TextFromUtf16Bytes(bytes.data(), units.size(), bigEndian, out.data());
            ASSERT_LE(length, out.size());
            ASSERT_EQ(out.substr(0, length), expected)
                << round << (bigEndian ? " big-endian" : " little-endian");
        }
    }
    // A lone high surrogate as the last unit of an ASCII block, its low surrogate in the next one.
    const std::u16string split = u"abcdefg\xD83D\xDE00xyz";
    std::string le;
    for (char16_t u : split)
        le += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    std::string out(split.size() * kMaxTextPerUnit, '\0');
    out.resize(TextFromUtf16Bytes(le.data(), split.size(), false, out.data()));
    EXPECT_EQ(out, "abcdefg\xF0\x9F\x98\x80xyz");
}

TEST(UnicodeConversionTest, SingleByteCodePages)
{
    EXPECT_TRUE(IsSingleByteCodePage(1252));
    EXPECT_TRUE(IsSingleByteCodePage(20866));
    EXPECT_TRUE(IsSingleByteCodePage(1)); // OEM 437
    EXPECT_FALSE(IsSingleByteCodePage(932));
    EXPECT_FALSE(IsSingleByteCodePage(0)); // ANSI is UTF-8 here
    EXPECT_FALSE(IsSingleByteCodePage(-1));
}

} // namespace
