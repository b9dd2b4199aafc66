#include "textcompare/EncodingChoice.h"

#include "textcompare/TextStats.h"

#include <gtest/gtest.h>

namespace {

std::vector<CODEPAGEINFO> SmallList()
{
    std::vector<CODEPAGEINFO> list;
    for (unsigned cp : {437u, 1252u, 65001u})
    {
        CODEPAGEINFO entry{};
        entry.codePage = cp;
        list.push_back(entry);
    }
    return list;
}

TEST(EncodingChoiceTest, RowsStartWithTheUnicodeKinds)
{
    std::vector<CODEPAGEINFO> list = SmallList();
    std::snprintf(list[1].name, sizeof list[1].name, "1252\t(ANSI - Latin I)");
    const std::vector<std::string> rows = GetEncodingRowNames(list);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], "UNI16_LE");
    EXPECT_EQ(rows[1], "UNI16_BE");
    EXPECT_EQ(rows[2], "UTF-8");
    EXPECT_EQ(rows[4], "1252\t(ANSI - Latin I)");
}

TEST(EncodingChoiceTest, PreselectsTheBuffersEncoding)
{
    const std::vector<CODEPAGEINFO> list = SmallList();
    struct Case
    {
        int kind, codePage, row;
    };
    // clang-format off
    const Case cases[] = {
        {UNICODE_UCS2_LE, 1252, 0}, {UNICODE_UCS2_BE, 1252, 1}, {UNICODE_UTF8, 1252, 2}, {UNICODE_NONE, 437, 3},
        {UNICODE_NONE, 1252, 4},    {UNICODE_NONE, -1, 5},      // -1: the default code page setting (65001)
        {UNICODE_UNKNOWN, 1252, 4}, {UNICODE_NONE, 932, -1},    // not in the list: nothing preselected
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(GetEncodingRowForBuffer(c.kind, c.codePage, list, 65001), c.row)
            << c.kind << " " << c.codePage;
}

TEST(EncodingChoiceTest, ApplyingAChoiceMarksOnlyRealChanges)
{
    const std::vector<CODEPAGEINFO> list = SmallList();
    struct Case
    {
        int row;
        int kind, codePage; // the buffer before
        bool changed;
        int newKind, newCodePage; // the buffer after
    };
    // clang-format off
    const Case cases[] = {
        {4, UNICODE_NONE, 1252, false, UNICODE_NONE, 1252},    // the code page it already has
        {5, UNICODE_NONE, -1, false, UNICODE_NONE, -1},        // the default it already has
        {5, UNICODE_NONE, 0, false, UNICODE_NONE, 0},          // ANSI is the same code page as UTF-8 here
        {4, UNICODE_NONE, 437, true, UNICODE_NONE, 1252},
        {4, UNICODE_UTF8, 1252, true, UNICODE_NONE, 1252},     // a code page row leaves the Unicode kind
        {0, UNICODE_NONE, 1252, true, UNICODE_UCS2_LE, 1252},
        {2, UNICODE_UTF8, 1252, false, UNICODE_UTF8, 1252},
        {1, UNICODE_UCS2_LE, 65001, true, UNICODE_UCS2_BE, 65001},
    };
    // clang-format on
    for (const Case& c : cases)
    {
        ENCODING_CHOICE choice;
        ASSERT_TRUE(GetEncodingChoiceFromRow(c.row, list, choice));
        int kind = c.kind;
        int codePage = c.codePage;
        EXPECT_EQ(ApplyEncodingChoice(choice, kind, codePage, 65001), c.changed) << c.row << " " << c.kind;
        EXPECT_EQ(kind, c.newKind) << c.row;
        EXPECT_EQ(codePage, c.newCodePage) << c.row;
    }
    ENCODING_CHOICE choice;
    EXPECT_FALSE(GetEncodingChoiceFromRow(6, list, choice));
    EXPECT_FALSE(GetEncodingChoiceFromRow(-1, list, choice));
    ASSERT_TRUE(GetEncodingChoiceFromRow(3, list, choice));
    EXPECT_EQ(choice.kind, -1);
    EXPECT_EQ(choice.codePage, 437);
}

TEST(EncodingChoiceTest, LineEndingsAndTheStatusPane)
{
    EXPECT_EQ(GetLineEndingRowNames(),
              (std::vector<std::string>{"Current Setting", "Windows (CRLF)", "Macintosh (CR)", "Unix (LF)"}));
    EXPECT_EQ(GetLineEndingRowForStyle(EOL_LF), 3);
    EXPECT_EQ(GetLineEndingRowForStyle(EOL_KEEP), 0);
    EXPECT_EQ(GetLineEndingRowForStyle(7), 0);

    int style = EOL_CRLF;
    EXPECT_FALSE(ApplyLineEndingChoice(0, style));
    EXPECT_EQ(style, EOL_CRLF);
    EXPECT_FALSE(ApplyLineEndingChoice(1, style));
    EXPECT_TRUE(ApplyLineEndingChoice(2, style));
    EXPECT_EQ(style, EOL_CR);
    EXPECT_FALSE(ApplyLineEndingChoice(4, style));
    EXPECT_EQ(style, EOL_CR);

    EXPECT_EQ(GetEolIndicatorText("\r\n"), "EOL: CRLF");
    EXPECT_EQ(GetEolIndicatorText("\n"), "EOL: LF");
    EXPECT_EQ(GetEolIndicatorText("\r"), "EOL: CR");
    EXPECT_EQ(GetEolIndicatorText("\n\r"), "EOL: ?");
    EXPECT_EQ(GetEolIndicatorText(""), "EOL: ");
}

} // namespace
