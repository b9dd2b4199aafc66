#include "filesystem/FileVersion.h"

#include "platform/PeVersionResource.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kStringNames[CFileVersion::StringCount] = {
    "CompanyName", "FileDescription", "FileVersion", "InternalName",    "LegalCopyright", "OriginalFileName",
    "ProductName", "ProductVersion",  "Comments",    "LegalTrademarks", "PrivateBuild",   "SpecialBuild",
};

const std::string kEmpty;

} // namespace

CFileVersion::CFileVersion()
{
    Clear();
}

void CFileVersion::Clear()
{
    std::memset(&m_fixedInfo, 0, sizeof m_fixedInfo);
    m_bHasFixedInfo = false;
    for (std::string& s : m_strings)
        s.clear();
    m_bHasTranslation = false;
    m_translation = {};
}

bool CFileVersion::Read(const std::string& path)
{
    return Read(path, platform::UserDefaultLanguageId());
}

bool CFileVersion::Read(const std::string& path, std::uint16_t userLanguage)
{
    // Size and contents come in one step here; a block that cannot be read is no resource.
    const std::vector<std::uint8_t> block = platform::ReadVersionInfoBlock(path, userLanguage);
    return ReadBlock(block, userLanguage);
}

bool CFileVersion::ReadBlock(std::span<const std::uint8_t> block, std::uint16_t userLanguage)
{
    Clear();
    if (block.empty())
        return false;

    std::vector<std::uint8_t> value;
    if (platform::QueryVersionValue(block, "\\", value) && value.size() == sizeof m_fixedInfo)
    {
        std::memcpy(&m_fixedInfo, value.data(), sizeof m_fixedInfo); // little-endian, as the file
        m_bHasFixedInfo = true;
    }

    std::vector<Translation> translations;
    for (const platform::VersionTranslation& t : platform::QueryVersionTranslations(block))
        translations.push_back({t.language, t.codePage});
    const std::size_t chosen = ChooseTranslation(translations, userLanguage);
    if (chosen < translations.size())
    {
        m_translation = translations[chosen];
        m_bHasTranslation = true;
        char table[32];
        std::snprintf(table, sizeof table, "\\StringFileInfo\\%04X%04X\\", m_translation.language,
                      m_translation.codePage);
        for (int i = 0; i < StringCount; ++i)
        {
            // A string that is absent stays empty.
            if (!platform::QueryVersionString(block, std::string(table) + kStringNames[i], m_strings[i]))
                m_strings[i].clear();
        }
    }
    return true;
}

std::array<std::uint16_t, 4> CFileVersion::FileVersionParts() const
{
    return {static_cast<std::uint16_t>(m_fixedInfo.dwFileVersionMS >> 16),
            static_cast<std::uint16_t>(m_fixedInfo.dwFileVersionMS & 0xFFFF),
            static_cast<std::uint16_t>(m_fixedInfo.dwFileVersionLS >> 16),
            static_cast<std::uint16_t>(m_fixedInfo.dwFileVersionLS & 0xFFFF)};
}

const std::string& CFileVersion::GetString(int index) const
{
    if (index < 0 || index >= StringCount)
        return kEmpty;
    return m_strings[static_cast<std::size_t>(index)];
}

const char* CFileVersion::StringName(int index)
{
    if (index < 0 || index >= StringCount)
        return nullptr;
    return kStringNames[index];
}

bool CFileVersion::GetTranslation(Translation& translation) const
{
    translation = m_translation;
    return m_bHasTranslation;
}

std::size_t CFileVersion::ChooseTranslation(std::span<const Translation> translations,
                                            std::uint16_t userLanguage)
{
    std::vector<std::uint16_t> languages;
    languages.reserve(translations.size());
    for (const Translation& t : translations)
        languages.push_back(t.language);
    return platform::PreferredLanguageIndex(languages, userLanguage);
}
