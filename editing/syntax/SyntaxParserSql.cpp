#include "editing/syntax/SyntaxParserSql.h"

namespace {

// Set 1: 17 words, compared in any case.
constexpr std::string_view kSet1[] = {
    "select", "where", "insert", "into", "update", "from", "in", "order", "by", "and", "or", "not", "union",
    "distinct", "join", "all", "group",
};

// Set 2: 10 words, compared in any case.
constexpr std::string_view kSet2[] = {
    "CHAR", "VARCHAR", "INTEGER", "REAL", "DOUBLE", "MEMO", "BYTE", "WORD", "DATE", "TIME",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, true},
    {kSet2, SYNTAX_KEYWORD2, true},
};

} // namespace

CSyntaxParserSql::CSyntaxParserSql() : CSyntaxParserCScheme(CSyntaxParserCScheme::SRules{.preprocessorChar = 0})
{
    SetDefinition(24, "SQL", "sql", 0x10, "/*", "*/", "//");
    SetKeywordSets(kKeywordSets);
}
