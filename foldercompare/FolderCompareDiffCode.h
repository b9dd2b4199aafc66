#pragma once

#include "foldercompare/FolderCompareMethods.h"

#include <cstdint>
#include <string>
#include <vector>

// Status codes of a comparison item: its verdict.
inline constexpr std::uint32_t ITEM_STATUS_PENDING = 0; // not compared, or waiting for its children
inline constexpr std::uint32_t ITEM_STATUS_IDENTICAL = 1;
inline constexpr std::uint32_t ITEM_STATUS_SAMEPATH = 2; // both sides are the same object on disk
inline constexpr std::uint32_t ITEM_STATUS_DIFFERENT = 4;
inline constexpr std::uint32_t ITEM_STATUS_ERROR = 6;

// States: for a folder item the aggregate of its children; for a file item always "equal".
inline constexpr std::uint32_t ITEM_STATE_UNDETERMINED = 0;
inline constexpr std::uint32_t ITEM_STATE_EQUAL = 1;
inline constexpr std::uint32_t ITEM_STATE_DIFFERENT = 4;

// The outcome of comparing one pair: verdict, difference bits of the attribute methods (DIFF_*),
// aggregate state and the content methods' result (CONTENT_*).
class CFolderCompareDiffCode
{
public:
    virtual ~CFolderCompareDiffCode() = default;

    std::uint32_t GetDiffBits() const { return m_dwDiffBits; }
    bool HasDiff(std::uint32_t bits) const { return (m_dwDiffBits & bits) != 0; }
    std::uint32_t GetState() const { return m_dwState; }
    std::uint32_t GetContentResult() const { return m_dwContentResult; }

    std::uint32_t m_dwStatus = ITEM_STATUS_PENDING;
    std::uint32_t m_dwDiffBits = 0;
    std::uint32_t m_dwState = ITEM_STATE_EQUAL;
    std::uint32_t m_dwContentResult = CONTENT_NONE;
};

// Names for listings and reports: "pending", "identical", "same path", "different", "error".
std::string StatusName(std::uint32_t status);
// "none", "same", "different", "error".
std::string ContentResultName(std::uint32_t contentResult);
// The comparison-file names of the methods whose difference bits are set, in bit order: "Type",
// "LMTime", "Size", "Attributes", "Version", "CRC32".
std::vector<std::string> DifferenceNames(std::uint32_t diffBits);
