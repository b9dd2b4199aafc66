#include "editing/syntax/SyntaxParserXml.h"

namespace {

// Set 1, tag words: 6 words, compared in any case.
constexpr std::string_view kSet1[] = {
    "xml", "DOCTYPE", "ELEMENT", "ATTLIST", "ENTITY", "NOTATION",
};

// Set 2, attribute words: 22 words, compared in any case.
constexpr std::string_view kSet2[] = {
    "version", "encoding", "standalone", "SYSTEM", "PUBLIC", "EMPTY", "ANY", "PCDATA", "CDATA", "ID",
    "IDREF", "IDREFS", "ENTITY", "ENTITIES", "NMTOKEN", "NMTOKENS", "#REQUIRED", "#IMPLIED", "#FIXED",
    "NDATA", "INCLUDE", "IGNORE",
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

CSyntaxParserXml::CSyntaxParserXml() : CSyntaxParserMarkup(CSyntaxParserMarkup::Dialect::Xml)
{
    SetDefinition(27, "XML", "xml", 0x30, "<!--", "-->", "");
    SetKeywordSets(kKeywordSets);
}
