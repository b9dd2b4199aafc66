#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The text forms in which filter values are stored (registry, comparison files). Readers never fail:
// text they cannot use gives 0, which is "no bound" or "off".

// "%Y-%m-%d" of a time in seconds since 1970, in local time; "" for 0. Read back as local midnight
// at the start of that day; a text without three numeric parts gives 0.
std::string FormatDateBound(std::int64_t seconds);
std::int64_t ParseDateBound(std::string_view text);

// "%Y-%m-%d %H:%M:%S" in local time; "" for 0. All six parts must be there, otherwise 0.
std::string FormatDateTime(std::int64_t seconds);
std::int64_t ParseDateTime(std::string_view text);

// Decimal digits; "" for 0. Reads the leading digits (a sign is allowed); a negative or missing
// number gives 0, one too large for 63 bits the largest signed value.
std::string FormatSizeBound(std::uint64_t size);
std::uint64_t ParseSizeBound(std::string_view text);

// Leading decimal number with an optional sign, as a signed 64-bit value; `ok` tells whether digits
// were there and the value fitted.
std::int64_t ParseDecimal(std::string_view text, bool* ok = nullptr);

// "R", "A", "S", "H" for the attributes present, in this order. Reading takes these upper-case
// letters anywhere in the text and ignores everything else.
std::string FormatAttributeLetters(std::uint32_t attributes);
std::uint32_t ParseAttributeLetters(std::string_view text);

// "Text", "Binary", "Directory" for the types present, in this order, joined by "|". Reading splits
// at "|" and at ";" (both separators have been written) and ignores unknown words.
std::string FormatTypeWords(std::uint32_t types);
std::uint32_t ParseTypeWords(std::string_view text);
