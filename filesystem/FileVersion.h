#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The fixed file information record of a version resource, field for field as Windows lays it out.
struct VS_FIXEDFILEINFO
{
    std::uint32_t dwSignature;        // 0xFEEF04BD
    std::uint32_t dwStrucVersion;
    std::uint32_t dwFileVersionMS;    // major << 16 | minor
    std::uint32_t dwFileVersionLS;    // build << 16 | revision
    std::uint32_t dwProductVersionMS;
    std::uint32_t dwProductVersionLS;
    std::uint32_t dwFileFlagsMask;
    std::uint32_t dwFileFlags;
    std::uint32_t dwFileOS;
    std::uint32_t dwFileType;
    std::uint32_t dwFileSubtype;
    std::uint32_t dwFileDateMS;
    std::uint32_t dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

// The version resource of a file: its fixed record (all zero when absent) and twelve strings of its
// string table, in the translation chosen for the user's language.
class CFileVersion
{
public:
    enum StringIndex
    {
        CompanyName,
        FileDescription,
        FileVersion,
        InternalName,
        LegalCopyright,
        OriginalFileName,
        ProductName,
        ProductVersion,
        Comments,
        LegalTrademarks,
        PrivateBuild,
        SpecialBuild,
        StringCount
    };

    // One entry of the translation table.
    struct Translation
    {
        std::uint16_t language = 0;
        std::uint16_t codePage = 0;
    };

    CFileVersion();

    // Reads the version resource of a PE file; true when it has one. Whatever was read before is
    // cleared first, so after false everything is empty and zero.
    bool Read(const std::string& path);
    // The same, choosing the translation (and, among several, the version resource) for the given
    // user language instead of the user's default language.
    bool Read(const std::string& path, std::uint16_t userLanguage);
    // The same over a VS_VERSIONINFO block (as platform::ReadVersionInfoBlock returns); an empty
    // block is no resource.
    bool ReadBlock(std::span<const std::uint8_t> block, std::uint16_t userLanguage);
    void Clear();

    // True when the root block held a fixed record of exactly 52 bytes.
    bool HasFixedInfo() const { return m_bHasFixedInfo; }
    const VS_FIXEDFILEINFO& FixedInfo() const { return m_fixedInfo; }
    // dwFileVersionMS/LS as major, minor, build, revision; 0,0,0,0 without a fixed record.
    std::array<std::uint16_t, 4> FileVersionParts() const;

    // The string at an index of StringIndex, UTF-8; empty when absent or the index is out of range.
    const std::string& GetString(int index) const;
    // Its name in the string table ("CompanyName", ...); nullptr for an index out of range.
    static const char* StringName(int index);

    const std::string& GetCompanyName() const { return m_strings[CompanyName]; }
    const std::string& GetFileDescription() const { return m_strings[FileDescription]; }
    const std::string& GetFileVersion() const { return m_strings[FileVersion]; }
    const std::string& GetInternalName() const { return m_strings[InternalName]; }
    const std::string& GetLegalCopyright() const { return m_strings[LegalCopyright]; }
    const std::string& GetOriginalFileName() const { return m_strings[OriginalFileName]; }
    const std::string& GetProductName() const { return m_strings[ProductName]; }
    const std::string& GetProductVersion() const { return m_strings[ProductVersion]; }
    const std::string& GetComments() const { return m_strings[Comments]; }
    const std::string& GetLegalTrademarks() const { return m_strings[LegalTrademarks]; }
    const std::string& GetPrivateBuild() const { return m_strings[PrivateBuild]; }
    const std::string& GetSpecialBuild() const { return m_strings[SpecialBuild]; }

    // The translation the strings were read in; false when the resource had no translation table
    // (its strings then stay empty).
    bool GetTranslation(Translation& translation) const;

    // The entry to use for a user whose default language is `userLanguage`, trying in this order:
    // the same language; the same low byte; language 0 (neutral), exactly and then by low byte;
    // low byte 9 (English); the first entry. `translations.size()` when the table is empty.
    static std::size_t ChooseTranslation(std::span<const Translation> translations,
                                         std::uint16_t userLanguage);

private:
    VS_FIXEDFILEINFO m_fixedInfo;
    bool m_bHasFixedInfo = false;
    std::array<std::string, StringCount> m_strings;
    bool m_bHasTranslation = false;
    Translation m_translation;
};
