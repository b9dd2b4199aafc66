#include "editing/syntax/SyntaxParser.h"
#include "editing/syntax/SyntaxParserFactory.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

struct SetCase
{
    int type;
    int set; // 1-based, in the order the parser consults them
    std::size_t count;
    int colorClass;
    bool anyCase;
    const char* first;
    const char* last;
};

const SetCase kSets[] = {
    {1, 1, 77, 9, true, "DOCTYPE", "HTML"},
    {1, 2, 57, 18, true, "ACTION", "VSPACE"},
    {1, 3, 100, 19, true, "nbsp", "gt"},
    {1, 4, 149, 9, true, "If", "Year"},
    {2, 1, 182, 9, false, "SMDoMenu", "Year"},
    {3, 1, 177, 9, true, ".AND.", "Y"},
    {3, 2, 66, 18, true, "APPEND", "XCOPY"},
    {3, 3, 268, 19, true, "@ABS", "_YPIXELS"},
    {4, 1, 108, 9, false, "_asm", "indexdef"},
    {4, 2, 29, 18, false, "LPTSTR", "HANDLE"},
    {5, 1, 76, 9, false, "abstract", "void"},
    {6, 1, 20, 9, false, "boxed_column", "toggle"},
    {6, 2, 18, 18, false, "spacer_0", "radio_row"},
    {6, 3, 31, 19, false, "action", "width"},
    {7, 1, 204, 9, true, "abs", "write"},
    {8, 1, 93, 9, true, "DOCTYPE", "CAPTION"},
    {8, 2, 122, 18, true, "ABBR", "WIDTH"},
    {8, 3, 100, 19, true, "nbsp", "gt"},
    {10, 1, 201, 9, true, "program", "WorkingDir"},
    {10, 2, 79, 18, true, "HKCC", "waituntilidle"},
    {11, 1, 44, 9, false, "begin", "STRING"},
    {11, 2, 30, 18, false, "AFTER", "YES"},
    {11, 3, 15, 19, false, "CMDLINE", "WINSYSDISK"},
    {12, 1, 50, 9, false, "abstract", "continue"},
    {13, 1, 226, 9, false, "abs", "zerop"},
    {14, 1, 224, 9, false, "Abort", "XPStyle"},
    {14, 2, 94, 18, false, "alwaysoff", "zlib"},
    {15, 1, 51, 9, true, "program", "inherited"},
    {16, 1, 221, 9, true, "q", "tan"},
    {17, 1, 93, 9, true, "DOCTYPE", "CAPTION"},
    {17, 2, 122, 18, true, "ABBR", "WIDTH"},
    {17, 3, 100, 19, true, "nbsp", "gt"},
    {17, 4, 48, 9, true, "exception", "while"},
    {17, 5, 3, 13, true, "OR", "XOR"},
    {17, 6, 5, 19, true, "__LINE__", "__METHOD__"},
    {18, 1, 28, 9, false, "access", "while"},
    {18, 2, 37, 18, false, "argv", "ZeroDivisionError"},
    {18, 3, 51, 19, false, "id", "__getitem__"},
    {19, 1, 55, 9, true, "ADDRESS", "ENGINEERING"},
    {19, 2, 10, 18, true, "METHOD", "BOOLEAN"},
    {20, 1, 80, 9, true, "ACCELERATORS", "VIRTKEY"},
    {20, 2, 51, 18, true, "VK_LBUTTON", "VK_F24"},
    {21, 1, 55, 9, true, "ABSTRACT", "VERSION"},
    {21, 2, 4, 18, true, "COMPACT", "SECTION"},
    {21, 3, 100, 19, true, "nbsp", "gt"},
    {22, 1, 28, 9, true, "case", "return"},
    {22, 2, 8, 18, true, "ls", "who"},
    {23, 1, 70, 9, true, "abs", "reverse"},
    {23, 2, 9, 18, true, "acos", "sqrt"},
    {23, 3, 203, 19, true, "%%%memref", "writes"},
    {24, 1, 17, 9, true, "select", "group"},
    {24, 2, 10, 18, true, "CHAR", "TIME"},
    {25, 1, 14, 9, true, "case", "while"},
    {26, 1, 500, 9, true, "documentstyle", "endpicturesave"},
    {26, 2, 288, 18, true, "Alph", "xdef"},
    {27, 1, 6, 9, true, "xml", "NOTATION"},
    {27, 2, 22, 18, true, "version", "IGNORE"},
    {27, 3, 100, 19, true, "nbsp", "gt"},
};

class KeywordSetsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(m_factory.CreateParsers(), 28); }
    CSyntaxParserFactory m_factory;
};

TEST_F(KeywordSetsTest, EverySetHasItsSizeClassComparisonAndEnds)
{
    for (const SetCase& c : kSets)
    {
        SCOPED_TRACE("type " + std::to_string(c.type) + " set " + std::to_string(c.set));
        const CSyntaxParser* parser = m_factory.FindParserByType(c.type);
        ASSERT_NE(parser, nullptr);
        ASSERT_GE(parser->GetKeywordSets().size(), static_cast<std::size_t>(c.set));
        const SKeywordSet& set = parser->GetKeywordSets()[static_cast<std::size_t>(c.set) - 1];
        EXPECT_EQ(set.words.size(), c.count);
        EXPECT_EQ(set.colorClass, c.colorClass);
        EXPECT_EQ(set.anyCase, c.anyCase);
        EXPECT_EQ(set.words.front(), c.first);
        EXPECT_EQ(set.words.back(), c.last);
        for (const std::string_view word : set.words)
        {
            EXPECT_TRUE(parser->IsKeyword(c.set - 1, word)) << word;
            EXPECT_FALSE(word.empty());
        }
    }
}

TEST_F(KeywordSetsTest, EachSyntaxHasExactlyTheListedSets)
{
    std::vector<std::size_t> expected(28, 0);
    for (const SetCase& c : kSets)
        ++expected[static_cast<std::size_t>(c.type)];
    for (int type = 0; type < 28; ++type)
        EXPECT_EQ(m_factory.FindParserByType(type)->GetKeywordSets().size(), expected[static_cast<std::size_t>(type)])
            << "type " << type;
    EXPECT_TRUE(m_factory.FindParserByType(0)->GetKeywordSets().empty()) << "Text";
    EXPECT_TRUE(m_factory.FindParserByType(9)->GetKeywordSets().empty()) << "INI";
}

TEST_F(KeywordSetsTest, ComparisonIsExactOrWithoutRegardToCase)
{
    const CSyntaxParser* cpp = m_factory.FindParserByType(4);
    EXPECT_TRUE(cpp->IsKeyword(0, "while"));
    EXPECT_FALSE(cpp->IsKeyword(0, "While")) << "C/C++ set 1 is compared exactly";
    EXPECT_FALSE(cpp->IsKeyword(0, "whil"));
    EXPECT_FALSE(cpp->IsKeyword(0, "whilex"));
    const CSyntaxParser* pascal = m_factory.FindParserByType(15);
    EXPECT_TRUE(pascal->IsKeyword(0, "BEGIN"));
    EXPECT_TRUE(pascal->IsKeyword(0, "bEgIn"));
    const CSyntaxParser* asp = m_factory.FindParserByType(1);
    EXPECT_TRUE(asp->IsKeyword(3, "select case")) << "an entry may hold a blank";
    const CSyntaxParser* basic = m_factory.FindParserByType(2);
    EXPECT_FALSE(basic->IsKeyword(0, "SMDOMENU")) << "Basic set 1 is compared exactly";
    EXPECT_TRUE(basic->IsKeyword(0, "SMDoMenu"));
}

TEST_F(KeywordSetsTest, EntitySetsHoldTheLatinOneNamesAndTheFourMarkupOnes)
{
    for (const int type : {1, 8, 17, 21, 27})
    {
        SCOPED_TRACE(type);
        const CSyntaxParser* parser = m_factory.FindParserByType(type);
        const SKeywordSet& entities = parser->GetKeywordSets()[2];
        const std::set<std::string_view> words(entities.words.begin(), entities.words.end());
        EXPECT_EQ(words.size(), 100u) << "no entry twice";
        for (const char* name : {"nbsp", "iexcl", "szlig", "Agrave", "agrave", "yuml", "quot", "amp", "lt", "gt"})
            EXPECT_TRUE(words.contains(name)) << name;
    }
}

TEST_F(KeywordSetsTest, PhpMarkupSetsAreTheHtmlOnes)
{
    const CSyntaxParser* html = m_factory.FindParserByType(8);
    const CSyntaxParser* php = m_factory.FindParserByType(17);
    for (std::size_t set = 0; set < 2; ++set)
    {
        const auto a = html->GetKeywordSets()[set].words;
        const auto b = php->GetKeywordSets()[set].words;
        EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end())) << "set " << set + 1;
    }
}

} // namespace
