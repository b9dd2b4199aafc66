#include "foldercompare/FolderCompareMethods.h"

#include "definitions/CompareParams.h"
#include "filesystem/FileInfoEx.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

constexpr std::int64_t kSecond = platform::kTicksPerSecond;
constexpr platform::FileTime kBaseTime = 133'000'000'000'000'000ULL; // a whole second in 2022

CFileInfoEx Loaded(const std::string& path)
{
    CFileInfoEx info;
    EXPECT_TRUE(info.LoadFromPath(path)) << path;
    return info;
}

// A file description with a chosen version, as if read from the file's version resource.
class CVersionedInfo : public CFileInfoEx
{
public:
    CVersionedInfo(std::uint32_t ms, std::uint32_t ls)
    {
        m_dwVersionMS = ms;
        m_dwVersionLS = ls;
        m_dwLoaded |= FILE_LOADED_VERSION;
    }
};

std::uint32_t Version(int a, int b)
{
    return static_cast<std::uint32_t>(a) << 16 | static_cast<std::uint32_t>(b);
}

struct TIME_CASE
{
    const char* name;
    std::int64_t leftOffset; // ticks added to the base time on the left; the right is the base time
    int tolerance;
    bool isFolder;
    bool ignoreFolderDifferences;
    int expected;
};

void PrintTo(const TIME_CASE& c, std::ostream* os)
{
    *os << c.name;
}

class TimeMethod : public testing::TestWithParam<TIME_CASE>
{
};

TEST_P(TimeMethod, DecidesByToleranceAndFolderRule)
{
    const TIME_CASE& c = GetParam();
    CFileInfoEx left, right;
    left.m_ftLastWriteTime =
        static_cast<platform::FileTime>(static_cast<std::int64_t>(kBaseTime) + c.leftOffset);
    right.m_ftLastWriteTime = kBaseTime;
    FOLDER_METHOD_SETTINGS settings;
    settings.m_nTimeTolerance = c.tolerance;
    settings.m_bIgnoreFolderDifferences = c.ignoreFolderDifferences;
    const CFolderCompareMethods methods(settings);

    // Other bits survive; the method's own bit is cleared before it decides.
    std::uint32_t bits = ~0u;
    EXPECT_EQ(methods.CompareTime(left, right, c.isFolder, bits), c.expected);
    EXPECT_EQ(bits, c.expected != 0 ? ~0u : ~DIFF_LMTIME);
    // Swapped sides give the opposite sign.
    bits = 0;
    EXPECT_EQ(methods.CompareTime(right, left, c.isFolder, bits), -c.expected);
    EXPECT_EQ(bits, c.expected != 0 ? DIFF_LMTIME : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeMethod,
    testing::Values(TIME_CASE{"Equal", 0, 2, false, true, 0},
                    TIME_CASE{"ExactlyTheTolerance", 2 * kSecond, 2, false, true, 0},
                    TIME_CASE{"OneSecondMore", 3 * kSecond, 2, false, true, 1},
                    TIME_CASE{"RightLaterBeyond", -3 * kSecond, 2, false, true, -1},
                    // Whole seconds: 2.9 s after the base time is 2 whole seconds, within the tolerance.
                    TIME_CASE{"FractionsAreCutOff", 2 * kSecond + 9'999'999, 2, false, true, 0},
                    TIME_CASE{"ZeroToleranceSubSecond", 1, 0, false, true, 1},
                    TIME_CASE{"ZeroToleranceHundredMs", -1'000'000, 0, false, true, -1},
                    TIME_CASE{"ZeroToleranceEqual", 0, 0, false, true, 0},
                    TIME_CASE{"FolderIgnored", 100 * kSecond, 2, true, true, 0},
                    TIME_CASE{"FolderCompared", 100 * kSecond, 2, true, false, 1},
                    TIME_CASE{"LargeTolerance", 3599 * kSecond, 3600, false, true, 0}),
    [](const testing::TestParamInfo<TIME_CASE>& info) { return std::string(info.param.name); });

TEST(SizeMethod, SignAndBit)
{
    CFileInfoEx left, right;
    left.m_nSize = 0x1'0000'0001ULL; // above 32 bits
    right.m_nSize = 1;
    std::uint32_t bits = DIFF_CRC;
    EXPECT_EQ(CFolderCompareMethods::CompareSize(left, right, bits), 1);
    EXPECT_EQ(bits, DIFF_CRC | DIFF_SIZE);
    EXPECT_EQ(CFolderCompareMethods::CompareSize(right, left, bits), -1);
    right.m_nSize = left.m_nSize;
    EXPECT_EQ(CFolderCompareMethods::CompareSize(left, right, bits), 0);
    EXPECT_EQ(bits, DIFF_CRC);
}

TEST(AttributesMethod, WholeWordAndFolderRule)
{
    CFileInfoEx left, right;
    left.m_dwAttributes = platform::FILE_ATTRIBUTE_ARCHIVE;
    right.m_dwAttributes = 0;
    FOLDER_METHOD_SETTINGS settings;
    std::uint32_t bits = 0;
    EXPECT_EQ(CFolderCompareMethods(settings).CompareAttributes(left, right, false, bits), 1);
    EXPECT_EQ(bits, DIFF_ATTRIBUTES);
    EXPECT_EQ(CFolderCompareMethods(settings).CompareAttributes(left, right, true, bits), 0);
    EXPECT_EQ(bits, 0u);
    settings.m_bIgnoreFolderDifferences = false;
    EXPECT_EQ(CFolderCompareMethods(settings).CompareAttributes(left, right, true, bits), 1);
    right.m_dwAttributes = left.m_dwAttributes;
    EXPECT_EQ(CFolderCompareMethods(settings).CompareAttributes(left, right, false, bits), 0);
    EXPECT_EQ(bits, 0u);
}

TEST(VersionMethod, MostSignificantWordsDecideFirst)
{
    struct
    {
        std::uint32_t lms, lls, rms, rls;
        int expected;
    } cases[] = {
        {Version(2, 0), Version(0, 0), Version(1, 0), Version(5, 0), 1},  // 2.0.0.0 against 1.0.5.0
        {Version(1, 0), Version(9, 9), Version(1, 1), Version(0, 0), -1}, // the first words decide
        {Version(1, 2), Version(3, 4), Version(1, 2), Version(3, 5), -1}, // then the second words
        {Version(1, 2), Version(0xFFFF, 0), Version(1, 2), Version(1, 0), 1},
        {Version(1, 2), Version(3, 4), Version(1, 2), Version(3, 4), 0},
    };
    for (const auto& c : cases)
    {
        CVersionedInfo left(c.lms, c.lls), right(c.rms, c.rls);
        std::uint32_t bits = DIFF_SIZE;
        EXPECT_EQ(CFolderCompareMethods::CompareVersion(left, right, bits), c.expected);
        EXPECT_EQ(bits, c.expected ? DIFF_SIZE | DIFF_VERSION : DIFF_SIZE);
    }
}

TEST(VersionMethod, FilesWithoutVersionAreEqual)
{
    TempDir dir;
    WriteFile(dir / "a", "not an executable");
    WriteFile(dir / "b", "neither");
    CFileInfoEx left = Loaded(dir / "a"), right = Loaded(dir / "b");
    std::uint32_t bits = 0;
    EXPECT_EQ(CFolderCompareMethods::CompareVersion(left, right, bits), 0);
    EXPECT_EQ(bits, 0u);
}

TEST(TypeMethod, TextAgainstBinary)
{
    TempDir dir;
    WriteFile(dir / "t", "text\n");
    WriteFile(dir / "b", std::string("bin\0ary", 7));
    WriteFile(dir / "t2", "other text\n");
    CFileInfoEx text = Loaded(dir / "t"), binary = Loaded(dir / "b"), text2 = Loaded(dir / "t2");
    std::uint32_t bits = 0;
    EXPECT_EQ(CFolderCompareMethods::CompareFileType(text, binary, bits), 1);
    EXPECT_EQ(bits, DIFF_TYPE);
    EXPECT_EQ(CFolderCompareMethods::CompareFileType(text, text2, bits), 0);
    EXPECT_EQ(bits, 0u);
}

TEST(CrcMethod, SameDifferentEmptyAndVanished)
{
    TempDir dir;
    WriteFile(dir / "a", "contents");
    WriteFile(dir / "b", "contents");
    WriteFile(dir / "c", "Contents");
    WriteFile(dir / "e1", "");
    WriteFile(dir / "e2", "");
    CFileInfoEx a = Loaded(dir / "a"), b = Loaded(dir / "b"), c = Loaded(dir / "c");
    std::uint32_t bits = 0, content = 0;
    EXPECT_EQ(CFolderCompareMethods::CompareCRC(a, b, bits, content), 0);
    EXPECT_EQ(content, CONTENT_SAME);
    EXPECT_EQ(bits, 0u);
    EXPECT_EQ(CFolderCompareMethods::CompareCRC(a, c, bits, content), 1);
    EXPECT_EQ(content, CONTENT_DIFFERENT);
    EXPECT_EQ(bits, DIFF_CRC);

    CFileInfoEx e1 = Loaded(dir / "e1"), e2 = Loaded(dir / "e2");
    EXPECT_EQ(CFolderCompareMethods::CompareCRC(e1, e2, bits, content), 0);
    EXPECT_EQ(content, CONTENT_SAME);
    EXPECT_EQ(bits, 0u);

    // A file that is gone by the time its checksum is needed is an error, not a checksum of 0.
    CFileInfoEx gone = Loaded(dir / "b");
    ASSERT_EQ(::unlink((dir / "b").c_str()), 0);
    EXPECT_EQ(CFolderCompareMethods::CompareCRC(e1, gone, bits, content), -1);
    EXPECT_EQ(content, CONTENT_ERROR);
}

TEST(CrcMethod, ChecksumIsCachedUntilReload)
{
    TempDir dir;
    WriteFile(dir / "a", "one");
    WriteFile(dir / "b", "one");
    CFileInfoEx a = Loaded(dir / "a"), b = Loaded(dir / "b");
    std::uint32_t bits = 0, content = 0;
    ASSERT_EQ(CFolderCompareMethods::CompareCRC(a, b, bits, content), 0);
    WriteFile(dir / "b", "two");
    EXPECT_EQ(CFolderCompareMethods::CompareCRC(a, b, bits, content), 0) << "recompare without reload";
    ASSERT_TRUE(b.Refresh());
    EXPECT_EQ(CFolderCompareMethods::CompareCRC(a, b, bits, content), 1);
}

class BinaryMethod : public testing::Test
{
protected:
    // Sizes around the read block, so that first, middle and last blocks are all exercised.
    static std::string Pattern(std::size_t size)
    {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
        return bytes;
    }

    int Compare(const std::string& leftBytes, const std::string& rightBytes, std::uint32_t* content = nullptr)
    {
        WriteFile(m_dir / "l", leftBytes);
        WriteFile(m_dir / "r", rightBytes);
        const CFileInfoEx left = Loaded(m_dir / "l"), right = Loaded(m_dir / "r");
        std::uint32_t result = 99;
        const int r = CFolderCompareMethods::CompareBinary(left, right, result);
        if (content)
            *content = result;
        return r;
    }

    TempDir m_dir;
};

TEST_F(BinaryMethod, SameAndDifferentAcrossBlocks)
{
    constexpr std::size_t kBlock = 256 * 1024;
    for (const std::size_t size : {std::size_t{1}, kBlock - 1, kBlock, kBlock + 1, 3 * kBlock + 17})
    {
        const std::string bytes = Pattern(size);
        std::uint32_t content = 0;
        EXPECT_EQ(Compare(bytes, bytes, &content), 0) << size;
        EXPECT_EQ(content, CONTENT_SAME);
        for (const std::size_t at : {std::size_t{0}, size / 2, size - 1})
        {
            std::string other = bytes;
            other[at] = static_cast<char>(other[at] ^ 0x40);
            EXPECT_EQ(Compare(bytes, other, &content), 1) << size << " at " << at;
            EXPECT_EQ(content, CONTENT_DIFFERENT);
        }
    }
}

TEST_F(BinaryMethod, EmptyFilesAreTheSame)
{
    std::uint32_t content = 0;
    EXPECT_EQ(Compare("", "", &content), 0);
    EXPECT_EQ(content, CONTENT_SAME);
}

TEST_F(BinaryMethod, DifferentSizesAreNeverRead)
{
    WriteFile(m_dir / "l", "abc");
    WriteFile(m_dir / "r", "abcd");
    const CFileInfoEx left = Loaded(m_dir / "l"), right = Loaded(m_dir / "r");
    // Both files are gone: reading them would be an error, so a result of "different" shows that
    // neither was opened.
    ::unlink((m_dir / "l").c_str());
    ::unlink((m_dir / "r").c_str());
    std::uint32_t content = 0;
    EXPECT_EQ(CFolderCompareMethods::CompareBinary(left, right, content), 1);
    EXPECT_EQ(content, CONTENT_DIFFERENT);
}

TEST_F(BinaryMethod, VanishedOrChangedFilesAreErrors)
{
    const std::string bytes = Pattern(1000);
    WriteFile(m_dir / "l", bytes);
    WriteFile(m_dir / "r", bytes);
    const CFileInfoEx left = Loaded(m_dir / "l"), right = Loaded(m_dir / "r");
    std::uint32_t content = 0;

    // Grown after the scan: the reads return different counts.
    WriteFile(m_dir / "l", bytes + "more");
    EXPECT_EQ(CFolderCompareMethods::CompareBinary(left, right, content), -1);
    EXPECT_EQ(content, CONTENT_ERROR);
    // Cut to nothing after the scan.
    WriteFile(m_dir / "l", "");
    EXPECT_EQ(CFolderCompareMethods::CompareBinary(left, right, content), -1);
    // Gone.
    ::unlink((m_dir / "l").c_str());
    EXPECT_EQ(CFolderCompareMethods::CompareBinary(left, right, content), -1);
    EXPECT_EQ(content, CONTENT_ERROR);
}

TEST_F(BinaryMethod, GrowthIsSeenAfterWholeBlocksAndEmptyFiles)
{
    for (const std::size_t size : {std::size_t{0}, std::size_t{256 * 1024}, std::size_t{2 * 256 * 1024}})
    {
        const std::string bytes = Pattern(size);
        WriteFile(m_dir / "l", bytes);
        WriteFile(m_dir / "r", bytes);
        const CFileInfoEx left = Loaded(m_dir / "l"), right = Loaded(m_dir / "r");
        std::uint32_t content = 0;
        ASSERT_EQ(CFolderCompareMethods::CompareBinary(left, right, content), 0) << size;
        WriteFile(m_dir / "r", bytes + "x"); // the right side this time
        EXPECT_EQ(CFolderCompareMethods::CompareBinary(left, right, content), -1) << size;
        EXPECT_EQ(content, CONTENT_ERROR);
    }
}

TEST_F(BinaryMethod, SpecialFilesAreErrorsAndDoNotBlock)
{
    ASSERT_EQ(::mkfifo((m_dir / "fifo").c_str(), 0600), 0);
    WriteFile(m_dir / "r", "");
    CFileInfoEx fifo = Loaded(m_dir / "fifo");
    const CFileInfoEx right = Loaded(m_dir / "r");
    fifo.m_nSize = 0; // same recorded size as the empty file
    std::uint32_t content = 0;
    EXPECT_EQ(CFolderCompareMethods::CompareBinary(fifo, right, content), -1);
    EXPECT_EQ(content, CONTENT_ERROR);
}

TEST_F(BinaryMethod, UnreadableFileIsAnError)
{
    if (testsupport::RunningAsRoot())
        GTEST_SKIP() << "root reads files without read permission";
    WriteFile(m_dir / "l", "same");
    WriteFile(m_dir / "r", "same");
    ASSERT_EQ(::chmod((m_dir / "r").c_str(), 0), 0);
    const CFileInfoEx left = Loaded(m_dir / "l"), right = Loaded(m_dir / "r");
    std::uint32_t content = 0;
    EXPECT_EQ(CFolderCompareMethods::CompareBinary(left, right, content), -1);
    EXPECT_EQ(content, CONTENT_ERROR);
}

struct TEXT_CASE
{
    const char* name;
    std::string left;
    std::string right;
    std::uint32_t rules;
    const char* lineFilter;
    int expected; // number of difference sections
};

void PrintTo(const TEXT_CASE& c, std::ostream* os)
{
    *os << c.name;
}

class TextMethod : public testing::TestWithParam<TEXT_CASE>
{
};

TEST_P(TextMethod, CountsDifferenceSectionsUnderTheRuleSubset)
{
    const TEXT_CASE& c = GetParam();
    TempDir dir;
    WriteFile(dir / "l", c.left);
    WriteFile(dir / "r", c.right);
    CFileInfoEx left = Loaded(dir / "l"), right = Loaded(dir / "r");
    FOLDER_METHOD_SETTINGS settings;
    settings.SetTextRules(c.rules, c.lineFilter);
    std::uint32_t content = 0;
    EXPECT_EQ(CFolderCompareMethods(settings).CompareText(left, right, content), c.expected);
    EXPECT_EQ(content, c.expected == 0 ? CONTENT_SAME : CONTENT_DIFFERENT);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextMethod,
    testing::Values(TEXT_CASE{"Identical", "a\nb\n", "a\nb\n", 0, "", 0},
                    TEXT_CASE{"TwoSeparateChanges", "a\nb\nc\nd\ne\n", "A\nb\nc\nd\nE\n", 0, "", 2},
                    TEXT_CASE{"AllSpaceIgnored", "int  x = 1;\n", "int x=1;\n", RULE_IGNOREALLSPACE, "", 0},
                    TEXT_CASE{"SpaceChangesIgnored", "a  b\n", "a b\n", RULE_IGNORESPACEDIFFERENCES, "", 0},
                    TEXT_CASE{"SpaceMatters", "a  b\n", "a b\n", 0, "", 1},
                    TEXT_CASE{"CaseIgnored", "Hello\n", "hELLO\n", RULE_IGNORECASE, "", 0},
                    TEXT_CASE{"BlankLinesIgnored", "a\n\nb\n", "a\nb\n\n\n", RULE_IGNOREBLANKLINES, "", 0},
                    TEXT_CASE{"FilteredLinesIgnored", "x\n# one\ny\n", "x\n# two\ny\n",
                              RULE_IGNORELINESMATCHINGFILTER, "^#", 0},
                    TEXT_CASE{"FilterWithoutItsRule", "x\n# one\n", "x\n# two\n", 0, "^#", 1},
                    // Leading and trailing space, line ends and comments are not rules of this method.
                    TEXT_CASE{"LeadingSpaceRuleNotApplied", "  a\n", "a\n", RULE_IGNORELEADINGSPACE, "", 1},
                    TEXT_CASE{"TrailingSpaceRuleNotApplied", "a  \n", "a\n", RULE_IGNORETRAILINGSPACE, "", 1},
                    TEXT_CASE{"LineEndRuleNotApplied", "a\r\nb\r\n", "a\nb\n", RULE_IGNOREEOL, "", 1},
                    TEXT_CASE{"SameTextInUtf16AndUtf8",
                              std::string("\xFF\xFE"
                                          "a\0\n\0b\0\n\0",
                                          10),
                              "\xEF\xBB\xBF"
                              "a\nb\n",
                              0, "", 0},
                    TEXT_CASE{"Utf16BigEndianDiffers", std::string("\xFE\xFF\0a\0\n", 6), "b\n", 0, "", 1}),
    [](const testing::TestParamInfo<TEXT_CASE>& info) { return std::string(info.param.name); });

TEST(TextMethodFallback, BinarySideUsesTheBinaryMethod)
{
    TempDir dir;
    WriteFile(dir / "t", "abc\n");
    WriteFile(dir / "b", std::string("ab\0\n", 4));
    CFileInfoEx text = Loaded(dir / "t"), binary = Loaded(dir / "b");
    std::uint32_t content = 0;
    // The binary method's outcome stands: 1, not a number of sections.
    EXPECT_EQ(CFolderCompareMethods().CompareText(text, binary, content), 1);
    EXPECT_EQ(content, CONTENT_DIFFERENT);
    CFileInfoEx binary2 = Loaded(dir / "b");
    EXPECT_EQ(CFolderCompareMethods().CompareText(binary, binary2, content), 0);
    EXPECT_EQ(content, CONTENT_SAME);
}

TEST(TextMethodFallback, VanishedTextFileIsAnError)
{
    TempDir dir;
    WriteFile(dir / "l", "a\n");
    WriteFile(dir / "r", "a\n");
    CFileInfoEx left = Loaded(dir / "l"), right = Loaded(dir / "r");
    ASSERT_EQ(left.DetectFileType(), 1);
    ASSERT_EQ(right.DetectFileType(), 1);
    ::unlink((dir / "r").c_str());
    std::uint32_t content = 0;
    EXPECT_EQ(CFolderCompareMethods().CompareText(left, right, content), -1);
    EXPECT_EQ(content, CONTENT_ERROR);
}

TEST(MethodSettings, InvalidLineFilterLeavesNoFilter)
{
    FOLDER_METHOD_SETTINGS settings;
    settings.SetTextRules(RULE_IGNORELINESMATCHINGFILTER, "\\(");
    EXPECT_EQ(settings.m_lineFilter, nullptr);
    settings.SetTextRules(RULE_IGNORELINESMATCHINGFILTER, "^#");
    EXPECT_NE(settings.m_lineFilter, nullptr);
    settings.SetTextRules(0, "^#");
    EXPECT_EQ(settings.m_lineFilter, nullptr);
}

class RunMethods : public testing::Test
{
protected:
    void SetUp() override
    {
        WriteFile(m_dir / "l", "same bytes\n");
        WriteFile(m_dir / "r", "same bytez\n");
        WriteFile(m_dir / "r2", "same bytes\n");
        m_left = Loaded(m_dir / "l");
        m_right = Loaded(m_dir / "r");
        m_equal = Loaded(m_dir / "r2");
        m_left.m_ftLastWriteTime = kBaseTime + 100 * kSecond;
        m_right.m_ftLastWriteTime = m_equal.m_ftLastWriteTime = kBaseTime;
    }

    TempDir m_dir;
    CFileInfoEx m_left, m_right, m_equal;
};

TEST_F(RunMethods, SizeAloneCannotSeeEqualSizedChanges)
{
    std::uint32_t bits = ~0u, content = 99;
    EXPECT_EQ(CFolderCompareMethods().RunMethods(m_left, m_right, false, METHOD_SIZE, bits, content), 0u);
    EXPECT_EQ(bits, 0u);
    EXPECT_EQ(content, CONTENT_NONE);
}

TEST_F(RunMethods, ContentResultAndTimeBitTogether)
{
    std::uint32_t bits = 0, content = 0;
    const CFolderCompareMethods methods;
    EXPECT_EQ(methods.RunMethods(m_left, m_equal, false, METHOD_LMTIME | METHOD_CRC32, bits, content),
              DIFF_LMTIME);
    EXPECT_EQ(content, CONTENT_SAME);
    methods.RunMethods(m_left, m_right, false, METHOD_LMTIME | METHOD_SIZE | METHOD_CRC32 | METHOD_BINARY,
                       bits, content);
    EXPECT_EQ(bits, DIFF_LMTIME | DIFF_CRC);
    EXPECT_EQ(content, CONTENT_DIFFERENT);
}

TEST_F(RunMethods, FoldersRunOnlyTimeAndAttributes)
{
    TempDir a, b;
    CFileInfoEx left = Loaded(a.Path()), right = Loaded(b.Path());
    left.m_ftLastWriteTime = kBaseTime + 100 * kSecond;
    right.m_ftLastWriteTime = kBaseTime;
    left.m_dwAttributes |= platform::FILE_ATTRIBUTE_READONLY;
    FOLDER_METHOD_SETTINGS settings;
    settings.m_bIgnoreFolderDifferences = false;
    std::uint32_t bits = 0, content = 0;
    EXPECT_EQ(CFolderCompareMethods(settings).RunMethods(left, right, true, 0xFFFFFFFF, bits, content),
              DIFF_LMTIME | DIFF_ATTRIBUTES);
    EXPECT_EQ(content, CONTENT_NONE);
    settings.m_bIgnoreFolderDifferences = true;
    EXPECT_EQ(CFolderCompareMethods(settings).RunMethods(left, right, true, 0xFFFFFFFF, bits, content), 0u);
}

TEST_F(RunMethods, AReadErrorIsNotOverwrittenByALaterMethod)
{
    // The checksum cannot be computed (the file is gone); the text method that follows falls back to
    // the binary method, which fails as well, and the error stays either way.
    CFileInfoEx gone = Loaded(m_dir / "r2");
    ::unlink((m_dir / "r2").c_str());
    std::uint32_t bits = 0, content = 0;
    CFolderCompareMethods().RunMethods(m_left, gone, false, METHOD_CRC32 | METHOD_TEXT, bits, content);
    EXPECT_EQ(content, CONTENT_ERROR);
    WriteFile(m_dir / "r2", "same bytes\n"); // back, but the checksum method already failed
    CFolderCompareMethods().RunMethods(m_left, gone, false, METHOD_CRC32 | METHOD_BINARY, bits, content);
    EXPECT_EQ(content, CONTENT_ERROR);
}

} // namespace
