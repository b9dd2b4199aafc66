#pragma once

#include "textcompare/CodePageList.h"

#include <string>
#include <string_view>
#include <vector>

// The logic behind the encoding and line-ending choices ("Character Encoding", "Line Endings" and
// the save-as dialog), so that the dialogs only show rows and report the row picked.

// Rows of an encoding combo box: "UNI16_LE", "UNI16_BE", "UTF-8", then the code page list.
inline constexpr int kFirstCodePageRow = 3;

struct ENCODING_CHOICE
{
    int kind = -1;     // 1, 2 or 3 for the Unicode rows; -1 for a code page row
    int codePage = -1; // the code page of a code page row
};

const char* GetUnicodeKindName(int kind); // "UNI16_LE", "UNI16_BE", "UTF-8", or "" for other kinds
std::vector<std::string> GetEncodingRowNames(const std::vector<CODEPAGEINFO>& list);

// The row to preselect for a buffer's (kind, code page): kinds 1 to 3 their rows; otherwise the row
// of the code page, or of the default code page setting when it is -1. A code page that is not in
// the list gives -1 (nothing preselected), so that confirming the dialog cannot switch the file to
// UTF-16 unasked.
int GetEncodingRowForBuffer(int kind, int codePage, const std::vector<CODEPAGEINFO>& list,
                            int defaultCodePage);

// The choice a row stands for; false for a row outside the combo box.
bool GetEncodingChoiceFromRow(int row, const std::vector<CODEPAGEINFO>& list, ENCODING_CHOICE& choice);

// Applies a choice to a buffer's (kind, code page): true when it changed them (the buffer is then
// modified). The text is not converted; the choice takes effect when the file is saved. A code page
// of -1 stands for the default code page setting.
bool ApplyEncodingChoice(const ENCODING_CHOICE& choice, int& kind, int& codePage, int defaultCodePage);

// Rows of a line-ending combo box: "Current Setting", "Windows (CRLF)", "Macintosh (CR)", "Unix (LF)".
std::vector<std::string> GetLineEndingRowNames();
int GetLineEndingRowForStyle(int style); // 1 to 3 their rows, anything else row 0
// Row 0 changes nothing; rows 1 to 3 set the style. True when the style changed.
bool ApplyLineEndingChoice(int row, int& style);

// The status bar's end-of-line pane: "EOL: CRLF", "EOL: LF", "EOL: CR", "EOL: ?" for any other
// non-empty line end, and "EOL: " for a line without one.
std::string GetEolIndicatorText(std::string_view eol);
