#include "textcompare/StdioFileEx.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;
using namespace std::string_literals;

namespace {

std::vector<std::string> ReadAll(const std::string& path, int codePage = 65001, bool* unicode = nullptr)
{
    CStdioFileEx file;
    EXPECT_TRUE(file.Open(path, CStdioFileEx::modeRead | CStdioFileEx::typeText));
    file.SetCodePage(codePage);
    if (unicode)
        *unicode = file.IsFileUnicode();
    std::vector<std::string> lines;
    std::string line;
    while (file.ReadString(line))
        lines.push_back(line);
    return lines;
}

TEST(StdioFileExTest, ReadsUtf16WithMarkAndBytesInTheFileCodePage)
{
    TempDir dir;
    WriteFile(dir / "u.txt", "\xFF\xFE"
                             "a\0\xE9\0\r\0\n\0\r\0b\0\n\0\n\0c\0"s);
    bool unicode = false;
    // Lines end at LF, as a stream's line reader does; a CR elsewhere stays in the line.
    EXPECT_EQ(ReadAll(dir / "u.txt", 65001, &unicode),
              (std::vector<std::string>{"a\xC3\xA9", "\rb", "", "c"}));
    EXPECT_TRUE(unicode);

    WriteFile(dir / "b.txt", "caf\xE9\r\nx\n\ny");
    EXPECT_EQ(ReadAll(dir / "b.txt", 1252, &unicode),
              (std::vector<std::string>{"caf\xC3\xA9", "x", "", "y"}));
    EXPECT_FALSE(unicode);
    EXPECT_EQ(ReadAll(dir / "b.txt", 65001), (std::vector<std::string>{"caf\xE9", "x", "", "y"}));

    WriteFile(dir / "e.txt", "");
    EXPECT_TRUE(ReadAll(dir / "e.txt").empty());
}

TEST(StdioFileExTest, WritesUtf16WithOneMarkOrBytesInTheCodePage)
{
    TempDir dir;
    {
        CStdioFileEx file;
        ASSERT_TRUE(file.Open(dir / "u.txt", CStdioFileEx::modeWrite | CStdioFileEx::modeCreate |
                                                 CStdioFileEx::modeWriteUnicode));
        EXPECT_TRUE(file.WriteString("\xC3\xA9\r\n"));
        EXPECT_TRUE(file.WriteString("x"));
        EXPECT_TRUE(file.Close());
    }
    EXPECT_EQ(ReadFile(dir / "u.txt"), "\xFF\xFE\xE9\0\r\0\n\0x\0"s);
    EXPECT_EQ(ReadAll(dir / "u.txt"), (std::vector<std::string>{"\xC3\xA9", "x"}));
    {
        CStdioFileEx file;
        ASSERT_TRUE(file.Open(dir / "b.txt", CStdioFileEx::modeWrite | CStdioFileEx::modeCreate));
        file.SetCodePage(1252);
        EXPECT_TRUE(file.WriteString("\xC3\xA9\n"));
        EXPECT_TRUE(file.Close());
    }
    EXPECT_EQ(ReadFile(dir / "b.txt"), "\xE9\n");
}

TEST(StdioFileExTest, MissingFileFailsWithTheCall)
{
    TempDir dir;
    CStdioFileEx file;
    EXPECT_FALSE(file.Open(dir / "none.txt", CStdioFileEx::modeRead));
    EXPECT_EQ(file.GetLastError().apiName, "fopen");
    EXPECT_EQ(file.GetLastError().systemError, ENOENT);
    std::string line;
    EXPECT_FALSE(file.ReadString(line));
}

} // namespace
