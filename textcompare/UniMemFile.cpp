#include "textcompare/UniMemFile.h"

#include "platform/CodePages.h"
#include "textcompare/UnicodeConversion.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kReadChunk = 1 << 16;

} // namespace

UniMemFile::~UniMemFile()
{
    Close();
}

bool UniMemFile::OpenRead(const std::string& path)
{
    return Open(path, O_RDONLY);
}

bool UniMemFile::OpenUpdate(const std::string& path)
{
    return Open(path, O_RDWR);
}

bool UniMemFile::Open(const std::string& path, int openFlags)
{
    if (DoOpen(path, openFlags))
        return true;
    // Keep the reason across the cleanup.
    const UniFileError error = m_lastError;
    Close();
    m_lastError = error;
    return false;
}

bool UniMemFile::Close()
{
    bool ok = true;
    if (m_nFd >= 0 && close(m_nFd) != 0 && errno != EINTR)
    {
        SetApiError("close", errno);
        ok = false;
    }
    m_nFd = -1;
    m_bOpen = false;
    m_strContent.clear();
    m_strContent.shrink_to_fit();
    m_nTextStart = 0;
    m_nPosition = 0;
    m_nLineNumber = -1;
    return ok;
}

bool UniMemFile::FetchStatus()
{
    if (m_nFd < 0)
        return FetchStatusByPath();
    return FetchStatus(m_nFd);
}

bool UniMemFile::DoOpen(const std::string& path, int openFlags)
{
    Close();
    SetPath(path);
    ResetForOpen();
    if (path.empty())
    {
        SetApiError("open", ENOENT);
        return false;
    }
    // Non-blocking so that a FIFO cannot hang the opening; regular files ignore the flag.
    m_nFd = open(m_strPath.c_str(), (openFlags & O_ACCMODE) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (m_nFd < 0)
    {
        SetApiError("open", errno);
        return false;
    }
    struct stat st;
    if (fstat(m_nFd, &st) != 0)
    {
        SetApiError("fstat", errno);
        return false;
    }
    if (S_ISDIR(st.st_mode))
    {
        SetApiError("read", EISDIR);
        return false;
    }
    if (!S_ISREG(st.st_mode))
    {
        SetCustomError("not a regular file");
        return false;
    }
    m_nFileSize = st.st_size;
    m_bStatusFetched = true;
    if (m_nFileSize >= kMaxFileSize)
    {
        SetCustomError("UniMemFile cannot handle files over 2 gigabytes");
        return false;
    }
    if (!ReadAll())
        return false;
    m_bOpen = true;
    m_nLineNumber = 0;
    return true;
}

// Reads to the end of the file rather than to the size fetched: a file that shrinks or grows while
// it is read gives what was there, never bytes that are not.
bool UniMemFile::ReadAll()
{
    m_strContent.clear();
    std::size_t used = 0;
    m_strContent.resize(static_cast<std::size_t>(m_nFileSize) + 1);
    for (;;)
    {
        if (m_strContent.size() - used < kReadChunk / 4)
            m_strContent.resize(m_strContent.size() + kReadChunk);
        const ssize_t got = read(m_nFd, m_strContent.data() + used, m_strContent.size() - used);
        if (got < 0)
        {
            if (errno == EINTR)
                continue;
            SetApiError("read", errno);
            m_strContent.clear();
            return false;
        }
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
        if (static_cast<std::int64_t>(used) >= kMaxFileSize)
        {
            SetCustomError("UniMemFile cannot handle files over 2 gigabytes");
            m_strContent.clear();
            return false;
        }
    }
    m_strContent.resize(used);
    m_nFileSize = static_cast<std::int64_t>(used);
    return true;
}

bool UniMemFile::ReadBom()
{
    m_nCharSize = 1;
    m_nTextStart = 0;
    bool found = true;
    const std::string_view data(m_strContent);
    if (data.size() >= 2 && data.substr(0, 2) == "\xFF\xFE")
    {
        SetUnicodeKind(UNICODE_UCS2_LE);
        m_nTextStart = 2;
    }
    else if (data.size() >= 2 && data.substr(0, 2) == "\xFE\xFF")
    {
        SetUnicodeKind(UNICODE_UCS2_BE);
        m_nTextStart = 2;
    }
    else if (data.size() >= 3 && data.substr(0, 3) == "\xEF\xBB\xBF")
    {
        SetUnicodeKind(UNICODE_UTF8);
        m_nTextStart = 3;
    }
    else
    {
        found = false;
        m_nCharSize = m_nUnicodeKind == UNICODE_UCS2_LE || m_nUnicodeKind == UNICODE_UCS2_BE ? 2 : 1;
    }
    m_nPosition = m_nTextStart;
    m_bBomChecked = true;
    return found;
}

bool UniMemFile::ReadLine(std::string& line)
{
    std::string eol;
    return ReadLine(line, eol);
}

bool UniMemFile::ReadLine(std::string& line, std::string& eol)
{
    line.clear();
    eol.clear();
    if (!m_bOpen || m_nPosition >= m_strContent.size())
        return false;
    int kind = m_nUnicodeKind;
    if (kind == UNICODE_NONE && m_nCodePage >= 0)
    {
        // The UTF-16 code pages without a mark read as their Unicode kinds; UTF-8 is internal text.
        const unsigned cp = platform::ResolveCodePage(static_cast<unsigned>(m_nCodePage));
        if (cp == 1200)
            kind = UNICODE_UCS2_LE;
        else if (cp == 1201)
            kind = UNICODE_UCS2_BE;
        else if (cp == 65001)
            kind = UNICODE_UTF8;
    }
    switch (kind)
    {
    case UNICODE_UCS2_LE:
        return ReadUtf16Line(line, eol, false);
    case UNICODE_UCS2_BE:
        return ReadUtf16Line(line, eol, true);
    case UNICODE_UTF8:
        return ReadBytesLine(line, eol);
    default:
        return ReadConvertedLine(line, eol);
    }
}

std::string UniMemFile::TakeEol(std::size_t unit, bool bigEndian)
{
    auto unitAt = [&](std::size_t pos) -> unsigned
    {
        if (pos + unit > m_strContent.size())
            return 0xFFFF;
        if (unit == 1)
            return static_cast<unsigned char>(m_strContent[pos]);
        const auto b0 = static_cast<unsigned char>(m_strContent[pos]);
        const auto b1 = static_cast<unsigned char>(m_strContent[pos + 1]);
        return bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0;
    };
    std::string eol;
    const unsigned first = unitAt(m_nPosition);
    if (first == '\r')
    {
        m_nPosition += unit;
        eol = "\r";
        if (unitAt(m_nPosition) == '\n')
        {
            m_nPosition += unit;
            eol = "\r\n";
        }
    }
    else if (first == '\n')
    {
        m_nPosition += unit;
        eol = "\n";
    }
    CountEol(eol);
    return eol;
}

// UTF-8 files and files in the UTF-8 code page are internal text already: the bytes are copied as
// they are, invalid sequences included, so that saving gives the same file back.
bool UniMemFile::ReadBytesLine(std::string& line, std::string& eol)
{
    const std::size_t start = m_nPosition;
    const std::size_t size = m_strContent.size();
    while (m_nPosition < size)
    {
        const char c = m_strContent[m_nPosition];
        if (c == '\0')
        {
            line.assign(m_strContent, start, m_nPosition - start);
            RecordZero(static_cast<std::int64_t>(m_nPosition));
            ++m_nPosition;
            return true;
        }
        if (c == '\r' || c == '\n')
        {
            line.assign(m_strContent, start, m_nPosition - start);
            eol = TakeEol(1, false);
            return true;
        }
        ++m_nPosition;
    }
    line.assign(m_strContent, start, m_nPosition - start);
    return true;
}

bool UniMemFile::ReadUtf16Line(std::string& line, std::string& eol, bool bigEndian)
{
    const std::size_t size = m_strContent.size();
    std::u16string units;
    while (m_nPosition + 2 <= size)
    {
        const auto b0 = static_cast<unsigned char>(m_strContent[m_nPosition]);
        const auto b1 = static_cast<unsigned char>(m_strContent[m_nPosition + 1]);
        const auto u = static_cast<char16_t>(bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0);
        if (u == 0)
        {
            RecordZero(static_cast<std::int64_t>(m_nPosition));
            m_nPosition += 2;
            line = TextFromUtf16(units);
            return true;
        }
        if (u == '\r' || u == '\n')
        {
            line = TextFromUtf16(units);
            eol = TakeEol(2, bigEndian);
            return true;
        }
        units += u;
        m_nPosition += 2;
    }
    line = TextFromUtf16(units);
    if (m_nPosition < size)
    {
        // An odd byte at the end is half a character: shown as U+FFFD and counted as a loss.
        line += "\xEF\xBF\xBD";
        ++m_stats.lossCount;
        m_nPosition = size;
    }
    return true;
}

bool UniMemFile::ReadConvertedLine(std::string& line, std::string& eol)
{
    const std::size_t start = m_nPosition;
    const std::size_t size = m_strContent.size();
    while (m_nPosition < size && m_strContent[m_nPosition] != '\r' && m_strContent[m_nPosition] != '\n')
    {
        if (m_strContent[m_nPosition] == '\0')
            RecordZero(static_cast<std::int64_t>(m_nPosition));
        ++m_nPosition;
    }
    const char* bytes = m_strContent.data() + start;
    const std::size_t n = m_nPosition - start;
    std::size_t losses = 0;
    if (!ConvertText(UNICODE_NONE, m_nCodePage, bytes, n, UNICODE_UTF8, 65001, line, &losses))
    {
        // A code page that cannot be converted: the bytes are kept and each non-ASCII one is a loss.
        line.assign(bytes, n);
        for (char c : line)
            losses += static_cast<unsigned char>(c) >= 0x80;
    }
    m_stats.lossCount += static_cast<std::int32_t>(losses);
    eol = TakeEol(1, false);
    return true;
}

bool UniMemFile::WriteText(std::string_view)
{
    SetCustomError("UniMemFile cannot write");
    return false;
}
