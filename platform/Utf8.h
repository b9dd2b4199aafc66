#pragma once

#include <string>
#include <string_view>

namespace platform {

// Length of the valid UTF-8 sequence at the start of `text` (1 to 4), or 0 when it does not start
// with one (also for an empty text). Overlong forms, surrogates and values above U+10FFFF are invalid.
std::size_t ValidUtf8SequenceLength(std::string_view text);
bool IsValidUtf8(std::string_view text);

// The text with each byte that is not part of a valid sequence replaced by U+FFFD.
std::string ReplaceInvalidUtf8(std::string_view text);

// UTF-8 bytes to UTF-16 and back, losslessly for any bytes: a byte that is not part of a valid
// sequence becomes the lone surrogate U+DC00 + byte, and such surrogates become the byte again.
std::u16string Utf16FromBytes(std::string_view bytes);
std::string BytesFromUtf16(std::u16string_view text);

void AppendUtf8(std::string& out, char32_t codePoint);

} // namespace platform
