#include "platform/Trash.h"

#include "platform/FileIo.h"
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

// Upper bound of the "name.N" suffixes tried before a Trash is taken as full of that name.
constexpr int kMaxNameAttempts = 10000;

// Creates one folder if missing and checks that it is a real folder (not a link) owned by this
// user: a trash on a shared file system must not lead into somebody else's folder.
bool OwnFolder(const std::string& path)
{
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st{};
    if (lstat(path.c_str(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode) || st.st_uid != getuid())
    {
        errno = S_ISDIR(st.st_mode) ? EPERM : ENOTDIR;
        return false;
    }
    return true;
}

std::string HomeTrash()
{
    // A relative XDG_DATA_HOME is invalid and ignored.
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/')
        return std::string(data) + "/Trash";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/')
        return {};
    return std::string(home) + "/.local/share/Trash";
}

std::string Trimmed(const std::string& path)
{
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    return trimmed;
}

// Absolute form of a path without resolving its last element (a link is trashed, not its target).
// Empty with errno set when the folder cannot be resolved.
std::string Absolute(const std::string& path)
{
    const std::string trimmed = Trimmed(path);
    const std::size_t slash = trimmed.rfind('/');
    const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : trimmed.substr(0, slash);
    const std::string name = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
    if (name.empty() || name == "." || name == "..")
    {
        errno = EINVAL;
        return {};
    }
    char resolved[PATH_MAX];
    if (realpath(parent.c_str(), resolved) == nullptr)
        return {};
    const std::string folder = resolved;
    return (folder == "/" ? "" : folder) + "/" + name;
}

// The mount point of the file system that holds `absolute`: the highest folder on its device.
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

// Moves `absolute` into the trash folder `trash` (which exists), recording `recordedPath`.
// The info file comes first and is created exclusively, so that two programs trashing items of
// the same name at once never share a name. 0 or errno.
int TrashInto(const std::string& trash, const std::string& absolute, const std::string& recordedPath,
              std::string* trashedAs)
{
    const std::string files = trash + "/files";
    const std::string infos = trash + "/info";
    if (!OwnFolder(files) || !OwnFolder(infos))
        return errno;
    const std::string name = absolute.substr(absolute.rfind('/') + 1);
    char date[32];
    const std::time_t now = std::time(nullptr);
    struct tm local{};
    localtime_r(&now, &local);
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    const std::string info = "[Trash Info]\nPath=" + PercentEncodePath(recordedPath) + "\nDeletionDate=" + date + "\n";

    for (int n = 1; n <= kMaxNameAttempts; ++n)
    {
        const std::string candidate = n == 1 ? name : name + "." + std::to_string(n);
        const std::string infoPath = infos + "/" + candidate + ".trashinfo";
        const int fd = open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
        {
            if (errno == EEXIST)
                continue;
            return errno;
        }
        const bool written = WriteAll(fd, info);
        int error = errno;
        if (close(fd) != 0 && written)
            error = errno;
        else if (written)
        {
            const std::string target = files + "/" + candidate;
            if (RenameNoReplace(absolute, target) == 0)
            {
                if (trashedAs)
                    *trashedAs = target;
                return 0;
            }
            error = errno;
        }
        unlink(infoPath.c_str());
        if (error != EEXIST)
            return error;
        // files/ holds an entry of that name without its info: try the next name.
    }
    return EEXIST;
}

std::string Failure(const std::string& path, const std::string& why)
{
    return "Cannot move " + path + " to the Trash: " + why;
}

int TopDirTrash(const std::string& path, const std::string& absolute, const std::string& top,
                std::string* trashedAs, std::string* message)
{
    const std::string base = top == "/" ? "" : top;
    if (absolute.compare(0, base.size() + 1, base + "/") != 0)
    {
        if (message)
            *message = Failure(path, "it is not below " + top);
        return EINVAL;
    }
    const std::string relative = absolute.substr(base.size() + 1);
    const std::string uid = std::to_string(getuid());

    // The administrator's shared trash counts only when it is a real folder with the sticky bit,
    // so that users cannot remove or replace each other's trash folders inside it.
    const std::string shared = base + "/.Trash";
    struct stat ss{};
    if (lstat(shared.c_str(), &ss) == 0 && S_ISDIR(ss.st_mode) && (ss.st_mode & S_ISVTX) != 0)
    {
        const std::string mine = shared + "/" + uid;
        if (OwnFolder(mine) && TrashInto(mine, absolute, relative, trashedAs) == 0)
            return 0;
    }
    const std::string own = base + "/.Trash-" + uid;
    int error = OwnFolder(own) ? TrashInto(own, absolute, relative, trashedAs) : errno;
    if (error == 0)
        return 0;
    if (message)
        *message = Failure(path, "no Trash can be used on the file system of " + top + " (" + std::strerror(error) +
                                     "); it was left in place");
    return error;
}

} // namespace

int MoveToTopDirTrash(const std::string& path, const std::string& topdir, std::string* trashedAs,
                      std::string* message)
{
    struct stat st{};
    const std::string absolute = lstat(path.c_str(), &st) == 0 ? Absolute(path) : std::string();
    char top[PATH_MAX];
    if (absolute.empty() || realpath(topdir.c_str(), top) == nullptr)
    {
        const int error = errno;
        if (message)
            *message = Failure(path, std::strerror(error));
        return error;
    }
    return TopDirTrash(path, absolute, top, trashedAs, message);
}

int MoveToTrash(const std::string& path, std::string* trashedAs, std::string* message)
{
    struct stat st{};
    const std::string absolute = lstat(path.c_str(), &st) == 0 ? Absolute(path) : std::string();
    if (absolute.empty())
    {
        const int error = errno;
        if (message)
            *message = Failure(path, std::strerror(error));
        return error;
    }

    const std::string home = HomeTrash();
    if (!home.empty())
    {
        const std::string homeBase = home.substr(0, home.rfind('/'));
        MakeFolders(homeBase, 0700);
        struct stat hs{};
        if (stat(homeBase.c_str(), &hs) == 0 && hs.st_dev == st.st_dev)
        {
            // On the home file system only the home trash is used, and a home trash that cannot
            // be made is a failure, not a reason to delete.
            int error = MakeFolders(home, 0700) ? TrashInto(home, absolute, absolute, trashedAs) : errno;
            if (error == 0)
                return 0;
            if (message)
                *message = Failure(path, "the Trash in " + home + " cannot be used (" + std::strerror(error) +
                                             "); it was left in place");
            return error;
        }
    }
    return TopDirTrash(path, absolute, TopDir(absolute, st.st_dev), trashedAs, message);
}

} // namespace platform
