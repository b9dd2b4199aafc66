#include "editing/syntax/SyntaxParserIs.h"

namespace {

// Set 1: 44 words, compared exactly.
constexpr std::string_view kSet1[] = {
    "begin", "call", "case", "declare", "default", "downto", "else", "elseif", "end", "endif", "endswitch",
    "endwhile", "external", "for", "function", "goto", "if", "program", "prototype", "repeat", "return",
    "step", "switch", "then", "to", "typedef", "until", "void", "while", "BOOL", "BYREF", "CHAR", "HIWORD",
    "HWND", "INT", "LIST", "LONG", "LOWORD", "NUMBER", "POINTER", "QUAD", "RGB", "SHORT", "STRING",
};

// Set 2: 30 words, compared exactly.
constexpr std::string_view kSet2[] = {
    "AFTER", "APPEND", "BACK", "BEFORE", "CANCEL", "COMMAND", "COMMANDEX", "CONTINUE", "DISABLE", "DLG_ERR",
    "ENABLE", "EXCLUSIVE", "EXISTS", "FAILIFEXISTS", "FALSE", "FULL", "NEXT", "NO", "NONEXCLUSIVE", "NOSET",
    "OFF", "ON", "PARTIAL", "REPLACE", "REPLACE_ITEM", "RESET", "RESTART", "SET", "TRUE", "YES",
};

// Set 3: 15 words, compared exactly.
constexpr std::string_view kSet3[] = {
    "CMDLINE", "ERRORFILENAME", "INFOFILENAME", "ISRES", "ISUSER", "ISVERSION", "SRCDIR", "SRCDISK",
    "SUPPORTDIR", "TARGETDIR", "TARGETDISK", "WINDIR", "WINDISK", "WINSYSDIR", "WINSYSDISK",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, false},
    {kSet2, SYNTAX_KEYWORD2, false},
    {kSet3, SYNTAX_KEYWORD3, false},
};

} // namespace

CSyntaxParserIs::CSyntaxParserIs() : CSyntaxParserCScheme(CSyntaxParserCScheme::SRules{})
{
    SetDefinition(11, "InstallShield", "rul", 0x30, "/*", "*/", "//");
    SetKeywordSets(kKeywordSets);
}
