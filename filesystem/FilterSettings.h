#pragma once

#include "filesystem/ComboFilters.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Profile;
}

// A text type known to the syntax highlighters, as the built-in file include presets need it:
// its name and its comma-separated extension list ("c,cpp,h").
struct TEXT_TYPE_EXTENSIONS
{
    std::string m_strName;
    std::string m_strExtensions;
};

// The filters a new folder comparison starts with and the four preset lists of the filter choosers,
// with their registry storage below the folder comparison settings.
class CFilterSettings
{
public:
    static constexpr std::string_view kDefaultFilesSection =
        "Comparisons\\FolderComparison\\Settings\\Filters\\Default\\Files";
    static constexpr std::string_view kDefaultFoldersSection =
        "Comparisons\\FolderComparison\\Settings\\Filters\\Default\\Folders";
    static constexpr std::string_view kFileIncludePresetsSection =
        "Comparisons\\FolderComparison\\Settings\\Filters\\Preset\\Files\\Include";
    static constexpr std::string_view kFileExcludePresetsSection =
        "Comparisons\\FolderComparison\\Settings\\Filters\\Preset\\Files\\Exclude";
    static constexpr std::string_view kFolderIncludePresetsSection =
        "Comparisons\\FolderComparison\\Settings\\Filters\\Preset\\Folders\\Include";
    static constexpr std::string_view kFolderExcludePresetsSection =
        "Comparisons\\FolderComparison\\Settings\\Filters\\Preset\\Folders\\Exclude";

    CFilterSettings();

    // Missing values keep their defaults; a list that is empty after loading gets its built-in
    // presets (file includes from `textTypes`, in their order).
    void Load(const platform::Profile& profile, const std::vector<TEXT_TYPE_EXTENSIONS>& textTypes);
    bool Save(platform::Profile& profile) const;

    // "c,cpp,h" becomes "*.c;*.cpp;*.h".
    static std::string PatternListFromExtensions(std::string_view extensions);

    CComboFilters m_defaultFilters;
    std::vector<PRESET_FILE_FILTER> m_fileIncludePresets;
    std::vector<PRESET_FILE_FILTER> m_fileExcludePresets;
    std::vector<PRESET_FILE_FILTER> m_folderIncludePresets;
    std::vector<PRESET_FILE_FILTER> m_folderExcludePresets;
};
