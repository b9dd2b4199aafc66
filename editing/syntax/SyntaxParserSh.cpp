#include "editing/syntax/SyntaxParserSh.h"

namespace {

// Set 1: 28 words, compared in any case.
constexpr std::string_view kSet1[] = {
    "case", "do", "done", "elif", "else", "esac", "fi", "for", "function", "if", "in", "then", "until",
    "while", "exec", "export", "set", "echo", "exit", "select", "source", "unset", "alias", "unalias",
    "shift", "break", "read", "return",
};

// Set 2: 8 words, compared in any case.
constexpr std::string_view kSet2[] = {
    "ls", "pwd", "chown", "chmod", "logout", "ssh", "telnet", "who",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, true},
    {kSet2, SYNTAX_KEYWORD2, true},
};

} // namespace

CSyntaxParserSh::CSyntaxParserSh() : CSyntaxParserHashScheme(CSyntaxParserHashScheme::SRules{})
{
    SetDefinition(22, "Shell", "sh,conf", 0x111, "", "", "#");
    SetKeywordSets(kKeywordSets);
}
