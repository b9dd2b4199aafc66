#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class CFileInfoEx;
namespace platform {
class CRegex;
}

// Difference bits of a comparison item: one per attribute method that found a difference.
inline constexpr std::uint32_t DIFF_TYPE = 0x100;
inline constexpr std::uint32_t DIFF_LMTIME = 0x1000;
inline constexpr std::uint32_t DIFF_SIZE = 0x4000;
inline constexpr std::uint32_t DIFF_ATTRIBUTES = 0x10000;
inline constexpr std::uint32_t DIFF_VERSION = 0x20000;
inline constexpr std::uint32_t DIFF_CRC = 0x1000000;

// Content result of a comparison item: the outcome of the content methods.
inline constexpr std::uint32_t CONTENT_NONE = 0;
inline constexpr std::uint32_t CONTENT_SAME = 1;
inline constexpr std::uint32_t CONTENT_DIFFERENT = 4;
inline constexpr std::uint32_t CONTENT_ERROR = 6;

// What the methods take from the settings besides the definition's methods word: the folder rule and
// the time tolerance of the folder settings, and the subset of the default text rules the text method
// applies. A value: a comparison copies it once and never reads the settings object while it runs.
struct FOLDER_METHOD_SETTINGS
{
    bool m_bIgnoreFolderDifferences = true;
    int m_nTimeTolerance = 2;              // seconds; 0 compares the raw file times exactly
    std::uint32_t m_dwTextRules = 0x20000; // RULE_* bits; only white space, case, blank lines, filter count
    // Compiled once for the whole comparison; null when there is no usable line filter.
    std::shared_ptr<const platform::CRegex> m_lineFilter;
    int m_nTabSize = 4;

    // Sets the text rules and compiles `lineFilter` when the filter rule is on and the text is not
    // empty; an expression that does not compile leaves no filter, as in the text comparison.
    void SetTextRules(std::uint32_t rules, std::string_view lineFilter, int tabSize = 4);
};

// The comparison methods, run by a comparison item on its two sides when both are present and exist.
// Each takes the two file descriptions (types, versions and checksums are computed on demand and cached
// in them), clears its own difference bit in `diffBits` first, so that it can be re-run alone, and
// sets it again when it finds a difference. Results: -1 the right side is newer, larger or higher, +1
// the left side is; the content methods write the content result into `contentResult`.
class CFolderCompareMethods
{
public:
    explicit CFolderCompareMethods(FOLDER_METHOD_SETTINGS settings = {});

    const FOLDER_METHOD_SETTINGS& GetSettings() const { return m_settings; }

    // 0 or 1 (types differ); the types are detected, not forced.
    static int CompareFileType(CFileInfoEx& left, CFileInfoEx& right, std::uint32_t& diffBits);
    // -1, 0, +1. `isFolder`: the item is a folder item (the folder rule applies).
    int CompareTime(const CFileInfoEx& left, const CFileInfoEx& right, bool isFolder,
                    std::uint32_t& diffBits) const;
    // -1, 0, +1 by the 64-bit sizes.
    static int CompareSize(const CFileInfoEx& left, const CFileInfoEx& right, std::uint32_t& diffBits);
    // 0 or 1 (the whole attribute words differ).
    int CompareAttributes(const CFileInfoEx& left, const CFileInfoEx& right, bool isFolder,
                          std::uint32_t& diffBits) const;
    // -1, 0, +1 by (most significant, least significant) version words; read, not forced.
    static int CompareVersion(CFileInfoEx& left, CFileInfoEx& right, std::uint32_t& diffBits);
    // 0 same, 1 different (content 4 and DIFF_CRC), -1 when a file could not be read (content 6).
    static int CompareCRC(CFileInfoEx& left, CFileInfoEx& right, std::uint32_t& diffBits,
                          std::uint32_t& contentResult);
    // 0 same, 1 different, -1 error (a file cannot be opened or read, or changed while being read).
    // Files of different sizes are different without being read.
    static int CompareBinary(const CFileInfoEx& left, const CFileInfoEx& right, std::uint32_t& contentResult);
    // 0 same, the number of difference sections, or -1 error. Falls back to CompareBinary unless both
    // sides are text files.
    int CompareText(CFileInfoEx& left, CFileInfoEx& right, std::uint32_t& contentResult) const;

    // Runs the methods selected in `methods` (METHOD_* bits) in their fixed order: time and attributes
    // for every item, then, for files only, type, size, version, checksum, binary and text. Resets
    // `diffBits` and `contentResult` first; returns the difference bits. A binary or text error leaves
    // the content result at CONTENT_ERROR whatever ran before.
    std::uint32_t RunMethods(CFileInfoEx& left, CFileInfoEx& right, bool isFolder, std::uint32_t methods,
                             std::uint32_t& diffBits, std::uint32_t& contentResult) const;

private:
    FOLDER_METHOD_SETTINGS m_settings;
};
