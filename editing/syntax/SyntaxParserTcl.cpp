#include "editing/syntax/SyntaxParserTcl.h"

namespace {

// Set 1: 14 words, compared in any case.
constexpr std::string_view kSet1[] = {
    "case", "do", "done", "elif", "else", "esac", "fi", "for", "function", "if", "in", "then", "until",
    "while",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, true},
};

} // namespace

CSyntaxParserTcl::CSyntaxParserTcl() : CSyntaxParserHashScheme(CSyntaxParserHashScheme::SRules{})
{
    SetDefinition(25, "TCL", "tcl", 0x150, "", "", "#");
    SetKeywordSets(kKeywordSets);
}
