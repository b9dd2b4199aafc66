#include "textcompare/UniStdioFile.h"

#include "support/TestSupport.h"
#include "textcompare/UniMemFile.h"
#include "textcompare/UnicodeConversion.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;
using namespace std::string_literals;

namespace {

// Loads a file line by line and saves it again in the encoding it was read in, as the editors do.
std::string RoundTrip(const TempDir& dir, const std::string& bytes, int codePage)
{
    WriteFile(dir / "in.txt", bytes);
    UniMemFile in;
    EXPECT_TRUE(in.OpenRead(dir / "in.txt"));
    if (!in.ReadBom())
        in.SetCodePage(codePage);
    std::string text;
    std::string line;
    std::string eol;
    while (in.ReadLine(line, eol))
        text += line + eol;

    UniStdioFile out;
    EXPECT_TRUE(out.OpenCreate(dir / "out.txt")) << out.GetLastError().GetMessage();
    out.SetUnicodeKind(in.GetUnicodeKind());
    out.SetCodePage(in.GetCodePage());
    EXPECT_EQ(out.WriteBom(), static_cast<int>(in.GetTextStart()));
    EXPECT_TRUE(out.WriteText(text)) << out.GetLastError().GetMessage();
    EXPECT_TRUE(out.Close()) << out.GetLastError().GetMessage();
    return ReadFile(dir / "out.txt");
}

std::string Le(std::u16string_view units)
{
    std::string out;
    for (char16_t u : units)
        out += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    return out;
}

struct RoundTripCase
{
    const char* name;
    std::string bytes;
    int codePage;
};

void PrintTo(const RoundTripCase& c, std::ostream* os)
{
    *os << c.name;
}

class RoundTripTest : public ::testing::TestWithParam<RoundTripCase>
{
};

TEST_P(RoundTripTest, SavedFileIsByteIdentical)
{
    TempDir dir;
    EXPECT_EQ(RoundTrip(dir, GetParam().bytes, GetParam().codePage), GetParam().bytes);
}

// clang-format off
const RoundTripCase kRoundTrips[] = {
    {"Empty", "", 65001},
    {"LoneMark", "\xEF\xBB\xBF", 65001},
    {"Utf8MarkMixedEnds", "\xEF\xBB\xBF" "a\r\nb\rc\nd\xC3\xA9", 65001},
    {"Utf8InvalidKept", "\xC0\xAF\x80\xED\xA0\x80\xFF\xE2\x82\r\n\xF4\x90\x80\x80", 65001},
    {"Utf16LeMark", "\xFF\xFE" + Le(u"h\u00e9\r\n\U0001F600\r\n"), 65001},
    {"Utf16BeMark", "\xFE\xFF\x00" "a\x00\r\xD8\x3D\xDE\x00\x00\n"s, 65001},
    // Lone surrogates, and escape units whose bytes would form valid UTF-8 next to each other.
    {"Utf16LoneSurrogates", "\xFF\xFE" + Le(u"a\xD800" u"b\xDC00\xDBFF\r\n\xDCC3\xDCA9\xDCED\xDCA0\xDC80\xDC80z"), 65001},
    {"Utf16WithoutMark", Le(u"x\u00e9\r\n"), 1200},
    {"Windows1252", "caf\xE9 \x80\x9F\r\nline\n", 1252},
    {"ShiftJis", "\x93\xFA\x96\x7B\x8C\xEA\r\n\x83\x5C\x83\x74\x83\x67\n", 932},
    {"Koi8r", "\xF0\xD2\xC9\xD7\xC5\xD4\r\xED\xC9\xD2", 20866},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, RoundTripTest, ::testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UniStdioFileTest, WritesMarkAndConvertsToTheFileEncoding)
{
    struct Case
    {
        int kind;
        int codePage;
        std::string expected;
    };
    // clang-format off
    const Case cases[] = {
        {UNICODE_NONE, 65001, "\xC3\xA9\n"},
        {UNICODE_UTF8, 65001, "\xEF\xBB\xBF\xC3\xA9\n"},
        {UNICODE_UCS2_LE, 65001, "\xFF\xFE\xE9\x00\n\x00"s},
        {UNICODE_UCS2_BE, 65001, "\xFE\xFF\x00\xE9\x00\n"s},
        {UNICODE_NONE, 1252, "\xE9\n"},
        {UNICODE_NONE, 20866, "?\n"}, // KOI8-R has no e-acute: replaced and counted
    };
    // clang-format on
    for (const Case& c : cases)
    {
        TempDir dir;
        UniStdioFile file;
        ASSERT_TRUE(file.OpenCreate(dir / "o.txt"));
        file.SetUnicodeKind(c.kind);
        file.SetCodePage(c.codePage);
        EXPECT_GE(file.WriteBom(), 0);
        EXPECT_TRUE(file.WriteText("\xC3\xA9\n"));
        EXPECT_EQ(file.GetStats().lossCount, c.expected[0] == '?' ? 1 : 0);
        ASSERT_TRUE(file.Close());
        EXPECT_EQ(ReadFile(dir / "o.txt"), c.expected) << c.kind << " " << c.codePage;
    }
}

TEST(UniStdioFileTest, OpenCreateUtf8SetsKindAndEmptyPathTouchesNothing)
{
    TempDir dir;
    UniStdioFile file;
    ASSERT_TRUE(file.OpenCreateUtf8(dir / "u.txt"));
    EXPECT_EQ(file.GetUnicodeKind(), UNICODE_UTF8);
    EXPECT_EQ(file.WriteBom(), 3);
    EXPECT_EQ(file.GetBomLength(), 3);
    EXPECT_TRUE(file.Close());

    EXPECT_FALSE(file.OpenCreate(""));
    EXPECT_FALSE(file.GetLastError().description.empty());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.WriteText("x"));
}

TEST(UniStdioFileTest, ReadOnlyFolderIsAClearError)
{
    if (testsupport::RunningAsRoot())
        GTEST_SKIP() << "root writes into read-only folders; the size-limit test covers failing writes";
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "ro").c_str(), 0500), 0);
    UniStdioFile file;
    EXPECT_FALSE(file.OpenCreate(dir / "ro/x.txt"));
    EXPECT_EQ(file.GetLastError().apiName, "fopen");
    EXPECT_EQ(file.GetLastError().systemError, EACCES);
    chmod((dir / "ro").c_str(), 0700);
}

// A full disk, played by a file size limit: the failure must surface at the latest when the file
// is closed, never be reported as a successful save.
TEST(UniStdioFileTest, FullDiskIsReportedNotSwallowed)
{
    TempDir dir;
    const std::string path = dir / "full.txt";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {1000, 1000};
        setrlimit(RLIMIT_FSIZE, &limit);
        UniStdioFile file;
        if (!file.OpenCreate(path))
            _exit(10);
        file.SetUnicodeKind(UNICODE_UCS2_LE);
        bool ok = file.WriteBom() == 2;
        for (int i = 0; i < 100 && ok; ++i)
            ok = file.WriteText("0123456789 line\r\n");
        const bool closed = file.Close();
        if (ok && closed)
            _exit(0); // reported success: the fault
        const UniFileError& error = file.GetLastError();
        _exit(error.systemError == EFBIG && !error.apiName.empty() ? 1 : 11);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_LE(st.st_size, 1000);
}

TEST(UniStdioFileTest, ReadingGoesThroughUniMemFile)
{
    TempDir dir;
    WriteFile(dir / "r.txt", "\xFE\xFF\x00x"s);
    UniStdioFile file;
    ASSERT_TRUE(file.OpenRead(dir / "r.txt"));
    EXPECT_TRUE(file.ReadBom());
    EXPECT_EQ(file.GetUnicodeKind(), UNICODE_UCS2_BE);
    EXPECT_EQ(file.GetPosition(), 2);
    std::string line = "x";
    EXPECT_FALSE(file.ReadLine(line));
    EXPECT_EQ(line, "");
    EXPECT_TRUE(file.Close());
    EXPECT_TRUE(file.FetchStatusIfClosed());
    EXPECT_EQ(file.GetFileSize(), 4);
}

} // namespace
