#pragma once

#include <functional>
#include <string_view>

// Wildcard patterns of the filters, the syntax highlighters' extension lists and the project readers.
// "*" any run, "?" one character, "[a-z]" / "[!a-z]" sets, "`" quotes the next character, a leading
// "!" negates the rest, 0x1A any run without a dot. Letters match without regard to case. A character
// is one UTF-8 sequence; a byte that starts none is a character of its own.
bool MatchWildcard(std::string_view pattern, std::string_view name);
// The same for C strings; false when either is missing.
bool MatchWildcard(const char* pattern, const char* name);

// Calls `visit` with each pattern of a ";"-separated list, skipping empty items and trimming nothing;
// stops early when `visit` returns true and then returns true itself.
bool ForEachPattern(std::string_view list, const std::function<bool(std::string_view)>& visit);

// True when any pattern of the list matches `name`.
bool MatchWildcardList(std::string_view list, std::string_view name);

// Simple case folding of a text (one code point at a time; invalid bytes are kept), so two texts
// can be compared without regard to case.
std::string FoldCase(std::string_view text);
