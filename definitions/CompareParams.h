#pragma once

#include <array>
#include <cstdint>
#include <string>

// Comparison type ids.
inline constexpr int COMPARE_TYPE_FOLDER = 10;
inline constexpr int COMPARE_TYPE_PROJECT = 11;
inline constexpr int COMPARE_TYPE_TEXT = 21;
inline constexpr int COMPARE_TYPE_BINARY = 22;

// Object flags.
inline constexpr std::uint32_t OBJECT_READONLY = 0x1;

// Folder comparison methods.
inline constexpr std::uint32_t METHOD_TYPE = 0x1;
inline constexpr std::uint32_t METHOD_LMTIME = 0x10;
inline constexpr std::uint32_t METHOD_SIZE = 0x100;
inline constexpr std::uint32_t METHOD_ATTRIBUTES = 0x1000;
inline constexpr std::uint32_t METHOD_VERSION = 0x10000;
inline constexpr std::uint32_t METHOD_CRC32 = 0x100000;
inline constexpr std::uint32_t METHOD_BINARY = 0x200000;
inline constexpr std::uint32_t METHOD_TEXT = 0x400000;

// Folder comparison options.
inline constexpr std::uint32_t OPTION_AUTOSCANSUBFOLDERS = 0x2;

// Text comparison rules: white-space rules in the low half, line rules in the high half.
inline constexpr std::uint32_t RULE_IGNOREALLSPACE = 0x1;
inline constexpr std::uint32_t RULE_IGNORESPACEDIFFERENCES = 0x2;
inline constexpr std::uint32_t RULE_IGNORETABEXPANSION = 0x4;
inline constexpr std::uint32_t RULE_IGNORELEADINGSPACE = 0x8;
inline constexpr std::uint32_t RULE_IGNORETRAILINGSPACE = 0x10;
inline constexpr std::uint32_t RULE_IGNORECASE = 0x10000;
inline constexpr std::uint32_t RULE_IGNOREEOL = 0x20000;
inline constexpr std::uint32_t RULE_IGNOREBLANKLINES = 0x40000;
inline constexpr std::uint32_t RULE_IGNORECOMMENTS = 0x80000;
inline constexpr std::uint32_t RULE_IGNORELINESMATCHINGFILTER = 0x100000;

// One side of a comparison.
struct COMPARE_OBJECT
{
    std::string m_strPath;
    std::uint32_t m_dwFlags = 0;

    bool IsReadOnly() const { return (m_dwFlags & OBJECT_READONLY) != 0; }
};

// How a generated command line quotes its arguments: double quotes as batch files expect, or POSIX
// single quotes, which also protect "$", "`", "\" and double quotes inside paths.
enum class CommandLineQuoting
{
    Posix,
    Batch,
};

// The definition of one comparison: its two objects and, in the subclasses, how they are compared.
class CCompareParams
{
public:
    static constexpr int kLeft = 0;
    static constexpr int kRight = 1;

    CCompareParams() = default;
    CCompareParams(const CCompareParams&) = default;
    CCompareParams& operator=(const CCompareParams&) = default;
    virtual ~CCompareParams() = default;

    // "left : right" of the objects' names.
    virtual std::string GetTitle() const;
    virtual void SwapSides();
    virtual bool IsSameObjects(const CCompareParams& other, bool allowSwap) const;
    // Objects and the subclass's own values; never the type or the last-compared time.
    virtual void CopyFrom(const CCompareParams& other);
    virtual bool IsEqual(const CCompareParams& other) const;
    // The command line that reopens this comparison; empty for a bare definition.
    virtual std::string GetCommandLine(bool fullPath, bool abbreviated,
                                       CommandLineQuoting quoting = CommandLineQuoting::Posix) const;

    int m_nType = 0;
    std::array<COMPARE_OBJECT, 2> m_objects;
    std::int64_t m_tLastCompared = 0; // seconds since 1970, UTC; 0 = never
};

// The last element of a path, or "Untitled" for an empty path.
std::string ObjectDisplayName(const std::string& path, bool wholePath = false);

// Paths are the same file-system path: byte for byte, after folding repeated and trailing
// separators. Names that differ in case are different files here.
bool IsSamePath(const std::string& a, const std::string& b);

// Window title of a comparison document: "left[ *] : right[ *]".
std::string FormatComparisonTitle(const CCompareParams& params, bool leftModified, bool rightModified,
                                  bool showLongTitle);
