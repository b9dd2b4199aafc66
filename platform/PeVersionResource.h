#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Our replacement for GetFileVersionInfoSize / GetFileVersionInfo / VerQueryValue: a reader of the
// version resource (RT_VERSION) of Windows executables (PE32 and PE32+), and queries over the
// VS_VERSIONINFO block it returns.
//
// Every offset, count and size in the file is untrusted: a file that is not a PE file, has no
// version resource or is malformed or truncated anywhere on the way to the block gives an empty
// block, never a partial one. Only the headers, the section table, the resource directories on the
// way and the block itself are read (the block is capped at kMaxVersionBlockSize).

namespace platform {

inline constexpr std::size_t kMaxVersionBlockSize = 1024 * 1024;

// The raw VS_VERSIONINFO block of a PE file; empty when the file has none, is not a PE file, is not a
// regular file (a FIFO or device is never read from, nor waited on) or cannot be read.
// Of several resource names under RT_VERSION the one with id 1 (VS_VERSION_INFO) is taken, else the
// first; of several languages of it the one PreferredLanguageIndex() picks for `preferredLanguage`
// (the user's default language when not given).
std::vector<std::uint8_t> ReadVersionInfoBlock(const std::string& path);
std::vector<std::uint8_t> ReadVersionInfoBlock(const std::string& path, std::uint16_t preferredLanguage);
// The same over the bytes of a whole file in memory (what the fuzz target feeds).
std::vector<std::uint8_t> VersionInfoBlockFromImage(std::span<const std::uint8_t> image);
std::vector<std::uint8_t> VersionInfoBlockFromImage(std::span<const std::uint8_t> image,
                                                    std::uint16_t preferredLanguage);

// VerQueryValue over a block: "\\" gives the root's value (the VS_FIXEDFILEINFO record, 52 bytes in
// a well-formed block), "\\VarFileInfo\\Translation" the translation table (pairs of 16-bit language
// and code page), "\\StringFileInfo\\040904B0\\FileVersion" a string's UTF-16LE bytes. Keys compare
// case-insensitively; empty path components are skipped, so "" is the root too. False when a key on
// the path is missing or the block is malformed there. The value is wValueLength bytes for binary
// nodes (wType 0) and wValueLength UTF-16 units for text nodes (wType 1; usually counting the
// terminating zero), never beyond the node's end.
bool QueryVersionValue(std::span<const std::uint8_t> block, std::string_view queryPath,
                       std::vector<std::uint8_t>& value);
// A text value as UTF-8: the UTF-16LE text from the value's start up to its first zero unit or the
// node's end, whichever comes first, whatever wValueLength says (files disagree on whether it counts
// units or bytes, and whether wType is 1). Unpaired surrogates become U+FFFD. True when the node
// exists, also with an empty value.
bool QueryVersionString(std::span<const std::uint8_t> block, std::string_view queryPath, std::string& utf8);

// One entry of "\\VarFileInfo\\Translation".
struct VersionTranslation
{
    std::uint16_t language = 0;
    std::uint16_t codePage = 0;
};
// The translation table of a block; empty when it has none. A trailing partial entry is ignored.
std::vector<VersionTranslation> QueryVersionTranslations(std::span<const std::uint8_t> block);

// Index of the language to use among `languages` for a user whose default language is
// `userLanguage`, trying in this order: the same language; the same low byte; language 0 (neutral)
// exactly, then by low byte; low byte 9 (English); the first. `languages.size()` when empty.
std::size_t PreferredLanguageIndex(std::span<const std::uint16_t> languages, std::uint16_t userLanguage);

// The user's default language as a Windows language id, from the first of LC_ALL, LC_MESSAGES and
// LANG that is set and not empty: en_US gives 0x0409, de_DE 0x0407, fr_FR 0x040C, ... (a table of
// the common languages and regions; a known language in an unknown region gives the language's main
// region). 0x0409 when unknown, C or POSIX.
std::uint16_t UserDefaultLanguageId();
// The same for one locale name ("de_AT.UTF-8@euro", "pt_BR", "C").
std::uint16_t LanguageIdFromLocaleName(std::string_view localeName);

// UTF-16LE bytes to UTF-8, stopping at the first zero unit; a trailing odd byte is ignored.
std::string Utf8FromUtf16Le(std::span<const std::uint8_t> bytes);

} // namespace platform
