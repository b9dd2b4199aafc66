#include "platform/Utf8.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

TEST(Utf8Test, ValidityFollowsTheStandardForm)
{
    const std::pair<std::string, bool> cases[] = {
        {"", true},
        {"plain ascii", true},
        {"K\xC3\xB6ln \xE2\x82\xAC \xF0\x9F\x98\x80", true},
        {"\xC0\xAF", false},             // overlong "/"
        {"\xE0\x80\xAF", false},         // overlong
        {"\xED\xA0\x80", false},         // surrogate
        {"\xF4\x90\x80\x80", false},     // above U+10FFFF
        {"\xC3", false},                 // cut off
        {"\xE2\x82", false},             // cut off
        {"\x80", false},                 // lone continuation
        {"\xFF", false},
    };
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(IsValidUtf8(text), valid) << testing::PrintToString(text);
}

TEST(Utf8Test, InvalidBytesAreReplacedOneByOne)
{
    EXPECT_EQ(ReplaceInvalidUtf8("a\xFF" "b\xC3"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
    EXPECT_EQ(ReplaceInvalidUtf8("\xE2\x82\xAC"), "\xE2\x82\xAC");
}

TEST(Utf8Test, AnyBytesSurviveTheTripThroughUtf16)
{
    const std::string cases[] = {
        "",
        "plain",
        "\xF0\x9F\x98\x80 and \xC3\xA9",
        std::string("caf\xE9\xFF\x80\xC3", 7),
        "\xED\xA0\x80 encoded surrogate",
    };
    for (const std::string& bytes : cases)
        EXPECT_EQ(BytesFromUtf16(Utf16FromBytes(bytes)), bytes) << testing::PrintToString(bytes);
    EXPECT_EQ(Utf16FromBytes("\xF0\x9F\x98\x80"), (std::u16string{0xD83D, 0xDE00}));
    EXPECT_EQ(Utf16FromBytes("\xFF"), (std::u16string{0xDCFF}));
}

} // namespace
