#include "app/GeneralOptions.h"

#include <array>

namespace {

struct BoolValue
{
    const char* m_pszSection;
    const char* m_pszName;
    bool CGeneralOptions::*m_pMember;
    bool m_bDefault;
};

struct IntValue
{
    const char* m_pszName;
    int CGeneralOptions::*m_pMember;
    int m_nDefault;
    int m_nMin; // limits; m_nMin > m_nMax means none
    int m_nMax;
};

constexpr const char* S = CGeneralOptions::kSection;

const std::array kBoolValues{
    BoolValue{S, "ShowStartPage", &CGeneralOptions::m_bShowStartPage, true},
    BoolValue{S, "ShowLeftPane", &CGeneralOptions::m_bShowLeftPane, true},
    BoolValue{S, "ShowLongTitle", &CGeneralOptions::m_bShowLongTitle, false},
    BoolValue{S, "TabbedDocuments", &CGeneralOptions::m_bTabbedDocuments, true},
    BoolValue{S, "SynchronizeScrolling", &CGeneralOptions::m_bSynchronizeScrolling, true},
    BoolValue{CGeneralOptions::kFileComparisonSection, "FileWatch", &CGeneralOptions::m_bFileWatch, true},
    BoolValue{CGeneralOptions::kShellSection, "Cascaded", &CGeneralOptions::m_bShellCascaded, true},
    BoolValue{CGeneralOptions::kShellSection, "Background", &CGeneralOptions::m_bShellBackground, false},
    BoolValue{S, "ShowStandardBar", &CGeneralOptions::m_bShowStandardBar, true},
    BoolValue{S, "ShowAdvancedBar", &CGeneralOptions::m_bShowAdvancedBar, true},
    BoolValue{S, "ShowMapBar", &CGeneralOptions::m_bShowMapBar, true},
    BoolValue{S, "ShowMergeBar", &CGeneralOptions::m_bShowMergeBar, true},
    BoolValue{S, "ShowPathBar", &CGeneralOptions::m_bShowPathBar, true},
    BoolValue{S, "ShowStatusBar", &CGeneralOptions::m_bShowStatusBar, true},
    BoolValue{S, "ShowOutputBar", &CGeneralOptions::m_bShowOutputBar, true},
    BoolValue{S, "ShowHorzMiniBar", &CGeneralOptions::m_bShowHorzMiniBar, false},
    BoolValue{S, "ShowVertMiniBar", &CGeneralOptions::m_bShowVertMiniBar, true},
    BoolValue{S, "AutoPick", &CGeneralOptions::m_bAutoPick, true},
    BoolValue{S, "LoadLastFolderComparison", &CGeneralOptions::m_bLoadLastFolderComparison, false},
    BoolValue{S, "LoadLastFileComparison", &CGeneralOptions::m_bLoadLastFileComparison, false},
    BoolValue{S, "SaveFolderComparisons", &CGeneralOptions::m_bSaveFolderComparisons, true},
    BoolValue{S, "SaveProjectComparisons", &CGeneralOptions::m_bSaveProjectComparisons, true},
    BoolValue{S, "SaveTextComparisons", &CGeneralOptions::m_bSaveTextComparisons, true},
    BoolValue{S, "SaveBinaryComparisons", &CGeneralOptions::m_bSaveBinaryComparisons, true},
    BoolValue{S, "NoDuplicatePairs", &CGeneralOptions::m_bNoDuplicatePairs, false},
    BoolValue{S, "WindowMaximized", &CGeneralOptions::m_bWindowMaximized, true},
    BoolValue{S, "WindowFullScreen", &CGeneralOptions::m_bWindowFullScreen, false},
    BoolValue{S, "EscToClose", &CGeneralOptions::m_bEscToClose, true},
};

constexpr int kNoLimit = 1, kNoLimitMax = 0;

const std::array kIntValues{
    IntValue{"PanesOrientation", &CGeneralOptions::m_nPanesOrientation, 1, kNoLimit, kNoLimitMax},
    IntValue{"MaxMRU", &CGeneralOptions::m_nMaxMRU, 20, 0, 1000},
    IntValue{"MaxFiles", &CGeneralOptions::m_nMaxFiles, 10, 0, 15},
    IntValue{"MaxComparisons", &CGeneralOptions::m_nMaxComparisons, 100, 0, 1000},
    IntValue{"MaxPairs", &CGeneralOptions::m_nMaxPairs, 100, 0, 1000},
    IntValue{"WindowPosX", &CGeneralOptions::m_nWindowPosX, -1, kNoLimit, kNoLimitMax},
    IntValue{"WindowPosY", &CGeneralOptions::m_nWindowPosY, -1, kNoLimit, kNoLimitMax},
    IntValue{"WindowSizeCX", &CGeneralOptions::m_nWindowSizeCX, -1, kNoLimit, kNoLimitMax},
    IntValue{"WindowSizeCY", &CGeneralOptions::m_nWindowSizeCY, -1, kNoLimit, kNoLimitMax},
    IntValue{"MapBarSize", &CGeneralOptions::m_nMapBarSize, 56, kNoLimit, kNoLimitMax},
    IntValue{"OutputBarSize", &CGeneralOptions::m_nOutputBarSize, 104, kNoLimit, kNoLimitMax},
};

constexpr int kDefaultMapBarSize = 56;
constexpr int kDefaultOutputBarSize = 104;

} // namespace

CGeneralOptions::CGeneralOptions()
{
    for (const BoolValue& v : kBoolValues)
        this->*v.m_pMember = v.m_bDefault;
    for (const IntValue& v : kIntValues)
        this->*v.m_pMember = v.m_nDefault;
}

void CGeneralOptions::ApplyLimits(int screenWidth, int screenHeight)
{
    for (const IntValue& v : kIntValues)
    {
        int& value = this->*v.m_pMember;
        if (v.m_nMin <= v.m_nMax && (value < v.m_nMin || value > v.m_nMax))
            value = v.m_nDefault;
    }
    // A bar size of 0 or less, or beyond half the screen, would hide the bar or the documents.
    if (m_nMapBarSize <= 0 || (screenWidth > 0 && m_nMapBarSize > screenWidth / 2))
        m_nMapBarSize = kDefaultMapBarSize;
    if (m_nOutputBarSize <= 0 || (screenHeight > 0 && m_nOutputBarSize > screenHeight / 2))
        m_nOutputBarSize = kDefaultOutputBarSize;
}

bool CGeneralOptions::LoadFromRegistry(const platform::Profile& profile, int screenWidth, int screenHeight)
{
    for (const BoolValue& v : kBoolValues)
        this->*v.m_pMember = profile.GetProfileInt(v.m_pszSection, v.m_pszName, v.m_bDefault ? 1 : 0) != 0;
    for (const IntValue& v : kIntValues)
        this->*v.m_pMember = profile.GetProfileInt(kSection, v.m_pszName, v.m_nDefault);
    m_strExternalTextEditor = profile.GetProfileString(kSection, "ExternalTextEditor");
    m_strExternalBinaryEditor = profile.GetProfileString(kSection, "ExternalBinaryEditor");
    ApplyLimits(screenWidth, screenHeight);
    return true;
}

bool CGeneralOptions::SaveToRegistry(platform::Profile& profile, int screenWidth, int screenHeight)
{
    ApplyLimits(screenWidth, screenHeight);
    bool ok = true;
    for (const BoolValue& v : kBoolValues)
        ok &= profile.WriteProfileInt(v.m_pszSection, v.m_pszName, this->*v.m_pMember ? 1 : 0);
    for (const IntValue& v : kIntValues)
        ok &= profile.WriteProfileInt(kSection, v.m_pszName, this->*v.m_pMember);
    ok &= profile.WriteProfileString(kSection, "ExternalTextEditor", m_strExternalTextEditor);
    ok &= profile.WriteProfileString(kSection, "ExternalBinaryEditor", m_strExternalBinaryEditor);
    return ok;
}
