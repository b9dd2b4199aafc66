#include "editing/syntax/SyntaxParserPython.h"

namespace {

// Set 1: 28 words, compared exactly.
constexpr std::string_view kSet1[] = {
    "access", "and", "break", "class", "continue", "def", "del", "elif", "else", "except", "exec", "finally",
    "for", "from", "global", "if", "import", "in", "is", "lambda", "not", "or", "pass", "print", "raise",
    "return", "try", "while",
};

// Set 2: 37 words, compared exactly.
constexpr std::string_view kSet2[] = {
    "argv", "builtin_module_names", "exc_type", "exc_value", "exc_traceback", "exit", "exitfunc",
    "last_type", "last_value", "last_traceback", "modules", "path", "ps1", "ps2", "settrace", "setprofile",
    "stdin", "stdout", "stderr", "tracebacklimit", "AttributeError", "EOFError", "IOError", "ImportError",
    "IndexError", "KeyError", "KeyboardInterrupt", "MemoryError", "NameError", "OverflowError",
    "RuntimeError", "SyntaxError", "SystemError", "SystemExit", "TypeError", "ValueError",
    "ZeroDivisionError",
};

// Set 3: 51 words, compared exactly.
constexpr std::string_view kSet3[] = {
    "id", "__init__", "__del__", "__repr__", "__str__", "__cmp__", "__hash__", "__dict__", "__methods__",
    "__members__", "__class__", "__bases__", "__add__", "__mul__", "__mod__", "__sub__", "__div__", "divmod",
    "__divmod__", "pow", "__pow__", "__and__", "__xor__", "__or__", "__lshift__", "__rshift__", "nonzero",
    "__nonzero__", "coerce", "__coerce__", "__neg__", "__pos__", "abs", "__abs__", "__invert__", "int",
    "__int__", "float", "__float__", "long", "__long__", "oct", "__oct__", "hex", "__hex__", "range",
    "round", "xrange", "len", "__len__", "__getitem__",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, false},
    {kSet2, SYNTAX_KEYWORD2, false},
    {kSet3, SYNTAX_KEYWORD3, false},
};

} // namespace

CSyntaxParserPython::CSyntaxParserPython() : CSyntaxParserHashScheme(CSyntaxParserHashScheme::SRules{})
{
    SetDefinition(18, "Python", "py", 0x50, "", "", "#");
    SetKeywordSets(kKeywordSets);
}
