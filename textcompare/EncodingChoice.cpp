#include "textcompare/EncodingChoice.h"

#include "textcompare/TextStats.h"
#include "textcompare/UnicodeConversion.h"

const char* GetUnicodeKindName(int kind)
{
    switch (kind)
    {
    case UNICODE_UCS2_LE:
        return "UNI16_LE";
    case UNICODE_UCS2_BE:
        return "UNI16_BE";
    case UNICODE_UTF8:
        return "UTF-8";
    default:
        return "";
    }
}

std::vector<std::string> GetEncodingRowNames(const std::vector<CODEPAGEINFO>& list)
{
    std::vector<std::string> rows = {"UNI16_LE", "UNI16_BE", "UTF-8"};
    for (const CODEPAGEINFO& entry : list)
        rows.emplace_back(entry.name);
    return rows;
}

int GetEncodingRowForBuffer(int kind, int codePage, const std::vector<CODEPAGEINFO>& list,
                            int defaultCodePage)
{
    if (kind >= UNICODE_UCS2_LE && kind <= UNICODE_UTF8)
        return kind - 1;
    const int index = FindCodePageInList(list, codePage == -1 ? defaultCodePage : codePage);
    return index < 0 ? -1 : index + kFirstCodePageRow;
}

bool GetEncodingChoiceFromRow(int row, const std::vector<CODEPAGEINFO>& list, ENCODING_CHOICE& choice)
{
    if (row < 0 || row >= kFirstCodePageRow + static_cast<int>(list.size()))
        return false;
    if (row < kFirstCodePageRow)
    {
        choice.kind = row + 1;
        choice.codePage = -1;
    }
    else
    {
        choice.kind = -1;
        choice.codePage = static_cast<int>(list[static_cast<std::size_t>(row - kFirstCodePageRow)].codePage);
    }
    return true;
}

bool ApplyEncodingChoice(const ENCODING_CHOICE& choice, int& kind, int& codePage, int defaultCodePage)
{
    if (choice.kind == -1)
    {
        const int current = codePage == -1 ? defaultCodePage : codePage;
        if (kind == UNICODE_NONE && SameCodePage(current, choice.codePage))
            return false;
        kind = UNICODE_NONE;
        codePage = choice.codePage;
        return true;
    }
    if (kind == choice.kind)
        return false;
    kind = choice.kind;
    return true;
}

std::vector<std::string> GetLineEndingRowNames()
{
    return {"Current Setting", "Windows (CRLF)", "Macintosh (CR)", "Unix (LF)"};
}

int GetLineEndingRowForStyle(int style)
{
    return style >= EOL_CRLF && style <= EOL_LF ? style : 0;
}

bool ApplyLineEndingChoice(int row, int& style)
{
    if (row < EOL_CRLF || row > EOL_LF || style == row)
        return false;
    style = row;
    return true;
}

std::string GetEolIndicatorText(std::string_view eol)
{
    std::string text = "EOL: ";
    if (eol == "\r\n")
        text += "CRLF";
    else if (eol == "\n")
        text += "LF";
    else if (eol == "\r")
        text += "CR";
    else if (!eol.empty())
        text += "?";
    return text;
}
