#include "textcompare/UniMemFile.h"

#include "support/TestSupport.h"
#include "textcompare/UnicodeConversion.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

struct Line
{
    std::string text;
    std::string eol;
    bool operator==(const Line&) const = default;
};

void PrintTo(const Line& line, std::ostream* os)
{
    *os << '"';
    for (unsigned char c : line.text + "|" + line.eol)
    {
        if (c < 0x20 || c >= 0x7F)
        {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
            *os << buffer;
        }
        else
            *os << c;
    }
    *os << '"';
}

struct Loaded
{
    bool bom = false;
    int kind = -1;
    std::vector<Line> lines;
    TextStats stats;
};

// Loads as the editors do: the mark decides, else the code page asked.
Loaded Load(UniMemFile& file, int codePage)
{
    Loaded loaded;
    loaded.bom = file.ReadBom();
    if (!loaded.bom)
        file.SetCodePage(codePage);
    Line line;
    while (file.ReadLine(line.text, line.eol))
        loaded.lines.push_back(line);
    loaded.kind = file.GetUnicodeKind();
    loaded.stats = file.GetStats();
    return loaded;
}

Loaded LoadBytes(std::string_view bytes, int codePage = 65001)
{
    TempDir dir;
    WriteFile(dir / "t.txt", bytes);
    UniMemFile file;
    EXPECT_TRUE(file.OpenRead(dir / "t.txt")) << file.GetLastError().GetMessage();
    return Load(file, codePage);
}

std::string Le(std::u16string_view units)
{
    std::string out;
    for (char16_t u : units)
    {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

std::string Be(std::u16string_view units)
{
    std::string out;
    for (char16_t u : units)
    {
        out += static_cast<char>(u >> 8);
        out += static_cast<char>(u & 0xFF);
    }
    return out;
}

struct ReadCase
{
    const char* name;
    std::string bytes;
    int codePage; // for files without a mark
    int kind;
    std::vector<Line> lines;
    int cr, lf, crlf, zeros, firstZero, lastZero, losses;
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

class UniMemFileReadTest : public ::testing::TestWithParam<ReadCase>
{
};

TEST_P(UniMemFileReadTest, LinesAndStats)
{
    const ReadCase& c = GetParam();
    const Loaded loaded = LoadBytes(c.bytes, c.codePage);
    EXPECT_EQ(loaded.kind, c.kind);
    EXPECT_EQ(loaded.lines, c.lines);
    EXPECT_EQ(loaded.stats.crCount, c.cr);
    EXPECT_EQ(loaded.stats.lfCount, c.lf);
    EXPECT_EQ(loaded.stats.crlfCount, c.crlf);
    EXPECT_EQ(loaded.stats.zeroCount, c.zeros);
    EXPECT_EQ(loaded.stats.firstZeroOffset, c.firstZero);
    EXPECT_EQ(loaded.stats.lastZeroOffset, c.lastZero);
    EXPECT_EQ(loaded.stats.lossCount, c.losses);
}

using namespace std::string_literals;

// clang-format off
const ReadCase kReadCases[] = {
    {"Empty", "", 65001, 0, {}, 0, 0, 0, 0, -1, -1, 0},
    {"LoneUtf8Mark", "\xEF\xBB\xBF", 65001, 3, {}, 0, 0, 0, 0, -1, -1, 0},
    {"LoneUtf16Mark", "\xFF\xFE", 65001, 1, {}, 0, 0, 0, 0, -1, -1, 0},
    {"MixedEnds", "a\r\nb\rc\nd", 65001, 0, {{"a", "\r\n"}, {"b", "\r"}, {"c", "\n"}, {"d", ""}}, 1, 1, 1, 0, -1, -1, 0},
    {"CrAtEnd", "a\r", 65001, 0, {{"a", "\r"}}, 1, 0, 0, 0, -1, -1, 0},
    {"EmptyLines", "\n\r\n\r", 65001, 0, {{"", "\n"}, {"", "\r\n"}, {"", "\r"}}, 1, 1, 1, 0, -1, -1, 0},
    // Invalid UTF-8 is kept byte for byte: cut-off, overlong, stray continuation, surrogate, 0xFF.
    {"Utf8CutOff", "\xEF\xBB\xBFok\xE2\x82", 65001, 3, {{"ok\xE2\x82", ""}}, 0, 0, 0, 0, -1, -1, 0},
    {"InvalidUtf8Kept", "\xC0\xAF\x80\xED\xA0\x80\xFF\xF8\x88\x80\x80\x80\n", 65001, 0,
     {{"\xC0\xAF\x80\xED\xA0\x80\xFF\xF8\x88\x80\x80\x80", "\n"}}, 0, 1, 0, 0, -1, -1, 0},
    {"Utf8NulsEndLines", "\xEF\xBB\xBF" "a\0b\0\0\n"s, 65001, 3, {{"a", ""}, {"b", ""}, {"", ""}, {"", "\n"}}, 0, 1, 0, 3,
     4, 7, 0},
    {"Utf16LeCrLf", "\xFF\xFE" + Le(u"h\u00e9\r\n\u20ac\r\n"), 65001, 1, {{"h\xC3\xA9", "\r\n"}, {"\xE2\x82\xAC", "\r\n"}},
     0, 0, 2, 0, -1, -1, 0},
    {"Utf16BeMixed", "\xFE\xFF" + Be(u"a\rb\nc"), 65001, 2, {{"a", "\r"}, {"b", "\n"}, {"c", ""}}, 1, 1, 0, 0, -1, -1, 0},
    {"Utf16SurrogatePair", "\xFF\xFE" + Le(u"\U0001F600x"), 65001, 1, {{"\xF0\x9F\x98\x80x", ""}}, 0, 0, 0, 0, -1, -1, 0},
    {"Utf16NulOffsets", "\xFF\xFE" + Le(u"a"s + u'\0' + u"b"s + u'\0'), 65001, 1, {{"a", ""}, {"b", ""}}, 0, 0, 0, 2, 4, 8,
     0},
    {"Utf16OddLength", "\xFF\xFE" + Le(u"ab") + "c", 65001, 1, {{"ab\xEF\xBF\xBD", ""}}, 0, 0, 0, 0, -1, -1, 1},
    {"Utf16OddAfterEol", "\xFE\xFF" + Be(u"a\n") + "\x01", 65001, 2, {{"a", "\n"}, {"\xEF\xBF\xBD", ""}}, 0, 1, 0, 0, -1,
     -1, 1},
    {"Windows1252", "caf\xE9 \x80\r\n", 1252, 0, {{"caf\xC3\xA9 \xE2\x82\xAC", "\r\n"}}, 0, 0, 1, 0, -1, -1, 0},
    {"Windows1252Undefined", "a\x81z", 1252, 0, {{"a?z", ""}}, 0, 0, 0, 0, -1, -1, 1},
    {"Windows1252NulKept", "a\0b\n"s, 1252, 0, {{"a\0b"s, "\n"}}, 0, 1, 0, 1, 1, 1, 0},
    {"ShiftJis", "\x93\xFA\x96\x7B\n\x83\x5C\r\n", 932, 0, {{"\xE6\x97\xA5\xE6\x9C\xAC", "\n"}, {"\xE3\x82\xBD", "\r\n"}}, 0,
     1, 1, 0, -1, -1, 0},
    {"Koi8r", "\xF0\xD2\xC9\xD7\xC5\xD4\r", 20866, 0,
     {{"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "\r"}}, 1, 0, 0, 0, -1, -1, 0},
    // Without a mark the code page asked decides; with one the mark wins over it.
    {"MarkWinsOverCodePage", "\xEF\xBB\xBF\xC3\xA9", 1252, 3, {{"\xC3\xA9", ""}}, 0, 0, 0, 0, -1, -1, 0},
    {"Utf16CodePageWithoutMark", Le(u"x\r\ny"), 1200, 0, {{"x", "\r\n"}, {"y", ""}}, 0, 0, 1, 0, -1, -1, 0},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, UniMemFileReadTest, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UniMemFileTest, EmptyFileOpensWithKindNone)
{
    TempDir dir;
    WriteFile(dir / "e.txt", "");
    UniMemFile file;
    ASSERT_TRUE(file.OpenRead(dir / "e.txt"));
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(file.GetLineNumber(), 0);
    EXPECT_FALSE(file.ReadBom());
    std::string line = "junk";
    std::string eol = "junk";
    EXPECT_FALSE(file.ReadLine(line, eol));
    EXPECT_EQ(line, "");
    EXPECT_EQ(eol, "");
    EXPECT_EQ(file.GetUnicodeKind(), UNICODE_NONE);
}

TEST(UniMemFileTest, LineNumberCountsLineEndsAndPathIsAbsolute)
{
    TempDir dir;
    WriteFile(dir / "n.txt", "a\nb\r\nc");
    UniMemFile file;
    ASSERT_TRUE(file.OpenRead(dir / "n.txt"));
    file.ReadBom();
    std::string line;
    int lines = 0;
    while (file.ReadLine(line))
        ++lines;
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(file.GetLineNumber(), 2);
    EXPECT_EQ(file.GetPosition(), 6);
    EXPECT_EQ(file.GetPath(), dir / "n.txt");
    EXPECT_EQ(file.GetFileName(), "n.txt");
    EXPECT_EQ(file.GetFileSize(), 6);
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetLineNumber(), -1);
}

TEST(UniMemFileTest, OpenErrorsNameTheFailingCall)
{
    TempDir dir;
    UniMemFile file;
    EXPECT_FALSE(file.OpenRead(dir / "missing.txt"));
    EXPECT_EQ(file.GetLastError().apiName, "open");
    EXPECT_EQ(file.GetLastError().systemError, ENOENT);
    EXPECT_FALSE(file.IsOpen());

    EXPECT_FALSE(file.OpenRead(dir.Path()));
    EXPECT_EQ(file.GetLastError().systemError, EISDIR);

    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(file.OpenRead(dir / "fifo")); // must not block
    EXPECT_EQ(file.GetLastError().description, "not a regular file");

    EXPECT_FALSE(file.OpenRead(""));
    EXPECT_EQ(file.GetLastError().systemError, ENOENT);
}

TEST(UniMemFileTest, UnreadableFileReportsPermission)
{
    if (testsupport::RunningAsRoot())
        GTEST_SKIP() << "root reads files without read permission";
    TempDir dir;
    WriteFile(dir / "secret.txt", "x");
    ASSERT_EQ(chmod((dir / "secret.txt").c_str(), 0), 0);
    UniMemFile file;
    EXPECT_FALSE(file.OpenRead(dir / "secret.txt"));
    EXPECT_EQ(file.GetLastError().apiName, "open");
    EXPECT_EQ(file.GetLastError().systemError, EACCES);
}

TEST(UniMemFileTest, FileOfTwoGigabytesIsRefused)
{
    TempDir dir;
    const std::string path = dir / "big.txt";
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    // Sparse: no disk space is used.
    ASSERT_EQ(ftruncate(fd, UniMemFile::kMaxFileSize), 0);
    close(fd);
    UniMemFile file;
    EXPECT_FALSE(file.OpenRead(path));
    EXPECT_EQ(file.GetLastError().description, "UniMemFile cannot handle files over 2 gigabytes");
    EXPECT_EQ(file.GetLastError().GetMessage(), "UniMemFile cannot handle files over 2 gigabytes");
}

// A file truncated by someone else after opening must not take the reader down; it keeps the
// content it read.
TEST(UniMemFileTest, TruncatedAfterOpeningStillReads)
{
    TempDir dir;
    const std::string path = dir / "t.txt";
    WriteFile(path, std::string(100000, 'x') + "\nend");
    UniMemFile file;
    ASSERT_TRUE(file.OpenRead(path));
    ASSERT_EQ(truncate(path.c_str(), 0), 0);
    file.ReadBom();
    std::string line;
    std::string eol;
    ASSERT_TRUE(file.ReadLine(line, eol));
    EXPECT_EQ(line.size(), 100000u);
    ASSERT_TRUE(file.ReadLine(line, eol));
    EXPECT_EQ(line, "end");
    EXPECT_FALSE(file.ReadLine(line, eol));
}

// The size the system reports is only a hint: a file whose content differs from its size (here
// a kernel file reported as empty) is read to its end.
TEST(UniMemFileTest, ReadsToTheEndRatherThanToTheReportedSize)
{
    struct stat st;
    ASSERT_EQ(stat("/proc/self/status", &st), 0);
    ASSERT_EQ(st.st_size, 0);
    UniMemFile file;
    ASSERT_TRUE(file.OpenRead("/proc/self/status"));
    file.ReadBom();
    std::string line;
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line.rfind("Name:", 0), 0u) << line;
}

TEST(UniMemFileTest, WritingIsRefused)
{
    TempDir dir;
    WriteFile(dir / "r.txt", "x");
    UniMemFile file;
    ASSERT_TRUE(file.OpenUpdate(dir / "r.txt"));
    EXPECT_FALSE(file.WriteText("y"));
    EXPECT_EQ(testsupport::ReadFile(dir / "r.txt"), "x");
}

} // namespace
