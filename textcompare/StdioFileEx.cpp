#include "textcompare/StdioFileEx.h"

#include "textcompare/UnicodeConversion.h"

#include <cerrno>

CStdioFileEx::~CStdioFileEx()
{
    Close();
}

bool CStdioFileEx::Open(const std::string& path, unsigned flags)
{
    Close();
    m_lastError.Clear();
    m_bIsUnicode = false;
    m_bWriteUnicode = (flags & modeWriteUnicode) != 0;
    const bool write = (flags & (modeWrite | modeReadWrite)) != 0;
    const bool create = (flags & modeCreate) != 0;
    const char* mode = "rb";
    if (create)
        mode = (flags & modeReadWrite) ? "w+be" : "wbe";
    else if (write)
        mode = (flags & modeReadWrite) ? "r+be" : "wbe";
    else
        mode = "rbe";
    m_pFile = std::fopen(path.c_str(), mode);
    if (!m_pFile)
    {
        m_lastError.apiName = "fopen";
        m_lastError.systemError = errno;
        return false;
    }
    m_bWriting = write || create;
    // Only a text file opened for reading is probed for the mark; binary mode reads it as bytes.
    if (!write && !create && (flags & typeBinary) == 0)
    {
        unsigned char mark[2] = {};
        if (std::fread(mark, 1, 2, m_pFile) == 2 && mark[0] == 0xFF && mark[1] == 0xFE)
            m_bIsUnicode = true;
        else
            std::rewind(m_pFile);
    }
    return true;
}

bool CStdioFileEx::Close()
{
    if (!m_pFile)
        return true;
    bool ok = true;
    if (m_bWriting && std::fflush(m_pFile) != 0)
    {
        m_lastError.apiName = "fflush";
        m_lastError.systemError = errno;
        ok = false;
    }
    if (std::fclose(m_pFile) != 0 && ok && m_bWriting)
    {
        m_lastError.apiName = "fclose";
        m_lastError.systemError = errno;
        ok = false;
    }
    m_pFile = nullptr;
    m_bWriting = false;
    return ok;
}

bool CStdioFileEx::ReadString(std::string& line)
{
    line.clear();
    if (!m_pFile)
        return false;
    bool any = false;
    if (m_bIsUnicode)
    {
        std::u16string units;
        unsigned char pair[2];
        while (std::fread(pair, 1, 2, m_pFile) == 2)
        {
            any = true;
            const auto u = static_cast<char16_t>(pair[0] | (pair[1] << 8));
            units += u;
            if (u == '\n')
                break;
        }
        line = TextFromUtf16(units);
    }
    else
    {
        int c;
        std::string bytes;
        while ((c = std::fgetc(m_pFile)) != EOF)
        {
            any = true;
            bytes += static_cast<char>(c);
            if (c == '\n')
                break;
        }
        if (!ConvertText(UNICODE_NONE, m_nCodePage, bytes.data(), bytes.size(), UNICODE_UTF8, 65001, line))
            line = bytes;
    }
    if (std::ferror(m_pFile))
    {
        m_lastError.apiName = "read";
        m_lastError.systemError = errno;
        return false;
    }
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0)
        line.resize(line.size() - 2);
    else if (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    return any;
}

bool CStdioFileEx::WriteString(std::string_view text)
{
    if (!m_pFile)
        return false;
    std::string out;
    if (m_bWriteUnicode)
    {
        if (ftello(m_pFile) == 0)
            out = "\xFF\xFE";
        std::string units;
        if (!ConvertText(UNICODE_UTF8, 65001, text.data(), text.size(), UNICODE_UCS2_LE, 1200, units))
            return false;
        out += units;
    }
    else if (!ConvertText(UNICODE_UTF8, 65001, text.data(), text.size(), UNICODE_NONE, m_nCodePage, out))
    {
        m_lastError.description = "code page " + std::to_string(m_nCodePage) + " cannot be converted";
        return false;
    }
    if (!out.empty() && std::fwrite(out.data(), 1, out.size(), m_pFile) != out.size())
    {
        m_lastError.apiName = "fwrite";
        m_lastError.systemError = errno;
        return false;
    }
    return true;
}
