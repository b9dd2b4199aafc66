#include "platform/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty())
    {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool MakeFolders(const std::string& path, mode_t mode)
{
    for (std::size_t i = 1; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '/')
            if (mkdir(path.substr(0, i).c_str(), mode) != 0 && errno != EEXIST)
                return false;
    struct stat st{};
    if (stat(path.c_str(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode))
    {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

int RenameNoReplace(const std::string& from, const std::string& to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // File systems without the flag: the check and the rename are two steps there.
    struct stat st{};
    if (lstat(to.c_str(), &st) == 0)
    {
        errno = EEXIST;
        return -1;
    }
    return rename(from.c_str(), to.c_str());
}

int ReadFolderNames(const std::string& path, std::vector<std::string>& names, bool* opened)
{
    names.clear();
    DIR* dir = opendir(path.c_str());
    if (opened)
        *opened = dir != nullptr;
    if (dir == nullptr)
        return errno;
    int error = 0;
    for (;;)
    {
        errno = 0;
        const dirent* entry = readdir(dir);
        if (entry == nullptr)
        {
            error = errno;
            break;
        }
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    closedir(dir);
    return error;
}

} // namespace platform
