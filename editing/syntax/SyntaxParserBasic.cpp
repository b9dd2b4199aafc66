#include "editing/syntax/SyntaxParserBasic.h"

namespace {

// Set 1: 182 words, compared exactly.
constexpr std::string_view kSet1[] = {
    "SMDoMenu", "GetAttrType", "GetAttrName", "GetAttrValString", "GetAttrValFloat", "GetAttrValInt",
    "GetAttrValBool", "GetAttrValEnumInt", "GetAttrValEnumString", "GetClassId", "GetGeoType",
    "SetAttrValString", "SetAttrValInt", "SetAttrValFloat", "SetAttrValBool", "SetAttrValEnumString",
    "SetAttrValEnumInt", "CreateVerifyItem", "VerifyCardinalities", "Alias", "As", "Abs", "And", "Any",
    "AppActivate", "Asc", "Atn", "Beep", "Begin", "Boolean", "ByRef", "ByVal", "Byte", "Call", "CDbl",
    "ChDir", "ChDrive", "CheckBox", "Chr", "CInt", "CLng", "Close", "Const", "Cos", "CreateObject", "CSng",
    "CStr", "CVar", "CurDir", "Currency", "Date", "Declare", "Dialog", "Dim", "Dir", "DlgEnable", "DlgText",
    "DlgVisible", "Do", "Double", "Loop", "Each", "End", "Enum", "EOF", "Erase", "Exit", "Exp", "Explicit",
    "False", "FileCopy", "FileLen", "Fix", "For", "To", "Step", "Next", "Format", "Friend", "Function",
    "Get", "GetObject", "Global", "GoSub", "Return", "GoTo", "Hex", "Hour", "If", "In", "Then", "Else",
    "ElseIf", "Input", "InputBox", "InStr", "Int", "Integer", "Is", "IsDate", "IsEmpty", "IsNull",
    "IsNumeric", "Kill", "LBound", "LCase", "LCase$", "Left", "Left$", "Len", "Let", "Like", "Lib", "Line",
    "Input#", "Log", "Long", "Mid", "Minute", "MkDir", "Month", "MsgBox", "Name", "New", "Now", "Not",
    "Nothing", "Oct", "On", "Or", "Error", "Open", "Option", "Optional", "Base", "Print", "Private",
    "Property", "Public", "Rem", "Resume", "Right", "RmDir", "Rnd", "Second", "Seek", "Select", "Case",
    "SendKeys", "Set", "Shell", "Sin", "Space", "Sqr", "Static", "Stop", "Str", "StrComp", "String",
    "StringFunction", "Sub", "Tan", "Text", "TextBox", "Time", "TimeSerial", "TimeValue", "Trim", "LTrim",
    "RTrim", "Type", "True", "UBound", "UCase", "Val", "Variant", "VarType", "While", "Wend", "With",
    "Write", "Year",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, false},
};

} // namespace

CSyntaxParserBasic::CSyntaxParserBasic() : CSyntaxParserHashScheme(CSyntaxParserHashScheme::SRules{.commentChar = -1, .remComment = true, .singleQuoteComment = true})
{
    SetDefinition(2, "Basic", "bas,vb,vbs,frm,dsm,cls", 0x30, "", "", "'");
    SetKeywordSets(kKeywordSets);
}
