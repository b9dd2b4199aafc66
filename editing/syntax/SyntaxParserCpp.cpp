#include "editing/syntax/SyntaxParserCpp.h"

namespace {

// Set 1: 108 words, compared exactly.
constexpr std::string_view kSet1[] = {
    "_asm", "__asm", "_far16", "__far16", "enum", "__multiple_inheritance", "template", "auto", "__except",
    "__single_inheritance", "this", "__based", "explicit", "__virtual_inheritance", "thread", "bool",
    "extern", "mutable", "throw", "break", "false", "naked", "true", "case", "_fastcall", "__fastcall",
    "namespace", "try", "catch", "__finally", "new", "__try", "__cdecl", "__pascal", "_cdecl", "_pascal",
    "float", "operator", "typedef", "char", "for", "private", "typeid", "class", "friend", "protected",
    "typename", "const", "goto", "public", "union", "const_cast", "if", "register", "unsigned", "continue",
    "inline", "reinterpret_cast", "using", "__declspec", "__inline", "return", "uuid", "default", "int",
    "short", "__uuidof", "delete", "__int8", "signed", "virtual", "_export", "__export", "dllexport",
    "__int16", "sizeof", "void", "dllimport", "__int32", "static", "volatile", "do", "__int64",
    "static_cast", "wmain", "double", "__leave", "_stdcall", "__stdcall", "_syscall", "__syscall", "while",
    "dynamic_cast", "long", "struct", "xalloc", "else", "main", "switch", "interface", "persistent",
    "_persistent", "transient", "depend", "ondemand", "cset", "useindex", "indexdef",
};

// Set 2: 29 words, compared exactly.
constexpr std::string_view kSet2[] = {
    "LPTSTR", "LPCTSTR", "LPWSTR", "LPCWSTR", "CHAR", "WCHAR", "TCHAR", "BYTE", "BOOL", "VOID", "LONG",
    "TRUE", "FALSE", "INT", "UINT", "WORD", "DWORD", "WPARAM", "LPARAM", "LRESULT", "BSTR", "COLORREF",
    "LPCSTR", "LPSTR", "LPVOID", "WNDPROC", "POSITION", "LPRECT", "HANDLE",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, false},
    {kSet2, SYNTAX_KEYWORD2, false},
};

} // namespace

CSyntaxParserCpp::CSyntaxParserCpp() : CSyntaxParserCScheme(CSyntaxParserCScheme::SRules{.commentsOnlyParse = true})
{
    SetDefinition(4, "C/C++", "c,cc,cpp,cxx,h,hpp,hxx,hm,inl,rh,tlh,tli,xs", 0x30, "/*", "*/", "//");
    SetKeywordSets(kKeywordSets);
}
