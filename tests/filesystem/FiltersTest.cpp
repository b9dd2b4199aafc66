#include "filesystem/ComboFilters.h"
#include "filesystem/FileInfoEx.h"
#include "filesystem/FilterSettings.h"
#include "filesystem/FilterText.h"

#include "platform/FileSystemEntry.h"
#include "platform/FileTime.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <ctime>
#include <sys/stat.h>
#include <utime.h>

using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

platform::FindData FileEntry(const std::string& name, std::uint64_t size = 10, std::int64_t mtime = 1700000000,
                             std::uint32_t attributes = 0)
{
    platform::FindData entry;
    entry.m_strName = name;
    entry.m_nSize = size;
    entry.m_ftLastWriteTime = platform::FileTimeFromUnix(mtime, 0);
    entry.m_dwAttributes = attributes;
    return entry;
}

platform::FindData FolderEntry(const std::string& name, std::uint32_t attributes = 0)
{
    platform::FindData entry;
    entry.m_strName = name;
    entry.m_dwAttributes = platform::FILE_ATTRIBUTE_DIRECTORY | attributes;
    return entry;
}

struct NameCase
{
    const char* include;
    const char* exclude;
    const char* name;
    bool excluded;
};

class NameFilterCases : public testing::TestWithParam<NameCase>
{
};

TEST_P(NameFilterCases, ExcludesAsExpected)
{
    CNameFilter filter;
    filter.m_strInclude = GetParam().include;
    filter.m_strExclude = GetParam().exclude;
    EXPECT_EQ(filter.IsNameExcluded(GetParam().name), GetParam().excluded)
        << GetParam().include << " / " << GetParam().exclude << " / " << GetParam().name;
}

const NameCase kNameCases[] = {
    {"*.c;*.h", "test*", "main.c", false},
    {"*.c;*.h", "test*", "test.c", true},
    {"*.c;*.h", "test*", "main.cpp", true},
    {"*.c;*.h", "test*", "MAIN.H", false},
    {";", "", "main.c", true},  // only separators: nothing is included
    {"", "", "main.c", false},  // empty: everything is included
    {"*", "", "main.c", false},
    {"*.c; *.h", "", "main.h", true}, // the blank belongs to the second pattern
    {"*", "*.o;*.obj", "x.OBJ", true},
    {"*", ";;", "x.o", false},
};

INSTANTIATE_TEST_SUITE_P(Lists, NameFilterCases, testing::ValuesIn(kNameCases));

TEST(NameFilter, MatchCaseFlagIsKeptButMatchingIgnoresCase)
{
    CNameFilter filter;
    filter.m_strInclude = "*.txt";
    filter.m_bMatchCase = 1;
    EXPECT_FALSE(filter.IsNameExcluded("README.TXT"));
    CNameFilter other = filter;
    other.m_bMatchCase = 0;
    EXPECT_TRUE(filter.Differs(other));
}

TEST(NameFilter, PatternsDifferOnlyBeyondCase)
{
    CNameFilter a;
    CNameFilter b;
    a.m_strInclude = "*.C;*.H";
    b.m_strInclude = "*.c;*.h";
    EXPECT_FALSE(a.Differs(b));
    b.m_strExclude = "x";
    EXPECT_TRUE(a.Differs(b));
}

TEST(FileFilters, TimeBoundsAreInclusive)
{
    CFileFilters filters;
    filters.m_tFrom = 1700000000;
    filters.m_tTo = 1700000100;
    EXPECT_FALSE(filters.IsExcluded(FileEntry("a", 1, 1700000000)));
    EXPECT_FALSE(filters.IsExcluded(FileEntry("a", 1, 1700000100)));
    EXPECT_TRUE(filters.IsExcluded(FileEntry("a", 1, 1699999999)));
    EXPECT_TRUE(filters.IsExcluded(FileEntry("a", 1, 1700000101)));
}

TEST(FileFilters, DateOnlyUpperBoundExcludesFilesOfThatDay)
{
    CFileFilters filters;
    filters.m_tTo = ParseDateBound("2024-03-10");
    std::tm noon{};
    noon.tm_year = 124;
    noon.tm_mon = 2;
    noon.tm_mday = 10;
    noon.tm_hour = 12;
    noon.tm_isdst = -1;
    EXPECT_TRUE(filters.IsExcluded(FileEntry("a", 1, std::mktime(&noon))));
}

TEST(FileFilters, SizeBounds)
{
    CFileFilters filters;
    filters.m_nMinSize = 1;
    EXPECT_TRUE(filters.IsExcluded(FileEntry("empty", 0)));
    EXPECT_FALSE(filters.IsExcluded(FileEntry("one", 1)));
    filters.m_nMinSize = 0;
    filters.m_nMaxSize = 0; // no bound
    EXPECT_FALSE(filters.IsExcluded(FileEntry("huge", 1ull << 40)));
    filters.m_nMaxSize = 100;
    EXPECT_FALSE(filters.IsExcluded(FileEntry("at", 100)));
    EXPECT_TRUE(filters.IsExcluded(FileEntry("above", 101)));
}

TEST(FileFilters, AttributesAndFoldersOnRawEntries)
{
    CFileFilters filters;
    filters.m_dwExcludeAttributes = platform::FILE_ATTRIBUTE_HIDDEN;
    filters.m_strInclude = "*.c";
    EXPECT_TRUE(filters.IsExcluded(FileEntry(".x.c", 1, 1, platform::FILE_ATTRIBUTE_HIDDEN)));
    EXPECT_FALSE(filters.IsExcluded(FileEntry("x.c", 1, 1, platform::FILE_ATTRIBUTE_READONLY)));
    // Folders are never judged by file filters, whatever they hold.
    EXPECT_FALSE(filters.IsExcluded(FolderEntry(".hidden", platform::FILE_ATTRIBUTE_HIDDEN)));
}

TEST(FileFilters, TypeIsJudgedOnObjectsOnly)
{
    TempDir dir;
    WriteFile(dir / "text.dat", "plain text\n");
    WriteFile(dir / "binary.dat", std::string("a\0b", 3));
    CFileFilters filters;
    filters.m_dwExcludeTypes = FILTER_TYPE_BINARY;

    CFileInfoEx text(dir / "text.dat");
    CFileInfoEx binary(dir / "binary.dat");
    ASSERT_TRUE(text.LoadFromPath(dir / "text.dat"));
    ASSERT_TRUE(binary.LoadFromPath(dir / "binary.dat"));
    text.DetectFileType();
    binary.DetectFileType();
    EXPECT_FALSE(filters.IsExcluded(text));
    EXPECT_TRUE(filters.IsExcluded(binary));
    // The raw entry of the binary file is not judged by type.
    platform::FindData entry;
    ASSERT_EQ(platform::ReadEntry(dir / "binary.dat", entry), 0);
    EXPECT_FALSE(filters.IsExcluded(entry));

    // A folder object is not judged by the file filters at all.
    CFileInfoEx folder(dir.Path());
    ASSERT_TRUE(folder.LoadFromPath(dir.Path()));
    filters.m_dwExcludeTypes = FILTER_TYPE_BINARY | FILTER_TYPE_DIRECTORY;
    EXPECT_FALSE(filters.IsExcluded(folder));
}

TEST(FolderFilters, ExcludeFoldersByNameAtAnyLevelButNotFiles)
{
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "src").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "src/.svn").c_str(), 0755), 0);
    WriteFile(dir / ".svn", "a file of that name");

    CComboFilters filters;
    filters.m_folderFilters.m_strExclude = ".svn";
    platform::FindData nested;
    platform::FindData file;
    ASSERT_EQ(platform::ReadEntry(dir / "src/.svn", nested), 0);
    ASSERT_EQ(platform::ReadEntry(dir / ".svn", file), 0);
    EXPECT_TRUE(filters.IsExcluded(nested));
    EXPECT_FALSE(filters.IsExcluded(file));
    EXPECT_FALSE(filters.IsExcluded(FolderEntry("src")));

    CFileInfoEx nestedInfo(dir / "src/.svn");
    ASSERT_TRUE(nestedInfo.LoadFromPath(dir / "src/.svn"));
    EXPECT_TRUE(filters.IsExcluded(nestedInfo));
}

TEST(ComboFilters, DefaultsExcludeNothingAndCompareEqual)
{
    CComboFilters a;
    CComboFilters b;
    EXPECT_TRUE(a.Equals(b));
    EXPECT_FALSE(a.IsExcluded(FileEntry("anything")));
    EXPECT_FALSE(a.IsExcluded(FolderEntry("anything")));
    b.m_fileFilters.m_nMaxSize = 5;
    EXPECT_TRUE(a.Differs(b));
    b.SetDefaults();
    EXPECT_TRUE(a.Equals(b));
    b.m_folderFilters.m_dwExcludeAttributes = 1;
    EXPECT_TRUE(a.Differs(b));
}

TEST(FilterText, DatesRoundTripAsLocalMidnight)
{
    const std::int64_t midnight = ParseDateBound("2006-12-31");
    ASSERT_NE(midnight, 0);
    std::tm tm{};
    const std::time_t t = midnight;
    localtime_r(&t, &tm);
    EXPECT_EQ(tm.tm_hour, 0);
    EXPECT_EQ(tm.tm_mday, 31);
    EXPECT_EQ(FormatDateBound(midnight), "2006-12-31");
    EXPECT_EQ(FormatDateBound(0), "");
}

TEST(FilterText, MalformedDatesGiveNoBound)
{
    for (const char* text : {"", "2006-12", "2006--31", "-12-31", "2006-12-31-4", "abc-de-fg", "2006-12-3x",
                             "99999999999999999999-1-1"})
        EXPECT_EQ(ParseDateBound(text), 0) << text;
}

TEST(FilterText, DateTimesNeedAllSixParts)
{
    const std::int64_t t = ParseDateTime("2024-02-29 13:45:07");
    ASSERT_NE(t, 0);
    EXPECT_EQ(FormatDateTime(t), "2024-02-29 13:45:07");
    for (const char* text : {"2024-02-29 13:45", "2024-02-29", "2024-02-29 13::07", "2024-02-29T13:45:07", ""})
        EXPECT_EQ(ParseDateTime(text), 0) << text;
}

TEST(FilterText, SizesAttributesAndTypes)
{
    EXPECT_EQ(FormatSizeBound(0), "");
    EXPECT_EQ(FormatSizeBound(1ull << 40), "1099511627776");
    EXPECT_EQ(ParseSizeBound("1099511627776"), 1ull << 40);
    EXPECT_EQ(ParseSizeBound("12abc"), 12u);
    EXPECT_EQ(ParseSizeBound(""), 0u);
    EXPECT_EQ(ParseSizeBound("-5"), 0u);
    EXPECT_EQ(ParseSizeBound("999999999999999999999999"), 9223372036854775807ull);

    EXPECT_EQ(FormatAttributeLetters(0x1 | 0x2 | 0x4 | 0x20), "RASH");
    EXPECT_EQ(FormatAttributeLetters(0x2), "H");
    EXPECT_EQ(ParseAttributeLetters("xHxRr"), 0x3u);
    EXPECT_EQ(ParseAttributeLetters("rash"), 0u);

    EXPECT_EQ(FormatTypeWords(0x3), "Text|Binary");
    EXPECT_EQ(ParseTypeWords(FormatTypeWords(0x3)), 0x3u);
    EXPECT_EQ(ParseTypeWords("Binary;Directory|text|Nonsense"), 0x6u);
    EXPECT_EQ(FormatTypeWords(0), "");
}

TEST(FilterSettings, FirstStartGivesDefaultsAndBuiltInPresets)
{
    TempDir dir;
    platform::Registry registry(dir.Path());
    platform::Profile profile(registry);
    CFilterSettings settings;
    settings.Load(profile, {{"C/C++", "c,cpp,h"}, {"Pascal", "pas"}});
    EXPECT_TRUE(settings.m_defaultFilters.Equals(CComboFilters()));
    ASSERT_EQ(settings.m_fileIncludePresets.size(), 2u);
    EXPECT_EQ(settings.m_fileIncludePresets[0], (PRESET_FILE_FILTER{"C/C++ Files", "*.c;*.cpp;*.h"}));
    EXPECT_EQ(settings.m_fileIncludePresets[1], (PRESET_FILE_FILTER{"Pascal Files", "*.pas"}));
    EXPECT_TRUE(settings.m_fileExcludePresets.empty());
    EXPECT_TRUE(settings.m_folderIncludePresets.empty());
    ASSERT_EQ(settings.m_folderExcludePresets.size(), 2u);
    EXPECT_EQ(settings.m_folderExcludePresets[0], (PRESET_FILE_FILTER{"SVN control folders", ".svn"}));
    CNameFilter cvs;
    cvs.m_strExclude = settings.m_folderExcludePresets[1].m_strFilter;
    EXPECT_TRUE(cvs.IsNameExcluded("CVS"));
}

TEST(FilterSettings, SaveAndLoadRoundTrip)
{
    TempDir dir;
    CFilterSettings saved;
    CFileFilters& files = saved.m_defaultFilters.m_fileFilters;
    files.m_strInclude = "*.c;*.h";
    files.m_strExclude = "test*";
    files.m_tFrom = ParseDateBound("2020-01-02");
    files.m_tTo = ParseDateBound("2021-03-04");
    files.m_nMinSize = 3;
    files.m_nMaxSize = 5ull << 32; // beyond 32 bits
    files.m_dwExcludeAttributes = 0x3;
    files.m_dwExcludeTypes = 0x2;
    saved.m_defaultFilters.m_folderFilters.m_strExclude = ".git";
    saved.m_defaultFilters.m_folderFilters.m_dwExcludeAttributes = 0x2;
    saved.m_fileExcludePresets = {{"Objects", "*.o"}, {"Empty", ""}, {"Backups", "*.bak;*~"}};
    {
        platform::Registry registry(dir.Path());
        platform::Profile profile(registry);
        ASSERT_TRUE(saved.Save(profile));
    }
    platform::Registry registry(dir.Path());
    platform::Profile profile(registry);
    CFilterSettings loaded;
    loaded.Load(profile, {});
    EXPECT_TRUE(loaded.m_defaultFilters.Equals(saved.m_defaultFilters));
    EXPECT_EQ(loaded.m_defaultFilters.m_fileFilters.m_nMaxSize, 5ull << 32);
    EXPECT_EQ(loaded.m_fileExcludePresets,
              (std::vector<PRESET_FILE_FILTER>{{"Objects", "*.o"}, {"Backups", "*.bak;*~"}}));
    EXPECT_EQ(profile.GetProfileString(CFilterSettings::kFileExcludePresetsSection, "Filter2"), "*.bak;*~");
}

TEST(FilterSettings, EmptyStoredIncludeKeepsStarAndShorterListsLeaveNothingBehind)
{
    TempDir dir;
    platform::Registry registry(dir.Path());
    platform::Profile profile(registry);
    profile.WriteProfileString(CFilterSettings::kDefaultFilesSection, "NameInclude", "");
    CFilterSettings settings;
    settings.m_folderIncludePresets = {{"a", "a"}, {"b", "b"}, {"c", "c"}};
    ASSERT_TRUE(settings.Save(profile));
    settings.m_folderIncludePresets = {{"z", "z"}};
    ASSERT_TRUE(settings.Save(profile));
    profile.WriteProfileString(CFilterSettings::kDefaultFilesSection, "NameInclude", "");

    CFilterSettings loaded;
    loaded.Load(profile, {});
    EXPECT_EQ(loaded.m_defaultFilters.m_fileFilters.m_strInclude, "*");
    EXPECT_EQ(loaded.m_folderIncludePresets, (std::vector<PRESET_FILE_FILTER>{{"z", "z"}}));
}

} // namespace
