#pragma once

#include <string>
#include <string_view>
#include <vector>

// One side of `diff`: the file's text (converted to internal text when it starts with a byte-order
// mark, else its bytes) and its lines as diff counts them: up to and including each "\n", the last
// one possibly without.
struct DIFF_TEXT
{
    std::string m_strPath;
    std::string m_strText;
    std::vector<std::string_view> m_lines;
    bool m_bHasNul = false;
    long long m_nMtimeSeconds = 0;
    long m_nMtimeNanoseconds = 0;
};

// False with the reason in `error` when the file cannot be read.
bool LoadDiffText(const std::string& path, DIFF_TEXT& text, std::string& error);
