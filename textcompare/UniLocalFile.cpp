#include "textcompare/UniLocalFile.h"

#include "textcompare/DefaultCodePage.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

UniLocalFile::UniLocalFile() : m_nCodePage(GetDefaultCodePageSetting()), m_nDefaultCodePage(m_nCodePage) {}

void UniLocalFile::SetUnicodeKind(int kind)
{
    m_nUnicodeKind = kind;
    m_nCharSize = kind == UNICODE_UCS2_LE || kind == UNICODE_UCS2_BE ? 2 : 1;
}

bool UniLocalFile::FetchStatus(int fd)
{
    struct stat st;
    if (fstat(fd, &st) != 0)
    {
        SetApiError("fstat", errno);
        return false;
    }
    m_nFileSize = st.st_size;
    m_bStatusFetched = true;
    return true;
}

bool UniLocalFile::FetchStatusByPath()
{
    struct stat st;
    if (stat(m_strPath.c_str(), &st) != 0)
    {
        SetApiError("stat", errno);
        return false;
    }
    m_nFileSize = st.st_size;
    m_bStatusFetched = true;
    return true;
}

void UniLocalFile::SetApiError(const std::string& apiName, int systemError)
{
    m_lastError.apiName = apiName;
    m_lastError.systemError = systemError;
    m_lastError.description.clear();
}

void UniLocalFile::SetCustomError(const std::string& description)
{
    m_lastError.apiName.clear();
    m_lastError.systemError = 0;
    m_lastError.description = description;
}

void UniLocalFile::SetPath(const std::string& path)
{
    m_strPath = path;
    if (!path.empty() && path[0] != '/')
    {
        char cwd[PATH_MAX];
        if (getcwd(cwd, sizeof cwd))
            m_strPath = std::string(cwd) + (cwd[1] ? "/" : "") + path;
    }
    const std::size_t slash = m_strPath.rfind('/');
    m_strFileName = slash == std::string::npos ? m_strPath : m_strPath.substr(slash + 1);
}

void UniLocalFile::ResetForOpen()
{
    m_lastError.Clear();
    m_stats.Clear();
    m_bStatusFetched = false;
    m_nFileSize = 0;
    m_nLineNumber = -1;
    m_bBomChecked = false;
    m_nCharSize = m_nUnicodeKind == UNICODE_UCS2_LE || m_nUnicodeKind == UNICODE_UCS2_BE ? 2 : 1;
}

void UniLocalFile::RecordZero(std::int64_t offset)
{
    const auto clamped = static_cast<std::int32_t>(offset > INT32_MAX ? INT32_MAX : offset);
    ++m_stats.zeroCount;
    if (m_stats.firstZeroOffset < 0)
        m_stats.firstZeroOffset = clamped;
    m_stats.lastZeroOffset = clamped;
}

void UniLocalFile::CountEol(std::string_view eol)
{
    if (eol == "\r\n")
        ++m_stats.crlfCount;
    else if (eol == "\r")
        ++m_stats.crCount;
    else if (eol == "\n")
        ++m_stats.lfCount;
    if (!eol.empty())
        ++m_nLineNumber;
}
