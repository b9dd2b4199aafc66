#include "editing/syntax/SyntaxParserCsharp.h"

namespace {

// Set 1: 76 words, compared exactly.
constexpr std::string_view kSet1[] = {
    "abstract", "base", "bool", "break", "byte", "case", "catch", "char", "checked", "class", "const",
    "continue", "decimal", "default", "delegate", "do", "double", "else", "enum", "event", "exdouble",
    "exfloat", "explicit", "extern", "false", "finally", "fixed", "float", "for", "foreach", "get", "goto",
    "if", "implicit", "in", "int", "interface", "internal", "is", "lock", "long", "namespace", "new", "null",
    "object", "operator", "out", "override", "private", "protected", "public", "readonly", "ref", "return",
    "sbyte", "sealed", "set", "short", "sizeof", "static", "string", "struct", "switch", "this", "throw",
    "true", "try", "typeof", "uint", "ulong", "unchecked", "unsafe", "ushort", "using", "virtual", "void",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, false},
};

} // namespace

CSyntaxParserCsharp::CSyntaxParserCsharp() : CSyntaxParserCScheme(CSyntaxParserCScheme::SRules{})
{
    SetDefinition(5, "C#", "cs", 0x30, "/*", "*/", "//");
    SetKeywordSets(kKeywordSets);
}
