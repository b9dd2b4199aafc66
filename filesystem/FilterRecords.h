#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

// The five parts a filter set is made of. Each is a plain record with its own test; the composite
// filter classes derive from them.

// Type bits of the type filter (the content types of DetectFileType, plus the folder bit).
inline constexpr std::uint32_t FILTER_TYPE_TEXT = 0x1;
inline constexpr std::uint32_t FILTER_TYPE_BINARY = 0x2;
inline constexpr std::uint32_t FILTER_TYPE_DIRECTORY = 0x4;

// Include and exclude pattern lists (";"-separated). The match-case flag is kept and compared but
// matching always ignores case.
struct CNameFilter
{
    std::string m_strInclude = "*";
    std::string m_strExclude;
    std::int32_t m_bMatchCase = 0;

    void SetDefaults() { *this = CNameFilter(); }
    bool IsNameExcluded(std::string_view name) const;
    bool Differs(const CNameFilter& other) const;
};

// Bounds on the last write time in whole seconds since 1970 (a local calendar time converted); 0 is
// no bound; both bounds are inclusive.
struct CTimeFilter
{
    std::int64_t m_tFrom = 0;
    std::int64_t m_tTo = 0;

    void SetDefaults() { *this = CTimeFilter(); }
    bool IsTimeExcluded(std::int64_t seconds) const;
    bool Differs(const CTimeFilter& other) const { return m_tFrom != other.m_tFrom || m_tTo != other.m_tTo; }
};

// Bounds on the size in bytes; 0 is no bound; both bounds are inclusive.
struct CSizeFilter
{
    std::uint64_t m_nMinSize = 0;
    std::uint64_t m_nMaxSize = 0;

    void SetDefaults() { *this = CSizeFilter(); }
    bool IsSizeExcluded(std::uint64_t size) const;
    bool Differs(const CSizeFilter& other) const
    {
        return m_nMinSize != other.m_nMinSize || m_nMaxSize != other.m_nMaxSize;
    }
};

// Entries having any attribute of the mask are excluded; 0 is off.
struct CAttributeFilter
{
    std::uint32_t m_dwExcludeAttributes = 0;

    void SetDefaults() { *this = CAttributeFilter(); }
    bool IsAttributeExcluded(std::uint32_t attributes) const { return (attributes & m_dwExcludeAttributes) != 0; }
    bool Differs(const CAttributeFilter& other) const
    {
        return m_dwExcludeAttributes != other.m_dwExcludeAttributes;
    }
};

// Files whose content type shares a bit with the mask are excluded; 0 is off. The type must have
// been detected: the "unknown" type -1 shares every bit.
struct CTypeFilter
{
    std::uint32_t m_dwExcludeTypes = 0;

    void SetDefaults() { *this = CTypeFilter(); }
    bool IsTypeExcluded(int fileType) const
    {
        return (static_cast<std::uint32_t>(fileType) & m_dwExcludeTypes) != 0;
    }
    bool Differs(const CTypeFilter& other) const { return m_dwExcludeTypes != other.m_dwExcludeTypes; }
};

// A named pattern list offered by the filter choosers.
struct PRESET_FILE_FILTER
{
    std::string m_strName;
    std::string m_strFilter;

    bool operator==(const PRESET_FILE_FILTER&) const = default;
};
