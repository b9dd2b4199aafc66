#include "platform/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <climits>
#include <fcntl.h>
#include <random>
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

namespace {

// The file a path finally names once its symbolic links are followed (relative targets are taken
// from the link's folder).
std::string ResolveLinks(const std::string& path)
{
    constexpr int kMaxLinks = 40; // as the kernel's own limit on nested links
    std::string current = path;
    for (int i = 0; i < kMaxLinks; ++i)
    {
        struct stat st{};
        if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = readlink(current.c_str(), target.data(), target.size());
        if (n <= 0)
            return current;
        target.resize(static_cast<std::size_t>(n));
        if (target[0] != '/')
        {
            const std::size_t slash = current.rfind('/');
            target = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + target;
        }
        current = target;
    }
    return current;
}

int CreateTemporaryBeside(const std::string& target, mode_t mode, std::string& tempPath)
{
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    static thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        char suffix[20];
        std::snprintf(suffix, sizeof suffix, "%012llx", static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
        tempPath = folder + "." + name + "." + suffix + ".tmp";
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

int ReplaceFileContents(const std::string& path, std::string_view data, mode_t newMode)
{
    const std::string target = ResolveLinks(path);
    struct stat old{};
    const bool exists = stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
    std::string temp;
    const int fd = CreateTemporaryBeside(target, exists ? (old.st_mode & 07777) : newMode, temp);
    if (fd < 0)
        return errno;
    int error = 0;
    if (exists)
    {
        // The umask applied at creation; the replacement keeps exactly the old bits and, where
        // allowed, the old owner.
        (void)!fchown(fd, old.st_uid, old.st_gid);
        if (fchmod(fd, old.st_mode & 07777) != 0)
            error = errno;
    }
    if (error == 0 && !WriteAll(fd, data))
        error = errno;
    if (error == 0 && fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && rename(temp.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0)
        unlink(temp.c_str());
    return error;
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
