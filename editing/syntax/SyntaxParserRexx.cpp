#include "editing/syntax/SyntaxParserRexx.h"

namespace {

// Set 1: 55 words, compared in any case.
constexpr std::string_view kSet1[] = {
    "ADDRESS", "ARG", "CALL", "DO", "DROP", "EXIT", "IF", "INTERPRET", "ITERATE", "LEAVE", "NOP", "NUMERIC",
    "OPTIONS", "PARSE", "PROCEDURE", "PULL", "PUSH", "QUEUE", "RETURN", "SAY", "SELECT", "OTHERWISE",
    "SIGNAL", "TRACE", "END", "WHEN", "ELSE", "WITH", "TO", "BY", "ON", "FOR", "OFF", "VAR", "THEN", "HALT",
    "NAME", "FORM", "FUZZ", "VALUE", "WHILE", "UNTIL", "ERROR", "UPPER", "EXPOSE", "DIGITS", "FOREVER",
    "FAILURE", "VERSION", "NOVALUE", "SOURCE", "SYNTAX", "NOTREADY", "SCIENTIFIC", "ENGINEERING",
};

// Set 2: 10 words, compared in any case.
constexpr std::string_view kSet2[] = {
    "METHOD", "CLASS", "NULL", "LOOP", "CATCH", "RETURNS", "EXTENDS", "IMPLEMENTS", "CHAR", "BOOLEAN",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, true},
    {kSet2, SYNTAX_KEYWORD2, true},
};

} // namespace

CSyntaxParserRexx::CSyntaxParserRexx() : CSyntaxParserCScheme(CSyntaxParserCScheme::SRules{.preprocessorChar = 0})
{
    SetDefinition(19, "REXX", "rex,rexx", 0x10, "/*", "*/", "//");
    SetKeywordSets(kKeywordSets);
}
