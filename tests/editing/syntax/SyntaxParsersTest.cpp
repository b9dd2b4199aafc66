#include "editing/syntax/SyntaxParser.h"
#include "editing/syntax/SyntaxParserFactory.h"
#include "editing/syntax/SyntaxRuns.h"

#include <cstring>

#include <gtest/gtest.h>

using syntaxtest::ClassAt;
using syntaxtest::ParseLines;
using syntaxtest::Runs;

namespace {

const CSyntaxParserFactory& Factory()
{
    static CSyntaxParserFactory factory;
    if (factory.GetParserCount() == 0)
        factory.CreateParsers();
    return factory;
}

const CSyntaxParser& ParserOf(int type)
{
    return *Factory().FindParserByType(type);
}

// Every byte of the `occurrence`-th `needle` in a line has one class.
struct Check
{
    int line;
    const char* needle;
    int colorClass;
    int occurrence = 0;
};

struct SampleCase
{
    const char* name;
    int type;
    std::vector<std::string> lines;
    std::vector<std::uint32_t> cookies; // after each line
    std::vector<Check> checks;
};

const SampleCase kSamples[] = {
    {"cpp-block-comment-across-lines", 4, {"int a; /* open", "still */ return 0;"}, {0x4, 0},
     {{0, "int", 9}, {0, "/* open", 11}, {1, "still */", 11}, {1, "return", 9}, {1, "0", 12}, {1, ";", 13}}},
    {"cpp-string-continued-by-backslash", 4, {"s = \"abc\\", "def\" + x"}, {0x8, 0},
     {{0, "\"abc\\", 14}, {1, "def\"", 14}, {1, "+", 13}, {1, "x", 3}}},
    {"cpp-slash-star-slash-stays-open", 4, {"/*/ x", "y */z"}, {0x4, 0}, {{0, "/*/ x", 11}, {1, "y */", 11}, {1, "z", 3}}},
    {"cpp-line-starting-with-star-slash", 4, {"/* a", "*/b"}, {0x4, 0}, {{1, "*/", 11}, {1, "b", 3}}},
    {"cpp-define", 4, {"#define MAX(a) \"x\" /* c */ y"}, {0},
     {{0, "#define MAX(a) \"x\" ", 15}, {0, "/* c */", 11}, {0, " y", 15}}},
    {"cpp-preprocessor-continued", 4, {"  #define A \\", "  B"}, {0x2, 0}, {{0, "#define A \\", 15}, {1, "  B", 15}}},
    {"cpp-numbers-and-functions", 4, {"x = 0x1F + 1.5e-3 + f (2) + a.b;"}, {0},
     {{0, "0x1F", 12}, {0, "1.5e", 12}, {0, "3", 12}, {0, "f", 10}, {0, "2", 12}, {0, ".", 13, 1}, {0, "a", 3}}},
    {"cpp-second-set", 4, {"DWORD n; LPCTSTR p;"}, {0}, {{0, "DWORD", 18}, {0, "LPCTSTR", 18}, {0, "n", 3}}},
    {"cpp-char-literals", 4, {"c = 'x'; don't"}, {0}, {{0, "'x'", 14}, {0, ";", 13}, {0, "don", 3}}},
    {"cpp-line-comment-continued", 4, {"x; // note \\", "still"}, {0x1, 0}, {{0, "// note \\", 11}, {1, "still", 11}}},
    {"cpp-escaped-quotes", 4, {"\"a\\\"b\" c \"d\\\\\" e"}, {0}, {{0, "\"a\\\"b\"", 14}, {0, "c", 3}, {0, "\"d\\\\\"", 14}, {0, "e", 3}}},
    {"cpp-empty-lines", 4, {"/* x", "", "*/", ""}, {0x4, 0x4, 0, 0}, {}},
    {"cpp-utf8-identifiers", 4, {"int \xC3\xA9t\xC3\xA9 = 1; // \xE2\x82\xAC"}, {0},
     {{0, "\xC3\xA9t\xC3\xA9", 3}, {0, "1", 12}, {0, "// \xE2\x82\xAC", 11}}},
    {"csharp", 5, {"foreach (var x in y) { } // c"}, {0}, {{0, "foreach", 9}, {0, "in", 9}, {0, "// c", 11}}},
    {"java-js", 12, {"public static void main(String[] a) {", "  /** doc */ return null;"}, {0, 0},
     {{0, "public", 9}, {0, "main", 10}, {1, "/** doc */", 11}, {1, "null", 9}}},
    {"installshield", 11, {"function BOOL Go() begin TARGETDIR = FALSE;"}, {0},
     {{0, "function", 9}, {0, "BOOL", 9}, {0, "TARGETDIR", 19}, {0, "FALSE", 18}, {0, "Go", 10}}},
    {"nsis", 14, {"!define NAME \"x\"", "Section Main ; comment", "// not a comment"}, {0, 0, 0},
     {{0, "!define NAME \"x\"", 15}, {1, "Section", 9}, {1, "; comment", 11}, {2, "//", 13}}},
    {"resources", 20, {"IDD DIALOG BEGIN 'a\\'' END"}, {0}, {{0, "DIALOG", 9}, {0, "BEGIN", 9}, {0, "'a\\'", 14}}},
    {"rexx-no-preprocessor", 19, {"#say x", "SAY 'hi' /* c */"}, {0, 0}, {{0, "say", 9}, {1, "SAY", 9}, {1, "'hi'", 14}, {1, "/* c */", 11}}},
    {"sql", 24, {"SELECT name FROM t WHERE id = 12 /* c", "*/ AND x VARCHAR"}, {0x4, 0},
     {{0, "SELECT", 9}, {0, "FROM", 9}, {0, "12", 12}, {0, "/* c", 11}, {1, "AND", 9}, {1, "VARCHAR", 18}}},
    {"dcl", 6, {"ok : dialog { label = \"x\"; ok_only; }"}, {0},
     {{0, "ok", 10}, {0, "dialog", 9}, {0, "label", 19}, {0, "ok_only", 18}, {0, "\"x\"", 14}}},
    {"python", 18, {"def f(x): # note", "    return 'it''s' \"s\\", "tring\""}, {0, 0x8, 0},
     {{0, "def", 9}, {0, "f", 10, 1}, {0, "# note", 11}, {1, "return", 9}, {1, "'it'", 14}, {1, "\"s\\", 14}, {2, "tring\"", 14}}},
    {"perl", 16, {"my $x = 42; # c"}, {0}, {{0, "my", 9}, {0, "42", 12}, {0, "# c", 11}}},
    {"shell", 22, {"if [ -f x ]; then echo 'a#b'; fi # end", "ls -l"}, {0, 0},
     {{0, "if", 9}, {0, "then", 9}, {0, "'a#b'", 14}, {0, "fi", 9}, {0, "# end", 11}, {1, "ls", 18}}},
    {"tcl", 25, {"while {1} { # loop"}, {0}, {{0, "while", 9}, {0, "1", 12}, {0, "# loop", 11}}},
    {"fortran", 7, {"C comment line", "      x = 1.0 ! tail", "      CALL f('s')"}, {0, 0, 0},
     {{0, "C comment line", 11}, {1, "1.0", 12}, {1, "! tail", 11}, {2, "CALL", 9}, {2, "'s'", 14}}},
    {"tex", 26, {"\\section{Intro} $x$ 100% done", "\\begin{document}"}, {0, 0},
     {{0, "section", 9}, {0, "100", 12}, {0, "% done", 11}, {1, "begin", 9}, {1, "document", 9}}},
    {"basic", 2, {"Dim x As Integer ' note", "REM whole line", "x = \"REM\" : Rem tail"}, {0, 0, 0},
     {{0, "As", 9}, {0, "' note", 11}, {1, "REM whole line", 11}, {2, "\"REM\"", 14}, {2, "Rem tail", 11}}},
    {"pascal", 15, {"begin (* a *) x := 1; { b", "c } (*) d", "*) end."}, {0x20, 0x4, 0},
     {{0, "begin", 9}, {0, "(* a *)", 11}, {0, "1", 12}, {0, "{ b", 11}, {1, "c }", 11}, {1, "(*) d", 11}, {2, "*)", 11}, {2, "end", 9}}},
    {"innosetup", 10, {"; a comment", "[Setup]", "#define X", "  AppName=My // c", "begin end"}, {0, 0, 0, 0, 0},
     {{0, "; a comment", 11}, {1, "[Setup]", 10}, {2, "#define X", 15}, {3, "AppName", 9}, {3, "// c", 11}, {4, "begin", 9}}},
    {"autolisp", 13, {"(defun c:go (/ x) ;| block", "|; (setq y (foo 1)) ; tail"}, {0x4, 0},
     {{0, "defun", 9}, {0, ";| block", 11}, {1, "|;", 11}, {1, "setq", 9}, {1, "foo", 10}, {1, "1", 12}, {1, "; tail", 11}}},
    {"siod", 23, {"(define (f x) (sqrt x)) ; c"}, {0},
     {{0, "define", 9}, {0, "sqrt", 18}, {0, ";", 13}, {0, " c", 11}}},
    {"ini", 9, {"[Section] ; c", "key = \"v;x\" ; tail", "n=42"}, {0, 0, 0},
     {{0, "[Section]", 10}, {0, "; c", 11}, {1, "\"v;x\"", 14}, {1, "; tail", 11}, {2, "42", 12}}},
    {"batch", 3, {"echo off", "rem note", "::comment", ":loop", "goto loop", "xcopy.exe a b", "TEXT", "any", "ENDTEXT x"},
     {0, 0, 0, 0, 0, 0, 0x4, 0x4, 0},
     {{0, "echo", 9}, {1, "rem note", 11}, {2, "::comment", 11}, {3, ":loop", 15}, {4, "goto", 9}, {4, "loop", 15},
      {5, "xcopy.exe", 18}, {6, "TEXT", 11}, {7, "any", 11}, {8, "ENDTEXT", 11}}},
    {"xml-tag-across-lines", 27, {"<?xml version=\"1.0\"?>", "<a href=\"x\"", "  id='1'>&amp; 5 <!-- c", "-->"},
     {0, 0x2, 0x4, 0},
     {{0, "xml", 9}, {0, "version", 18}, {0, "\"1.0\"", 14}, {1, "<a", 15}, {1, "\"x\"", 14}, {2, "id", 18},
      {2, "'1'", 14}, {2, "amp", 19}, {2, "5", 12}, {2, "<!-- c", 11}, {3, "-->", 11}}},
    {"html", 8, {"<b class=x width=2>bold &lt; text</b>", "<? script ?><!-- c -->\"q\""}, {0, 0},
     {{0, "b", 9}, {0, "class", 18}, {0, "2", 12}, {0, "bold", 3}, {0, "lt", 19}, {0, "b", 9, 2}, {0, "text<", 3},
      {1, "<? script ?>", 10}, {1, "<!-- c -->", 11}, {1, "\"", 13}, {1, "q", 3}}},
    {"html-tag-block-after-lt", 8, {"x<p>"}, {0}, {{0, "x<", 3}, {0, "p", 9}}},
    {"sgml", 21, {"<sect id=\"a\">&nbsp;"}, {0}, {{0, "sect", 9}, {0, "id", 18}, {0, "nbsp", 19}}},
    {"asp", 1, {"<p><% If x Then", "  Response.Write \"a\" ' note", "End If %>&amp;"}, {0x40, 0x40, 0},
     {{0, "p", 9}, {0, "If", 9}, {0, "Then", 9}, {1, "\"a\"", 14}, {1, "' note", 11}, {2, "End", 9}, {2, "amp", 19}}},
    {"php", 17, {"<b><?php $name = strlen('x'); /* c", "*/ echo __LINE__ OR 3; # tail", "?><i>"}, {0x84, 0x80, 0},
     {{0, "b", 9}, {0, "php", 3}, {0, "name", 18}, {0, "strlen", 10}, {0, "'x'", 14}, {0, "/* c", 11},
      {1, "*/", 11}, {1, "echo", 9}, {1, "__LINE__", 19}, {1, "OR", 13}, {1, "3", 12}, {1, "# tail", 11}, {2, "i", 9}}},
    {"plain-text", 0, {"int x; /* no colours */"}, {0}, {}},
};

TEST(SyntaxParsersTest, SampleLinesGetTheirClassesAndCookies)
{
    for (const SampleCase& c : kSamples)
    {
        SCOPED_TRACE(c.name);
        const CSyntaxParser& parser = ParserOf(c.type);
        std::uint32_t cookie = 0;
        std::vector<std::vector<SSyntaxBlock>> blocks(c.lines.size());
        for (std::size_t l = 0; l < c.lines.size(); ++l)
        {
            cookie = parser.ParseLine(cookie, c.lines[l], &blocks[l]);
            ASSERT_LT(l, c.cookies.size());
            EXPECT_EQ(cookie, c.cookies[l]) << "line " << l << ": " << Runs(c.lines[l], blocks[l]);
            for (std::size_t k = 1; k < blocks[l].size(); ++k)
                EXPECT_LE(blocks[l][k - 1].position, blocks[l][k].position) << "blocks in order";
            for (const SSyntaxBlock& block : blocks[l])
                EXPECT_EQ(block.backgroundClass, 2);
        }
        for (const Check& check : c.checks)
        {
            const std::string& line = c.lines[static_cast<std::size_t>(check.line)];
            std::size_t at = line.find(check.needle);
            for (int k = 0; k < check.occurrence && at != std::string::npos; ++k)
                at = line.find(check.needle, at + 1);
            ASSERT_NE(at, std::string::npos) << check.needle;
            for (std::size_t b = at; b < at + std::strlen(check.needle); ++b)
                EXPECT_EQ(ClassAt(blocks[static_cast<std::size_t>(check.line)], static_cast<int>(b)), check.colorClass)
                    << "'" << check.needle << "' byte " << b - at << " in " << Runs(line, blocks[static_cast<std::size_t>(check.line)]);
        }
    }
}

TEST(SyntaxParsersTest, PlainTextGivesNoBlocks)
{
    std::vector<SSyntaxBlock> blocks;
    EXPECT_EQ(ParserOf(0).ParseLine(0x4, "/* x */ \"y\"", &blocks), 0u);
    EXPECT_TRUE(blocks.empty());
}

TEST(SyntaxParsersTest, KeywordGetsANormalBlockThenItsClassAtTheSameStart)
{
    std::vector<SSyntaxBlock> blocks;
    ParserOf(4).ParseLine(0, "int", &blocks);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].position, 0);
    EXPECT_EQ(blocks[0].colorClass, SYNTAX_NORMAL);
    EXPECT_EQ(blocks[1].position, 0);
    EXPECT_EQ(blocks[1].colorClass, SYNTAX_KEYWORD);
    EXPECT_EQ(Runs("int", blocks), "{9:int}") << "the empty class-3 block draws nothing";
}

TEST(SyntaxParsersTest, CppRunsOfALine)
{
    std::vector<SSyntaxBlock> blocks;
    const std::string line = "if (a+1) x = \"s\"; // c";
    EXPECT_EQ(ParserOf(4).ParseLine(0, line, &blocks), 0u);
    EXPECT_EQ(Runs(line, blocks), "{9:if}{13: }{13:(}{3:a}{13:+}{12:1}{13:)}{13: }{3:x}{13: }{13:=}{13: }{14:\"s\"}"
                                  "{13:;}{13: }{11:// c}");
}

TEST(SyntaxParsersTest, CppCommentOnlyParseIgnoresStrings)
{
    const CSyntaxParser& cpp = ParserOf(4);
    const std::string line = "s = \"http://x\"; /* c";
    std::vector<SSyntaxBlock> full, comments;
    EXPECT_EQ(cpp.ParseLine(0, line, &full), 0x4u);
    EXPECT_EQ(ClassAt(full, static_cast<int>(line.find("//"))), SYNTAX_STRING);
    EXPECT_EQ(cpp.ParseLineComments(0, line, &comments), 0u) << "the comment ends the line before the /*";
    EXPECT_EQ(Runs(line, comments), "{3:s}{13: }{13:=}{13: }{13:\"}{3:http}{13::}{11://x\"; /* c}");
    std::vector<SSyntaxBlock> next;
    EXPECT_EQ(cpp.ParseLineComments(0x4, "a */ b", &next), 0u);
    EXPECT_EQ(Runs("a */ b", next), "{11:a */}{13: }{3:b}");
    EXPECT_EQ(cpp.ParseLineComments(0, "x \\", nullptr), 0u);
    EXPECT_EQ(cpp.ParseLineComments(0, "// x \\", nullptr), 0x1u) << "the continuation rule";
    // Other parsers find comments with their full parse.
    std::vector<SSyntaxBlock> python;
    ParserOf(18).ParseLineComments(0, "x = '#' # c", &python);
    EXPECT_EQ(ClassAt(python, 5), SYNTAX_STRING);
    EXPECT_EQ(ClassAt(python, 9), SYNTAX_COMMENT);
}

TEST(SyntaxParsersTest, CookieWithoutBlocks)
{
    // The C family finds the same states without blocks.
    for (const char* line : {"a /* b", "\"x\\", "#if x \\", "// c \\", "'a' /* */ b"})
    {
        std::vector<SSyntaxBlock> blocks;
        EXPECT_EQ(ParserOf(4).ParseLine(0, line, nullptr), ParserOf(4).ParseLine(0, line, &blocks)) << line;
    }
    // Markup follows tags only when blocks are wanted.
    std::vector<SSyntaxBlock> blocks;
    EXPECT_EQ(ParserOf(27).ParseLine(0, "<a href=\"x\"", &blocks), 0x2u);
    EXPECT_EQ(ParserOf(27).ParseLine(0, "<a href=\"x\"", nullptr), 0u);
    EXPECT_EQ(ParserOf(27).ParseLine(0, "<!-- open", nullptr), 0x4u);
}

TEST(SyntaxParsersTest, BadInputNeverLeavesTheLine)
{
    // Unterminated constructs, NULs, invalid UTF-8 and a long line: blocks stay inside the line and
    // in order for every parser.
    const std::string nasty[] = {
        std::string("\"never closed \\"), std::string("/* open <!-- <? <% ;| (* {"),
        std::string("a\0b\0/\0*", 7), std::string("\xFF\xFE\xC3(\x80\xE2\x82 '\xF0\x9F\x98"),
        std::string(20000, 'x') + "(" + std::string(10000, ' ') + "\\", std::string("<"), std::string("&"),
        std::string("'"), std::string("\\"), std::string("$"), std::string(";"), std::string(":"),
    };
    for (int type = 0; type < 28; ++type)
    {
        const CSyntaxParser& parser = ParserOf(type);
        for (const std::string& line : nasty)
            for (const std::uint32_t cookie : {0u, 0x1u, 0x2u, 0x4u, 0x8u, 0x10u, 0x20u, 0x40u, 0x80u, 0xFFu})
            {
                std::vector<SSyntaxBlock> blocks;
                parser.ParseLine(cookie, line, &blocks);
                parser.ParseLineComments(cookie, line, nullptr);
                for (std::size_t k = 0; k < blocks.size(); ++k)
                {
                    ASSERT_GE(blocks[k].position, 0) << parser.GetName();
                    ASSERT_LE(blocks[k].position, static_cast<int>(line.size())) << parser.GetName();
                    if (k > 0)
                    {
                        ASSERT_LE(blocks[k - 1].position, blocks[k].position) << parser.GetName();
                    }
                }
            }
    }
}

TEST(SyntaxParserTest, AddBlockRefusesPositionsBeforeTheLastStart)
{
    const CSyntaxParser& parser = ParserOf(0);
    std::vector<SSyntaxBlock> blocks;
    EXPECT_EQ(parser.AddBlock("abc", 1, 3, &blocks), 0);
    EXPECT_EQ(parser.AddBlock("abc", 1, 9, &blocks), 1) << "the same start is accepted";
    EXPECT_EQ(parser.AddBlock("abc", 0, 11, &blocks), -1);
    EXPECT_EQ(parser.AddBlock("abc", 2, 11, nullptr), -1);
    EXPECT_EQ(blocks.size(), 2u);
}

TEST(SyntaxParserTest, SharedTests)
{
    for (const char* number : {"0x1F", "0xabcDEF", "1", "1.5e-3", "10E+5", "3.."})
        EXPECT_TRUE(CSyntaxParser::IsNumber(number)) << number;
    for (const char* other : {"0x", "0xG", "x1", "1a", "", ".5", "0X1F", "1_000"})
        EXPECT_FALSE(CSyntaxParser::IsNumber(other)) << other;
    EXPECT_TRUE(CSyntaxParser::IsFunctionNameAt("f \t(", 1));
    EXPECT_FALSE(CSyntaxParser::IsFunctionNameAt("f = (", 1));
    EXPECT_FALSE(CSyntaxParser::IsFunctionNameAt("f", 1));
    EXPECT_TRUE(CSyntaxParser::QuoteCloses("\"", 0));
    EXPECT_TRUE(CSyntaxParser::QuoteCloses("a\"", 1));
    EXPECT_FALSE(CSyntaxParser::QuoteCloses("\\\"", 1));
    EXPECT_FALSE(CSyntaxParser::QuoteCloses("a\\\"", 2));
    EXPECT_TRUE(CSyntaxParser::QuoteCloses("\\\\\"", 2));
    EXPECT_TRUE(CSyntaxParser::IsWordCharAt("1.5", 1, false)) << "a dot between digits";
    EXPECT_FALSE(CSyntaxParser::IsWordCharAt("a.b", 1, false)) << "a dot between letters";
    EXPECT_FALSE(CSyntaxParser::IsWordCharAt(".5", 0, false)) << "a dot at the line's start";
    EXPECT_TRUE(CSyntaxParser::IsWordCharAt("a.b", 1, true));
    EXPECT_TRUE(CSyntaxParser::IsWordCharAt("\xC3\xA9", 0, false));
}

TEST(SyntaxParserTest, InvalidCharactersAreContinuationBytesOfRealCharacters)
{
    const CSyntaxParser& parser = ParserOf(4);
    const std::string line = "a\xC3\xA9\xE2\x82\xAC\x80z\xF0\x9F\x98\x80";
    const bool expected[] = {false, false, true, false, true, true, false, false, false, true, true, true};
    ASSERT_EQ(line.size(), std::size(expected));
    for (std::size_t k = 0; k < line.size(); ++k)
        EXPECT_EQ(parser.IsInvalidCharAt(line, static_cast<int>(k)), expected[k]) << k;
    EXPECT_FALSE(parser.IsInvalidCharAt(line, -1));
    EXPECT_FALSE(parser.IsInvalidCharAt(line, 99));
    EXPECT_EQ(parser.GetLineLength(line), static_cast<int>(line.size()));
}

TEST(SyntaxParserTest, WrapLineBreaksAfterBlanksTabsAndIdeographs)
{
    const CSyntaxParser& parser = ParserOf(0);
    std::vector<int> breaks;
    EXPECT_EQ(parser.WrapLine({4}, "aaa bbb ccc", 5, &breaks), 2);
    EXPECT_EQ(breaks, (std::vector<int>{4, 8}));
    EXPECT_EQ(parser.WrapLine({4}, "abcdefghij", 4, &breaks), 2) << "no break point: at the character";
    EXPECT_EQ(breaks, (std::vector<int>{4, 8}));
    EXPECT_EQ(parser.WrapLine({4}, "a\tb", 4, &breaks), 1) << "the tab reaches column 4";
    EXPECT_EQ(breaks, (std::vector<int>{2}));
    // Three ideographs of width 2 each: a break after each that does not fit.
    EXPECT_EQ(parser.WrapLine({4}, "\xE6\xBC\xA2\xE5\xAD\x97\xE5\xAD\x97", 4, &breaks), 1);
    EXPECT_EQ(breaks, (std::vector<int>{6}));
    EXPECT_EQ(parser.WrapLine({4}, "short", 80, nullptr), 0);
    EXPECT_EQ(parser.WrapLine({4}, "", 10, &breaks), 0);
    EXPECT_TRUE(breaks.empty());
}

} // namespace
