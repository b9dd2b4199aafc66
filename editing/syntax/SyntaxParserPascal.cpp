#include "editing/syntax/SyntaxParserPascal.h"

namespace {

// Set 1: 51 words, compared in any case.
constexpr std::string_view kSet1[] = {
    "program", "const", "type", "var", "begin", "end", "array", "set", "record", "string", "if", "then",
    "else", "while", "for", "to", "downto", "do", "with", "repeat", "until", "case", "of", "goto", "exit",
    "label", "procedure", "function", "nil", "file", "and", "or", "not", "xor", "div", "mod", "unit", "uses",
    "implementation", "interface", "external", "asm", "inline", "object", "constructor", "destructor",
    "virtual", "far", "assembler", "near", "inherited",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, true},
};

} // namespace

CSyntaxParserPascal::CSyntaxParserPascal() : CSyntaxParserPascalScheme(false)
{
    SetDefinition(15, "Pascal", "pas", 0x30, "{", "}", "");
    SetKeywordSets(kKeywordSets);
}
