#include "filesystem/FileFindEx.h"
#include "filesystem/FileInfoEx.h"
#include "filesystem/FileObject.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

TEST(FileInfoTest, LoadsSizeTimesAndAttributesOfAFile)
{
    TempDir dir;
    WriteFile(dir / "a.txt", "hello");
    struct timespec times[2] = {{1000000000, 123456789}, {1700000000, 987654321}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "a.txt").c_str(), times, 0), 0);

    CFileInfo info;
    ASSERT_TRUE(info.LoadFromPath(dir / "a.txt"));
    EXPECT_EQ(info.GetSize(), 5u);
    EXPECT_EQ(info.GetLoadedFlags(), FILE_LOADED_INFO);
    EXPECT_EQ(info.m_dwStatus, FILE_STATUS_RESET);
    EXPECT_TRUE(info.Exists());
    // 100-ns ticks since 1601: nanoseconds are truncated to whole ticks.
    EXPECT_EQ(info.GetLastWriteFileTime(), (1700000000ull + 11644473600ull) * 10000000ull + 9876543ull);
    EXPECT_EQ(info.GetLastAccessFileTime(), (1000000000ull + 11644473600ull) * 10000000ull + 1234567ull);
    EXPECT_EQ(info.GetLastWriteTime(), 1700000000);
    EXPECT_NE(info.GetCreationFileTime(), 0u);
    EXPECT_EQ(info.GetAttributesString(true), "----");
    EXPECT_EQ(info.GetName(), "a.txt");
    EXPECT_EQ(info.GetFolderPath(), dir.Path());
}

TEST(FileInfoTest, FormatsLastWriteTimeInLocalTime)
{
    testsupport::ScopedEnv tz("TZ", "UTC");
    tzset();
    TempDir dir;
    WriteFile(dir / "f", "");
    struct timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "f").c_str(), times, 0), 0);
    CFileInfo info;
    ASSERT_TRUE(info.LoadFromPath(dir / "f"));
    EXPECT_EQ(info.FormatLastWriteTime(), "2023-11-14 22:13:20");
    {
        testsupport::ScopedEnv berlin("TZ", "Europe/Berlin");
        tzset();
        EXPECT_EQ(info.FormatLastWriteTime(), "2023-11-14 23:13:20");
    }
    tzset();
}

TEST(FileInfoTest, MissingPathSetsOnlyTheMissingBit)
{
    TempDir dir;
    CFileInfo info;
    EXPECT_FALSE(info.LoadFromPath(dir / "nothing"));
    EXPECT_EQ(info.m_dwStatus, FILE_STATUS_MISSING);
    EXPECT_FALSE(info.Exists());
    EXPECT_EQ(info.GetPath(), dir / "nothing");
}

TEST(FileInfoTest, DanglingLinkIsMissingAndDoesNotCrash)
{
    TempDir dir;
    ASSERT_EQ(symlink("no-such-target", (dir / "link").c_str()), 0);
    CFileInfo info;
    EXPECT_FALSE(info.LoadFromPath(dir / "link"));
    EXPECT_FALSE(info.Exists());
}

TEST(FileInfoTest, RootLoadsAsFolderWithoutTimes)
{
    CFileInfo info;
    ASSERT_TRUE(info.LoadFromPath("/"));
    EXPECT_TRUE(info.HasAttribute(0x10));
    EXPECT_EQ(info.m_dwAttributes, 0x10u);
    EXPECT_EQ(info.GetLastWriteFileTime(), 0u);
    EXPECT_EQ(info.GetCreationFileTime(), 0u);
    EXPECT_EQ(info.GetSizeString(), "");
    EXPECT_EQ(info.GetFolderPath(), "");
}

TEST(FileInfoTest, FileLargerThan4GiBReportsItsFullSize)
{
    TempDir dir;
    const std::uint64_t size = 5ull * 1000 * 1000 * 1000;
    const int fd = open((dir / "big").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(size)), 0); // sparse: no disk space used
    close(fd);
    CFileInfo info;
    ASSERT_TRUE(info.LoadFromPath(dir / "big"));
    EXPECT_EQ(info.GetSize(), size);
    EXPECT_EQ(info.GetSizeString(), "5,000,000,000");
}

TEST(FileInfoTest, RefreshKeepsTheShortNameAndNoticesDeletion)
{
    TempDir dir;
    WriteFile(dir / "item", "x");
    // A tree item stores only its name; here the working folder plays the parent.
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    CFileInfo info;
    ASSERT_TRUE(info.LoadFromPath("item"));
    ASSERT_TRUE(info.Refresh());
    EXPECT_EQ(info.GetStoredPath(), "item");
    ASSERT_EQ(unlink("item"), 0);
    EXPECT_FALSE(info.Refresh());
    EXPECT_FALSE(info.Exists());
    EXPECT_EQ(info.GetStoredPath(), "item");
    ASSERT_EQ(chdir("/"), 0);

    CFileInfo empty;
    EXPECT_FALSE(empty.Refresh());
}

struct AttributeCase
{
    std::uint32_t m_dwAttributes;
    const char* m_pszUpper;
    const char* m_pszLower;
};

TEST(FileInfoTest, AttributeStringsPutEachLetterInItsPlace)
{
    const AttributeCase cases[] = {
        {0x0, "----", "----"},  {0x1, "R---", "r---"},  {0x21, "RA--", "ra--"},
        {0x6, "--SH", "--sh"},  {0x27, "RASH", "rash"}, {0x10, "----", "----"},
    };
    for (const AttributeCase& c : cases)
    {
        CFileInfo info;
        info.m_dwAttributes = c.m_dwAttributes;
        EXPECT_EQ(info.GetAttributesString(true), c.m_pszUpper) << c.m_dwAttributes;
        EXPECT_EQ(info.GetAttributesString(false), c.m_pszLower) << c.m_dwAttributes;
    }
}

TEST(FileInfoTest, ReadOnlyAndHiddenComeFromPermissionAndName)
{
    TempDir dir;
    WriteFile(dir / ".hidden", "x");
    ASSERT_EQ(chmod((dir / ".hidden").c_str(), 0444), 0);
    CFileInfo info;
    ASSERT_TRUE(info.LoadFromPath(dir / ".hidden"));
    EXPECT_EQ(info.GetAttributesString(true), "R--H");
}

struct PathCase
{
    const char* m_pszPath;
    const char* m_pszName;
    const char* m_pszTitle;
    const char* m_pszExtension;
    const char* m_pszFolder;
};

TEST(FileInfoTest, PathPartsFollowTheLastElement)
{
    const PathCase cases[] = {
        {"/home/u/report.final.txt", "report.final.txt", "report.final", ".txt", "/home/u"},
        {"/home/u/Makefile", "Makefile", "Makefile", "", "/home/u"},
        {"/home/u/.profile", ".profile", ".profile", "", "/home/u"},
        {"/home/u/archive.", "archive.", "archive", ".", "/home/u"},
        {"/etc", "etc", "etc", "", "/"},
        {"/home/u/dir/", "dir", "dir", "", "/home/u"},
        {"name.c", "name.c", "name", ".c", ""},
        {"/", "", "", "", ""},
    };
    for (const PathCase& c : cases)
    {
        const CFileInfo info(c.m_pszPath);
        EXPECT_EQ(info.GetName(), c.m_pszName) << c.m_pszPath;
        EXPECT_EQ(info.GetTitle(), c.m_pszTitle) << c.m_pszPath;
        EXPECT_EQ(info.GetExtension(), c.m_pszExtension) << c.m_pszPath;
        EXPECT_EQ(info.GetFolderPath(), c.m_pszFolder) << c.m_pszPath;
    }
}

TEST(FileInfoTest, UrlIsPercentEncoded)
{
    EXPECT_EQ(CFileInfo("/tmp/a b/#1%?.txt").GetURL(), "file:///tmp/a%20b/%231%25%3F.txt");
    EXPECT_EQ(CFileInfo("/tmp/K\xC3\xB6ln\xFF").GetURL(), "file:///tmp/K%C3%B6ln%FF");
}

TEST(FileInfoExTest, CachedValuesStartUnknownAndAreComputedOnDemand)
{
    TempDir dir;
    WriteFile(dir / "t.txt", "123456789");
    CFileInfoEx info;
    ASSERT_TRUE(info.LoadFromPath(dir / "t.txt"));
    EXPECT_EQ(info.GetVersionString(), "0,0,0,0");
    EXPECT_EQ(info.GetCRCString(true), "");
    EXPECT_EQ(info.GetFileType(), -1);

    EXPECT_EQ(info.DetectFileType(), 1);
    EXPECT_EQ(info.ComputeCRC(), 0xCBF43926u);
    EXPECT_EQ(info.GetCRCString(true), "CBF43926");
    EXPECT_EQ(info.GetCRCString(false), "cbf43926");
    info.LoadVersion();
    EXPECT_EQ(info.GetVersionString(), "0,0,0,0");
    EXPECT_EQ(info.GetLoadedFlags(), FILE_LOADED_INFO | FILE_LOADED_TYPE | FILE_LOADED_CRC | FILE_LOADED_VERSION);

    // Cached until forced or reloaded.
    WriteFile(dir / "t.txt", std::string("\0\0", 2));
    EXPECT_EQ(info.DetectFileType(), 1);
    EXPECT_EQ(info.DetectFileType(true), 2);
    ASSERT_TRUE(info.LoadFromPath(dir / "t.txt"));
    EXPECT_EQ(info.GetLoadedFlags(), FILE_LOADED_INFO);
    EXPECT_EQ(info.GetFileType(), -1);
    EXPECT_EQ(info.ComputeCRC(), 0x41D912FFu);
}

TEST(FileInfoExTest, ChecksumOfAllOnesShowsAsEmpty)
{
    TempDir dir;
    WriteFile(dir / "ones", "\xFF\xFF\xFF\xFF"); // its CRC-32 is 0xFFFFFFFF
    CFileInfoEx info;
    ASSERT_TRUE(info.LoadFromPath(dir / "ones"));
    EXPECT_EQ(info.ComputeCRC(), 0xFFFFFFFFu);
    EXPECT_EQ(info.GetCRCString(true), "");
}

TEST(FileInfoExTest, ChecksumStringHasNoLeadingZeros)
{
    CFileInfoEx info;
    TempDir dir;
    WriteFile(dir / "empty", "");
    ASSERT_TRUE(info.LoadFromPath(dir / "empty"));
    EXPECT_EQ(info.ComputeCRC(), 0u);
    EXPECT_EQ(info.GetCRCString(true), "0");
}

TEST(FileInfoExTest, FoldersAndMissingFilesGiveZeroWithoutReading)
{
    TempDir dir;
    CFileInfoEx folder;
    ASSERT_TRUE(folder.LoadFromPath(dir.Path()));
    EXPECT_EQ(folder.ComputeCRC(), 0u);
    EXPECT_EQ(folder.DetectFileType(), -1);
    CFileInfoEx missing;
    EXPECT_FALSE(missing.LoadFromPath(dir / "gone"));
    EXPECT_EQ(missing.ComputeCRC(), 0u);
    EXPECT_EQ(missing.DetectFileType(), -1);
}

TEST(FileInfoExTest, CopyFromCopiesEverything)
{
    TempDir dir;
    WriteFile(dir / "f", "abc");
    CFileInfoEx a;
    ASSERT_TRUE(a.LoadFromPath(dir / "f"));
    a.ComputeCRC();
    a.DetectFileType();
    CFileInfoEx b;
    b.CopyFrom(a);
    EXPECT_EQ(b.GetPath(), a.GetPath());
    EXPECT_EQ(b.GetCRC(), a.GetCRC());
    EXPECT_EQ(b.GetFileType(), 1);
    EXPECT_EQ(b.GetLoadedFlags(), a.GetLoadedFlags());
    EXPECT_EQ(b.GetLastWriteFileTime(), a.GetLastWriteFileTime());
}

TEST(FileFindExTest, EnumeratesEntriesWithRawNamesAndErrors)
{
    TempDir dir;
    WriteFile(dir / "plain", "12");
    const std::string odd = "bad\xFF\xFEname";
    WriteFile(dir / odd, "1234");
    ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
    ASSERT_EQ(symlink("missing-target", (dir / "dangling").c_str()), 0);
    ASSERT_EQ(symlink("sub", (dir / "to-sub").c_str()), 0);

    CFileFindEx find;
    ASSERT_TRUE(find.FindFile(dir.Path()));
    std::vector<std::string> names;
    while (find.FindNextFile())
    {
        const platform::FindData& entry = find.GetFindData();
        names.push_back(entry.m_strName);
        CFileInfo info;
        info.LoadFromFindData(entry);
        if (entry.m_strName == odd)
        {
            EXPECT_EQ(info.GetSize(), 4u);
            EXPECT_EQ(find.GetFilePath(), dir / odd);
        }
        if (entry.m_strName == "sub" || entry.m_strName == "to-sub")
        {
            EXPECT_TRUE(find.IsDirectory()) << entry.m_strName;
            EXPECT_EQ(info.GetSizeString(), "");
        }
        if (entry.m_strName == "dangling")
        {
            EXPECT_TRUE(entry.m_bSymlink);
            EXPECT_EQ(entry.m_nError, ENOENT);
        }
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{odd, "dangling", "plain", "sub", "to-sub"}));
    EXPECT_EQ(find.GetLastError(), 0);

    CFileFindEx missing;
    EXPECT_FALSE(missing.FindFile(dir / "none"));
    EXPECT_EQ(missing.GetLastError(), ENOENT);
}

TEST(FileObjectTest, CreateSubfolderKeepsNamesInsideTheFolder)
{
    TempDir dir;
    CFileObject folder;
    ASSERT_TRUE(folder.LoadFromPath(dir.Path()));
    EXPECT_EQ(folder.CreateSubfolder("new"), 0);
    EXPECT_EQ(folder.CreateSubfolder("new"), 1);
    for (const char* bad : {"", ".", "..", "a/b", "../escape"})
        EXPECT_EQ(folder.CreateSubfolder(bad), -1) << bad;
    struct stat st{};
    EXPECT_NE(stat((dir / "escape").c_str(), &st), 0);

    WriteFile(dir / "file", "x");
    CFileObject file;
    ASSERT_TRUE(file.LoadFromPath(dir / "file"));
    EXPECT_EQ(file.CreateSubfolder("x"), -1);
}

TEST(FileObjectTest, SetLastWriteTimeChangesOnlyTheWriteTime)
{
    TempDir dir;
    WriteFile(dir / "f", "x");
    struct timespec times[2] = {{1000000000, 0}, {1100000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "f").c_str(), times, 0), 0);
    CFileObject file;
    ASSERT_TRUE(file.LoadFromPath(dir / "f"));
    ASSERT_EQ(file.SetLastWriteTime(1600000000), 0);
    EXPECT_EQ(file.GetLastWriteTime(), 1600000000);
    CFileInfo reread;
    ASSERT_TRUE(reread.LoadFromPath(dir / "f"));
    EXPECT_EQ(reread.GetLastWriteTime(), 1600000000);
    EXPECT_EQ(reread.GetLastAccessTime(), 1000000000);

    CFileObject missing;
    missing.LoadFromPath(dir / "gone");
    EXPECT_EQ(missing.SetLastWriteTime(1600000000), -1);
    EXPECT_FALSE(missing.GetLastError().empty());
}

TEST(FileObjectTest, SetAttributesChangesReadOnlyAndRefusesTheRest)
{
    TempDir dir;
    WriteFile(dir / "f", "x");
    CFileObject file;
    ASSERT_TRUE(file.LoadFromPath(dir / "f"));
    ASSERT_EQ(file.SetAttributes(0x1), 0);
    struct stat st{};
    ASSERT_EQ(stat((dir / "f").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0222, 0u);
    EXPECT_TRUE(file.HasAttribute(0x1));

    // Hidden, system and archive cannot be set here: refused, nothing changes.
    for (const std::uint32_t mask : {0x2u, 0x4u, 0x20u, 0x1u | 0x2u})
    {
        EXPECT_EQ(file.SetAttributes(mask), -1) << mask;
        EXPECT_FALSE(file.GetLastError().empty());
    }
    ASSERT_EQ(stat((dir / "f").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0222, 0u);

    ASSERT_EQ(file.SetAttributes(0), 0);
    ASSERT_EQ(stat((dir / "f").c_str(), &st), 0);
    EXPECT_NE(st.st_mode & S_IWUSR, 0u);
    EXPECT_FALSE(file.HasAttribute(0x1));
}

} // namespace
