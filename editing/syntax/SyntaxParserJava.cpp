#include "editing/syntax/SyntaxParserJava.h"

namespace {

// Set 1: 50 words, compared exactly.
constexpr std::string_view kSet1[] = {
    "abstract", "default", "goto", "null", "synchronized", "boolean", "do", "if", "package", "this", "break",
    "double", "implements", "private", "threadsafe", "byte", "else", "import", "protected", "throw",
    "byvalue", "extends", "instanceof", "public", "transient", "case", "false", "int", "return", "true",
    "catch", "final", "interface", "short", "try", "char", "finally", "long", "static", "void", "class",
    "float", "native", "super", "while", "const", "for", "new", "switch", "continue",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, false},
};

} // namespace

CSyntaxParserJava::CSyntaxParserJava() : CSyntaxParserCScheme(CSyntaxParserCScheme::SRules{})
{
    SetDefinition(12, "Java", "java,jav,js", 0x30, "/*", "*/", "//");
    SetKeywordSets(kKeywordSets);
}
