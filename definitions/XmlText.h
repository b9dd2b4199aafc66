#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tinyxml2 {
class XMLElement;
}

// Attribute helpers of the comparison files.
//
// XML cannot carry bytes that are not UTF-8 nor most control characters, and a single such byte
// makes the whole file unreadable. Such a text is written as its readable form (U+FFFD in place of
// what cannot be shown) plus a second attribute, the name with "Bytes" appended, holding the exact
// bytes in hex; readers that know the second attribute take the exact bytes from it.
void SetTextAttribute(tinyxml2::XMLElement& element, const char* name, std::string_view value);
// The text of an attribute; false when it is missing (`value` is then unchanged).
bool GetTextAttribute(const tinyxml2::XMLElement& element, const char* name, std::string& value);

// True when the text can stand in an attribute as it is.
bool IsXmlSafeText(std::string_view text);

// A flag: any decimal number, non-zero means set; a missing attribute or one without digits is clear.
bool GetFlagAttribute(const tinyxml2::XMLElement& element, const char* name);
void SetFlagAttribute(tinyxml2::XMLElement& element, const char* name, bool value);

// A whole 32-bit value written as a decimal number (negative numbers as their two's complement);
// missing, malformed or out-of-range values leave `value` unchanged.
bool GetDwordAttribute(const tinyxml2::XMLElement& element, const char* name, std::uint32_t& value);
