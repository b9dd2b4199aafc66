#pragma once

#include <cstdint>

// The user's current default methods and rules, which new definitions start with. The folder and
// text comparison settings set them when they load and whenever the user changes them.
struct COMPARE_DEFAULTS
{
    std::uint32_t m_dwFolderMethods = 0x110; // last-modified time and size
    std::uint32_t m_dwTextRules = 0x20000;   // ignore line ends
};

COMPARE_DEFAULTS& CurrentCompareDefaults();
