#pragma once

#include "platform/Profile.h"

#include <string>

// The general options of the program, kept in the "Settings" section unless a value says otherwise.
// Limits are applied when reading and again before writing: a value out of range becomes its default.
class CGeneralOptions
{
public:
    CGeneralOptions(); // every value at its default

    // Reads every value, applying defaults and limits. Screen size 0 means "not known" and skips
    // the half-screen limits of the bar sizes.
    bool LoadFromRegistry(const platform::Profile& profile, int screenWidth = 0, int screenHeight = 0);
    bool SaveToRegistry(platform::Profile& profile, int screenWidth = 0, int screenHeight = 0);

    bool m_bShowStartPage;
    bool m_bShowLeftPane;
    bool m_bShowLongTitle;
    bool m_bTabbedDocuments;
    bool m_bSynchronizeScrolling;
    int m_nPanesOrientation;
    bool m_bFileWatch;
    bool m_bShellCascaded;
    bool m_bShellBackground;
    bool m_bShowStandardBar;
    bool m_bShowAdvancedBar;
    bool m_bShowMapBar;
    bool m_bShowMergeBar;
    bool m_bShowPathBar;
    bool m_bShowStatusBar;
    bool m_bShowOutputBar;
    bool m_bShowHorzMiniBar;
    bool m_bShowVertMiniBar;
    bool m_bAutoPick;
    int m_nMaxMRU;
    int m_nMaxFiles;
    int m_nMaxComparisons;
    int m_nMaxPairs;
    std::string m_strExternalTextEditor;
    std::string m_strExternalBinaryEditor;
    bool m_bLoadLastFolderComparison;
    bool m_bLoadLastFileComparison;
    bool m_bSaveFolderComparisons;
    bool m_bSaveProjectComparisons;
    bool m_bSaveTextComparisons;
    bool m_bSaveBinaryComparisons;
    bool m_bNoDuplicatePairs;
    int m_nWindowPosX;
    int m_nWindowPosY;
    int m_nWindowSizeCX;
    int m_nWindowSizeCY;
    bool m_bWindowMaximized;
    bool m_bWindowFullScreen;
    int m_nMapBarSize;
    int m_nOutputBarSize;
    bool m_bEscToClose;

    static constexpr const char* kSection = "Settings";
    static constexpr const char* kFileComparisonSection = "Comparisons\\FileComparison\\Settings";
    static constexpr const char* kShellSection = "Integration\\Shell";

private:
    void ApplyLimits(int screenWidth, int screenHeight);
};
