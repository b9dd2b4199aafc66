#include "editing/syntax/SyntaxParserHtml.h"

namespace {

// Set 1, tag names: 93 words, compared in any case.
constexpr std::string_view kSet1[] = {
    "DOCTYPE", "PUBLIC", "HTML", "FRAMESET", "FRAME", "NOFRAMES", "IFRAME", "HEAD", "TITLE", "ISINDEX",
    "META", "LINK", "BASE", "BASEFONT", "SCRIPT", "NOSCRIPT", "STYLE", "BODY", "H1", "H2", "H3", "H4", "H5",
    "H6", "UL", "OL", "DIR", "MENU", "LI", "DL", "DT", "DD", "P", "PRE", "BLOCKQUOTE", "ADDRESS", "DIV",
    "SPAN", "CENTER", "HR", "EM", "STRONG", "DFN", "CODE", "SAMP", "KBD", "VAR", "CITE", "Q", "ACRONYM",
    "ABBR", "INS", "DEL", "BDO", "TT", "I", "B", "U", "STRIKE", "S", "BIG", "SMALL", "SUB", "SUP", "A",
    "IMG", "APPLET", "OBJECT", "PARAM", "FONT", "BR", "MAP", "AREA", "FORM", "INPUT", "TEXTAREA", "SELECT",
    "OPTION", "OPTGROUP", "BUTTON", "FIELDSET", "LEGEND", "LABEL", "TABLE", "TR", "TH", "TD", "COLGROUP",
    "COL", "THEAD", "TBODY", "TFOOT", "CAPTION",
};

// Set 2, attributes: 122 words, compared in any case.
constexpr std::string_view kSet2[] = {
    "ABBR", "ACCEPT", "ACCEPT-CHARSET", "ACCESSKEY", "ACTION", "ALIGN", "ALINK", "ALT", "ARCHIVE", "AXIS",
    "BACKGROUND", "BGCOLOR", "BORDER", "CELLPADDING", "CELLSPACING", "CHAR", "CHAROFF", "CHARSET", "CHECKED",
    "CITE", "CLASS", "CLASSID", "CLEAR", "CODE", "CODEBASE", "CODETYPE", "COLOR", "COLS", "COLSPAN",
    "COMPACT", "CONTENT", "COORDS", "DATA", "DATAFLD", "DATAFORMATAS", "DATASRC", "DATETIME", "DECLARE",
    "DEFER", "DIR", "DISABLED", "ENCTYPE", "EVENT", "FACE", "FOR", "FRAME", "FRAMEBORDER", "HEADERS",
    "HEIGHT", "HREF", "HREFLANG", "HSPACE", "HTTP-EQUIV", "ID", "ISMAP", "LABEL", "LANG", "LANGUAGE", "LINK",
    "LONGDESC", "MARGINHEIGHT", "MARGINWIDTH", "MAXLENGTH", "MEDIA", "METHOD", "MULTIPLE", "NAME", "NOHREF",
    "NORESIZE", "NOSHADE", "NOWRAP", "ONBLUR", "ONCHANGE", "ONCLICK", "ONDBLCLICK", "ONFOCUS", "ONKEYDOWN",
    "ONKEYPRESS", "ONKEYUP", "ONLOAD", "ONMOUSEDOWN", "ONMOUSEMOVE", "ONMOUSEOUT", "ONMOUSEOVER",
    "ONMOUSEUP", "ONRESET", "ONSELECT", "ONSUBMIT", "ONUNLOAD", "PROFILE", "PROMPT", "READONLY", "REL",
    "REV", "ROWS", "ROWSPAN", "RULES", "SCHEME", "SCOPE", "SCROLLING", "SELECTED", "SHAPE", "SIZE", "SPAN",
    "SRC", "STANDBY", "START", "STYLE", "SUMMARY", "TABINDEX", "TARGET", "TEXT", "TITLE", "TYPE", "USEMAP",
    "VALIGN", "VALUE", "VALUETYPE", "VERSION", "VLINK", "VSPACE", "WIDTH",
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

CSyntaxParserHtml::CSyntaxParserHtml() : CSyntaxParserMarkup(CSyntaxParserMarkup::Dialect::Html)
{
    SetDefinition(8, "HTML", "html,htm,shtml,ihtml,ssi,stm,stml", 0x30, "<!--", "-->", "'");
    SetKeywordSets(kKeywordSets);
}
