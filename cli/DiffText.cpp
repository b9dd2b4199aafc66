#include "cli/DiffText.h"

#include "textcompare/TextScan.h"
#include "textcompare/UniMemFile.h"

#include <cstring>
#include <sys/stat.h>

namespace {

bool StartsWith(std::string_view data, std::string_view prefix)
{
    return data.size() >= prefix.size() && std::memcmp(data.data(), prefix.data(), prefix.size()) == 0;
}

// UTF-16 files become internal text through the text-file classes, line ends kept.
bool ConvertUtf16(const std::string& path, std::string& text, std::string& error)
{
    UniMemFile file;
    if (!file.OpenRead(path) || !file.ReadBom())
    {
        error = file.GetLastError().GetMessage();
        return false;
    }
    text.clear();
    std::string line;
    std::string eol;
    for (;;)
    {
        const bool more = file.ReadLine(line, eol);
        text += line;
        text += eol;
        if (!more)
            break;
    }
    file.Close();
    return true;
}

} // namespace

bool LoadDiffText(const std::string& path, DIFF_TEXT& text, std::string& error)
{
    text.m_strPath = path;
    struct stat st{};
    if (stat(path.c_str(), &st) == 0)
    {
        text.m_nMtimeSeconds = st.st_mtim.tv_sec;
        text.m_nMtimeNanoseconds = st.st_mtim.tv_nsec;
    }
    if (const int failure = platform::ReadWholeFile(path, text.m_buffer); failure != 0)
    {
        error = failure == EISDIR ? "is a folder" : std::strerror(failure);
        return false;
    }
    const std::string_view data = text.m_buffer.View();
    if (StartsWith(data, "\xEF\xBB\xBF"))
        text.m_text = data.substr(3);
    else if (StartsWith(data, "\xFF\xFE") || StartsWith(data, "\xFE\xFF"))
    {
        if (!ConvertUtf16(path, text.m_strConverted, error))
            return false;
        text.m_text = text.m_strConverted;
    }
    else
        text.m_text = data;
    return true;
}

bool CDiffLines::HasLine(int index)
{
    return !Line(index).empty();
}

std::string_view CDiffLines::Line(int index)
{
    if (index < m_nIndex)
    {
        m_nIndex = 0;
        m_nStart = 0;
    }
    if (m_nIndex < index)
    {
        const std::size_t start = SkipLines(m_text, m_nStart, static_cast<std::size_t>(index - m_nIndex));
        // Only a text that ends early stops short of the wanted line.
        m_nIndex = index;
        m_nStart = start;
    }
    if (m_nStart >= m_text.size())
        return {};
    const void* found = std::memchr(m_text.data() + m_nStart, '\n', m_text.size() - m_nStart);
    const std::size_t end = found ? static_cast<std::size_t>(static_cast<const char*>(found) - m_text.data()) + 1 : m_text.size();
    return m_text.substr(m_nStart, end - m_nStart);
}
