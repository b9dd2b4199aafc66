#include "platform/ProgramPath.h"

#include <climits>
#include <unistd.h>

namespace platform {

std::string RunningProgramFolder()
{
    std::string buffer(PATH_MAX, '\0');
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size())
        return {};
    buffer.resize(static_cast<std::size_t>(n));
    const std::size_t slash = buffer.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : buffer.substr(0, slash);
}

} // namespace platform
