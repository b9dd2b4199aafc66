#include "cli/DiffText.h"

#include "textcompare/UniMemFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool ReadAll(int fd, std::string& data, std::string& error)
{
    struct stat st{};
    if (fstat(fd, &st) != 0)
    {
        error = std::strerror(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode))
    {
        error = "is a folder";
        return false;
    }
    if (S_ISREG(st.st_mode) && st.st_size > 0)
        data.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;)
    {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            error = std::strerror(errno);
            return false;
        }
        if (n == 0)
            return true;
        data.append(buffer, static_cast<std::size_t>(n));
    }
}

bool StartsWith(const std::string& data, std::string_view prefix)
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
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
    {
        error = std::strerror(errno);
        return false;
    }
    struct stat st{};
    if (fstat(fd, &st) == 0)
    {
        text.m_nMtimeSeconds = st.st_mtim.tv_sec;
        text.m_nMtimeNanoseconds = st.st_mtim.tv_nsec;
    }
    std::string data;
    const bool ok = ReadAll(fd, data, error);
    close(fd);
    if (!ok)
        return false;

    if (StartsWith(data, "\xEF\xBB\xBF"))
        text.m_strText = data.substr(3);
    else if (StartsWith(data, "\xFF\xFE") || StartsWith(data, "\xFE\xFF"))
    {
        if (!ConvertUtf16(path, text.m_strText, error))
            return false;
    }
    else
        text.m_strText = std::move(data);

    text.m_bHasNul = std::memchr(text.m_strText.data(), '\0', text.m_strText.size()) != nullptr;
    const std::string_view all = text.m_strText;
    text.m_lines.clear();
    for (std::size_t start = 0; start < all.size();)
    {
        const void* found = std::memchr(all.data() + start, '\n', all.size() - start);
        const std::size_t end = found ? static_cast<std::size_t>(static_cast<const char*>(found) - all.data()) + 1 : all.size();
        text.m_lines.push_back(all.substr(start, end - start));
        start = end;
    }
    return true;
}
