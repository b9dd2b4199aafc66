#include "textcompare/CodePageList.h"

#include "platform/CodePages.h"
#include "textcompare/CodePageTable.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The row keys in table order, written out from the ranges of the published list.
std::vector<unsigned> ExpectedKeys()
{
    // clang-format off
    std::vector<unsigned> keys = {37,  437, 500, 708, 709, 710, 720, 737, 775, 850, 852, 855, 857, 858, 860, 861,
                                  862, 863, 864, 865, 866, 869, 870, 874, 875, 932, 936, 949, 950, 1026, 1047};
    // clang-format on
    auto range = [&](unsigned from, unsigned to)
    {
        for (unsigned n = from; n <= to; ++n)
            keys.push_back(n);
    };
    range(1140, 1149);
    keys.insert(keys.end(), {1200, 1201});
    range(1250, 1258);
    keys.push_back(1361);
    range(10000, 10008);
    keys.insert(keys.end(), {10010, 10017, 10021, 10029, 10079, 10081, 10082, 12000, 12001});
    range(20000, 20005);
    range(20105, 20108);
    keys.insert(keys.end(),
                {20127, 20261, 20269, 20273, 20277, 20278, 20280, 20284, 20285, 20290, 20297, 20420, 20423,
                 20424, 20833, 20838, 20866, 20871, 20880, 20905, 20924, 20932, 20936, 21025, 21027, 21866});
    range(28591, 28599);
    keys.insert(keys.end(), {28605, 29001, 38598, 50220, 50221, 50222, 50225, 50227, 50229, 50930, 50931,
                             50933, 50935, 50936, 50937, 50939, 51932, 51936, 51949, 51950, 52936, 54936});
    range(57002, 57011);
    keys.insert(keys.end(), {65000, 65001});
    return keys;
}

TEST(CodePageTableTest, HasTheRowsOfThePublishedListInOrder)
{
    std::size_t count = 0;
    const CODEPAGE_DESCRIPTION* table = GetCodePageTable(count);
    std::vector<unsigned> keys;
    for (std::size_t i = 0; i < count; ++i)
    {
        keys.push_back(table[i].codePage);
        EXPECT_NE(std::strlen(table[i].description), 0u) << table[i].codePage;
    }
    EXPECT_EQ(count, 150u);
    EXPECT_EQ(keys, ExpectedKeys());
}

TEST(CodePageTableTest, DescriptionsAreVerbatim)
{
    const std::pair<unsigned, const char*> rows[] = {
        {37, "IBM EBCDIC - U.S./Canada"},
        {437, "OEM - United States"},
        {850, "OEM - Multilingual Latin I"},
        {858, "OEM - Multlingual Latin I + Euro symbol"},
        {1200, "Unicode UCS-2 Little-Endian (BMP of ISO 10646)"},
        {1201, "Unicode UCS-2 Big-Endian"},
        {1250, "ANSI - Central European"},
        {1251, "ANSI - Cyrillic"},
        {1252, "ANSI - Latin I"},
        {1253, "ANSI - Greek"},
        {1254, "ANSI - Turkish"},
        {1255, "ANSI - Hebrew"},
        {1256, "ANSI - Arabic"},
        {1257, "ANSI - Baltic"},
        {1258, "ANSI/OEM - Vietnamese"},
        {932, "ANSI/OEM - Japanese, Shift-JIS"},
        {936, "ANSI/OEM - Simplified Chinese (PRC, Singapore)"},
        {949, "ANSI/OEM - Korean (Unified Hangeul Code)"},
        {950, "ANSI/OEM - Traditional Chinese (Taiwan; Hong Kong SAR, PRC)"},
        {874, "ANSI/OEM - Thai (same as 28605, ISO 8859-15)"},
        {10000, "MAC - Roman"},
        {20866, "Russian - KOI8-R"},
        {21866, "Ukrainian (KOI8-U)"},
        {28591, "ISO 8859-1 Latin I"},
        {28605, "ISO 8859-15 Latin 9"},
        {38598, "ISO 8859-8 Hebrew"},
        {54936, "Windows XP: GB18030 Simplified Chinese (4 Byte)"},
        {65000, "Unicode UTF-7"},
        {65001, "Unicode UTF-8"},
    };
    for (auto [codePage, description] : rows)
        EXPECT_EQ(GetCodePageName(codePage), description);
    EXPECT_EQ(GetCodePageName(0), "");
    EXPECT_EQ(GetCodePageName(1259), "");
    EXPECT_EQ(GetCodePageName(99999), "");
}

TEST(CodePageListTest, ListsTheConvertibleRowsAscending)
{
    std::vector<CODEPAGEINFO> list;
    BuildCodePageList(list);
    ASSERT_FALSE(list.empty());
    for (std::size_t i = 0; i < list.size(); ++i)
    {
        EXPECT_TRUE(platform::IsCodePageInstalled(list[i].codePage)) << list[i].codePage;
        EXPECT_FALSE(GetCodePageName(list[i].codePage).empty()) << list[i].codePage;
        if (i > 0)
        {
            EXPECT_LT(list[i - 1].codePage, list[i].codePage);
        }
    }
    const int latin = FindCodePageInList(list, 1252);
    ASSERT_GE(latin, 0);
    EXPECT_STREQ(list[static_cast<std::size_t>(latin)].name, "1252\t(ANSI - Latin I)");
    const int utf8 = FindCodePageInList(list, 65001);
    ASSERT_GE(utf8, 0);
    EXPECT_STREQ(list[static_cast<std::size_t>(utf8)].name, "* 65001\t(Unicode UTF-8)");
    for (int needed : {932, 20866, 28591, 437, 1200})
        EXPECT_GE(FindCodePageInList(list, needed), 0) << needed;
    // Rows with no character set behind them here are left out rather than offered and failing.
    EXPECT_EQ(FindCodePageInList(list, 708), -1);
    EXPECT_EQ(FindCodePageInList(list, 21027), -1);
}

} // namespace
