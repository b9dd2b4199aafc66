#include "editing/syntax/SyntaxParserSgml.h"

namespace {

// Set 1, tag words: 55 words, compared in any case.
constexpr std::string_view kSet1[] = {
    "ABSTRACT", "ARTICLE", "AUTHOR", "BF", "BOOK", "CHAPT", "CODE", "COPYRIGHT", "DATE", "DEBIANDOC",
    "DESCRIP", "DOCTYPE", "EM", "EMAIL", "ENUM", "ENUMLIST", "EXAMPLE", "FOOTNOTE", "FTPSITE", "FTPPATH",
    "HEADING", "HTMLURL", "HTTPSITE", "HTTPPATH", "IT", "ITEM", "ITEMIZE", "LABEL", "LIST", "MANREF", "NAME",
    "P", "PRGN", "PUBLIC", "QREF", "QUOTE", "REF", "SECT", "SECT1", "SECT2", "SECT3", "SECT4", "STRONG",
    "SYSTEM", "TAG", "TAGLIST", "TITLE", "TITLEPAG", "TOC", "TSCREEN", "TT", "URL", "VAR", "VERB", "VERSION",
};

// Set 2, attribute words: 4 words, compared in any case.
constexpr std::string_view kSet2[] = {
    "COMPACT", "ID", "NAME", "SECTION",
};

// Set 3, entities: 100 words, compared in any case.
constexpr std::string_view kSet3[] = {
    "nbsp", "iexcl", "cent", "pound", "curren", "yen", "brvbar", "sect", "uml", "copy", "ordf", "laquo",
    "not", "shy", "reg", "macr", "deg", "plusmn", "sup2", "sup3", "acute", "micro", "para", "middot",
    "cedil", "sup1", "ordm", "raquo", "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",
    "Atilde", "Auml", "Aring", "AElig", "Ccedil", "Egrave", "Eacute", "Ecirc", "Euml", "Igrave", "Iacute",
    "Icirc", "Iuml", "ETH", "Ntilde", "Ograve", "Oacute", "Ocirc", "Otilde", "Ouml", "times", "Oslash",
    "Ugrave", "Uacute", "Ucirc", "Uuml", "Yacute", "THORN", "szlig", "agrave", "aacute", "acirc", "atilde",
    "auml", "aring", "aelig", "ccedil", "egrave", "eacute", "ecirc", "euml", "igrave", "iacute", "icirc",
    "iuml", "eth", "ntilde", "ograve", "oacute", "ocirc", "otilde", "ouml", "divide", "oslash", "ugrave",
    "uacute", "ucirc", "uuml", "yacute", "thorn", "yuml", "quot", "amp", "lt", "gt",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, true},
    {kSet2, SYNTAX_KEYWORD2, true},
    {kSet3, SYNTAX_KEYWORD3, true},
};

} // namespace

CSyntaxParserSgml::CSyntaxParserSgml() : CSyntaxParserMarkup(CSyntaxParserMarkup::Dialect::Sgml)
{
    SetDefinition(21, "Sgml", "sgml", 0x30, "<!--", "-->", "'");
    SetKeywordSets(kKeywordSets);
}
