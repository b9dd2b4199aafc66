#include "foldercompare/FolderCompareOptions.h"

#include "definitions/CompareParams.h"
#include "platform/Profile.h"

#include <array>
#include <charconv>

namespace {

struct METHOD_VALUE
{
    const char* name;
    std::uint32_t bit;
};

// The file type method has no stored default.
constexpr std::array<METHOD_VALUE, 7> kMethodValues{{
    {"CompareLMTime", METHOD_LMTIME},
    {"CompareSize", METHOD_SIZE},
    {"CompareAttributes", METHOD_ATTRIBUTES},
    {"CompareVersion", METHOD_VERSION},
    {"CompareCRC", METHOD_CRC32},
    {"CompareAsBinary", METHOD_BINARY},
    {"CompareAsText", METHOD_TEXT},
}};

constexpr std::array<const char*, CFolderCompareOptions::ColumnCount> kColumnNames = {
    "Name", "Size", "LMTime", "Extension", "Attributes", "Version", "CRC", "Type", "Folder"};
constexpr std::array<const char*, CFolderCompareOptions::WidthSetCount> kWidthSuffixes = {"1", "2", "DV"};

// Panes 1 and 2, then the detail view.
constexpr std::array<std::array<int, 2>, CFolderCompareOptions::ColumnCount> kDefaultWidths = {{
    {128, 128},
    {60, 60},
    {120, 128},
    {40, 40},
    {40, 40},
    {60, 60},
    {72, 72},
    {60, 60},
    {192, 188},
}};

struct BOOL_VALUE
{
    std::string_view section;
    const char* name;
    bool CFolderCompareOptions::*field;
};

constexpr std::array<BOOL_VALUE, 6> kBoolValues{{
    {CFolderCompareOptions::kSettingsSection, "QuickMergeMode", &CFolderCompareOptions::m_bQuickMergeMode},
    {CFolderCompareOptions::kMethodsSection, "AutoScanFolders", &CFolderCompareOptions::m_bAutoScanFolders},
    {CFolderCompareOptions::kMethodsSection, "IgnoreFolderDifferences",
     &CFolderCompareOptions::m_bIgnoreFolderDifferences},
    {CFolderCompareOptions::kSettingsSection, "ShowGridLines", &CFolderCompareOptions::m_bShowGridLines},
    {CFolderCompareOptions::kSettingsSection, "ShowShellCommands",
     &CFolderCompareOptions::m_bShowShellCommands},
    {CFolderCompareOptions::kSettingsSection, "FolderWatch", &CFolderCompareOptions::m_bFolderWatch},
}};

bool ParseInt(std::string_view text, int& value)
{
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

} // namespace

CFolderCompareOptions::CFolderCompareOptions() : m_columnWidths(DefaultColumnWidths()) {}

CFolderCompareOptions::ColumnWidths CFolderCompareOptions::DefaultColumnWidths()
{
    ColumnWidths widths{};
    for (std::size_t column = 0; column < ColumnCount; ++column)
        widths[column] = {kDefaultWidths[column][0], kDefaultWidths[column][0], kDefaultWidths[column][1]};
    return widths;
}

std::string CFolderCompareOptions::ColumnWidthValueName(int column, int widthSet)
{
    if (column < 0 || column >= ColumnCount || widthSet < 0 || widthSet >= WidthSetCount)
        return {};
    return std::string("Width") + kColumnNames[static_cast<std::size_t>(column)] +
           kWidthSuffixes[static_cast<std::size_t>(widthSet)];
}

bool CFolderCompareOptions::ParseFontText(std::string_view text, FOLDER_VIEW_FONT& font)
{
    FOLDER_VIEW_FONT parsed;
    std::size_t part = 0;
    while (true)
    {
        const std::size_t bar = text.find('|');
        const std::string_view item = text.substr(0, bar);
        int number = 0;
        if (part == 0)
            parsed.m_strFaceName = std::string(item);
        else if (part > 4 || !ParseInt(item, number))
            return false;
        else if (part == 1)
            parsed.m_nHeight = number;
        else if (part == 2)
            parsed.m_nWeight = number;
        else if (part == 3)
            parsed.m_bItalic = number != 0;
        else
            parsed.m_nCharSet = number;
        ++part;
        if (bar == std::string_view::npos)
            break;
        text.remove_prefix(bar + 1);
    }
    if (parsed.m_strFaceName.empty())
        return false;
    font = std::move(parsed);
    return true;
}

std::string CFolderCompareOptions::FormatFontText(const FOLDER_VIEW_FONT& font)
{
    return font.m_strFaceName + "|" + std::to_string(font.m_nHeight) + "|" + std::to_string(font.m_nWeight) +
           "|" + std::to_string(font.m_bItalic ? 1 : 0) + "|" + std::to_string(font.m_nCharSet);
}

void CFolderCompareOptions::LoadOptions(const platform::Profile& profile)
{
    const CFolderCompareOptions defaults;
    for (const auto& entry : kBoolValues)
        this->*entry.field =
            profile.GetProfileInt(entry.section, entry.name, defaults.*entry.field ? 1 : 0) != 0;

    std::uint32_t methods = m_dwMethods & METHOD_TYPE;
    for (const auto& method : kMethodValues)
        if (profile.GetProfileInt(kDefaultMethodsSection, method.name,
                                  (defaults.m_dwMethods & method.bit) ? 1 : 0))
            methods |= method.bit;
    m_dwMethods = methods;

    m_nTimeTolerance = profile.GetProfileInt(kMethodsSection, "SmallTimeToIgnore", defaults.m_nTimeTolerance);
    if (m_nTimeTolerance < 0)
        m_nTimeTolerance = 2;

    m_font = FOLDER_VIEW_FONT{};
    ParseFontText(profile.GetProfileString(kSettingsSection, "Font"), m_font);

    m_dwShowColumns = static_cast<std::uint32_t>(
        profile.GetProfileInt(kSettingsSection, "ShowColumns", static_cast<int>(defaults.m_dwShowColumns)));
    m_dwDisplayFilters = static_cast<std::uint32_t>(profile.GetProfileInt(
        kSettingsSection, "DisplayFilters", static_cast<int>(defaults.m_dwDisplayFilters)));
    for (int column = 0; column < ColumnCount; ++column)
        for (int set = 0; set < WidthSetCount; ++set)
        {
            int& width = m_columnWidths[static_cast<std::size_t>(column)][static_cast<std::size_t>(set)];
            width = profile.GetProfileInt(
                kColumnsSection, ColumnWidthValueName(column, set),
                defaults.m_columnWidths[static_cast<std::size_t>(column)][static_cast<std::size_t>(set)]);
        }
    LoadColors(profile);
}

bool CFolderCompareOptions::SaveOptions(platform::Profile& profile) const
{
    bool ok = true;
    for (const auto& entry : kBoolValues)
        ok &= profile.WriteProfileInt(entry.section, entry.name, this->*entry.field ? 1 : 0);
    for (const auto& method : kMethodValues)
        ok &=
            profile.WriteProfileInt(kDefaultMethodsSection, method.name, (m_dwMethods & method.bit) ? 1 : 0);
    ok &= profile.WriteProfileInt(kMethodsSection, "SmallTimeToIgnore", m_nTimeTolerance);
    ok &= profile.WriteProfileString(kSettingsSection, "Font",
                                     HasFont() ? FormatFontText(m_font) : std::string());
    ok &= profile.WriteProfileInt(kSettingsSection, "ShowColumns", static_cast<int>(m_dwShowColumns));
    ok &= profile.WriteProfileInt(kSettingsSection, "DisplayFilters", static_cast<int>(m_dwDisplayFilters));
    for (int column = 0; column < ColumnCount; ++column)
        for (int set = 0; set < WidthSetCount; ++set)
            ok &= profile.WriteProfileInt(
                kColumnsSection, ColumnWidthValueName(column, set),
                m_columnWidths[static_cast<std::size_t>(column)][static_cast<std::size_t>(set)]);
    ok &= SaveColors(profile);
    return ok;
}
