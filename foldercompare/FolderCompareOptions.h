#pragma once

#include "foldercompare/FolderCompareColors.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The five stored parts of the views' font: face name, height, weight, italic flag, character set.
struct FOLDER_VIEW_FONT
{
    std::string m_strFaceName;
    int m_nHeight = 14;
    int m_nWeight = 400;
    bool m_bItalic = false;
    int m_nCharSet = 1;

    bool operator==(const FOLDER_VIEW_FONT&) const = default;
};

// The user's defaults and display settings of folder comparisons, with their registry storage.
class CFolderCompareOptions : public CFolderCompareColors
{
public:
    static constexpr std::string_view kSettingsSection = "Comparisons\\FolderComparison\\Settings";
    static constexpr std::string_view kMethodsSection = "Comparisons\\FolderComparison\\Settings\\Methods";
    static constexpr std::string_view kDefaultMethodsSection =
        "Comparisons\\FolderComparison\\Settings\\Methods\\Default";
    static constexpr std::string_view kColumnsSection = "Comparisons\\FolderComparison\\Settings\\Columns";

    // The columns of the folder views, in the order of their width values.
    enum Column
    {
        ColumnName,
        ColumnSize,
        ColumnLMTime,
        ColumnExtension,
        ColumnAttributes,
        ColumnVersion,
        ColumnCRC,
        ColumnType,
        ColumnFolder,
        ColumnCount
    };
    // Width sets: the left pane, the right pane, the detail view.
    enum WidthSet
    {
        LeftPane,
        RightPane,
        DetailView,
        WidthSetCount
    };
    using ColumnWidths = std::array<std::array<int, WidthSetCount>, ColumnCount>;

    CFolderCompareOptions();

    // Missing values keep their defaults; a negative time tolerance is read as 2 seconds.
    void LoadOptions(const platform::Profile& profile);
    bool SaveOptions(platform::Profile& profile) const;

    bool GetIgnoreFolderDifferences() const { return m_bIgnoreFolderDifferences; }
    int GetTimeTolerance() const { return m_nTimeTolerance; }

    // The registry value name of a column width: "WidthName1", "WidthLMTimeDV", ...
    static std::string ColumnWidthValueName(int column, int widthSet);
    static ColumnWidths DefaultColumnWidths();

    // The font text "%s|%d|%d|%d|%d". False when the text is empty, cannot be read or names no face:
    // the views then take the application's default font. Missing trailing parts keep the values of
    // FOLDER_VIEW_FONT.
    static bool ParseFontText(std::string_view text, FOLDER_VIEW_FONT& font);
    static std::string FormatFontText(const FOLDER_VIEW_FONT& font);
    // True when a font was stored; otherwise the views use the application's default font.
    bool HasFont() const { return !m_font.m_strFaceName.empty(); }

    bool m_bQuickMergeMode = false;
    std::uint32_t m_dwMethods = 0x110; // METHOD_* bits: modification time and size
    bool m_bAutoScanFolders = false;
    bool m_bIgnoreFolderDifferences = true;
    int m_nTimeTolerance = 2; // seconds
    FOLDER_VIEW_FONT m_font;  // empty face name: the application's default
    bool m_bShowGridLines = false;
    bool m_bShowShellCommands = true;
    // Kept with the others; no folder comparison watches its folders.
    bool m_bFolderWatch = false;
    std::uint32_t m_dwShowColumns = 0xFFFF;
    std::uint32_t m_dwDisplayFilters = 0x333;
    ColumnWidths m_columnWidths;
};
