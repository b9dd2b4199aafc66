#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using testsupport::ProgramRun;
using testsupport::ReadFile;
using testsupport::RunProgram;
using testsupport::TempDir;
using testsupport::WriteFile;
using namespace std::string_literals;

namespace {

ProgramRun Highlight(std::vector<std::string> args)
{
    args.insert(args.begin(), {QUORVANE_CLI_PATH, "highlight"});
    return RunProgram(args);
}

std::string Body(const std::string& page)
{
    const std::string start = "<pre class=\"hl\">\r\n";
    const std::size_t from = page.find(start);
    const std::size_t to = page.rfind("</pre></body>\r\n</html>\r\n");
    if (from == std::string::npos || to == std::string::npos || to < from)
        return "<no body>";
    return page.substr(from + start.size(), to - from - start.size());
}

// Start and end tags balance and every "&" starts a character reference: the page parses as it reads.
void ExpectWellFormed(const std::string& page)
{
    std::vector<std::string> open;
    for (std::size_t at = page.find('<'); at != std::string::npos; at = page.find('<', at + 1))
    {
        const std::size_t end = page.find('>', at);
        ASSERT_NE(end, std::string::npos);
        const std::string tag = page.substr(at + 1, end - at - 1);
        if (tag.starts_with("!") || tag.starts_with("meta"))
            continue;
        const std::string name = tag.substr(tag[0] == '/' ? 1 : 0, tag.find_first_of(" >", 1) - (tag[0] == '/' ? 1 : 0));
        if (tag[0] != '/')
            open.push_back(name);
        else
        {
            ASSERT_FALSE(open.empty()) << tag;
            ASSERT_EQ(open.back(), name);
            open.pop_back();
        }
    }
    EXPECT_TRUE(open.empty());
    for (std::size_t at = page.find('&'); at != std::string::npos; at = page.find('&', at + 1))
    {
        const std::string ref = page.substr(at, page.find(';', at) - at + 1);
        EXPECT_TRUE(ref == "&lt;" || ref == "&gt;" || ref == "&amp;" || ref == "&quot;" || ref == "&#39;") << ref;
    }
}

TEST(HighlightCommandTest, WritesTheColouredPageToStandardOutput)
{
    TempDir dir;
    WriteFile(dir / "a<&>.cpp", "#include <x>\nint main() { return 0; } // done\n/* open\n \"q\" 'c'");
    const ProgramRun run = Highlight({dir / "a<&>.cpp"});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strErr;
    EXPECT_EQ(run.m_strErr, "");
    EXPECT_NE(run.m_strOut.find("<title>a&lt;&amp;&gt;.cpp</title>"), std::string::npos);
    EXPECT_NE(run.m_strOut.find("charset=UTF-8"), std::string::npos);
    EXPECT_EQ(Body(run.m_strOut),
              "<span class=\"tl\">1 </span><span class=\"tp\">#include &lt;x&gt;</span>\r\n"
              "<span class=\"tl\">2 </span><span class=\"tk\">int</span><span class=\"to\"> </span>"
              "<span class=\"tk\">main</span><span class=\"to\">(</span><span class=\"to\">)</span>"
              "<span class=\"to\"> </span><span class=\"to\">{</span><span class=\"to\"> </span>"
              "<span class=\"tk\">return</span><span class=\"to\"> </span><span class=\"tn\">0</span>"
              "<span class=\"to\">;</span><span class=\"to\"> </span><span class=\"to\">}</span>"
              "<span class=\"to\"> </span><span class=\"tc\">// done</span>\r\n"
              "<span class=\"tl\">3 </span><span class=\"tc\">/* open</span>\r\n"
              "<span class=\"tl\">4 </span><span class=\"tc\"> &quot;q&quot; &#39;c&#39;</span>\r\n")
        << "the unterminated comment runs to the end of the file";
    ExpectWellFormed(run.m_strOut);
}

TEST(HighlightCommandTest, WritesTheOutputFileInPlaceOfAnOldOne)
{
    TempDir dir;
    WriteFile(dir / "s.py", "def f():\n    return \"unterminated\\\n");
    WriteFile(dir / "out.html", "old");
    const ProgramRun run = Highlight({dir / "s.py", "-o", dir / "out.html"});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strErr;
    EXPECT_EQ(run.m_strOut, "");
    const std::string page = ReadFile(dir / "out.html");
    EXPECT_NE(page.find("<title>out.html</title>"), std::string::npos);
    EXPECT_NE(page.find("<span class=\"tk\">def</span>"), std::string::npos);
    EXPECT_NE(page.find("<span class=\"ts\">&quot;unterminated\\</span>"), std::string::npos);
    ExpectWellFormed(page);
}

TEST(HighlightCommandTest, UnknownExtensionIsPlainTextWithNoSpans)
{
    TempDir dir;
    WriteFile(dir / "notes.zzz", "int x; <b>\"a\" & 'b'\tc\n");
    const ProgramRun run = Highlight({dir / "notes.zzz"});
    ASSERT_EQ(run.m_nExitCode, 0);
    EXPECT_EQ(Body(run.m_strOut), "<span class=\"tl\">1 </span>int x; &lt;b&gt;&quot;a&quot; &amp; &#39;b&#39;\tc\r\n");
}

TEST(HighlightCommandTest, NulsInvalidBytesAndAMegabyteLine)
{
    TempDir dir;
    const std::string longLine(1 << 20, 'a');
    WriteFile(dir / "bad.c", "x\0y \xFF\xFE\n"s + longLine + "\n\"open string");
    const ProgramRun run = Highlight({dir / "bad.c"});
    ASSERT_EQ(run.m_nExitCode, 0) << run.m_strErr;
    const std::string body = Body(run.m_strOut);
    EXPECT_TRUE(body.starts_with("<span class=\"tl\">1 </span>x<span class=\"to\">\xEF\xBF\xBD</span>"
                                 "y<span class=\"to\"> </span>\xEF\xBF\xBD\xEF\xBF\xBD\r\n"))
        << "the NUL stays in its line, shown as U+FFFD like the bytes that are not UTF-8"
        << body.substr(0, 200);
    EXPECT_NE(body.find("<span class=\"tl\">2 </span>" + longLine + "\r\n"), std::string::npos);
    EXPECT_TRUE(body.ends_with("<span class=\"tl\">3 </span><span class=\"ts\">&quot;open string</span>\r\n"));
    EXPECT_EQ(run.m_strOut.find('\0'), std::string::npos);
}

TEST(HighlightCommandTest, LineCountsFollowTheFileNotItsFinalLineEnd)
{
    TempDir dir;
    std::string nine;
    for (int k = 0; k < 9; ++k)
        nine += "x\n";
    WriteFile(dir / "nine.txt", nine);
    WriteFile(dir / "ten.txt", nine + "x");
    WriteFile(dir / "empty.txt", "");
    EXPECT_TRUE(Body(Highlight({dir / "nine.txt"}).m_strOut).ends_with("<span class=\"tl\">9 </span>x\r\n"));
    EXPECT_TRUE(Body(Highlight({dir / "ten.txt"}).m_strOut).starts_with("<span class=\"tl\"> 1 </span>x\r\n"));
    EXPECT_EQ(Body(Highlight({dir / "empty.txt"}).m_strOut), "Empty");
}

TEST(HighlightCommandTest, UnicodeFilesAreReadThroughTheirMark)
{
    TempDir dir;
    WriteFile(dir / "u.sql", "\xFF\xFE" "s\0e\0l\0e\0c\0t\0 \0\xE9\0\n\0"s);
    const ProgramRun run = Highlight({dir / "u.sql"});
    ASSERT_EQ(run.m_nExitCode, 0);
    EXPECT_EQ(Body(run.m_strOut),
              "<span class=\"tl\">1 </span><span class=\"tk\">select</span><span class=\"to\"> </span>\xC3\xA9\r\n");
}

TEST(HighlightCommandTest, TroubleIsReportedWithThePathAndExitTwo)
{
    TempDir dir;
    WriteFile(dir / "a.c", "x");
    struct
    {
        std::vector<std::string> args;
        std::string messageStart;
    } cases[] = {
        {{dir / "missing.c"}, "quorvane-cli: " + dir / "missing.c" + ": "},
        {{dir.Path()}, "quorvane-cli: " + dir.Path() + ": "},
        {{dir / "a.c", "-o", dir / "no/such/out.html"}, "quorvane-cli: " + dir / "no/such/out.html" + ": "},
        {{dir / "a.c", "-o", dir.Path()}, "quorvane-cli: " + dir.Path() + ": "},
        {{}, "quorvane-cli: highlight: no file given"},
        {{dir / "a.c", "-o"}, "quorvane-cli: -o: no output file given"},
        {{dir / "a.c", "--bogus"}, "quorvane-cli: --bogus: unknown option"},
        {{dir / "a.c", dir / "a.c"}, "quorvane-cli: " + dir / "a.c" + ": only one file"},
    };
    for (const auto& c : cases)
    {
        const ProgramRun run = Highlight(c.args);
        EXPECT_EQ(run.m_nExitCode, 2) << c.messageStart;
        EXPECT_TRUE(run.m_strErr.starts_with(c.messageStart)) << run.m_strErr;
        EXPECT_EQ(std::count(run.m_strErr.begin(), run.m_strErr.end(), '\n'), 1) << run.m_strErr;
        EXPECT_GT(run.m_strErr.size(), c.messageStart.size() + 1) << "a reason follows";
        EXPECT_EQ(run.m_strOut, "");
    }
    struct stat st;
    EXPECT_EQ(::stat((dir / "no").c_str(), &st), -1) << "no folders made for the output";
}

TEST(HighlightCommandTest, UnreadableFile)
{
    if (testsupport::RunningAsRoot())
        GTEST_SKIP() << "root reads files without read permission";
    TempDir dir;
    WriteFile(dir / "secret.c", "int x;");
    ::chmod((dir / "secret.c").c_str(), 0);
    const ProgramRun run = Highlight({dir / "secret.c"});
    EXPECT_EQ(run.m_nExitCode, 2);
    EXPECT_TRUE(run.m_strErr.starts_with("quorvane-cli: " + dir / "secret.c" + ": ")) << run.m_strErr;
}

TEST(HighlightCommandTest, DashDashEndsOptions)
{
    TempDir dir;
    WriteFile(dir / "-o.c", "int");
    const ProgramRun run = RunProgram({QUORVANE_CLI_PATH, "highlight", "--", dir / "-o.c"});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strErr;
    EXPECT_NE(run.m_strOut.find("<span class=\"tk\">int</span>"), std::string::npos);
}

} // namespace
