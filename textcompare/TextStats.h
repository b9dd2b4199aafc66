#pragma once

#include <cstdint>
#include <string>

// Encoding kind of a text file or buffer; the code page matters only for UNICODE_NONE.
enum UnicodeKind : int
{
    UNICODE_UNKNOWN = -1, // buffer never loaded
    UNICODE_NONE = 0,     // bytes in a code page
    UNICODE_UCS2_LE = 1,  // UTF-16 little-endian, mark FF FE
    UNICODE_UCS2_BE = 2,  // UTF-16 big-endian, mark FE FF
    UNICODE_UTF8 = 3,     // UTF-8 with the mark EF BB BF
};

// Line-end style of a buffer; any other value is treated as EOL_CRLF.
enum EolStyle : int
{
    EOL_KEEP = 0,
    EOL_CRLF = 1,
    EOL_CR = 2,
    EOL_LF = 3,
};

// What a file met while it was read.
struct TextStats
{
    std::int32_t crCount = 0;          // lone CR
    std::int32_t lfCount = 0;          // lone LF
    std::int32_t crlfCount = 0;        // CR followed by LF
    std::int32_t zeroCount = 0;        // NUL bytes or NUL characters
    std::int32_t firstZeroOffset = -1; // byte offsets from the start of the file, -1 while no NUL
    std::int32_t lastZeroOffset = -1;
    std::int32_t lossCount = 0; // characters that could not be converted exactly

    void Clear() { *this = TextStats(); }
};

// The last error of a file: the failing call ("open", "read", "fstat", ...) with its errno, or a
// description when no call failed.
struct UniFileError
{
    std::string apiName;
    int systemError = 0;
    std::string description;

    void Clear() { *this = UniFileError(); }
    bool HasError() const { return !apiName.empty() || systemError != 0 || !description.empty(); }
    // The text shown to the user: the system's message for the errno, else the description.
    std::string GetMessage() const;
};
