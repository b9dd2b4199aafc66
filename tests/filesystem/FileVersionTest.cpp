#include "filesystem/FileVersion.h"

#include "support/TestSupport.h"
#include "support/VersionBlockBuilder.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using testsupport::VersionNode;
using Parts = std::array<std::uint16_t, 4>;

namespace {

std::string FixturePath(const std::string& name)
{
    return std::string(QUORVANE_TEST_DATA_DIR) + "/pe/" + name;
}

using Strings = std::array<std::string, CFileVersion::StringCount>;

Strings AllStrings(const CFileVersion& version)
{
    Strings strings;
    for (int i = 0; i < CFileVersion::StringCount; ++i)
        strings[static_cast<std::size_t>(i)] = version.GetString(i);
    return strings;
}

const Strings kEnglish64 = {
    "Melkwen Test Company", "Quorvane 64-bit test library", "5.6.7.8",         "version64",
    "Copyright \u00a9 2024 Melkwen", "version64.dll",        "Quorvane Fixtures", "5.6",
    "English strings",      "Quorvane\u2122",               "private-en",      "special-en",
};

// The German table lacks LegalTrademarks and SpecialBuild and has an empty PrivateBuild.
const Strings kGerman64 = {
    "Melkwen Pr\u00fcfgesellschaft", "Quorvane 64-Bit-Pr\u00fcfbibliothek", "5.6.7.8", "version64",
    "Urheberrecht \u00a9 2024 Melkwen", "version64.dll", "Quorvane Pr\u00fcfdateien", "5.6",
    "Deutsche Zeichenketten: \u00e4\u00f6\u00fc\u00df", "", "", "",
};

void ExpectNothing(const CFileVersion& version, const std::string& what)
{
    EXPECT_FALSE(version.HasFixedInfo()) << what;
    EXPECT_EQ(version.FixedInfo().dwSignature, 0u) << what;
    EXPECT_EQ(version.FixedInfo().dwFileVersionMS, 0u) << what;
    EXPECT_EQ(version.FixedInfo().dwFileVersionLS, 0u) << what;
    EXPECT_EQ(version.FileVersionParts(), (Parts{0, 0, 0, 0})) << what;
    EXPECT_EQ(AllStrings(version), Strings{}) << what;
    CFileVersion::Translation translation;
    EXPECT_FALSE(version.GetTranslation(translation)) << what;
}

} // namespace

TEST(FileVersion, StringNamesInTheDesignOrder)
{
    const char* expected[] = {"CompanyName",    "FileDescription", "FileVersion",     "InternalName",
                              "LegalCopyright", "OriginalFileName", "ProductName",    "ProductVersion",
                              "Comments",       "LegalTrademarks", "PrivateBuild",    "SpecialBuild"};
    static_assert(std::size(expected) == CFileVersion::StringCount);
    for (int i = 0; i < CFileVersion::StringCount; ++i)
        EXPECT_STREQ(CFileVersion::StringName(i), expected[i]);
    EXPECT_EQ(CFileVersion::StringName(-1), nullptr);
    EXPECT_EQ(CFileVersion::StringName(CFileVersion::StringCount), nullptr);
}

TEST(FileVersion, ReadsThe64BitDll)
{
    CFileVersion version;
    ASSERT_TRUE(version.Read(FixturePath("version64.dll"), 0x0409));
    ASSERT_TRUE(version.HasFixedInfo());
    const VS_FIXEDFILEINFO& fixed = version.FixedInfo();
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00050006u);
    EXPECT_EQ(fixed.dwFileVersionLS, 0x00070008u);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00050006u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0u);
    EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed.dwFileFlags, 0x2u);
    EXPECT_EQ(fixed.dwFileOS, 0x40004u);
    EXPECT_EQ(fixed.dwFileType, 0x2u);
    EXPECT_EQ(fixed.dwFileSubtype, 0u);
    EXPECT_EQ(version.FileVersionParts(), (Parts{5, 6, 7, 8}));
    EXPECT_EQ(AllStrings(version), kEnglish64);
    CFileVersion::Translation translation;
    ASSERT_TRUE(version.GetTranslation(translation));
    EXPECT_EQ(translation.language, 0x0409);
    EXPECT_EQ(translation.codePage, 1200);
}

TEST(FileVersion, NamedAccessors)
{
    CFileVersion version;
    ASSERT_TRUE(version.Read(FixturePath("version64.dll"), 0x0409));
    EXPECT_EQ(version.GetCompanyName(), kEnglish64[0]);
    EXPECT_EQ(version.GetFileDescription(), kEnglish64[1]);
    EXPECT_EQ(version.GetFileVersion(), kEnglish64[2]);
    EXPECT_EQ(version.GetInternalName(), kEnglish64[3]);
    EXPECT_EQ(version.GetLegalCopyright(), kEnglish64[4]);
    EXPECT_EQ(version.GetOriginalFileName(), kEnglish64[5]);
    EXPECT_EQ(version.GetProductName(), kEnglish64[6]);
    EXPECT_EQ(version.GetProductVersion(), kEnglish64[7]);
    EXPECT_EQ(version.GetComments(), kEnglish64[8]);
    EXPECT_EQ(version.GetLegalTrademarks(), kEnglish64[9]);
    EXPECT_EQ(version.GetPrivateBuild(), kEnglish64[10]);
    EXPECT_EQ(version.GetSpecialBuild(), kEnglish64[11]);
    EXPECT_EQ(version.GetString(CFileVersion::ProductName), "Quorvane Fixtures");
    EXPECT_EQ(version.GetString(-1), "");
    EXPECT_EQ(version.GetString(CFileVersion::StringCount), "");
}

TEST(FileVersion, ReadsThe32BitExe)
{
    CFileVersion version;
    ASSERT_TRUE(version.Read(FixturePath("version32.exe"), 0x0407));
    ASSERT_TRUE(version.HasFixedInfo());
    EXPECT_EQ(version.FixedInfo().dwFileVersionMS, 0x00010002u);
    EXPECT_EQ(version.FixedInfo().dwFileVersionLS, 0x00030004u);
    EXPECT_EQ(version.FixedInfo().dwFileType, 0x1u);
    EXPECT_EQ(version.FileVersionParts(), (Parts{1, 2, 3, 4}));
    EXPECT_EQ(version.GetFileDescription(), "Quorvane 32-Bit-Pr\u00fcfprogramm");
    EXPECT_EQ(version.GetCompanyName(), "Melkwen Pr\u00fcfgesellschaft");
    EXPECT_EQ(version.GetOriginalFileName(), "version32.exe");
    EXPECT_EQ(version.GetComments(), ""); // absent
}

TEST(FileVersion, StringsOfTheChosenTranslation)
{
    CFileVersion version;
    ASSERT_TRUE(version.Read(FixturePath("version64.dll"), 0x0407));
    EXPECT_EQ(AllStrings(version), kGerman64);
    EXPECT_EQ(version.FileVersionParts(), (Parts{5, 6, 7, 8})); // one fixed record for all translations
}

TEST(FileVersion, TranslationChoiceOnTheRealFiles)
{
    struct Case
    {
        const char* file;
        std::uint16_t user;
        std::uint16_t language;
        std::uint16_t codePage;
        const char* description;
    };
    const Case cases[] = {
        {"version64.dll", 0x0409, 0x0409, 1200, "Quorvane 64-bit test library"},
        {"version64.dll", 0x0407, 0x0407, 1200, "Quorvane 64-Bit-Pr\u00fcfbibliothek"},
        {"version64.dll", 0x0C07, 0x0407, 1200, "Quorvane 64-Bit-Pr\u00fcfbibliothek"}, // low byte
        {"version64.dll", 0x0809, 0x0409, 1200, "Quorvane 64-bit test library"},        // low byte
        {"version64.dll", 0x040C, 0x0409, 1200, "Quorvane 64-bit test library"},        // English
        {"version32.exe", 0x0409, 0x0409, 1252, "Quorvane 32-bit test program"},
        {"version32.exe", 0x0407, 0x0407, 1252, "Quorvane 32-Bit-Pr\u00fcfprogramm"},
        {"version32.exe", 0x0411, 0x0409, 1252, "Quorvane 32-bit test program"}, // English before the first
        {"version32.exe", 0x0000, 0x0409, 1252, "Quorvane 32-bit test program"},
    };
    for (const Case& c : cases)
    {
        CFileVersion version;
        ASSERT_TRUE(version.Read(FixturePath(c.file), c.user)) << c.file;
        CFileVersion::Translation translation;
        ASSERT_TRUE(version.GetTranslation(translation));
        EXPECT_EQ(translation.language, c.language) << c.file << " user " << std::hex << c.user;
        EXPECT_EQ(translation.codePage, c.codePage) << c.file << " user " << std::hex << c.user;
        EXPECT_EQ(version.GetFileDescription(), c.description) << c.file << " user " << std::hex << c.user;
    }
}

TEST(FileVersion, ChooseTranslationOrder)
{
    using T = CFileVersion::Translation;
    struct Case
    {
        const char* why;
        std::vector<T> table;
        std::uint16_t user;
        std::size_t expected;
    };
    const Case cases[] = {
        {"empty table", {}, 0x0409, 0},
        {"exact", {{0x0409, 1200}, {0x0407, 1200}}, 0x0407, 1},
        {"exact, second", {{0x0407, 1252}, {0x0409, 1252}}, 0x0409, 1},
        {"exact beats low byte even when later", {{0x0C07, 1200}, {0x0407, 1200}}, 0x0407, 1},
        {"exact: the first of two", {{0x0407, 1252}, {0x0407, 1200}}, 0x0407, 0},
        {"low byte", {{0x0409, 1200}, {0x0807, 1200}}, 0x0407, 1},
        {"low byte: the first of two", {{0x0409, 1200}, {0x0C07, 1200}, {0x0807, 1200}}, 0x0407, 1},
        {"low byte beats neutral", {{0x0000, 1200}, {0x0807, 1200}}, 0x0407, 1},
        {"neutral beats English", {{0x0409, 1200}, {0x0000, 1200}}, 0x040C, 1},
        {"neutral by low byte", {{0x0409, 1200}, {0x0400, 1200}}, 0x040C, 1},
        {"exact neutral before neutral by low byte", {{0x0400, 1200}, {0x0000, 1200}}, 0x040C, 1},
        {"English by low byte", {{0x0407, 1200}, {0x0809, 1200}}, 0x040C, 1},
        {"English before the first", {{0x0407, 1200}, {0x0409, 1200}}, 0x0411, 1},
        {"the first", {{0x0407, 1200}, {0x0410, 1200}}, 0x040C, 0},
        {"a single foreign entry", {{0x0411, 932}}, 0x0409, 0},
        {"neutral user, no neutral entry", {{0x0407, 1200}, {0x0409, 1200}}, 0x0000, 1},
        {"neutral user, neutral entry", {{0x0407, 1200}, {0x0000, 1200}}, 0x0000, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CFileVersion::ChooseTranslation(c.table, c.user), c.expected) << c.why;
}

TEST(FileVersion, NotAPeFileGivesNothing)
{
    testsupport::TempDir dir;
    testsupport::WriteFile(dir / "empty", "");
    testsupport::WriteFile(dir / "text", "plain text\n");
    testsupport::WriteFile(dir / "mz", "MZ");
    testsupport::WriteFile(dir / "elf", std::string("\x7F" "ELF\x02\x01\x01") + std::string(57, '\0'));
    for (const std::string& path : {dir / "empty", dir / "text", dir / "mz", dir / "elf", dir / "missing",
                                    dir.Path(), std::string("/proc/self/exe"), std::string("/dev/null"),
                                    FixturePath("noversion.dll"), FixturePath("version64.rc")})
    {
        CFileVersion version;
        EXPECT_FALSE(version.Read(path, 0x0409)) << path;
        ExpectNothing(version, path);
    }
}

TEST(FileVersion, AFifoDoesNotBlock)
{
    testsupport::TempDir dir;
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // On another thread, so that a reader that waits for a writer fails the test instead of hanging it.
    std::packaged_task<bool()> task([&fifo] { return CFileVersion().Read(fifo, 0x0409); });
    std::future<bool> result = task.get_future();
    std::thread thread(std::move(task));
    const bool quick = result.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!quick)
    {
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); // releases the reader
        if (fd >= 0)
            ::close(fd);
    }
    thread.join();
    EXPECT_TRUE(quick);
    EXPECT_FALSE(result.get());
}

TEST(FileVersion, ReadClearsWhatWasReadBefore)
{
    CFileVersion version;
    ASSERT_TRUE(version.Read(FixturePath("version64.dll"), 0x0409));
    EXPECT_FALSE(version.Read(FixturePath("noversion.dll"), 0x0409));
    ExpectNothing(version, "after noversion.dll");

    ASSERT_TRUE(version.Read(FixturePath("version64.dll"), 0x0409));
    version.Clear();
    ExpectNothing(version, "after Clear");
}

TEST(FileVersion, EveryTruncationOfTheFixtureGivesAllOrNothing)
{
    for (const char* name : {"version64.dll", "version32.exe"})
    {
        CFileVersion full;
        ASSERT_TRUE(full.Read(FixturePath(name), 0x0409));
        const std::string bytes = testsupport::ReadFile(FixturePath(name));
        testsupport::TempDir dir;
        const std::string path = dir / "cut";
        std::size_t readCount = 0;
        testsupport::WriteFile(path, bytes);
        for (std::size_t length = bytes.size(); length-- > 0;)
        {
            ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(length)), 0); // cut a byte at a time
            CFileVersion version;
            if (version.Read(path, 0x0409))
            {
                ++readCount;
                EXPECT_EQ(AllStrings(version), AllStrings(full)) << name << " cut at " << length;
                EXPECT_EQ(version.FileVersionParts(), full.FileVersionParts())
                    << name << " cut at " << length;
                EXPECT_TRUE(version.HasFixedInfo()) << name << " cut at " << length;
            }
            else
                ExpectNothing(version, std::string(name) + " cut at " + std::to_string(length));
        }
        EXPECT_GT(readCount, 0u) << name; // the padding after the block can go
    }
}

// ---------------------------------------------------------------------------------------------------
// Hand-made blocks for what the fixtures do not show.

namespace {

VersionNode StringTables(std::vector<VersionNode> tables)
{
    return VersionNode{"StringFileInfo", 1, {}, std::nullopt, std::move(tables), std::nullopt};
}

VersionNode Table(std::string key, std::vector<VersionNode> strings)
{
    return VersionNode{std::move(key), 1, {}, std::nullopt, std::move(strings), std::nullopt};
}

VersionNode Translations(std::vector<std::uint8_t> value)
{
    return VersionNode{"VarFileInfo", 1, {}, std::nullopt,
                       {VersionNode{"Translation", 0, std::move(value), std::nullopt, {}, std::nullopt}},
                       std::nullopt};
}

VersionNode Root(std::vector<std::uint8_t> fixed, std::vector<VersionNode> children)
{
    VersionNode root{"VS_VERSION_INFO", 0, std::move(fixed), std::nullopt, {}, std::nullopt};
    root.children = std::move(children);
    return root;
}

} // namespace

TEST(FileVersion, TheFixedRecordOnlyWhenExactly52Bytes)
{
    for (std::size_t size : {0u, 48u, 51u, 53u, 56u})
    {
        std::vector<std::uint8_t> fixed = testsupport::FixedFileInfo(0x00010002, 0x00030004);
        fixed.resize(size);
        const std::vector<std::uint8_t> block = testsupport::BuildVersionBlock(
            Root(fixed, {StringTables({Table("040904B0", {testsupport::TextNode("CompanyName", u"Acme")})}),
                         Translations(testsupport::TranslationValue({{0x0409, 1200}}))}));
        CFileVersion version;
        EXPECT_TRUE(version.ReadBlock(block, 0x0409)) << size;
        EXPECT_FALSE(version.HasFixedInfo()) << size;
        EXPECT_EQ(version.FixedInfo().dwFileVersionMS, 0u) << size;
        EXPECT_EQ(version.GetCompanyName(), "Acme") << size; // the strings are read all the same
    }
}

TEST(FileVersion, WithoutATranslationTableTheStringsStayEmpty)
{
    const std::vector<std::uint8_t> block = testsupport::BuildVersionBlock(
        Root(testsupport::FixedFileInfo(0x00010002, 0x00030004),
             {StringTables({Table("040904B0", {testsupport::TextNode("CompanyName", u"Acme")})})}));
    CFileVersion version;
    EXPECT_TRUE(version.ReadBlock(block, 0x0409));
    EXPECT_TRUE(version.HasFixedInfo());
    EXPECT_EQ(version.FileVersionParts(), (Parts{1, 2, 3, 4}));
    EXPECT_EQ(version.GetCompanyName(), "");
    CFileVersion::Translation translation;
    EXPECT_FALSE(version.GetTranslation(translation));
}

TEST(FileVersion, TheTableKeyIsFormattedAsUpperCaseHex)
{
    // %04X%04X of language 0x040C and code page 0x04E4; the key in the file may be in either case.
    const std::vector<std::uint8_t> block = testsupport::BuildVersionBlock(
        Root(testsupport::FixedFileInfo(1, 2),
             {StringTables({Table("040904b0", {testsupport::TextNode("ProductName", u"wrong table")}),
                            Table("040c04e4", {testsupport::TextNode("ProductName", u"Produit")})}),
              Translations(testsupport::TranslationValue({{0x0409, 0x04B0}, {0x040C, 0x04E4}}))}));
    CFileVersion version;
    ASSERT_TRUE(version.ReadBlock(block, 0x040C));
    EXPECT_EQ(version.GetProductName(), "Produit");
}

TEST(FileVersion, AnEmptyBlockIsNoResource)
{
    CFileVersion version;
    EXPECT_FALSE(version.ReadBlock({}, 0x0409));
    ExpectNothing(version, "empty block");
}
