#include "projectcompare/Project.h"

#include <vector>

std::string CanonicalPath(const std::string& path)
{
    const bool absolute = !path.empty() && path[0] == '/';
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size())
    {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..")
        {
            if (!parts.empty() && parts.back() != "..")
                parts.pop_back();
            else if (!absolute)
                parts.push_back(part);
        }
        else if (!part.empty() && part != ".")
        {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out = absolute ? "/" : "";
    for (std::size_t i = 0; i < parts.size(); ++i)
        out += (i ? "/" : "") + parts[i];
    return out.empty() ? "." : out;
}

std::string CProject::ResolvePath(const std::string& relative) const
{
    std::string converted = relative;
    // Project files written on Windows separate with backslashes.
    for (char& c : converted)
        if (c == '\\')
            c = '/';
    if (!converted.empty() && converted[0] == '/')
        return converted;
    const std::size_t slash = m_strPath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : m_strPath.substr(0, slash + 1);
    return CanonicalPath(folder + converted);
}
