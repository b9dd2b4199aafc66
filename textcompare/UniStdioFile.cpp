#include "textcompare/UniStdioFile.h"

#include "platform/CodePages.h"
#include "textcompare/UnicodeConversion.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr std::size_t kInitialOutputCapacity = 128;

} // namespace

UniStdioFile::UniStdioFile()
{
    m_outBuffer.reserve(kInitialOutputCapacity);
}

UniStdioFile::~UniStdioFile()
{
    Close();
}

bool UniStdioFile::OpenRead(const std::string& path)
{
    return Open(path, "rb");
}

bool UniStdioFile::OpenCreate(const std::string& path)
{
    return Open(path, "w+b");
}

bool UniStdioFile::OpenCreateUtf8(const std::string& path)
{
    if (!OpenCreate(path))
        return false;
    SetUnicodeKind(UNICODE_UTF8);
    return true;
}

bool UniStdioFile::Open(const std::string& path, const char* mode)
{
    if (DoOpen(path, mode))
        return true;
    const UniFileError error = m_lastError;
    Close();
    m_lastError = error;
    return false;
}

bool UniStdioFile::DoOpen(const std::string& path, const char* mode)
{
    Close();
    ResetForOpen();
    if (path.empty())
    {
        SetCustomError("no file name given");
        return false;
    }
    SetPath(path);
    const std::string fullMode = std::string(mode) + "e"; // close on exec
    m_pFile = std::fopen(m_strPath.c_str(), fullMode.c_str());
    if (!m_pFile)
    {
        SetApiError("fopen", errno);
        return false;
    }
    m_bWriting = std::strpbrk(mode, "wa+") != nullptr;
    if (!FetchStatus(fileno(m_pFile)))
        return false;
    if (m_nFileSize >= kMaxFileSize)
    {
        SetCustomError("UniStdioFile cannot handle files over 4 gigabytes");
        return false;
    }
    m_nBomLength = 0;
    m_nLineNumber = 0;
    return true;
}

bool UniStdioFile::Close()
{
    if (!m_pFile)
        return true;
    bool ok = true;
    if (m_bWriting)
    {
        // Buffered data meets a full disk or a size limit only here.
        if (std::fflush(m_pFile) != 0)
        {
            SetApiError("fflush", errno);
            ok = false;
        }
        else if (fsync(fileno(m_pFile)) != 0 && errno != EINVAL && errno != EROFS)
        {
            SetApiError("fsync", errno);
            ok = false;
        }
    }
    if (std::fclose(m_pFile) != 0 && ok && m_bWriting)
    {
        SetApiError("fclose", errno);
        ok = false;
    }
    m_pFile = nullptr;
    m_bWriting = false;
    m_nLineNumber = -1;
    return ok;
}

bool UniStdioFile::FetchStatusIfClosed()
{
    if (m_pFile)
        return true;
    return FetchStatusByPath();
}

std::int64_t UniStdioFile::GetPosition() const
{
    if (!m_pFile)
        return 0;
    const off_t pos = ftello(m_pFile);
    return pos < 0 ? 0 : static_cast<std::int64_t>(pos);
}

bool UniStdioFile::ReadBom()
{
    m_bBomChecked = true;
    if (!m_pFile)
        return false;
    unsigned char mark[3] = {};
    if (fseeko(m_pFile, 0, SEEK_SET) != 0)
    {
        SetApiError("fseek", errno);
        return false;
    }
    const std::size_t got = std::fread(mark, 1, sizeof mark, m_pFile);
    long start = 0;
    if (got >= 2 && mark[0] == 0xFF && mark[1] == 0xFE)
    {
        SetUnicodeKind(UNICODE_UCS2_LE);
        start = 2;
    }
    else if (got >= 2 && mark[0] == 0xFE && mark[1] == 0xFF)
    {
        SetUnicodeKind(UNICODE_UCS2_BE);
        start = 2;
    }
    else if (got >= 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF)
    {
        SetUnicodeKind(UNICODE_UTF8);
        start = 3;
    }
    fseeko(m_pFile, start, SEEK_SET);
    return start != 0;
}

bool UniStdioFile::ReadLine(std::string& line, std::string& eol)
{
    line.clear();
    eol.clear();
    return false;
}

bool UniStdioFile::ReadLine(std::string& line)
{
    line.clear();
    return false;
}

int UniStdioFile::WriteBom()
{
    m_lastError.Clear();
    if (!m_pFile)
    {
        SetCustomError("the file is not open");
        return -1;
    }
    const char* mark = "";
    switch (m_nUnicodeKind)
    {
    case UNICODE_UCS2_LE:
        mark = "\xFF\xFE";
        break;
    case UNICODE_UCS2_BE:
        mark = "\xFE\xFF";
        break;
    case UNICODE_UTF8:
        mark = "\xEF\xBB\xBF";
        break;
    default:
        break;
    }
    const std::size_t length = std::strlen(mark);
    if (fseeko(m_pFile, 0, SEEK_SET) != 0)
    {
        SetApiError("fseek", errno);
        return -1;
    }
    if (length != 0 && std::fwrite(mark, 1, length, m_pFile) != length)
    {
        SetApiError("fwrite", errno);
        return -1;
    }
    m_nBomLength = static_cast<std::int64_t>(length);
    return static_cast<int>(length);
}

bool UniStdioFile::WriteText(std::string_view text)
{
    m_lastError.Clear();
    if (!m_pFile)
    {
        SetCustomError("the file is not open");
        return false;
    }
    std::string_view out = text;
    const bool internalBytes = m_nUnicodeKind == UNICODE_UTF8 ||
                               (m_nUnicodeKind == UNICODE_NONE && SameCodePage(m_nCodePage, 65001));
    if (!internalBytes)
    {
        std::size_t losses = 0;
        if (!ConvertText(UNICODE_UTF8, 65001, text.data(), text.size(), m_nUnicodeKind, m_nCodePage,
                         m_outBuffer, &losses))
        {
            SetCustomError("code page " + std::to_string(m_nCodePage) + " cannot be converted");
            return false;
        }
        m_stats.lossCount += static_cast<std::int32_t>(losses);
        out = m_outBuffer;
    }
    if (!out.empty() && std::fwrite(out.data(), 1, out.size(), m_pFile) != out.size())
    {
        SetApiError("fwrite", errno);
        return false;
    }
    return true;
}
