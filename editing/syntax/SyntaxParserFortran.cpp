#include "editing/syntax/SyntaxParserFortran.h"

namespace {

// Set 1: 204 words, compared in any case.
constexpr std::string_view kSet1[] = {
    "abs", "achar", "acos", "adjustl", "adjustr", "aimag", "aint", "all", "allocatable", "allocate",
    "allocated", ".and.", "anint", "any", "asin", "assignment", "associated", "atan", "atan2", "backspace",
    "bit_size", "block", "blockdata", "btest", "call", "random_number", "random_seed", "system_clock",
    "case", "ceiling", "char", "character", "close", "cmplx", "common", "complex", "conjg", "contains",
    "continue", "cos", "cosh", "count", "cshift", "cycle", "data", "date_and_time", "dble", "deallocate",
    "default", "digits", "dim", "dimension", "do", "dot_product", "double", "doubleprecision", "dprod",
    "else", "elseif", "elsewhere", "end", "endblock", "endblockdata", "enddo", "endfile", "endif",
    "endinterface", "endselect", "endtype", "endwhere", "entry", "eoshift", "epsilon", "equivalence", "exit",
    "exp", "exponent", "external", "file", "floor", "format.", "fraction", "function", "go", "goto", "huge",
    "iachar", "iand", "ibclr", "ibits", "ibset", "ichar", "ieor", "if", "implicit", "in", "index", "inout",
    "inquire", "int", "integer", "intent", "interface", "intrinsic", "iolength", "ior", "ishftc", "ishift",
    "kind", "lbound", "len", "len_trim", "lge", "lgt", "lle", "llt", "log", "log10", "logical", "matmul",
    "max", "maxexponent", "maxloc", "maxval", "merge", "min", "minexponent", "minloc", "minval", "mod",
    "module", "modulo", "mvbits", "namelist", "nearest", "nint", "none", ".not.", "nullify", "only", "open",
    "operator", "optional", ".or.", "out", "pack", "parameter", "pointer", "precision", "present", "print",
    "private", "procedure", "product", "program", "public", "radix", "rangereal", "read", "real",
    "recursive", "repeat", "reshape", "result", "return", "rewrind", "rrspacing", "save", "scale", "scan",
    "select", "selectcase", "selected_int_kind", "selected_real_kind", "sequence", "set_exponent", "shape",
    "sign", "sin", "sinh", "size", "spacing", "spread", "sqrt", "stop", "subroutine", "sum", "tan", "tanh",
    "target", "then", "tiny", "to", "transfer", "transpose", "trim", "type", "unbound", "unpack", "use",
    "verify", "where", "while", "write",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, true},
};

} // namespace

CSyntaxParserFortran::CSyntaxParserFortran() : CSyntaxParserHashScheme(CSyntaxParserHashScheme::SRules{.commentChar = '!', .commentLineC = true, .functionNames = CSyntaxParserHashScheme::FunctionNames::None})
{
    SetDefinition(7, "Fortran", "f,f90,f9p,fpp,for,f77", 0x11, "", "", "!");
    SetKeywordSets(kKeywordSets);
}
