#include "filesystem/FilterSettings.h"

#include "filesystem/FilterText.h"
#include "platform/Profile.h"

#include <limits>

namespace {

using PresetList = std::vector<PRESET_FILE_FILTER>;

std::string Numbered(std::string_view name, std::size_t number)
{
    return std::string(name) + std::to_string(number);
}

PresetList LoadPresets(const platform::Profile& profile, std::string_view section)
{
    PresetList presets;
    for (std::size_t i = 1;; ++i)
    {
        std::string filter = profile.GetProfileString(section, Numbered("Filter", i));
        if (filter.empty())
            return presets;
        presets.push_back({profile.GetProfileString(section, Numbered("Name", i)), std::move(filter)});
    }
}

// Writes the entries with a filter text, numbered from 1 without gaps, and removes the numbers a
// longer list left behind: loading reads up to the first missing filter, so stale entries would
// come back.
bool SavePresets(platform::Profile& profile, std::string_view section, const PresetList& presets)
{
    bool ok = true;
    std::size_t number = 0;
    for (const auto& preset : presets)
    {
        if (preset.m_strFilter.empty())
            continue;
        ++number;
        ok &= profile.WriteProfileString(section, Numbered("Filter", number), preset.m_strFilter);
        ok &= profile.WriteProfileString(section, Numbered("Name", number), preset.m_strName);
    }
    platform::Registry& registry = profile.GetRegistry();
    const std::string key = profile.SectionKey(section);
    for (std::size_t i = number + 1;; ++i)
    {
        const std::string filter = Numbered("Filter", i);
        const bool hadFilter = registry.GetString(platform::RegistryRoot::CurrentUser, key, filter).has_value() ||
                               registry.GetDword(platform::RegistryRoot::CurrentUser, key, filter).has_value();
        if (!hadFilter)
            break;
        registry.DeleteValue(platform::RegistryRoot::CurrentUser, key, filter);
        registry.DeleteValue(platform::RegistryRoot::CurrentUser, key, Numbered("Name", i));
    }
    return ok;
}

// Sizes are 64-bit; a value that does not fit a 32-bit registry number is kept as decimal text
// rather than cut short.
std::uint64_t LoadSize(const platform::Profile& profile, std::string_view section, std::string_view entry)
{
    platform::Registry& registry = profile.GetRegistry();
    const std::string key = profile.SectionKey(section);
    if (const auto dword = registry.GetDword(platform::RegistryRoot::CurrentUser, key, entry))
        return *dword;
    if (const auto text = registry.GetString(platform::RegistryRoot::CurrentUser, key, entry))
        return ParseSizeBound(*text);
    return 0;
}

bool SaveSize(platform::Profile& profile, std::string_view section, std::string_view entry, std::uint64_t size)
{
    if (size <= std::numeric_limits<std::uint32_t>::max())
        return profile.GetRegistry().SetDword(platform::RegistryRoot::CurrentUser, profile.SectionKey(section),
                                              entry, static_cast<std::uint32_t>(size));
    return profile.WriteProfileString(section, entry, FormatSizeBound(size));
}

void LoadNameFilter(const platform::Profile& profile, std::string_view section, CNameFilter& filter)
{
    filter.m_strInclude = profile.GetProfileString(section, "NameInclude", "*");
    if (filter.m_strInclude.empty())
        filter.m_strInclude = "*";
    filter.m_strExclude = profile.GetProfileString(section, "NameExclude");
}

} // namespace

CFilterSettings::CFilterSettings()
{
    m_defaultFilters.SetDefaults();
}

void CFilterSettings::Load(const platform::Profile& profile, const std::vector<TEXT_TYPE_EXTENSIONS>& textTypes)
{
    m_defaultFilters.SetDefaults();
    CFileFilters& files = m_defaultFilters.m_fileFilters;
    LoadNameFilter(profile, kDefaultFilesSection, files);
    files.m_tFrom = ParseDateBound(profile.GetProfileString(kDefaultFilesSection, "TimeFrom"));
    files.m_tTo = ParseDateBound(profile.GetProfileString(kDefaultFilesSection, "TimeTo"));
    files.m_nMinSize = LoadSize(profile, kDefaultFilesSection, "SizeMin");
    files.m_nMaxSize = LoadSize(profile, kDefaultFilesSection, "SizeMax");
    files.m_dwExcludeAttributes = ParseAttributeLetters(profile.GetProfileString(kDefaultFilesSection, "AttributesExclude"));
    files.m_dwExcludeTypes = ParseTypeWords(profile.GetProfileString(kDefaultFilesSection, "TypeExclude"));

    CFolderFilters& folders = m_defaultFilters.m_folderFilters;
    LoadNameFilter(profile, kDefaultFoldersSection, folders);
    folders.m_dwExcludeAttributes =
        ParseAttributeLetters(profile.GetProfileString(kDefaultFoldersSection, "AttributesExclude"));

    m_fileIncludePresets = LoadPresets(profile, kFileIncludePresetsSection);
    m_fileExcludePresets = LoadPresets(profile, kFileExcludePresetsSection);
    m_folderIncludePresets = LoadPresets(profile, kFolderIncludePresetsSection);
    m_folderExcludePresets = LoadPresets(profile, kFolderExcludePresetsSection);

    if (m_fileIncludePresets.empty())
        for (const auto& type : textTypes)
            m_fileIncludePresets.push_back({type.m_strName + " Files", PatternListFromExtensions(type.m_strExtensions)});
    if (m_folderExcludePresets.empty())
    {
        m_folderExcludePresets.push_back({"SVN control folders", ".svn"});
        // CVS keeps its control files in folders named "CVS".
        m_folderExcludePresets.push_back({"CVS control folders", "CVS"});
    }
}

bool CFilterSettings::Save(platform::Profile& profile) const
{
    const CFileFilters& files = m_defaultFilters.m_fileFilters;
    bool ok = profile.WriteProfileString(kDefaultFilesSection, "NameInclude", files.m_strInclude);
    ok &= profile.WriteProfileString(kDefaultFilesSection, "NameExclude", files.m_strExclude);
    ok &= profile.WriteProfileString(kDefaultFilesSection, "TimeFrom", FormatDateBound(files.m_tFrom));
    ok &= profile.WriteProfileString(kDefaultFilesSection, "TimeTo", FormatDateBound(files.m_tTo));
    ok &= SaveSize(profile, kDefaultFilesSection, "SizeMin", files.m_nMinSize);
    ok &= SaveSize(profile, kDefaultFilesSection, "SizeMax", files.m_nMaxSize);
    ok &= profile.WriteProfileString(kDefaultFilesSection, "AttributesExclude",
                                     FormatAttributeLetters(files.m_dwExcludeAttributes));
    ok &= profile.WriteProfileString(kDefaultFilesSection, "TypeExclude", FormatTypeWords(files.m_dwExcludeTypes));

    const CFolderFilters& folders = m_defaultFilters.m_folderFilters;
    ok &= profile.WriteProfileString(kDefaultFoldersSection, "NameInclude", folders.m_strInclude);
    ok &= profile.WriteProfileString(kDefaultFoldersSection, "NameExclude", folders.m_strExclude);
    ok &= profile.WriteProfileString(kDefaultFoldersSection, "AttributesExclude",
                                     FormatAttributeLetters(folders.m_dwExcludeAttributes));

    ok &= SavePresets(profile, kFileIncludePresetsSection, m_fileIncludePresets);
    ok &= SavePresets(profile, kFileExcludePresetsSection, m_fileExcludePresets);
    ok &= SavePresets(profile, kFolderIncludePresetsSection, m_folderIncludePresets);
    ok &= SavePresets(profile, kFolderExcludePresetsSection, m_folderExcludePresets);
    return ok;
}

std::string CFilterSettings::PatternListFromExtensions(std::string_view extensions)
{
    std::string list = "*.";
    for (const char c : extensions)
    {
        if (c == ',')
            list += ";*.";
        else
            list.push_back(c);
    }
    return list;
}
