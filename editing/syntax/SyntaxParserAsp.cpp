#include "editing/syntax/SyntaxParserAsp.h"

namespace {

// Set 1, tag names: 77 words, compared in any case.
constexpr std::string_view kSet1[] = {
    "DOCTYPE", "PUBLIC", "FRAME", "FRAMESET", "NOFRAMES", "HEAD", "TITLE", "ISINDEX", "META", "LINK", "BASE",
    "SCRIPT", "STYLE", "BODY", "H1", "H2", "H3", "H4", "H5", "H6", "UL", "OL", "DIR", "MENU", "LI", "DL",
    "DT", "DD", "P", "PRE", "BLOCKQUOTE", "ADDRESS", "DIV", "SPAN", "CENTER", "HR", "FORM", "TABLE", "LEFT",
    "RIGHT", "TOP", "EM", "STRONG", "DFN", "CODE", "SAMP", "KBD", "VAR", "CITE", "TT", "I", "B", "U",
    "STRIKE", "BIG", "SMALL", "SUB", "SUP", "A", "BASEFONT", "IMG", "APPLET", "PARAM", "FONT", "BR", "MAP",
    "AREA", "INPUT", "SELECT", "OPTION", "TEXTAREA", "ONCLICK", "CAPTION", "TR", "TH", "TD", "HTML",
};

// Set 2, attributes: 57 words, compared in any case.
constexpr std::string_view kSet2[] = {
    "ACTION", "ALIGN", "ALINK", "BACKGROUND", "BGCOLOR", "COLOR", "COMPACT", "CONTENT", "ENCTYPE", "FACE",
    "HEIGHT", "HREF", "HTTP-EQUIV", "LINK", "METHOD", "NAME", "PROMPT", "REL", "REV", "START", "TEXT",
    "TYPE", "VALUE", "VLINK", "WIDTH", "ADD_DATE", "ALT", "BORDER", "CELLPADDING", "CELLSPACING", "CHECKED",
    "CLEAR", "CODE", "CODEBASE", "COLS", "COLSPAN", "COORDS", "FOLDED", "HSPACE", "ISMAP", "LAST_MODIFIED",
    "LAST_VISIT", "MAXLENGTH", "MULTIPLE", "NORESIZE", "NOSHADE", "NOWRAP", "ROWS", "ROWSPAN", "SELECTED",
    "SHAPE", "SIZE", "SRC", "TARGET", "USEMAP", "VALIGN", "VSPACE",
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

// Set 4, script words: 149 words, compared in any case.
constexpr std::string_view kSet4[] = {
    "If", "Function", "Else", "End", "For", "Next", "While", "Wend", "SMDoMenu", "GetAttrType",
    "GetAttrName", "GetAttrValString", "GetAttrValFloat", "GetAttrValInt", "GetAttrValBool",
    "GetAttrValEnumInt", "GetAttrValEnumString", "GetClassId", "GetGeoType", "SetAttrValString",
    "SetAttrValInt", "SetAttrValFloat", "SetAttrValBool", "SetAttrValEnumString", "SetAttrValEnumInt",
    "CreateVerifyItem", "VerifyCardinalities", "As", "Abs", "AppActivate", "Asc", "Atn", "Beep", "Call",
    "CDbl", "ChDir", "ChDrive", "CheckBox", "Chr", "CInt", "CLng", "Close", "Const", "Cos", "CreateObject",
    "CSng", "CStr", "CVar", "CurDir", "Date", "Declare", "Dialog", "Dim", "Dir", "DlgEnable", "DlgText",
    "DlgVisible", "Do", "Double", "Loop", "EOF", "Erase", "Exit", "Exp", "FileCopy", "FileLen", "Fix", "To",
    "Step", "Format", "GetObject", "Global", "GoSub", "Return", "GoTo", "Hex", "Hour", "Then", "Input",
    "InputBox", "InStr", "Int", "IsDate", "IsEmpty", "IsNull", "IsNumeric", "Kill", "LBound", "LCase",
    "LCase$", "Left", "Left$", "Len", "Let", "Line", "Input#", "Log", "Long", "Mid", "Minute", "MkDir",
    "Month", "MsgBox", "Name", "Now", "Oct", "On", "Error", "Open", "Option", "Base", "Print", "Rem",
    "Right", "RmDir", "Rnd", "Second", "Seek", "Select Case", "SendKeys", "Set", "Shell", "Sin", "Space",
    "Sqr", "Static", "Stop", "Str", "StrComp", "String", "StringFunction", "Sub", "Tan", "Text", "TextBox",
    "Time", "TimeSerial", "TimeValue", "Trim", "LTrim", "RTrim", "Type", "UBound", "UCase", "Val", "VarType",
    "With", "Write", "Year",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, true},
    {kSet2, SYNTAX_KEYWORD2, true},
    {kSet3, SYNTAX_KEYWORD3, true},
    {kSet4, SYNTAX_KEYWORD, true},
};

} // namespace

CSyntaxParserAsp::CSyntaxParserAsp() : CSyntaxParserMarkup(CSyntaxParserMarkup::Dialect::Asp)
{
    SetDefinition(1, "ASP", "asp", 0x30, "", "", "'");
    SetKeywordSets(kKeywordSets);
}
