#pragma once

#include <cstddef>
#include <string_view>

// Byte scans over whole texts, written so that the compiler vectorises them.

std::size_t CountNewlines(std::string_view text);

// Length of the longest common prefix and suffix of two byte strings.
std::size_t CommonPrefixLength(std::string_view a, std::string_view b);
std::size_t CommonSuffixLength(std::string_view a, std::string_view b, std::size_t limit);

// The position after the `lines`-th line end from `position`, or the end of the text.
std::size_t SkipLines(std::string_view text, std::size_t position, std::size_t lines);
