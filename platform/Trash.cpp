#include "platform/Trash.h"

#include "platform/FileSystemEntry.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool MakeFolder(const std::string& path, mode_t mode)
{
    for (std::size_t i = 1; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '/')
            if (mkdir(path.substr(0, i).c_str(), mode) != 0 && errno != EEXIST)
                return false;
    struct stat st{};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string HomeTrash()
{
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/')
        return std::string(data) + "/Trash";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0')
        return {};
    return std::string(home) + "/.local/share/Trash";
}

// Absolute form of a path without resolving its last element (a link is trashed, not its target).
std::string Absolute(const std::string& path)
{
    std::string parent = ".";
    std::string name = path;
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const std::size_t slash = trimmed.rfind('/');
    if (slash != std::string::npos)
    {
        parent = slash == 0 ? "/" : trimmed.substr(0, slash);
        name = trimmed.substr(slash + 1);
    }
    else
        name = trimmed;
    char resolved[PATH_MAX];
    if (realpath(parent.c_str(), resolved) == nullptr)
        return {};
    const std::string folder = resolved;
    return (folder == "/" ? "" : folder) + "/" + name;
}

// The mount point of the file system that holds `path`: the highest folder on the same device.
std::string TopDir(const std::string& absolute, dev_t device)
{
    std::string top = absolute.substr(0, absolute.rfind('/'));
    if (top.empty())
        return "/";
    for (;;)
    {
        const std::size_t slash = top.rfind('/');
        const std::string up = slash == 0 ? "/" : top.substr(0, slash);
        struct stat st{};
        if (stat(up.c_str(), &st) != 0 || st.st_dev != device)
            return top;
        if (up == "/")
            return up;
        top = up;
    }
}

// Creates the info file under a free name and moves the path into files/. 0 or errno.
int TrashInto(const std::string& trash, const std::string& absolute, const std::string& recordedPath,
              std::string* trashedAs)
{
    if (!MakeFolder(trash + "/files", 0700) || !MakeFolder(trash + "/info", 0700))
        return errno != 0 ? errno : ENOTDIR;
    const std::string name = absolute.substr(absolute.rfind('/') + 1);
    char date[32];
    const std::time_t now = std::time(nullptr);
    struct tm local{};
    localtime_r(&now, &local);
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    const std::string info = "[Trash Info]\nPath=" + PercentEncodePath(recordedPath) + "\nDeletionDate=" + date + "\n";

    for (int n = 1; n < 10000; ++n)
    {
        const std::string candidate = n == 1 ? name : name + "." + std::to_string(n);
        const std::string infoPath = trash + "/info/" + candidate + ".trashinfo";
        const int fd = open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
        {
            if (errno == EEXIST)
                continue;
            return errno;
        }
        const bool written = write(fd, info.data(), info.size()) == static_cast<ssize_t>(info.size());
        close(fd);
        const std::string target = trash + "/files/" + candidate;
        struct stat st{};
        if (written && lstat(target.c_str(), &st) != 0 && rename(absolute.c_str(), target.c_str()) == 0)
        {
            if (trashedAs)
                *trashedAs = target;
            return 0;
        }
        const int error = written ? errno : EIO;
        unlink(infoPath.c_str());
        if (written && error == ENOENT && lstat(target.c_str(), &st) == 0)
            continue; // files/ had a stray entry of that name
        return error;
    }
    return EEXIST;
}

} // namespace

int MoveToTrash(const std::string& path, std::string* trashedAs, std::string* message)
{
    auto fail = [&](int error, const std::string& why) {
        if (message)
            *message = "Cannot move " + path + " to the Trash: " + why;
        return error;
    };
    struct stat st{};
    if (lstat(path.c_str(), &st) != 0)
        return fail(errno, std::strerror(errno));
    const std::string absolute = Absolute(path);
    if (absolute.empty())
        return fail(errno, std::strerror(errno));

    const std::string home = HomeTrash();
    if (!home.empty())
    {
        const std::string homeBase = home.substr(0, home.rfind('/'));
        MakeFolder(homeBase, 0700);
        struct stat hs{};
        if (stat(homeBase.c_str(), &hs) == 0 && hs.st_dev == st.st_dev)
        {
            const int error = TrashInto(home, absolute, absolute, trashedAs);
            return error == 0 ? 0 : fail(error, std::strerror(error));
        }
    }
    // Another file system: its own trash at the top, with paths recorded relative to the top.
    const std::string top = TopDir(absolute, st.st_dev);
    const std::string relative = absolute.substr(top == "/" ? 1 : top.size() + 1);
    const std::string uid = std::to_string(getuid());
    const std::string shared = (top == "/" ? "" : top) + "/.Trash";
    struct stat ss{};
    if (lstat(shared.c_str(), &ss) == 0 && S_ISDIR(ss.st_mode) && (ss.st_mode & S_ISVTX) != 0)
        if (TrashInto(shared + "/" + uid, absolute, relative, trashedAs) == 0)
            return 0;
    const int error = TrashInto((top == "/" ? "" : top) + "/.Trash-" + uid, absolute, relative, trashedAs);
    if (error == 0)
        return 0;
    return fail(error, std::string("no Trash can be used on this file system (") + std::strerror(error) +
                           "); the item was left in place");
}

} // namespace platform
