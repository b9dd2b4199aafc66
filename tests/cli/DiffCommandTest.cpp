#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

using testsupport::ProgramRun;
using testsupport::RunProgram;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

ProgramRun Diff(std::vector<std::string> args)
{
    args.insert(args.begin(), {QUORVANE_CLI_PATH, "diff"});
    return RunProgram(args, {"TZ=UTC"});
}

ProgramRun GnuDiff(std::vector<std::string> args)
{
    args.insert(args.begin(), "diff");
    return RunProgram(args, {"TZ=UTC", "LC_ALL=C"});
}

std::string RandomLines(std::mt19937& rng, const std::vector<std::string>& vocabulary, int lines)
{
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += vocabulary[rng() % vocabulary.size()] + "\n";
    if (!text.empty() && rng() % 4 == 0)
        text.pop_back();
    return text;
}

std::string Mutate(std::mt19937& rng, const std::string& text, const std::vector<std::string>& vocabulary)
{
    std::string out;
    std::size_t start = 0;
    while (start < text.size())
    {
        const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
        const std::string line = text.substr(start, end - start);
        start = end;
        switch (rng() % 10)
        {
        case 0:
            break; // deleted
        case 1:
            out += vocabulary[rng() % vocabulary.size()] + "\n" + line;
            break;
        case 2:
            out += vocabulary[rng() % vocabulary.size()] + "\n";
            break;
        default:
            out += line;
        }
    }
    if (!out.empty() && rng() % 4 == 0 && out.back() == '\n')
        out.pop_back();
    return out;
}

// The same hunks as GNU diff, byte for byte, on random pairs with repeated and blank lines, for the
// options whose meaning is the same as the rules'.
TEST(DiffCommandTest, PrintsWhatGnuDiffPrints)
{
    const std::vector<std::string> vocabulary{"a", "b", "}", "", "x y", "x  y", " x\ty", "Foo", "foo", "bar\r",
                                              "\tindent", "    indent", "int main()", "INT MAIN()"};
    const std::vector<std::vector<std::string>> optionSets{{}, {"-w"}, {"-b"}, {"-i"}, {"-B"}, {"-E"},
                                                           {"-wi"}, {"-q"}, {"-U0"}, {"-I", "^x"}};
    TempDir dir;
    std::mt19937 rng(2024);
    for (int round = 0; round < 25; ++round)
    {
        const std::string left = RandomLines(rng, vocabulary, static_cast<int>(rng() % (round % 5 == 0 ? 3000 : 80)));
        const std::string right = Mutate(rng, left, vocabulary);
        WriteFile(dir / "left", left);
        WriteFile(dir / "right", right);
        for (const auto& options : optionSets)
        {
            std::vector<std::string> args = options;
            args.push_back(dir / "left");
            args.push_back(dir / "right");
            const ProgramRun ours = Diff(args);
            const ProgramRun gnu = GnuDiff(args);
            std::string label = "round " + std::to_string(round) + " with";
            for (const auto& o : options)
                label += " " + o;
            ASSERT_EQ(ours.m_nExitCode, gnu.m_nExitCode) << label << "\n" << ours.m_strErr;
            ASSERT_EQ(ours.m_strOut, gnu.m_strOut) << label;
        }
    }
}

TEST(DiffCommandTest, FormatsOfTheNormalOutput)
{
    TempDir dir;
    WriteFile(dir / "l", "1\n2\n3\n4\n5\n6\n7\n8\n9\n");
    WriteFile(dir / "r", "1\n2\n3\nnew\nnew\nnew\n4\nX\nY\nZ\n8\n");
    const ProgramRun run = Diff({dir / "l", dir / "r"});
    EXPECT_EQ(run.m_nExitCode, 1);
    EXPECT_EQ(run.m_strOut, "3a4,6\n> new\n> new\n> new\n5,7c8,10\n< 5\n< 6\n< 7\n---\n> X\n> Y\n> Z\n9d11\n< 9\n");
    WriteFile(dir / "a", "same\nlast");
    WriteFile(dir / "b", "same\nlast\n");
    EXPECT_EQ(Diff({dir / "a", dir / "b"}).m_strOut, "2c2\n< last\n\\ No newline at end of file\n---\n> last\n");
    EXPECT_EQ(Diff({dir / "l", dir / "l"}).m_nExitCode, 0);
}

TEST(DiffCommandTest, UnifiedOutputAppliesWithPatch)
{
    TempDir dir;
    std::mt19937 rng(99);
    const std::vector<std::string> vocabulary{"a", "b", "c", "", "}", "{", "x"};
    for (int round = 0; round < 10; ++round)
    {
        const std::string left = RandomLines(rng, vocabulary, 200);
        const std::string right = Mutate(rng, left, vocabulary);
        WriteFile(dir / "left", left);
        WriteFile(dir / "right", right);
        const ProgramRun unified = Diff({"-U", std::to_string(round % 4), dir / "left", dir / "right"});
        ASSERT_EQ(unified.m_nExitCode, left == right ? 0 : 1);
        WriteFile(dir / "patch", unified.m_strOut);
        const ProgramRun applied = RunProgram({"patch", "-s", "-o", dir / "patched", dir / "left", dir / "patch"});
        ASSERT_EQ(applied.m_nExitCode, 0) << applied.m_strOut << applied.m_strErr;
        EXPECT_EQ(testsupport::ReadFile(dir / "patched"), right) << "round " << round;
    }
}

TEST(DiffCommandTest, RulesOnTheComparisonText)
{
    TempDir dir;
    WriteFile(dir / "crlf", "a\r\nb\r\nc\r\n");
    WriteFile(dir / "lf", "a\nb\nd\n");
    EXPECT_EQ(Diff({"--strip-trailing-cr", dir / "crlf", dir / "lf"}).m_strOut, "3c3\n< c\n---\n> d\n");
    EXPECT_EQ(Diff({dir / "crlf", dir / "lf"}).m_strOut.substr(0, 6), "1,3c1,");

    WriteFile(dir / "spaces", "  a\nb  \nc\n");
    WriteFile(dir / "plain", "a\nb\nc\n");
    EXPECT_EQ(Diff({"--ignore-leading-space", "--ignore-trailing-space", dir / "spaces", dir / "plain"}).m_nExitCode, 0);
    const ProgramRun leading = Diff({"--ignore-leading-space", dir / "spaces", dir / "plain"});
    EXPECT_EQ(leading.m_nExitCode, 1);
    EXPECT_EQ(leading.m_strOut, "2c2\n< b  \n---\n> b\n"); // the original lines are printed
}

TEST(DiffCommandTest, CommentsAreFoundByEachFilesSyntax)
{
    TempDir dir;
    WriteFile(dir / "a.cpp", "int a; // old note\n/* block\n   comment */ int b;\nint c;\n");
    WriteFile(dir / "b.cpp", "int a; // new note\n/* other\n   words */ int b;\nint d;\n");
    const ProgramRun run = Diff({"--ignore-comments", dir / "a.cpp", dir / "b.cpp"});
    EXPECT_EQ(run.m_nExitCode, 1);
    EXPECT_EQ(run.m_strOut, "4c4\n< int c;\n---\n> int d;\n");
    // In a file without a known syntax nothing is a comment.
    WriteFile(dir / "a.unknown", "x // one\n");
    WriteFile(dir / "b.unknown", "x // two\n");
    EXPECT_EQ(Diff({"--ignore-comments", dir / "a.unknown", dir / "b.unknown"}).m_nExitCode, 1);
}

TEST(DiffCommandTest, InlineMarksTheDifferingWordsOfChangedLines)
{
    TempDir dir;
    WriteFile(dir / "l", "int a = 1;\nsame\nold line\n");
    WriteFile(dir / "r", "int b = 1;\nsame\nold line\nadded\n");
    EXPECT_EQ(Diff({"--inline", dir / "l", dir / "r"}).m_strOut,
              "1c1\n< int [-a-] = 1;\n---\n> int {+b+} = 1;\n3a4\n> added\n");
    // A line against an empty one shows no inline marks.
    WriteFile(dir / "e", "\nsame\nold line\n");
    EXPECT_EQ(Diff({"--inline", dir / "l", dir / "e"}).m_strOut, "1c1\n< int a = 1;\n---\n> \n");
}

TEST(DiffCommandTest, TextWithAByteOrderMarkComparesAsItsText)
{
    TempDir dir;
    WriteFile(dir / "utf16", std::string("\xFF\xFE" "h\0i\0\n\0t\0h\0e\0r\0e\0\n\0", 20));
    WriteFile(dir / "utf8", "hi\nthere\n");
    WriteFile(dir / "bom8", "\xEF\xBB\xBFhi\nthere\n");
    EXPECT_EQ(Diff({dir / "utf16", dir / "utf8"}).m_nExitCode, 0);
    EXPECT_EQ(Diff({dir / "bom8", dir / "utf8"}).m_nExitCode, 0);
    WriteFile(dir / "other", "hi\nthem\n");
    EXPECT_EQ(Diff({dir / "utf16", dir / "other"}).m_strOut, "2c2\n< there\n---\n> them\n");
}

TEST(DiffCommandTest, BinaryFilesAndTrouble)
{
    TempDir dir;
    WriteFile(dir / "bin1", std::string("a\0b", 3));
    WriteFile(dir / "bin2", std::string("a\0c", 3));
    const ProgramRun binary = Diff({dir / "bin1", dir / "bin2"});
    EXPECT_EQ(binary.m_nExitCode, 1);
    EXPECT_EQ(binary.m_strOut, "Binary files " + (dir / "bin1") + " and " + (dir / "bin2") + " differ\n");
    EXPECT_EQ(Diff({dir / "bin1", dir / "bin1"}).m_nExitCode, 0);
    EXPECT_EQ(Diff({dir / "bin1", dir / "bin1"}).m_strOut, "");

    const ProgramRun missing = Diff({dir / "bin1", dir / "nothing"});
    EXPECT_EQ(missing.m_nExitCode, 2);
    EXPECT_EQ(missing.m_strErr, "quorvane-cli: " + (dir / "nothing") + ": No such file or directory\n");
    EXPECT_EQ(Diff({dir.Path(), dir / "bin1"}).m_nExitCode, 2);
    EXPECT_EQ(Diff({dir / "bin1"}).m_nExitCode, 2);
    EXPECT_EQ(Diff({"--no-such-option", dir / "bin1", dir / "bin2"}).m_nExitCode, 2);

    // An invalid line filter is reported and the comparison runs without it.
    WriteFile(dir / "t1", "a\n#x\n");
    WriteFile(dir / "t2", "a\n#y\n");
    const ProgramRun filter = Diff({"-I", "\\(", dir / "t1", dir / "t2"});
    EXPECT_EQ(filter.m_nExitCode, 1);
    EXPECT_NE(filter.m_strErr.find("invalid line filter"), std::string::npos);
    EXPECT_EQ(filter.m_strOut, "2c2\n< #x\n---\n> #y\n");
}

} // namespace
