#pragma once

#include "filesystem/ComboFilters.h"

#include <cstdint>
#include <string>

// The user's current defaults, which new definitions and command lines start from. The folder and
// text comparison settings set them when they load and whenever the user changes them.
struct COMPARE_DEFAULTS
{
    std::uint32_t m_dwFolderMethods = 0x110; // last-modified time and size
    bool m_bAutoScanSubfolders = false;
    CComboFilters m_folderFilters;             // the default filters of new folder comparisons
    std::uint32_t m_dwTextRules = 0x20000;     // ignore line ends
    std::string m_strTextLineFilter;
};

COMPARE_DEFAULTS& CurrentCompareDefaults();
