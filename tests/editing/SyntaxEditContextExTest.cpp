#include "editing/SyntaxEditContextEx.h"

#include "support/TestSupport.h"
#include "textcompare/TextStats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace
{

std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str()))
    {
        while (dirent* e = readdir(d))
            if (std::string_view(e->d_name) != "." && std::string_view(e->d_name) != "..")
                names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

constexpr int kMixed = CSyntaxEditContextEx::kLoadedMixedEols;

int Load(CSyntaxEditContextEx& b, const std::string& path, int codePage = -1)
{
    bool lossy = false;
    std::string error;
    return b.LoadFromFile(path, 0, codePage, lossy, error);
}

TEST(SyntaxEditContextExTest, LoadAndSaveGiveBackTheSameBytes)
{
    struct Case
    {
        const char* name;
        std::string bytes;
        int codePage;
        int result;
        int kind;
        int style;
        int lines;
    };
    const Case cases[] = {
        {"lf", "one\ntwo\n", -1, 1, UNICODE_NONE, EOL_LF, 3},
        {"crlf", "one\r\ntwo\r\nthree", -1, 1, UNICODE_NONE, EOL_CRLF, 3},
        {"cr", "a\rb\r", -1, 1, UNICODE_NONE, EOL_CR, 3},
        {"no final line end", "last line has none", -1, 1, UNICODE_NONE, EOL_CRLF, 1},
        {"empty", "", -1, 1, UNICODE_NONE, EOL_CRLF, 1},
        {"only line ends", "\n\n\n", -1, 1, UNICODE_NONE, EOL_LF, 4},
        {"utf-8 with mark", "\xEF\xBB\xBFgr\xC3\xBC\xC3\x9F\n", -1, 1, UNICODE_UTF8, EOL_LF, 2},
        {"only a mark", "\xEF\xBB\xBF", -1, 1, UNICODE_UTF8, EOL_CRLF, 1},
        {"utf-16le",
         std::string("\xFF\xFE"
                     "a\0\r\0\n\0\xAC\x20",
                     10),
         -1, 1, UNICODE_UCS2_LE, EOL_CRLF, 2},
        {"utf-16be", std::string("\xFE\xFF\0a\0\n\0b", 8), -1, 1, UNICODE_UCS2_BE, EOL_LF, 2},
        {"bytes that are not utf-8", "ok \xFF\xFE bad\n", -1, 1, UNICODE_NONE, EOL_LF, 2},
        {"code page 1252", "caf\xE9\r\n", 1252, 1, UNICODE_NONE, EOL_CRLF, 2},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string in = dir / "in.txt", out = dir / "out.txt";
        WriteFile(in, c.bytes);
        CSyntaxEditContextEx b;
        ASSERT_EQ(Load(b, in, c.codePage), c.result);
        EXPECT_EQ(b.GetUnicodeKind(), c.kind);
        EXPECT_EQ(b.GetEolStyle(), c.style);
        EXPECT_EQ(b.GetLineCount(), c.lines);
        EXPECT_FALSE(b.IsModified());
        EXPECT_FALSE(b.CanUndo());
        std::string error;
        ASSERT_EQ(b.SaveToFile(out, false, error), 0) << error;
        EXPECT_EQ(ReadFile(out), c.bytes);
        EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"in.txt", "out.txt"}))
            << "no temporary left";
    }
}

TEST(SyntaxEditContextExTest, InternalTextIsUtf8WhateverTheFile)
{
    TempDir dir;
    WriteFile(dir / "a.txt", std::string("\xFF\xFE\xFC\0\n\0", 6));
    WriteFile(dir / "b.txt", "\xFC\n");
    CSyntaxEditContextEx a, b;
    ASSERT_EQ(Load(a, dir / "a.txt"), 1);
    ASSERT_EQ(Load(b, dir / "b.txt", 1252), 1);
    EXPECT_EQ(a.GetLineText(0), "\xC3\xBC");
    EXPECT_EQ(b.GetLineText(0), "\xC3\xBC");
    EXPECT_EQ(b.GetCodePage(), 1252);
}

TEST(SyntaxEditContextExTest, MixedLineEndsAreReportedAndKeptPerLine)
{
    TempDir dir;
    WriteFile(dir / "m.txt", "a\r\nb\rc\nd");
    CSyntaxEditContextEx b;
    ASSERT_EQ(Load(b, dir / "m.txt"), 2);
    ASSERT_EQ(b.GetLineCount(), 4);
    EXPECT_EQ(b.GetLineEol(0), "\r\n");
    EXPECT_EQ(b.GetLineEol(1), "\r");
    EXPECT_EQ(b.GetLineEol(2), "\n");
    EXPECT_EQ(b.GetLineEol(3), "");
    EXPECT_EQ(b.GetEolStyle(), EOL_CRLF);
    std::string error;
    ASSERT_EQ(b.SaveToFile(dir / "lf.txt", false, error, EOL_LF), 0);
    EXPECT_EQ(ReadFile(dir / "lf.txt"), "a\nb\nc\nd");
}

TEST(SyntaxEditContextExTest, ANulByteMakesItABinaryFileAndAnEmptyBuffer)
{
    TempDir dir;
    WriteFile(dir / "bin", std::string("text\nmore\0bytes\n", 16));
    CSyntaxEditContextEx b;
    EXPECT_EQ(Load(b, dir / "bin"), 3);
    EXPECT_EQ(b.GetLineCount(), 1);
    EXPECT_EQ(b.GetLineText(0), "");
    EXPECT_FALSE(b.IsModified());
}

TEST(SyntaxEditContextExTest, AMissingFileFailsWithTheSystemsMessage)
{
    TempDir dir;
    CSyntaxEditContextEx b;
    bool lossy = true;
    std::string error;
    EXPECT_EQ(b.LoadFromFile(dir / "none.txt", 0, -1, lossy, error), 0);
    EXPECT_EQ(error, std::strerror(ENOENT));
    EXPECT_FALSE(lossy);
    EXPECT_EQ(b.GetLineCount(), 1);
    EXPECT_TRUE(b.IsInitialized());
}

TEST(SyntaxEditContextExTest, LoadingAFolderFailsCleanly)
{
    TempDir dir;
    CSyntaxEditContextEx b;
    bool lossy = false;
    std::string error;
    EXPECT_EQ(b.LoadFromFile(dir.Path(), 0, -1, lossy, error), 0);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(b.GetLineCount(), 1);
}

TEST(SyntaxEditContextExTest, SavingMovesTheSavePointAndUndoFindsItAgain)
{
    TempDir dir;
    const std::string path = dir / "f.txt";
    WriteFile(path, "abc\n");
    CSyntaxEditContextEx b;
    ASSERT_EQ(Load(b, path), 1);
    int el = 0, ec = 0;
    CTextPosition p;
    ASSERT_TRUE(b.InsertText(nullptr, 0, 3, "d", el, ec));
    std::string error;
    ASSERT_EQ(b.SaveToFile(path, false, error), 0);
    EXPECT_FALSE(b.IsModified());
    EXPECT_EQ(ReadFile(path), "abcd\n");
    ASSERT_TRUE(b.Undo(nullptr, p));
    EXPECT_TRUE(b.IsModified());
    EXPECT_EQ(b.GetLineText(0), "abc");
    ASSERT_TRUE(b.Redo(nullptr, p));
    EXPECT_FALSE(b.IsModified()) << "back at the saved text";
    // Saving without clearing keeps the flag.
    ASSERT_TRUE(b.InsertText(nullptr, 0, 0, "x", el, ec));
    ASSERT_EQ(b.SaveToFile(dir / "copy.txt", false, error, 0, false), 0);
    EXPECT_TRUE(b.IsModified());
    EXPECT_EQ(ReadFile(dir / "copy.txt"), "xabcd\n");
}

TEST(SyntaxEditContextExTest, SavingARevisionTrackingBufferRedrawsTheViews)
{
    struct CView : ISyntaxTextView
    {
        void OnBufferUpdate(ISyntaxTextView*, const CUpdateContext*, unsigned flags, int) override
        {
            m_nLast = flags;
        }
        unsigned m_nLast = 0;
    } view;
    TempDir dir;
    CSyntaxEditContextEx b;
    b.InitNew(3);
    b.SetTrackRevisions(true);
    b.AttachView(&view);
    int el = 0, ec = 0;
    ASSERT_TRUE(b.InsertText(nullptr, 0, 0, "one\ntwo", el, ec));
    std::string error;
    ASSERT_EQ(b.SaveToFile(dir / "new.txt", false, error), 0);
    EXPECT_EQ(view.m_nLast, 0x200u);
    EXPECT_EQ(b.GetRevisionAtSave(), b.GetCurrentRevision());
    EXPECT_EQ(ReadFile(dir / "new.txt"), "one\ntwo");
    b.DetachView(&view);
}

TEST(SyntaxEditContextExTest, SavingThroughALinkKeepsTheLinkAndTheMode)
{
    TempDir dir;
    const std::string real = dir / "real.txt", link = dir / "link.txt";
    WriteFile(real, "old\n");
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    ASSERT_EQ(symlink("real.txt", link.c_str()), 0);
    CSyntaxEditContextEx b;
    ASSERT_EQ(Load(b, link), 1);
    int el = 0, ec = 0;
    ASSERT_TRUE(b.InsertText(nullptr, 0, 0, "new ", el, ec));
    std::string error;
    ASSERT_EQ(b.SaveToFile(link, false, error), 0) << error;
    struct stat st
    {
    };
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFile(real), "new old\n");
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"link.txt", "real.txt"}));
}

TEST(SyntaxEditContextExTest, ANewFileGetsTheUsualMode)
{
    TempDir dir;
    const mode_t old = umask(022);
    CSyntaxEditContextEx b;
    b.InitNew(1);
    std::string error;
    ASSERT_EQ(b.SaveToFile(dir / "n.txt", false, error), 0);
    umask(old);
    struct stat st
    {
    };
    ASSERT_EQ(stat((dir / "n.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    EXPECT_EQ(ReadFile(dir / "n.txt"), "");
}

TEST(SyntaxEditContextExTest, SaveErrorsLeaveTheTargetAsItWas)
{
    TempDir dir;
    const std::string path = dir / "keep.txt";
    WriteFile(path, "original\n");
    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0755), 0);
    CSyntaxEditContextEx b;
    ASSERT_EQ(Load(b, path), 1);
    int el = 0, ec = 0;
    ASSERT_TRUE(b.InsertText(nullptr, 0, 0, "changed ", el, ec));
    std::string error;
    EXPECT_EQ(b.SaveToFile("", false, error), 1);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(b.SaveToFile(dir / "folder", false, error), 1) << "a folder is no file";
    EXPECT_EQ(error, std::strerror(EISDIR));
    EXPECT_EQ(b.SaveToFile(dir / "missing/x.txt", false, error), 1);
    EXPECT_EQ(error, std::strerror(ENOENT));
    EXPECT_EQ(b.SaveToFile(path + "/under-a-file", false, error), 1);
    ASSERT_EQ(symlink("loop", (dir / "loop").c_str()), 0);
    EXPECT_EQ(b.SaveToFile(dir / "loop", false, error), 1);
    EXPECT_EQ(error, std::strerror(ELOOP));
    EXPECT_TRUE(b.IsModified());
    EXPECT_EQ(ReadFile(path), "original\n");
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"folder", "keep.txt", "loop"}));
}

// Runs `body` in a child process, as an ordinary user when the tests run as root (root writes
// into read-only folders); the child's exit code is the result.
template <class F> int RunAsUser(F body)
{
    const pid_t child = fork();
    if (child == 0)
    {
        if (testsupport::RunningAsRoot() && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(99);
        _exit(body());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST(SyntaxEditContextExTest, AReadOnlyFolderOrFileIsNotWrittenOver)
{
    TempDir dir;
    const std::string folder = dir / "ro", path = folder + "/f.txt";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    WriteFile(path, "original\n");
    CSyntaxEditContextEx b;
    ASSERT_EQ(Load(b, path), 1);
    int el = 0, ec = 0;
    ASSERT_TRUE(b.InsertText(nullptr, 0, 0, "x", el, ec));
    const auto saveFails = [&]
    {
        std::string error;
        return b.SaveToFile(path, false, error) == 1 && error == std::strerror(EACCES) && b.IsModified() ? 0
                                                                                                         : 1;
    };
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    EXPECT_EQ(RunAsUser(saveFails), 0) << "read-only folder";
    // A folder anyone may write to, but a file that is read-only to this user: renaming over it
    // would replace it all the same.
    ASSERT_EQ(chmod(folder.c_str(), 0777), 0);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_EQ(RunAsUser(saveFails), 0) << "read-only file";
    EXPECT_EQ(ReadFile(path), "original\n");
    EXPECT_EQ(FolderNames(folder), (std::vector<std::string>{"f.txt"}));
}

TEST(SyntaxEditContextExTest, AFullDiskFailsTheSaveAndKeepsTheOriginal)
{
    TempDir dir;
    const std::string path = dir / "big.txt";
    const std::string original(64 << 10, 'o');
    WriteFile(path, original);
    CSyntaxEditContextEx b;
    ASSERT_EQ(Load(b, path), 1);
    int el = 0, ec = 0;
    ASSERT_TRUE(b.InsertText(nullptr, 0, 0, std::string(200 << 10, 'n'), el, ec));

    // The file size limit stands in for a full disk: writes past it fail with EFBIG.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16 << 10, 16 << 10};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        const int result = b.SaveToFile(path, false, error);
        _exit(result == 1 && error == std::strerror(EFBIG) && b.IsModified() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save must fail with the size error";
    EXPECT_EQ(ReadFile(path), original);
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"big.txt"}));
}

TEST(SyntaxEditContextExTest, ATemporarySaveWritesStraightToThePath)
{
    TempDir dir;
    CSyntaxEditContextEx b;
    b.InitNew(2);
    int el = 0, ec = 0;
    ASSERT_TRUE(b.InsertText(nullptr, 0, 0, "a\nb", el, ec));
    std::string error;
    ASSERT_EQ(b.SaveToFile(dir / "t.tmp", true, error), 0);
    EXPECT_EQ(ReadFile(dir / "t.tmp"), "a\rb");
    EXPECT_FALSE(b.IsModified());
}

TEST(SyntaxEditContextExTest, TheParserIsChosenByTheExtension)
{
    struct CParser : ISyntaxLineParser
    {
        std::uint32_t ParseLine(std::uint32_t cookie, std::string_view line,
                                std::vector<SSyntaxBlock>* blocks) const override
        {
            if (blocks)
                blocks->push_back({0, 11});
            return cookie + static_cast<std::uint32_t>(line.size());
        }
        int GetSourceEncoding() const override { return 1252; }
    } parser;
    TempDir dir;
    WriteFile(dir / "a.cpp", "ab\ncde\nf");
    CSyntaxEditContextEx b;
    std::string asked;
    b.SetParserChooser(
        [&](std::string_view ext) -> const ISyntaxLineParser*
        {
            asked = ext;
            return ext == "cpp" ? &parser : nullptr;
        });
    ASSERT_EQ(Load(b, dir / "a.cpp"), 1);
    EXPECT_EQ(asked, "cpp");
    EXPECT_EQ(b.GetParser(), &parser);
    EXPECT_EQ(b.GetSourceEncoding(), 1252);
    std::vector<SSyntaxBlock> blocks;
    EXPECT_EQ(b.ParseLineAttributes(2, blocks), 6u) << "states of the lines above carried down";
    EXPECT_EQ(blocks.size(), 1u);
    int el = 0, ec = 0;
    ASSERT_TRUE(b.InsertText(nullptr, 0, 0, "xyz", el, ec));
    EXPECT_EQ(b.ParseLineAttributes(2, blocks), 9u) << "a change above makes the states unknown";
}

// The whole text with each line's own line end.
std::string AllChars(const CSyntaxEditContextEx& b)
{
    std::string out;
    for (int i = 0; i < b.GetLineCount(); ++i)
        out += b.LineAt(i).Chars();
    return out;
}

std::string Utf16Le(std::string_view ascii)
{
    std::string out = "\xFF\xFE";
    for (char c : ascii)
        out += {c, '\0'};
    return out;
}

// Loaded lines stay in the file's own text, one right after the other: edits in place (a line end
// made shorter or swapped for one as long, characters deleted within a line, a line cut) must not
// touch the next line. The same random edits run on a buffer loaded from a file and on one whose
// every line has a block of its own, and must give the same text at every step and after undoing.
TEST(SyntaxEditContextExTest, EditsOfLinesLoadedInPlaceLeaveTheirNeighboursAlone)
{
    const std::string text = "first\r\nsecond\nthird\rfourth\r\n\nsixth\rlast";
    const std::pair<const char*, std::string> files[] = {{"utf-8", text}, {"utf-16", Utf16Le(text)}};
    const char* pieces[] = {"a", "\r\n", "\n", "\r", "x\ny", "", "long piece of text"};
    const char* eols[] = {"\r\n", "\r", "\n"};
    for (const auto& [name, bytes] : files)
    {
        SCOPED_TRACE(name);
        TempDir dir;
        WriteFile(dir / "t.txt", bytes);
        for (unsigned seed = 0; seed < 40; ++seed)
        {
            CSyntaxEditContextEx loaded, owned;
            ASSERT_EQ(Load(loaded, dir / "t.txt"), kMixed);
            owned.InitNew(1);
            int el = 0, ec = 0;
            ASSERT_TRUE(owned.InsertText(nullptr, 0, 0, text, el, ec, 0, false));
            ASSERT_EQ(AllChars(loaded), text);
            ASSERT_EQ(AllChars(owned), text);
            std::mt19937 random(seed);
            for (int step = 0; step < 60; ++step)
            {
                const int line = static_cast<int>(random() % loaded.GetLineCount());
                const int column = static_cast<int>(random() % (loaded.GetLineLength(line) + 1));
                switch (random() % 4)
                {
                case 0:
                {
                    const char* piece = pieces[random() % std::size(pieces)];
                    ASSERT_EQ(loaded.InsertText(nullptr, line, column, piece, el, ec),
                              owned.InsertText(nullptr, line, column, piece, el, ec));
                    break;
                }
                case 1:
                {
                    const int endLine =
                        std::min(loaded.GetLineCount() - 1, line + static_cast<int>(random() % 3));
                    const int endColumn = static_cast<int>(random() % (loaded.GetLineLength(endLine) + 1));
                    if (endLine == line && endColumn < column)
                        break;
                    ASSERT_EQ(loaded.DeleteText(nullptr, line, column, endLine, endColumn),
                              owned.DeleteText(nullptr, line, column, endLine, endColumn));
                    break;
                }
                case 2:
                {
                    if (line + 1 == loaded.GetLineCount())
                        break;
                    const char* eol = eols[random() % std::size(eols)];
                    ASSERT_EQ(loaded.SetLineEol(line, eol), owned.SetLineEol(line, eol));
                    break;
                }
                default:
                {
                    CTextPosition at;
                    ASSERT_EQ(loaded.Undo(nullptr, at), owned.Undo(nullptr, at));
                    break;
                }
                }
                ASSERT_EQ(AllChars(loaded), AllChars(owned)) << "seed " << seed << " step " << step;
            }
            CTextPosition at;
            while (loaded.CanUndo() && owned.CanUndo())
                ASSERT_EQ(loaded.Undo(nullptr, at), owned.Undo(nullptr, at));
            EXPECT_EQ(AllChars(loaded), AllChars(owned)) << "seed " << seed;
        }
    }
}

// Big files take the other paths: mapped memory, many batches of lines, a line array that grows.
TEST(SyntaxEditContextExTest, ABigFileLoadsAndSavesByteForByte)
{
    const auto makeText = [](std::string_view eol, bool nonAscii, std::size_t size, int& lines)
    {
        std::mt19937 random(7);
        std::string text;
        lines = 1;
        while (text.size() < size)
        {
            text.append(random() % 120, static_cast<char>('a' + random() % 26));
            text += nonAscii && random() % 50 == 0 ? "\xC3\xA9" : "";
            text += eol;
            ++lines;
        }
        return text + "no line end";
    };
    int utf8Lines = 0, utf16Lines = 0;
    const std::string utf8 = makeText("\n", true, 5u << 20, utf8Lines);
    const std::string utf16 = makeText("\r\n", false, 3u << 20, utf16Lines);
    const struct
    {
        const char* name;
        std::string text;
        std::string bytes;
        int lines;
    } files[] = {{"utf-8", utf8, utf8, utf8Lines}, {"utf-16", utf16, Utf16Le(utf16), utf16Lines}};
    for (const auto& f : files)
    {
        SCOPED_TRACE(f.name);
        TempDir dir;
        WriteFile(dir / "big.txt", f.bytes);
        CSyntaxEditContextEx b;
        ASSERT_EQ(Load(b, dir / "big.txt"), CSyntaxEditContextEx::kLoaded);
        EXPECT_EQ(b.GetLineCount(), f.lines);
        EXPECT_TRUE(AllChars(b) == f.text);
        std::string error;
        ASSERT_EQ(b.SaveToFile(dir / "out.txt", true, error), 0) << error;
        EXPECT_TRUE(ReadFile(dir / "out.txt") == f.bytes);
    }
}

} // namespace
