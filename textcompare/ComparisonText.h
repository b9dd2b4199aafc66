#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ISyntaxLineParser;
class CTextCompare;
namespace platform {
class CRegex;
}

// What the line comparison receives from the comparison rules.

// 3 all space, 2 space changes, 1 tab expansion, 0 none; only one mode is active.
int WhiteSpaceModeOf(std::uint32_t rules);

// Compiles the line filter in the classic syntax. False, with the engine's reason in `error`, when
// the pattern is not valid: the comparison then runs without a filter.
bool CompileLineFilter(std::string_view pattern, platform::CRegex& filter, std::string* error = nullptr);

// Sets the white-space mode, case folding and blank-line rule of `compare` from the rule bits, and the
// filter when the filter rule is on and `filter` holds a compiled expression.
void ApplyRules(CTextCompare& compare, std::uint32_t rules, const platform::CRegex* filter, int tabSize);

// The line's text with every run of the comment class removed, parsed from `cookie` (the state the
// previous line ended in), which becomes the state this line ends in.
std::string GetLineTextWithoutComments(std::string_view line, std::uint32_t& cookie, const ISyntaxLineParser& parser);

// One line's comparison text under the comment and trimming rules. `cookie` carries the parser state
// from line to line; `scratch` holds the text when comments had to be removed.
std::string_view ComparisonLineText(std::string_view line, std::uint32_t rules, const ISyntaxLineParser* parser,
                                    std::uint32_t& cookie, std::string& scratch);

// The comparison text of one side: each line without its line end, without comments (with the
// comment rule and a parser), trimmed at the start or the end (with those rules), joined by "\n"; the
// last line has none.
std::string BuildComparisonText(const std::vector<std::string_view>& lines, std::uint32_t rules,
                                const ISyntaxLineParser* parser);

// Space, tab, vertical tab, form feed and CR: the white space the trimming rules remove.
bool IsTrimmableSpace(char c);
