#include "filesystem/FileHelpers.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

struct TypeCase
{
    const char* m_pszName;
    std::string m_strBytes;
    int m_nType;
};

void PrintTo(const TypeCase& c, std::ostream* os)
{
    *os << c.m_pszName;
}

std::string Block(std::size_t size, char fill = 'a')
{
    return std::string(size, fill);
}

std::string WithZeroAt(std::size_t size, std::size_t at)
{
    std::string s = Block(size);
    s[at] = '\0';
    return s;
}

const TypeCase kTypes[] = {
    {"Empty", "", 1},
    {"PlainText", "hello\nworld\n", 1},
    {"Utf16LeMarkWithZeros", std::string("\xFF\xFEh\0i\0", 6), 1},
    {"Utf16BeMarkWithZeros", std::string("\xFE\xFF\0h\0i", 6), 1},
    {"Utf8MarkWithZero", std::string("\xEF\xBB\xBFx\0y", 6), 1},
    {"Utf16MarkOnly", "\xFF\xFE", 1},
    {"HalfUtf8Mark", std::string("\xEF\xBB\0", 3), 2},
    {"ZeroFirst", std::string("\0abc", 4), 2},
    {"ZeroLastOf4096", WithZeroAt(4096, 4095), 2},
    {"ZeroLastOf4097", WithZeroAt(4097, 4096), 2},
    {"ZeroAtStartOfSecondBlock", WithZeroAt(8192, 4096), 2},
    {"Exactly4096Text", Block(4096), 1},
    {"ZeroDeepInLargeFile", WithZeroAt(3 * 1024 * 1024 + 17, 3 * 1024 * 1024 + 16), 2},
    {"LargeText", Block(1024 * 1024 + 1), 1},
    {"HighBytesNoZero", "\x80\xFF\xFE\x01", 1},
};

class DetectFileTypeCases : public ::testing::TestWithParam<TypeCase>
{
};

TEST_P(DetectFileTypeCases, FollowsMarksAndZeroBytes)
{
    TempDir dir;
    WriteFile(dir / "f", GetParam().m_strBytes);
    EXPECT_EQ(DetectFileType(dir / "f"), GetParam().m_nType);
}

INSTANTIATE_TEST_SUITE_P(Cases, DetectFileTypeCases, ::testing::ValuesIn(kTypes),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

TEST(DetectFileTypeTest, PathsThatAreNotReadableFilesAreUnknown)
{
    TempDir dir;
    EXPECT_EQ(DetectFileType(""), -1);
    EXPECT_EQ(DetectFileType(dir / "missing"), -1);
    EXPECT_EQ(DetectFileType(dir.Path()), -1);
    // A FIFO must not block the caller.
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(DetectFileType(dir / "fifo"), -1);
    EXPECT_EQ(DetectFileType("/dev/zero"), -1);
}

std::uint32_t ZlibCrc(const std::string& bytes)
{
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

TEST(ComputeFileCRCTest, MatchesAnIndependentCrc32AtEverySizeClass)
{
    TempDir dir;
    std::mt19937 random(12345);
    for (const std::size_t size : {0ul, 1ul, 3ul, 4095ul, 4096ul, 4097ul, 262143ul, 262144ul, 262145ul, 1048576ul + 7})
    {
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        WriteFile(dir / "f", bytes);
        std::uint32_t crc = 1;
        EXPECT_TRUE(ComputeFileCRC(dir / "f", crc)) << size;
        EXPECT_EQ(crc, ZlibCrc(bytes)) << size;
        EXPECT_EQ(ComputeFileCRC(dir / "f"), ZlibCrc(bytes)) << size;
    }
    // The check value of the CRC-32 used by zip files.
    WriteFile(dir / "check", "123456789");
    EXPECT_EQ(ComputeFileCRC(dir / "check"), 0xCBF43926u);
}

TEST(ComputeFileCRCTest, FailuresGiveZeroAndAreToldApartFromAnEmptyFile)
{
    TempDir dir;
    std::uint32_t crc = 7;
    int error = 0;
    EXPECT_FALSE(ComputeFileCRC(dir / "missing", crc, &error));
    EXPECT_EQ(crc, 0u);
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(ComputeFileCRC(dir.Path()), 0u);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(ComputeFileCRC(dir / "fifo", crc));
    WriteFile(dir / "empty", "");
    EXPECT_TRUE(ComputeFileCRC(dir / "empty", crc));
    EXPECT_EQ(crc, 0u);
}

TEST(FormatNumberTest, GroupsDigitsByThreeWithCommasInTheCLocale)
{
    const std::pair<const char*, const char*> cases[] = {
        {"0", "0"},           {"12", "12"},           {"123", "123"},       {"1234", "1,234"},
        {"123456", "123,456"}, {"1234567", "1,234,567"}, {"-1234", "-1,234"}, {"5368709120", "5,368,709,120"},
        {"12a4", "12a4"},     {"", ""},               {"-", "-"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(FormatNumber(in), out) << in;
    EXPECT_EQ(FormatNumber(std::uint64_t{18446744073709551615ull}), "18,446,744,073,709,551,615");
}

TEST(EnsureFolderTest, CreatesMissingParentsAndReportsTheResult)
{
    TempDir dir;
    EXPECT_TRUE(EnsureFolder(dir.Path()));
    EXPECT_TRUE(EnsureFolder(dir / "a/b/c"));
    struct stat st{};
    ASSERT_EQ(stat((dir / "a/b/c").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));

    EXPECT_TRUE(EnsureFolder(dir / "p/q/leaf", true));
    EXPECT_EQ(stat((dir / "p/q").c_str(), &st), 0);
    EXPECT_NE(stat((dir / "p/q/leaf").c_str(), &st), 0);

    // A regular file in the way makes it fail.
    WriteFile(dir / "file", "x");
    EXPECT_FALSE(EnsureFolder(dir / "file/sub"));
}

} // namespace
