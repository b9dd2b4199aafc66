#pragma once

#include "platform/LargeBuffer.h"

#include <string>
#include <string_view>

// One side of `diff`: the file's text (converted to internal text when it starts with a UTF-16
// byte-order mark, without the mark when it starts with the UTF-8 one, else its bytes).
struct DIFF_TEXT
{
    std::string m_strPath;
    std::string_view m_text; // into m_buffer or m_strConverted
    platform::CLargeBuffer m_buffer;
    std::string m_strConverted;
    long long m_nMtimeSeconds = 0;
    long m_nMtimeNanoseconds = 0;
};

// False with the reason in `error` when the file cannot be read.
bool LoadDiffText(const std::string& path, DIFF_TEXT& text, std::string& error);

// Finds lines by number, as diff counts them (up to and including each "\n", the last one possibly
// without), walking forward from the last line asked for: output asks in ascending order.
class CDiffLines
{
public:
    explicit CDiffLines(std::string_view text) : m_text(text) {}

    std::string_view Line(int index);
    // Whether the text has a line of that number.
    bool HasLine(int index);

private:
    std::string_view m_text;
    int m_nIndex = 0;
    std::size_t m_nStart = 0;
};
