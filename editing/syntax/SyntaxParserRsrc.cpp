#include "editing/syntax/SyntaxParserRsrc.h"

namespace {

// Set 1: 80 words, compared in any case.
constexpr std::string_view kSet1[] = {
    "ACCELERATORS", "ALT", "ASCII", "AUTO3STATE", "AUTOCHECKBOX", "AUTORADIOBUTTON", "BEDIT", "BEGIN",
    "BITMAP", "BLOCK", "BUTTON", "CAPTION", "CHARACTERISTICS", "CHECKBOX", "CHECKED", "CLASS", "COMBOBOX",
    "CONTROL", "CTEXT", "CURSOR", "DEFPUSHBUTTON", "DIALOG", "DIALOGEX", "DISCARDABLE", "EDIT", "EDITTEXT",
    "END", "EXSTYLE", "FILEFLAGS", "FILEFLAGSMASK", "FILEOS", "FILESUBTYPE", "FILETYPE", "FILEVERSION",
    "FIXED", "FONT", "GRAYED", "GROUPBOX", "HEDIT", "HELP", "ICON", "IEDIT", "IMPURE", "INACTIVE",
    "LANGUAGE", "LISTBOX", "LOADONCALL", "LTEXT", "MENU", "MENUBARBREAK", "MENUBREAK", "MENUEX", "MENUITEM",
    "MESSAGETABLE", "MOVEABLE", "NOINVERT", "NONSHARED", "POPUP", "PRELOAD", "PRODUCTVERSION", "PURE",
    "PUSHBOX", "PUSHBUTTON", "RADIOBUTTON", "RCDATA", "RTEXT", "SCROLLBAR", "SEPARATOR", "SHARED", "SHIFT",
    "STATE3", "STATIC", "STRINGTABLE", "STYLE", "TEXTINCLUDE", "USERBUTTON", "VALUE", "VERSION",
    "VERSIONINFO", "VIRTKEY",
};

// Set 2: 51 words, compared in any case.
constexpr std::string_view kSet2[] = {
    "VK_LBUTTON", "VK_RBUTTON", "VK_CANCEL", "VK_MBUTTON", "VK_BACK", "VK_TAB", "VK_CLEAR", "VK_RETURN",
    "VK_SHIFT", "VK_CONTROL", "VK_MENU", "VK_PAUSE", "VK_CAPITAL", "VK_ESCAPE", "VK_SPACE", "VK_PRIOR",
    "VK_NEXT", "VK_END", "VK_HOME", "VK_LEFT", "VK_UP", "VK_RIGHT", "VK_DOWN", "VK_SELECT", "VK_INSERT",
    "VK_DELETE", "VK_HELP", "VK_F1", "VK_F2", "VK_F3", "VK_F4", "VK_F5", "VK_F6", "VK_F7", "VK_F8", "VK_F9",
    "VK_F10", "VK_F11", "VK_F12", "VK_F13", "VK_F14", "VK_F15", "VK_F16", "VK_F17", "VK_F18", "VK_F19",
    "VK_F20", "VK_F21", "VK_F22", "VK_F23", "VK_F24",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, true},
    {kSet2, SYNTAX_KEYWORD2, true},
};

} // namespace

CSyntaxParserRsrc::CSyntaxParserRsrc() : CSyntaxParserCScheme(CSyntaxParserCScheme::SRules{.anyQuoteClosesChar = true})
{
    SetDefinition(20, "Resources", "rc,dlg,r16,r32,rc2", 0x30, "/*", "*/", "//");
    SetKeywordSets(kKeywordSets);
}
