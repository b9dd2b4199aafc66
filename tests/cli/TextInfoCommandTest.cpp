#include "support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::ProgramRun;
using testsupport::RunProgram;
using testsupport::TempDir;
using testsupport::WriteFile;
using namespace std::string_literals;

namespace {

// Settings come from a folder of the test's own, never from the user's.
ProgramRun TextInfo(std::vector<std::string> args, const std::string& registryDir = "/nonexistent/registry")
{
    args.insert(args.begin(), {QUORVANE_CLI_PATH, "textinfo"});
    return RunProgram(args, {"QUORVANE_REGISTRY_DIR=" + registryDir});
}

std::string Json(const std::string& path, int kind, int codePage, const char* eol, bool mixed, int zeros,
                 int first, int last, int lines, int losses)
{
    return "{\"path\":\"" + path + "\",\"unicodeKind\":" + std::to_string(kind) +
           ",\"codePage\":" + std::to_string(codePage) + ",\"eol\":\"" + eol +
           "\",\"mixedEols\":" + (mixed ? "true" : "false") + ",\"zeroCount\":" + std::to_string(zeros) +
           ",\"firstZeroOffset\":" + std::to_string(first) + ",\"lastZeroOffset\":" + std::to_string(last) +
           ",\"lines\":" + std::to_string(lines) + ",\"losses\":" + std::to_string(losses) + "}\n";
}

struct Case
{
    const char* name;
    std::string bytes;
    std::vector<std::string> options;
    int kind, codePage;
    const char* eol;
    bool mixed;
    int zeros, first, last, lines, losses;
};

// clang-format off
const Case kCases[] = {
    {"empty", "", {}, 0, 65001, "CRLF", false, 0, -1, -1, 0, 0},
    {"lone-mark", "\xEF\xBB\xBF", {}, 3, 65001, "CRLF", false, 0, -1, -1, 0, 0},
    {"utf8-lf", "\xEF\xBB\xBF" "a\nb\n\xC3\xA9", {}, 3, 65001, "LF", false, 0, -1, -1, 3, 0},
    {"utf8-plain-mixed", "a\r\nb\rc\nd", {}, 0, 65001, "CRLF", true, 0, -1, -1, 4, 0},
    {"three-cr-two-crlf", "1\r2\r3\r4\r\n5\r\n", {}, 0, 65001, "CR", true, 0, -1, -1, 5, 0},
    {"utf16le-crlf", "\xFF\xFE" "a\0\r\0\n\0b\0\r\0\n\0"s, {}, 1, 65001, "CRLF", false, 0, -1, -1, 2, 0},
    {"utf16be-cr", "\xFE\xFF\0a\0\r\0b"s, {}, 2, 65001, "CR", false, 0, -1, -1, 2, 0},
    {"utf16-odd", "\xFF\xFE" "a\0\n\0b"s, {}, 1, 65001, "LF", false, 0, -1, -1, 2, 1},
    {"utf16le-no-mark", "a\0\n\0"s, {"--codepage", "1200"}, 0, 1200, "LF", false, 0, -1, -1, 1, 0},
    {"nuls", "x\0y\0\nz"s, {}, 0, 65001, "LF", false, 2, 1, 3, 2, 0},
    {"cp1252", "caf\xE9\r\n\x81\r\n", {"--codepage", "1252"}, 0, 1252, "CRLF", false, 0, -1, -1, 2, 1},
    {"koi8r", "\xF0\xD2\xC9\n", {"--codepage", "20866"}, 0, 20866, "LF", false, 0, -1, -1, 1, 0},
    {"shift-jis", "\x93\xFA\r\n\x96\x7B\n", {"--codepage", "932"}, 0, 932, "CRLF", true, 0, -1, -1, 2, 0},
};
// clang-format on

TEST(TextInfoCommandTest, JsonReportsEachFile)
{
    for (const Case& c : kCases)
    {
        TempDir dir;
        const std::string path = dir / c.name;
        WriteFile(path, c.bytes);
        std::vector<std::string> args = {"--json"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(path);
        const ProgramRun run = TextInfo(args);
        EXPECT_EQ(run.m_nExitCode, 0) << c.name << ": " << run.m_strErr;
        EXPECT_EQ(run.m_strOut,
                  Json(path, c.kind, c.codePage, c.eol, c.mixed, c.zeros, c.first, c.last, c.lines, c.losses))
            << c.name;
    }
}

TEST(TextInfoCommandTest, PlainLinesAndAnUnreadableFileAmongOthers)
{
    TempDir dir;
    WriteFile(dir / "a.txt", "a\r\nb\n");
    WriteFile(dir / "n.txt", "\xFF\xFE"
                             "a\0\0\0"s);
    const ProgramRun run = TextInfo({dir / "a.txt", dir / "missing.txt", dir / "n.txt"});
    EXPECT_EQ(run.m_nExitCode, 2);
    EXPECT_EQ(run.m_strOut, "cp65001\tCRLF\tmixed\tNUL 0\t2 lines\t0 losses\t" + (dir / "a.txt") + "\n" +
                                "UNI16_LE\tCRLF\t-\tNUL 1 (4..4)\t1 lines\t0 losses\t" + (dir / "n.txt") +
                                "\n");
    EXPECT_EQ(run.m_strErr, "quorvane-cli: " + (dir / "missing.txt") + ": No such file or directory\n");

    const ProgramRun folder = TextInfo({"--json", dir.Path()});
    EXPECT_EQ(folder.m_nExitCode, 2);
    EXPECT_EQ(folder.m_strOut, "");
    EXPECT_EQ(folder.m_strErr, "quorvane-cli: " + dir.Path() + ": Is a directory\n");
}

TEST(TextInfoCommandTest, FilesWithoutAMarkTakeTheDefaultCodePageSetting)
{
    TempDir dir;
    WriteFile(dir / "HKEY_CURRENT_USER.reg",
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Melkwen\\Quorvane\\Components\\"
              "TextEditor\\Settings]\r\n\"DefaultCodePage\"=dword:000004e4\r\n");
    WriteFile(dir / "a.txt", "\x81\n");
    const ProgramRun run = TextInfo({"--json", dir / "a.txt"}, dir.Path());
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strErr;
    EXPECT_EQ(run.m_strOut, Json(dir / "a.txt", 0, 1252, "LF", false, 0, -1, -1, 1, 1));
    const ProgramRun given = TextInfo({"--json", "--codepage", "65001", dir / "a.txt"}, dir.Path());
    EXPECT_EQ(given.m_strOut, Json(dir / "a.txt", 0, 65001, "LF", false, 0, -1, -1, 1, 0));
}

TEST(TextInfoCommandTest, NonUtf8PathGetsItsBytes)
{
    TempDir dir;
    const std::string path = dir / "caf\xE9.txt";
    WriteFile(path, "x\n");
    const ProgramRun run = TextInfo({"--json", path});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strErr;
    EXPECT_NE(run.m_strOut.find("\"path\":\"" + dir.Path() + "/caf\xEF\xBF\xBD.txt\""), std::string::npos)
        << run.m_strOut;
    EXPECT_NE(run.m_strOut.find("\"pathBytes\":\""), std::string::npos) << run.m_strOut;
    EXPECT_NE(run.m_strOut.find("636166e92e747874\""), std::string::npos) << run.m_strOut;
}

TEST(TextInfoCommandTest, BadArguments)
{
    struct Bad
    {
        std::vector<std::string> args;
        std::string err;
    };
    // clang-format off
    const Bad cases[] = {
        {{}, "quorvane-cli: textinfo: no file given (usage: quorvane-cli textinfo [--json] [--codepage N] FILE...)\n"},
        {{"--bogus", "x"}, "quorvane-cli: --bogus: unknown option of textinfo (usage: quorvane-cli textinfo [--json] "
                           "[--codepage N] FILE...)\n"},
        {{"--codepage", "708", "x"}, "quorvane-cli: 708: not a code page that can be converted\n"},
        {{"--codepage", "12abc", "x"}, "quorvane-cli: 12abc: not a code page that can be converted\n"},
        {{"--codepage"}, "quorvane-cli: --codepage: not a code page that can be converted\n"},
    };
    // clang-format on
    for (const Bad& c : cases)
    {
        const ProgramRun run = TextInfo(c.args);
        EXPECT_EQ(run.m_nExitCode, 2);
        EXPECT_EQ(run.m_strErr, c.err);
        EXPECT_EQ(run.m_strOut, "");
    }
}

} // namespace
