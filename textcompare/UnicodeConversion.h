#pragma once

#include "textcompare/TextStats.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Conversions between the encodings of text files and internal text (UTF-8 bytes).

// Converts `n` bytes of (fromKind, fromCodePage) to (toKind, toCodePage) into `out` (replaced).
// UTF-8 and UTF-16 ends convert losslessly, invalid data included; a code page end replaces what it
// cannot represent by "?" and adds one to `*losses` per character. False only when a code page
// cannot be converted at all.
bool ConvertText(int fromKind, int fromCodePage, const char* src, std::size_t n, int toKind, int toCodePage,
                 std::string& out, std::size_t* losses = nullptr);

// The internal text of one code point. `lossy` is set when the code point is not a Unicode scalar
// value (U+FFFD is returned then) or when `codePage` (default: the default code page setting)
// cannot hold it: a single-byte code page must hold it as exactly one byte.
std::string CodePointToText(char32_t codePoint, bool& lossy);
std::string CodePointToText(char32_t codePoint, bool& lossy, int codePage);

// The code point of the first character at `bytes` in the encoding (kind, codePage); U+FFFD when
// the bytes do not start with a whole valid character. `length` (optional) receives the bytes used.
char32_t GetUnicodeChar(std::string_view bytes, int kind, int codePage, std::size_t* length = nullptr);

// Length announced by a UTF-8 lead byte: 1 below 0x80; 0 for continuation bytes 0x80-0xBF and for
// 0xFE, 0xFF; else 2 to 6.
int Utf8SequenceLength(unsigned char leadByte);

// The code point of the UTF-8 sequence at the start of `bytes`; U+FFFD when it is not one whole
// valid sequence (cut off, overlong, surrogate, above U+10FFFF). `length` receives the bytes used
// (the whole sequence, or 1 for an invalid start).
char32_t DecodeUtf8(std::string_view bytes, std::size_t* length = nullptr);

// True when two code page numbers name the same code page once 0, 1 and 3 are resolved.
bool SameCodePage(int a, int b);

EolStyle EolStyleFromStats(const TextStats& stats);
bool HasMixedEols(const TextStats& stats);

// UTF-16 units and internal text, without loss in either direction: a byte that is not valid
// UTF-8 becomes the unit U+DC00 + byte (the platform's escape) and back; a lone surrogate that the
// escape cannot express becomes its generalised three-byte UTF-8 form (ED A0 80 to ED BF BF) and
// back, so any sequence of units survives a round trip.
std::string TextFromUtf16(std::u16string_view units);
// The most bytes of internal text that one UTF-16 unit gives.
inline constexpr std::size_t kMaxTextPerUnit = 3;
// TextFromUtf16 of `units` units stored as bytes in the given byte order, written to `out`, which
// must have room for kMaxTextPerUnit bytes per unit. Returns the bytes written.
std::size_t TextFromUtf16Bytes(const char* bytes, std::size_t units, bool bigEndian, char* out);
std::u16string Utf16FromText(std::string_view text);

// True for a code page whose characters are all one byte wide.
bool IsSingleByteCodePage(int codePage);
