#include "textcompare/UniMemFile.h"

#include "support/TestSupport.h"
#include "textcompare/UnicodeConversion.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <regex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::TempDir;
using testsupport::WriteFile;

namespace
{

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

// The line rules spelled out one character at a time, to hold the fast reader against: NUL, CR, LF
// and CR LF end lines (a NUL without a line end), and an odd byte at the end of UTF-16 is U+FFFD.
Loaded ReferenceRead(std::string_view bytes, std::size_t textStart, int unitBytes, bool bigEndian)
{
    Loaded loaded;
    std::size_t pos = textStart;
    auto unitAt = [&](std::size_t at) -> unsigned
    {
        if (unitBytes == 1)
            return static_cast<unsigned char>(bytes[at]);
        const auto b0 = static_cast<unsigned char>(bytes[at]);
        const auto b1 = static_cast<unsigned char>(bytes[at + 1]);
        return bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0;
    };
    while (pos < bytes.size())
    {
        Line line;
        std::u16string units;
        while (pos + unitBytes <= bytes.size())
        {
            const unsigned u = unitAt(pos);
            if (u == 0 || u == '\r' || u == '\n')
                break;
            if (unitBytes == 1)
                line.text += static_cast<char>(u);
            else
                units += static_cast<char16_t>(u);
            pos += unitBytes;
        }
        if (unitBytes == 2)
            line.text = TextFromUtf16(units);
        if (pos + unitBytes <= bytes.size())
        {
            const unsigned u = unitAt(pos);
            pos += unitBytes;
            if (u == 0)
            {
                ++loaded.stats.zeroCount;
                if (loaded.stats.firstZeroOffset < 0)
                    loaded.stats.firstZeroOffset = static_cast<std::int32_t>(pos - unitBytes);
                loaded.stats.lastZeroOffset = static_cast<std::int32_t>(pos - unitBytes);
            }
            else if (u == '\r' && pos + unitBytes <= bytes.size() && unitAt(pos) == '\n')
            {
                line.eol = "\r\n";
                pos += unitBytes;
                ++loaded.stats.crlfCount;
            }
            else
            {
                line.eol = u == '\r' ? "\r" : "\n";
                ++(u == '\r' ? loaded.stats.crCount : loaded.stats.lfCount);
            }
        }
        else if (pos < bytes.size())
        {
            line.text += "\xEF\xBF\xBD";
            ++loaded.stats.lossCount;
            pos = bytes.size();
        }
        loaded.lines.push_back(line);
    }
    return loaded;
}

void ExpectSameStats(const TextStats& a, const TextStats& b)
{
    EXPECT_EQ(a.crCount, b.crCount);
    EXPECT_EQ(a.lfCount, b.lfCount);
    EXPECT_EQ(a.crlfCount, b.crlfCount);
    EXPECT_EQ(a.zeroCount, b.zeroCount);
    EXPECT_EQ(a.firstZeroOffset, b.firstZeroOffset);
    EXPECT_EQ(a.lastZeroOffset, b.lastZeroOffset);
    EXPECT_EQ(a.lossCount, b.lossCount);
}

// Random texts dense in line ends, NULs and CR LF pairs at every offset, so that breaks fall on and
// across the edges of the reader's 64-byte windows and 8-unit blocks: ReadLine, ReadLineView and
// ReadLineViews (in batches of any size) must all give what the rules give, with the same counts.
TEST(UniMemFileTest, EveryWayOfReadingSplitsAsTheRulesSay)
{
    struct Encoding
    {
        const char* name;
        const char* mark;
        int codePage;
        int unitBytes;
        bool bigEndian;
    };
    const Encoding encodings[] = {
        {"utf-8", "", 65001, 1, false},
        {"utf-8 with mark", "\xEF\xBB\xBF", 1252, 1, false},
        {"utf-16le with mark", "\xFF\xFE", 65001, 2, false},
        {"utf-16be", "", 1201, 2, true},
    };
    const char16_t units[] = {u'a', u'b', u'\r', u'\n', 0, 0x00E9, 0x20AC, 0xD83D, 0xDE00, 0xDC80, 0x7F};
    std::mt19937 random(4711);
    TempDir dir;
    std::vector<int> widths;
    for (int want : {512, 256, 128, 0})
        if (UniMemFile::LimitVectorWidth(want) == want)
            widths.push_back(want);
    for (const Encoding& e : encodings)
        for (int width : widths)
        {
            SCOPED_TRACE(e.name + (" with vectors of " + std::to_string(width) + " bits"));
            UniMemFile::LimitVectorWidth(width);
            for (int round = 0; round < 60; ++round)
            {
                // Mostly plain characters, with runs long enough to fill whole windows.
                std::string bytes = e.mark;
                const int length = static_cast<int>(random() % 400);
                const bool dense = round % 2 == 0;
                for (int i = 0; i < length; ++i)
                {
                    const char16_t u =
                        random() % (dense ? 3 : 20) == 0 ? units[random() % std::size(units)] : u'x';
                    if (e.unitBytes == 1)
                        bytes += u < 0x80 ? std::string(1, static_cast<char>(u)) : std::string("\xC3\xA9");
                    else
                        bytes += e.bigEndian ? Be(std::u16string(1, u)) : Le(std::u16string(1, u));
                }
                if (e.unitBytes == 2 && round % 5 == 0)
                    bytes += 'z'; // an odd byte at the end
                const std::string path = dir / "r.txt";
                WriteFile(path, bytes);
                const Loaded expected = ReferenceRead(bytes, std::strlen(e.mark), e.unitBytes, e.bigEndian);

                UniMemFile copies;
                ASSERT_TRUE(copies.OpenRead(path));
                const Loaded byCopy = Load(copies, e.codePage);
                EXPECT_EQ(byCopy.lines, expected.lines) << round;
                ExpectSameStats(byCopy.stats, expected.stats);
                EXPECT_EQ(copies.GetPosition(), static_cast<std::int64_t>(bytes.size()));

                UniMemFile views;
                ASSERT_TRUE(views.OpenRead(path));
                if (!views.ReadBom())
                    views.SetCodePage(e.codePage);
                ASSERT_TRUE(views.KeepsText());
                std::vector<UniLineView> raw;
                std::string_view text, eol;
                ASSERT_TRUE(expected.lines.empty() || views.ReadLineView(text, eol));
                if (!expected.lines.empty())
                {
                    EXPECT_EQ(eol.data(), text.data() + text.size()) << "the line end follows the line";
                    raw.push_back({text.data(), static_cast<std::uint32_t>(text.size()),
                                   static_cast<std::uint32_t>(eol.size())});
                }
                UniLineView batch[5];
                while (true)
                {
                    const std::size_t want = 1 + random() % std::size(batch);
                    const std::size_t got = views.ReadLineViews(batch, want);
                    raw.insert(raw.end(), batch, batch + got);
                    if (got < want)
                        break;
                }
                ExpectSameStats(views.GetStats(), expected.stats);
                EXPECT_EQ(views.GetLineNumber(), copies.GetLineNumber());
                // The views are read only now, after the file has handed its memory over: they all stay,
                // and all lie in that memory.
                const UniTextMemory memory = views.TakeText();
                ASSERT_EQ(memory.data == nullptr, raw.empty());
                std::vector<Line> lines;
                for (const UniLineView& v : raw)
                {
                    EXPECT_TRUE(v.text >= memory.data &&
                                v.text + v.length + v.eolLength < memory.data + memory.size);
                    lines.push_back(
                        {std::string(v.text, v.length), std::string(v.text + v.length, v.eolLength)});
                }
                EXPECT_EQ(lines, expected.lines) << round;
                if (memory.release)
                    memory.release(memory.data, memory.size);
            }
        }
    UniMemFile::LimitVectorWidth(512);
}

// The memory handed over holds every line read, one after the other, and a NUL after the last; the
// file reads no further.
TEST(UniMemFileTest, TakenTextHoldsTheLinesAndEndsReading)
{
    struct Case
    {
        const char* name;
        std::string bytes;
        std::string text; // what the memory holds, up to its NUL
    };
    const Case cases[] = {
        {"utf-8", "ab\r\ncd\ne", "ab\r\ncd\ne"},
        {"utf-8 with mark", "\xEF\xBB\xBFx\ry", "\xEF\xBB\xBFx\ry"},
        {"utf-16le", "\xFF\xFE" + Le(u"\u00e9\r\nz"), "\xC3\xA9\r\nz"},
        {"utf-16be", "\xFE\xFF" + Be(u"a\nb"), "a\nb"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteFile(dir / "t.txt", c.bytes);
        UniMemFile file;
        ASSERT_TRUE(file.OpenRead(dir / "t.txt"));
        file.ReadBom();
        file.SetCodePage(65001);
        UniLineView lines[8];
        const std::size_t n = file.ReadLineViews(lines, 8);
        ASSERT_GT(n, 0u);
        const UniTextMemory memory = file.TakeText();
        ASSERT_NE(memory.data, nullptr);
        ASSERT_NE(memory.release, nullptr);
        const std::string_view all(memory.data);
        EXPECT_EQ(all, c.text);
        const char* last = lines[n - 1].text + lines[n - 1].length + lines[n - 1].eolLength;
        EXPECT_EQ(*last, '\0');
        EXPECT_TRUE(all.find(std::string_view(lines[0].text, lines[0].length)) != std::string_view::npos);
        std::string line;
        EXPECT_FALSE(file.ReadLine(line));
        EXPECT_EQ(file.ReadLineViews(lines, 8), 0u);
        memory.release(memory.data, memory.size);
    }
}

// A kernel file reports size 0 and can be far bigger than the room first taken for it: reading grows
// the room and keeps every byte in order.
TEST(UniMemFileTest, AFileBiggerThanItsReportedSizeIsReadWhole)
{
    // Mappings of alternating protection cannot merge, so each is an entry of its own in smaps.
    std::vector<void*> maps;
    for (int i = 0; i < 200; ++i)
    {
        void* p = mmap(nullptr, 4096, i % 2 ? PROT_READ : PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        ASSERT_NE(p, MAP_FAILED);
        maps.push_back(p);
    }
    UniMemFile file;
    ASSERT_TRUE(file.OpenRead("/proc/self/smaps"));
    for (void* p : maps)
        munmap(p, 4096);
    EXPECT_GT(file.GetContent().size(), 1u << 17);
    EXPECT_EQ(file.GetFileSize(), static_cast<std::int64_t>(file.GetContent().size()));
    file.ReadBom();
    const std::regex entry("[0-9a-f]+-[0-9a-f]+ .*|[A-Za-z_]+:.*");
    std::string line, eol, last;
    int lines = 0;
    while (file.ReadLine(line, eol))
    {
        ASSERT_TRUE(std::regex_match(line, entry)) << "line " << lines << ": " << line;
        ASSERT_EQ(eol, "\n");
        last = line;
        ++lines;
    }
    EXPECT_GT(lines, 2000);
    EXPECT_EQ(last.rfind("VmFlags:", 0), 0u) << last;
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
