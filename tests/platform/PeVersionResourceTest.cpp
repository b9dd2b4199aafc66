#include "platform/PeVersionResource.h"

#include "support/TestSupport.h"
#include "support/VersionBlockBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace platform;
using testsupport::VersionNode;
using Bytes = std::vector<std::uint8_t>;

namespace {

std::string FixturePath(const std::string& name)
{
    return std::string(QUORVANE_TEST_DATA_DIR) + "/pe/" + name;
}

std::vector<std::uint8_t> FixtureBytes(const std::string& name)
{
    const std::string text = testsupport::ReadFile(FixturePath(name));
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::string AsString(const std::vector<std::uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

std::uint16_t Get16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return Get16(b, at) | (static_cast<std::uint32_t>(Get16(b, at + 2)) << 16);
}

void Set16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v)
{
    b.at(at) = static_cast<std::uint8_t>(v & 0xFF);
    b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}

void Set32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    Set16(b, at, static_cast<std::uint16_t>(v & 0xFFFF));
    Set16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

// Where the interesting fields of a fixture are, found independently of the parser under test.
struct Layout
{
    std::size_t peOffset = 0;
    std::size_t optionalOffset = 0;
    std::size_t sectionCountOffset = 0;
    std::size_t resourceRvaOffset = 0; // data directory 2's RVA field
    std::size_t resourceRootOffset = 0; // the root resource directory in the file
    std::size_t resourceSectionOffset = 0; // the section header of the resource section
    std::size_t blockOffset = 0;        // the VS_VERSIONINFO block in the file
    std::size_t blockSize = 0;
    std::size_t dataEntryOffset = 0;    // the data entry (RVA, size, code page, reserved) of the block
};

Layout Analyse(const std::vector<std::uint8_t>& file, const std::vector<std::uint8_t>& block)
{
    Layout layout;
    layout.peOffset = Get32(file, 0x3C);
    layout.sectionCountOffset = layout.peOffset + 6;
    layout.optionalOffset = layout.peOffset + 24;
    const bool pe32Plus = Get16(file, layout.optionalOffset) == 0x20B;
    layout.resourceRvaOffset = layout.optionalOffset + (pe32Plus ? 112 : 96) + 16;
    const std::uint32_t resourceRva = Get32(file, layout.resourceRvaOffset);
    const std::size_t sections = layout.optionalOffset + Get16(file, layout.peOffset + 20);
    std::uint32_t sectionRva = 0;
    std::uint32_t sectionRaw = 0;
    for (std::size_t i = 0; i < Get16(file, layout.sectionCountOffset); ++i)
    {
        const std::size_t header = sections + 40 * i;
        if (Get32(file, header + 12) == resourceRva)
        {
            sectionRva = Get32(file, header + 12);
            sectionRaw = Get32(file, header + 20);
            layout.resourceSectionOffset = header;
        }
    }
    layout.resourceRootOffset = sectionRaw;
    const auto at = std::search(file.begin(), file.end(), block.begin(), block.end());
    layout.blockOffset = static_cast<std::size_t>(at - file.begin());
    layout.blockSize = block.size();
    std::vector<std::uint8_t> entry;
    testsupport::Put32(entry, static_cast<std::uint32_t>(layout.blockOffset - sectionRaw + sectionRva));
    testsupport::Put32(entry, static_cast<std::uint32_t>(block.size()));
    const auto e = std::search(file.begin(), file.end(), entry.begin(), entry.end());
    layout.dataEntryOffset = static_cast<std::size_t>(e - file.begin());
    return layout;
}

std::vector<std::uint8_t> Prefix(const std::vector<std::uint8_t>& bytes, std::size_t length)
{
    return std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
}

// Runs `read` on another thread; false when it has not returned within a few seconds (it is then
// released by opening the FIFO's other end, so that the test fails instead of hanging).
bool ReturnsQuickly(const std::string& fifo, std::function<void()> read)
{
    std::packaged_task<void()> task(std::move(read));
    std::future<void> done = task.get_future();
    std::thread thread(std::move(task));
    const bool quick = done.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!quick)
    {
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
    }
    thread.join();
    return quick;
}

std::vector<std::uint8_t> Fixed(const std::vector<std::uint8_t>& block)
{
    std::vector<std::uint8_t> value;
    EXPECT_TRUE(QueryVersionValue(block, "\\", value));
    return value;
}

std::string String(const std::vector<std::uint8_t>& block, std::string_view path)
{
    std::string text;
    EXPECT_TRUE(QueryVersionString(block, path, text)) << path;
    return text;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Real PE files built by MinGW-w64's windres and ld (tests/data/pe/make-fixtures.sh).

TEST(PeVersionResource, ReadsTheFixedRecordOfAPe32PlusDll)
{
    const std::vector<std::uint8_t> block = ReadVersionInfoBlock(FixturePath("version64.dll"), 0x0409);
    ASSERT_FALSE(block.empty());
    EXPECT_EQ(Get16(block, 0), block.size()); // wLength of the root
    const std::vector<std::uint8_t> fixed = Fixed(block);
    ASSERT_EQ(fixed.size(), 52u);
    EXPECT_EQ(Get32(fixed, 0), 0xFEEF04BDu);    // dwSignature
    EXPECT_EQ(Get32(fixed, 8), 0x00050006u);    // dwFileVersionMS: 5.6
    EXPECT_EQ(Get32(fixed, 12), 0x00070008u);   // dwFileVersionLS: 7.8
    EXPECT_EQ(Get32(fixed, 16), 0x00050006u);   // dwProductVersionMS
    EXPECT_EQ(Get32(fixed, 20), 0x00000000u);   // dwProductVersionLS
    EXPECT_EQ(Get32(fixed, 24), 0x3Fu);         // dwFileFlagsMask
    EXPECT_EQ(Get32(fixed, 28), 0x2u);          // dwFileFlags: VS_FF_PRERELEASE
    EXPECT_EQ(Get32(fixed, 32), 0x40004u);      // dwFileOS: VOS_NT_WINDOWS32
    EXPECT_EQ(Get32(fixed, 36), 0x2u);          // dwFileType: VFT_DLL
}

TEST(PeVersionResource, ReadsTheFixedRecordOfAPe32Exe)
{
    const std::vector<std::uint8_t> block = ReadVersionInfoBlock(FixturePath("version32.exe"), 0x0409);
    ASSERT_FALSE(block.empty());
    const std::vector<std::uint8_t> fixed = Fixed(block);
    ASSERT_EQ(fixed.size(), 52u);
    EXPECT_EQ(Get32(fixed, 0), 0xFEEF04BDu);
    EXPECT_EQ(Get32(fixed, 8), 0x00010002u);  // 1.2
    EXPECT_EQ(Get32(fixed, 12), 0x00030004u); // 3.4
    EXPECT_EQ(Get32(fixed, 36), 0x1u);        // VFT_APP
}

TEST(PeVersionResource, FileAndMemoryGiveTheSameBlock)
{
    for (const char* name : {"version64.dll", "version32.exe", "threelang.dll"})
    {
        const std::vector<std::uint8_t> fromFile = ReadVersionInfoBlock(FixturePath(name), 0x0409);
        EXPECT_FALSE(fromFile.empty()) << name;
        EXPECT_EQ(VersionInfoBlockFromImage(FixtureBytes(name), 0x0409), fromFile) << name;
    }
}

TEST(PeVersionResource, ReadsTheTranslationTable)
{
    const auto t64 = QueryVersionTranslations(ReadVersionInfoBlock(FixturePath("version64.dll"), 0x0409));
    ASSERT_EQ(t64.size(), 2u);
    EXPECT_EQ(t64[0].language, 0x0409);
    EXPECT_EQ(t64[0].codePage, 1200);
    EXPECT_EQ(t64[1].language, 0x0407);
    EXPECT_EQ(t64[1].codePage, 1200);

    const std::vector<std::uint8_t> block32 = ReadVersionInfoBlock(FixturePath("version32.exe"), 0x0409);
    std::vector<std::uint8_t> raw;
    ASSERT_TRUE(QueryVersionValue(block32, "\\VarFileInfo\\Translation", raw));
    EXPECT_EQ(raw, testsupport::TranslationValue({{0x0407, 1252}, {0x0409, 1252}}));
    const auto t32 = QueryVersionTranslations(block32);
    ASSERT_EQ(t32.size(), 2u);
    EXPECT_EQ(t32[0].language, 0x0407);
    EXPECT_EQ(t32[0].codePage, 1252);
}

TEST(PeVersionResource, LooksUpStringsPerTranslation)
{
    const std::vector<std::uint8_t> block = ReadVersionInfoBlock(FixturePath("version64.dll"), 0x0409);
    EXPECT_EQ(String(block, "\\StringFileInfo\\040904B0\\CompanyName"), "Melkwen Test Company");
    EXPECT_EQ(String(block, "\\StringFileInfo\\040704B0\\CompanyName"), "Melkwen Pr\u00fcfgesellschaft");
    EXPECT_EQ(String(block, "\\StringFileInfo\\040904B0\\LegalCopyright"), "Copyright \u00a9 2024 Melkwen");
    EXPECT_EQ(String(block, "\\StringFileInfo\\040904B0\\LegalTrademarks"), "Quorvane\u2122");
    EXPECT_EQ(String(block, "\\StringFileInfo\\040704B0\\Comments"),
              "Deutsche Zeichenketten: \u00e4\u00f6\u00fc\u00df");
    EXPECT_EQ(String(block, "\\StringFileInfo\\040904B0\\FileVersion"), "5.6.7.8");
}

TEST(PeVersionResource, KeysCompareCaseInsensitively)
{
    const std::vector<std::uint8_t> block = ReadVersionInfoBlock(FixturePath("version64.dll"), 0x0409);
    // The file says "OriginalFilename"; the design's name is "OriginalFileName".
    EXPECT_EQ(String(block, "\\StringFileInfo\\040904B0\\OriginalFileName"), "version64.dll");
    EXPECT_EQ(String(block, "\\stringfileinfo\\040904b0\\companyname"), "Melkwen Test Company");
    std::vector<std::uint8_t> translation;
    EXPECT_TRUE(QueryVersionValue(block, "\\VARFILEINFO\\translation", translation));
    EXPECT_EQ(translation.size(), 8u);

    // version32.exe writes its English table's key in lower case: "040904e4".
    const std::vector<std::uint8_t> block32 = ReadVersionInfoBlock(FixturePath("version32.exe"), 0x0409);
    EXPECT_EQ(String(block32, "\\StringFileInfo\\040904E4\\FileDescription"), "Quorvane 32-bit test program");
    EXPECT_EQ(String(block32, "\\StringFileInfo\\040704E4\\FileDescription"),
              "Quorvane 32-Bit-Pr\u00fcfprogramm");
}

TEST(PeVersionResource, MissingKeysAreNotFound)
{
    const std::vector<std::uint8_t> block = ReadVersionInfoBlock(FixturePath("version64.dll"), 0x0409);
    std::string text = "stale";
    EXPECT_FALSE(QueryVersionString(block, "\\StringFileInfo\\040704B0\\SpecialBuild", text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(QueryVersionString(block, "\\StringFileInfo\\040C04B0\\CompanyName", text));
    EXPECT_FALSE(QueryVersionString(block, "\\StringFileInfo\\040904B0\\Company", text));     // a prefix
    EXPECT_FALSE(QueryVersionString(block, "\\StringFileInfo\\040904B0\\CompanyNameX", text)); // longer
    EXPECT_FALSE(QueryVersionString(block, "\\StringFileInfo\\040904B0\\CompanyName\\X", text));
    EXPECT_FALSE(QueryVersionString(block, "\\Translation", text)); // not a child of the root
    std::vector<std::uint8_t> value{1, 2, 3};
    EXPECT_FALSE(QueryVersionValue(block, "\\NoSuchBlock", value));
    EXPECT_TRUE(value.empty());
}

TEST(PeVersionResource, AnEmptyStringIsFoundAndEmpty)
{
    // The German table has PrivateBuild "".
    const std::vector<std::uint8_t> block = ReadVersionInfoBlock(FixturePath("version64.dll"), 0x0409);
    std::string text = "stale";
    EXPECT_TRUE(QueryVersionString(block, "\\StringFileInfo\\040704B0\\PrivateBuild", text));
    EXPECT_EQ(text, "");
}

TEST(PeVersionResource, PathsSkipEmptyComponents)
{
    const std::vector<std::uint8_t> block = ReadVersionInfoBlock(FixturePath("version64.dll"), 0x0409);
    std::vector<std::uint8_t> root;
    std::vector<std::uint8_t> empty;
    ASSERT_TRUE(QueryVersionValue(block, "\\", root));
    ASSERT_TRUE(QueryVersionValue(block, "", empty));
    EXPECT_EQ(root, empty);
    EXPECT_EQ(String(block, "\\\\StringFileInfo\\\\040904B0\\CompanyName\\"), "Melkwen Test Company");
    EXPECT_EQ(String(block, "StringFileInfo\\040904B0\\CompanyName"), "Melkwen Test Company");
}

TEST(PeVersionResource, TextValuesCountUtf16Units)
{
    // windres writes wValueLength of "5.6.7.8" as 8 units, the terminating zero included.
    const std::vector<std::uint8_t> block = ReadVersionInfoBlock(FixturePath("version64.dll"), 0x0409);
    std::vector<std::uint8_t> value;
    ASSERT_TRUE(QueryVersionValue(block, "\\StringFileInfo\\040904B0\\FileVersion", value));
    EXPECT_EQ(value, testsupport::Utf16Le(u"5.6.7.8"));
}

TEST(PeVersionResource, ChoosesAmongSeveralResourceLanguages)
{
    // threelang.dll has RT_VERSION / 1 in German (7.0.0.7), English (9.0.0.9) and French (12.0.0.12).
    struct Case
    {
        std::uint16_t user;
        std::uint32_t versionMS;
    };
    const Case cases[] = {
        {0x0407, 0x00070000}, // exact
        {0x0409, 0x00090000}, // exact
        {0x040C, 0x000C0000}, // exact
        {0x0C07, 0x00070000}, // de_AT: same low byte as German
        {0x080C, 0x000C0000}, // fr_BE: same low byte as French
        {0x0411, 0x00090000}, // Japanese: none, no neutral, English
        {0x0000, 0x00090000}, // neutral user: English
    };
    const std::vector<std::uint8_t> image = FixtureBytes("threelang.dll");
    for (const Case& c : cases)
    {
        const std::vector<std::uint8_t> block = VersionInfoBlockFromImage(image, c.user);
        const std::vector<std::uint8_t> fixed = Fixed(block);
        ASSERT_EQ(fixed.size(), 52u) << std::hex << c.user;
        EXPECT_EQ(Get32(fixed, 8), c.versionMS) << std::hex << c.user;
    }
}

TEST(PeVersionResource, AResourceSectionWithoutVersionIsNoResource)
{
    EXPECT_TRUE(ReadVersionInfoBlock(FixturePath("noversion.dll"), 0x0409).empty());
}

// ---------------------------------------------------------------------------------------------------
// Files that are not PE files, or not files.

TEST(PeVersionResource, NotAPeFileIsNoResource)
{
    testsupport::TempDir dir;
    testsupport::WriteFile(dir / "empty", "");
    testsupport::WriteFile(dir / "text", "This is a text file, not an executable.\n");
    testsupport::WriteFile(dir / "mz", "MZ");
    testsupport::WriteFile(dir / "mzheader", std::string("MZ") + std::string(62, '\0'));      // e_lfanew 0
    testsupport::WriteFile(dir / "elf", std::string("\x7F" "ELF\x02\x01\x01") + std::string(57, '\0'));
    testsupport::WriteFile(dir / "pe-only", std::string("MZ") + std::string(58, '\0') + "\x40\0\0\0PE\0\0");
    for (const char* name : {"empty", "text", "mz", "mzheader", "elf", "pe-only", "missing"})
        EXPECT_TRUE(ReadVersionInfoBlock(dir / name, 0x0409).empty()) << name;
    EXPECT_TRUE(ReadVersionInfoBlock("/proc/self/exe", 0x0409).empty()); // this test program: a real ELF
    EXPECT_TRUE(ReadVersionInfoBlock("", 0x0409).empty());
}

TEST(PeVersionResource, DirectoriesFifosAndDevicesReturnAtOnce)
{
    testsupport::TempDir dir;
    EXPECT_TRUE(ReadVersionInfoBlock(dir.Path(), 0x0409).empty());
    EXPECT_TRUE(ReadVersionInfoBlock("/dev/null", 0x0409).empty());
    EXPECT_TRUE(ReadVersionInfoBlock("/dev/zero", 0x0409).empty());

    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    bool empty = false;
    EXPECT_TRUE(ReturnsQuickly(fifo, [&] { empty = ReadVersionInfoBlock(fifo, 0x0409).empty(); }));
    EXPECT_TRUE(empty);
}

// ---------------------------------------------------------------------------------------------------
// Truncated and corrupted copies of the real fixtures.

TEST(PeVersionResource, EveryTruncationGivesTheWholeBlockOrNothing)
{
    for (const char* name : {"version64.dll", "version32.exe", "threelang.dll"})
    {
        const std::vector<std::uint8_t> file = FixtureBytes(name);
        const std::vector<std::uint8_t> full = VersionInfoBlockFromImage(file, 0x0409);
        ASSERT_FALSE(full.empty()) << name;
        const Layout layout = Analyse(file, full);
        ASSERT_LT(layout.blockOffset, file.size()) << name;
        const std::size_t blockEnd = layout.blockOffset + layout.blockSize;
        std::size_t wholeCount = 0;
        for (std::size_t length = 0; length < file.size(); ++length)
        {
            const std::vector<std::uint8_t> block = VersionInfoBlockFromImage(Prefix(file, length), 0x0409);
            if (block.empty())
            {
                // Nothing only while some byte on the way to the block is missing.
                EXPECT_LT(length, blockEnd) << name << " cut at " << length;
                continue;
            }
            EXPECT_EQ(block, full) << name << " cut at " << length;
            EXPECT_GE(length, blockEnd) << name << " cut at " << length;
            ++wholeCount;
        }
        EXPECT_EQ(wholeCount, file.size() - blockEnd) << name;
    }
}

TEST(PeVersionResource, TruncatedFilesOnDiskGiveTheWholeBlockOrNothing)
{
    const std::vector<std::uint8_t> file = FixtureBytes("version32.exe");
    const std::vector<std::uint8_t> full = VersionInfoBlockFromImage(file, 0x0409);
    testsupport::TempDir dir;
    const std::string path = dir / "cut.exe";
    for (std::size_t length = 0; length <= file.size(); length += 7)
    {
        testsupport::WriteFile(path, AsString(Prefix(file, length)));
        const std::vector<std::uint8_t> block = ReadVersionInfoBlock(path, 0x0409);
        EXPECT_TRUE(block.empty() || block == full) << "cut at " << length;
    }
}

TEST(PeVersionResource, CorruptedHeadersGiveNothing)
{
    for (const char* name : {"version64.dll", "version32.exe"})
    {
        const std::vector<std::uint8_t> file = FixtureBytes(name);
        const Layout layout = Analyse(file, VersionInfoBlockFromImage(file, 0x0409));
        ASSERT_LT(layout.dataEntryOffset, file.size()) << name;
        ASSERT_NE(layout.resourceRootOffset, 0u) << name;
        // The block ends one byte past the section's raw data, though still inside the file.
        const auto rawEndingInBlock =
            static_cast<std::uint32_t>(layout.blockOffset + layout.blockSize - 1 - layout.resourceRootOffset);
        struct Patch
        {
            const char* what;
            std::size_t at;
            std::uint32_t value;
            int width;
        };
        const Patch patches[] = {
            {"e_lfanew past the end", 0x3C, 0xFFFFFFF0, 4},
            {"e_lfanew at the last bytes", 0x3C, static_cast<std::uint32_t>(file.size() - 2), 4},
            {"e_lfanew at the file's size", 0x3C, static_cast<std::uint32_t>(file.size()), 4},
            {"no PE signature", layout.peOffset, 0x00004550 ^ 0x01, 4},
            {"unknown optional header magic", layout.optionalOffset, 0x010C, 2},
            {"optional header too short", layout.peOffset + 20, 0x0040, 2},
            {"too many sections", layout.sectionCountOffset, 0xFFFF, 2},
            {"no sections", layout.sectionCountOffset, 0, 2},
            {"resource RVA outside the file", layout.resourceRvaOffset, 0x7FFFFFF0, 4},
            {"resource RVA at the top", layout.resourceRvaOffset, 0xFFFFFFFF, 4},
            {"resource RVA zero", layout.resourceRvaOffset, 0, 4},
            {"data entry RVA outside", layout.dataEntryOffset, 0x7FFFFFF0, 4},
            {"data entry RVA wraps", layout.dataEntryOffset, 0xFFFFFFFE, 4},
            {"data entry size past the section", layout.dataEntryOffset + 4, 0x00100000, 4},
            {"data entry size above the cap", layout.dataEntryOffset + 4, 0x00100001, 4},
            {"data entry size huge", layout.dataEntryOffset + 4, 0xFFFFFFFF, 4},
            {"data entry size zero", layout.dataEntryOffset + 4, 0, 4},
            {"section data ends inside the block", layout.resourceSectionOffset + 16, rawEndingInBlock, 4},
            {"resource directory count huge", layout.resourceRootOffset + 12, 0xFFFF, 2},
            {"type entry leads back to the root", layout.resourceRootOffset + 16 + 4, 0x80000000, 4},
            {"type entry leads outside", layout.resourceRootOffset + 16 + 4, 0xFFFFFFFF, 4},
            {"type entry is data", layout.resourceRootOffset + 16 + 4, 0x00000000, 4},
        };
        for (const Patch& patch : patches)
        {
            std::vector<std::uint8_t> copy = file;
            if (patch.width == 4)
                Set32(copy, patch.at, patch.value);
            else
                Set16(copy, patch.at, static_cast<std::uint16_t>(patch.value));
            EXPECT_TRUE(VersionInfoBlockFromImage(copy, 0x0409).empty()) << name << ": " << patch.what;
            testsupport::TempDir dir;
            testsupport::WriteFile(dir / "patched", AsString(copy));
            EXPECT_TRUE(ReadVersionInfoBlock(dir / "patched", 0x0409).empty()) << name << ": " << patch.what;
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Hand-made blocks: the tolerances and the malformed cases of the query.

namespace {

VersionNode Root(std::vector<std::uint8_t> fixed, std::vector<VersionNode> children)
{
    VersionNode root{"VS_VERSION_INFO", 0, std::move(fixed), std::nullopt, {}, std::nullopt};
    root.children = std::move(children);
    return root;
}

VersionNode Table(std::string key, std::vector<VersionNode> strings)
{
    return VersionNode{"StringFileInfo", 1, {}, std::nullopt,
                       {VersionNode{std::move(key), 1, {}, std::nullopt, std::move(strings), std::nullopt}},
                       std::nullopt};
}

} // namespace

TEST(PeVersionResource, StringLengthsInBytesOrWithTypeZeroAreTolerated)
{
    VersionNode bytesCounted = testsupport::TextNode("A", u"bytes counted");
    bytesCounted.valueLength = static_cast<std::uint16_t>(bytesCounted.value.size()); // twice the units
    VersionNode binaryType = testsupport::TextNode("B", u"type zero");
    binaryType.type = 0;
    binaryType.valueLength = 10; // units, as some tools write for type 0
    VersionNode zeroLength = testsupport::TextNode("C", u"no length");
    zeroLength.valueLength = 0;
    VersionNode noTerminator = testsupport::TextNode("D", u"");
    noTerminator.value = testsupport::Utf16Le(u"unterminated", false);
    const std::vector<std::uint8_t> block = testsupport::BuildVersionBlock(
        Root(testsupport::FixedFileInfo(0x00010002, 0x00030004),
             {Table("040904B0", {bytesCounted, binaryType, zeroLength, noTerminator,
                                 testsupport::TextNode("E", u"last")})}));

    EXPECT_EQ(String(block, "\\StringFileInfo\\040904B0\\A"), "bytes counted");
    EXPECT_EQ(String(block, "\\StringFileInfo\\040904B0\\B"), "type zero");
    EXPECT_EQ(String(block, "\\StringFileInfo\\040904B0\\C"), "no length");
    EXPECT_EQ(String(block, "\\StringFileInfo\\040904B0\\D"), "unterminated");
    EXPECT_EQ(String(block, "\\StringFileInfo\\040904B0\\E"), "last");
    EXPECT_EQ(Fixed(block).size(), 52u);
}

TEST(PeVersionResource, MalformedNodesEndTheSearchSafely)
{
    // A child of length 0 ends the scan of its parent; the children before it are still found.
    VersionNode zero = testsupport::TextNode("Zero", u"x");
    zero.length = 0;
    const std::vector<std::uint8_t> withZero = testsupport::BuildVersionBlock(Root(
        testsupport::FixedFileInfo(1, 2), {Table("040904B0", {testsupport::TextNode("Before", u"b"), zero,
                                                              testsupport::TextNode("After", u"a")})}));
    std::string text;
    EXPECT_TRUE(QueryVersionString(withZero, "\\StringFileInfo\\040904B0\\Before", text));
    EXPECT_FALSE(QueryVersionString(withZero, "\\StringFileInfo\\040904B0\\After", text));

    // A child claiming more than its parent holds is clamped to the parent.
    VersionNode huge = testsupport::TextNode("Huge", u"clamped");
    huge.length = 0xFFFF;
    const std::vector<std::uint8_t> withHuge = testsupport::BuildVersionBlock(
        Root(testsupport::FixedFileInfo(1, 2), {Table("040904B0", {huge})}));
    EXPECT_EQ(String(withHuge, "\\StringFileInfo\\040904B0\\Huge"), "clamped");

    // A root claiming more than the block is clamped to the block.
    std::vector<std::uint8_t> root = testsupport::BuildVersionBlock(
        Root(testsupport::FixedFileInfo(1, 2), {Table("040904B0", {testsupport::TextNode("K", u"v")})}));
    Set16(root, 0, 0xFFFF);
    EXPECT_EQ(String(root, "\\StringFileInfo\\040904B0\\K"), "v");

    // A key without its terminating zero inside the node: the node is unreadable.
    std::vector<std::uint8_t> tiny = {8, 0, 0, 0, 0, 0, 'V', 0};
    std::vector<std::uint8_t> value;
    EXPECT_FALSE(QueryVersionValue(tiny, "\\", value));

    // Too short for a node header, or a length below the header's size.
    for (std::vector<std::uint8_t> bad :
         {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{6, 0, 0, 0, 0},
          std::vector<std::uint8_t>{4, 0, 0, 0, 0, 0, 0, 0}})
        EXPECT_FALSE(QueryVersionValue(bad, "\\", value));

    // A binary value longer than its node stops at the node's end.
    std::vector<std::uint8_t> longValue =
        testsupport::BuildVersionBlock(Root(testsupport::FixedFileInfo(1, 2), {}));
    Set16(longValue, 2, 0xFFFF);
    ASSERT_TRUE(QueryVersionValue(longValue, "\\", value));
    EXPECT_EQ(value.size(), 52u);
}

TEST(PeVersionResource, EveryTruncationOfABlockIsSafe)
{
    const std::vector<std::uint8_t> block = ReadVersionInfoBlock(FixturePath("version64.dll"), 0x0409);
    for (std::size_t length = 0; length <= block.size(); ++length)
    {
        const std::vector<std::uint8_t> cut = Prefix(block, length);
        std::vector<std::uint8_t> value;
        std::string text;
        QueryVersionValue(cut, "\\", value);
        QueryVersionTranslations(cut);
        if (QueryVersionString(cut, "\\StringFileInfo\\040704B0\\Comments", text))
        {
            // A cut inside the string clamps it; it never reads past the cut.
            EXPECT_EQ(std::string("Deutsche Zeichenketten: \u00e4\u00f6\u00fc\u00df").rfind(text, 0), 0u)
                << "cut at " << length;
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Languages.

TEST(PeVersionResource, PreferredLanguageIndexFollowsTheDesignOrder)
{
    struct Case
    {
        std::vector<std::uint16_t> languages;
        std::uint16_t user;
        std::size_t expected;
    };
    const Case cases[] = {
        {{}, 0x0409, 0},
        {{0x0409, 0x0407}, 0x0407, 1},
        {{0x0C07, 0x0407}, 0x0407, 1},          // exact beats low byte, even when later
        {{0x0409, 0x0C07, 0x0807}, 0x0407, 1},  // the first with the same low byte
        {{0x0000, 0x0807}, 0x0407, 1},          // low byte beats neutral
        {{0x0409, 0x0000}, 0x040C, 1},          // neutral beats English
        {{0x0409, 0x0400}, 0x040C, 1},          // neutral by low byte
        {{0x0400, 0x0000}, 0x040C, 1},          // exact neutral before neutral by low byte
        {{0x0407, 0x0809}, 0x040C, 1},          // English by low byte
        {{0x0407, 0x0410}, 0x040C, 0},          // the first
        {{0xFFFF}, 0x0409, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PreferredLanguageIndex(c.languages, c.user), c.expected) << std::hex << c.user;
}

TEST(PeVersionResource, LanguageIdFromLocaleNames)
{
    struct Case
    {
        const char* locale;
        std::uint16_t id;
    };
    const Case cases[] = {
        {"en_US", 0x0409},
        {"en_US.UTF-8", 0x0409},
        {"de_DE", 0x0407},
        {"de_DE.UTF-8", 0x0407},
        {"fr_FR", 0x040C},
        {"de_AT.UTF-8@euro", 0x0C07},
        {"de_CH", 0x0807},
        {"de", 0x0407},
        {"de_XX", 0x0407},
        {"en_GB", 0x0809},
        {"en-GB", 0x0809},
        {"pt_BR", 0x0416},
        {"pt_PT", 0x0816},
        {"zh_TW.Big5", 0x0404},
        {"zh_CN.GB18030", 0x0804},
        {"ja_JP.eucJP", 0x0411},
        {"es_ES", 0x0C0A},
        {"it_IT", 0x0410},
        {"nl_NL", 0x0413},
        {"ru_RU.KOI8-R", 0x0419},
        {"DE_de", 0x0407},
        {"C", 0x0409},
        {"C.UTF-8", 0x0409},
        {"POSIX", 0x0409},
        {"", 0x0409},
        {"xx_YY", 0x0409},
        {"sr_RS@latin", 0x241A},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LanguageIdFromLocaleName(c.locale), c.id) << c.locale;
}

TEST(PeVersionResource, UserDefaultLanguageTakesLcAllThenLcMessagesThenLang)
{
    {
        testsupport::ScopedEnv all("LC_ALL", "ja_JP.UTF-8");
        testsupport::ScopedEnv messages("LC_MESSAGES", "de_DE.UTF-8");
        testsupport::ScopedEnv lang("LANG", "fr_FR.UTF-8");
        EXPECT_EQ(UserDefaultLanguageId(), 0x0411);
    }
    {
        testsupport::ScopedEnv all("LC_ALL", ""); // empty counts as not set
        testsupport::ScopedEnv messages("LC_MESSAGES", "de_DE.UTF-8");
        testsupport::ScopedEnv lang("LANG", "fr_FR.UTF-8");
        EXPECT_EQ(UserDefaultLanguageId(), 0x0407);
    }
    {
        testsupport::ScopedEnv all("LC_ALL", "");
        testsupport::ScopedEnv messages("LC_MESSAGES", "");
        testsupport::ScopedEnv lang("LANG", "fr_FR.UTF-8");
        EXPECT_EQ(UserDefaultLanguageId(), 0x040C);
    }
    {
        testsupport::ScopedEnv all("LC_ALL", "");
        testsupport::ScopedEnv messages("LC_MESSAGES", "");
        testsupport::ScopedEnv lang("LANG", "");
        EXPECT_EQ(UserDefaultLanguageId(), 0x0409);
    }
    {
        testsupport::ScopedEnv all("LC_ALL", "C");
        EXPECT_EQ(UserDefaultLanguageId(), 0x0409);
    }
}

TEST(PeVersionResource, Utf16LeToUtf8)
{
    EXPECT_EQ(Utf8FromUtf16Le(testsupport::Utf16Le(u"plain")), "plain");
    EXPECT_EQ(Utf8FromUtf16Le(testsupport::Utf16Le(u"\u00fc\u20ac")), "\u00fc\u20ac");
    EXPECT_EQ(Utf8FromUtf16Le(testsupport::Utf16Le(u"\U0001F600")), "\U0001F600"); // a surrogate pair
    EXPECT_EQ(Utf8FromUtf16Le(testsupport::Utf16Le(std::u16string_view(u"stop\0after", 10))), "stop");
    EXPECT_EQ(Utf8FromUtf16Le(Bytes{0x3D, 0xD8, 'a', 0}), "\uFFFDa"); // a lone high surrogate
    EXPECT_EQ(Utf8FromUtf16Le(Bytes{0x00, 0xDC}), "\uFFFD");        // a lone low surrogate
    EXPECT_EQ(Utf8FromUtf16Le(Bytes{0x3D, 0xD8}), "\uFFFD");        // a high surrogate at the end
    EXPECT_EQ(Utf8FromUtf16Le(Bytes{'a', 0, 'b'}), "a");            // a trailing odd byte
    EXPECT_EQ(Utf8FromUtf16Le(Bytes{}), "");
}
