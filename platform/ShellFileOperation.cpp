#include "platform/ShellFileOperation.h"

#include "platform/Trash.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string Join(const std::string& folder, const std::string& name)
{
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string LastElement(const std::string& path)
{
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const std::size_t slash = trimmed.rfind('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

// One running operation: its flags, its observer and the errors collected so far.
class Operation
{
public:
    Operation(std::uint32_t flags, FileOperationObserver* observer) : m_dwFlags(flags), m_pObserver(observer) {}

    FileOperationResult Finish()
    {
        m_result.m_nCode = m_result.m_errors.empty() && !m_result.m_bAborted ? 0 : 1;
        return std::move(m_result);
    }

    bool Aborted() const { return m_result.m_bAborted; }
    std::size_t ErrorCount() const { return m_result.m_errors.size(); }
    void AddError(const std::string& path, int error, const std::string& message)
    {
        m_result.m_errors.push_back({path, error, message});
    }

    void Error(const std::string& path, int error, const std::string& what)
    {
        m_result.m_errors.push_back({path, error, what + ": " + std::strerror(error)});
    }

    bool Announce(const std::string& source)
    {
        if (m_pObserver != nullptr && !m_pObserver->OnItem(source))
            m_result.m_bAborted = true;
        return !m_result.m_bAborted;
    }

    // Whether an existing destination may be replaced.
    bool MayReplace(const std::string& source, const std::string& destination)
    {
        if ((m_dwFlags & FOF_NOCONFIRMATION) != 0 || m_bYesToAll)
            return true;
        if (m_pObserver == nullptr)
        {
            Error(destination, EEXIST, "Cannot replace " + destination + " without confirmation");
            return false;
        }
        switch (m_pObserver->ConfirmOverwrite(source, destination))
        {
        case OverwriteAnswer::YesToAll:
            m_bYesToAll = true;
            return true;
        case OverwriteAnswer::Yes:
            return true;
        case OverwriteAnswer::No:
            return false;
        case OverwriteAnswer::Cancel:
            m_result.m_bAborted = true;
            return false;
        }
        return false;
    }

    // Copies `source` to the exact path `destination`. True when everything below it was copied.
    bool Copy(const std::string& source, const std::string& destination);
    bool Remove(const std::string& path);

private:
    bool CopyFile(const std::string& source, const std::string& destination, const struct stat& st);
    bool CopyLink(const std::string& source, const std::string& destination);

    std::uint32_t m_dwFlags;
    FileOperationObserver* m_pObserver;
    bool m_bYesToAll = false;
    FileOperationResult m_result;
};

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0)
    {
        const ssize_t n = write(fd, data, size);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool CopyData(int in, int out, std::uint64_t size)
{
    // The kernel copies without a round trip through user space where it can.
    std::uint64_t done = 0;
    while (done < size)
    {
        const ssize_t n = copy_file_range(in, nullptr, out, nullptr, size - done, 0);
        if (n <= 0)
            break;
        done += static_cast<std::uint64_t>(n);
    }
    if (done == size)
    {
        char probe;
        if (read(in, &probe, 1) == 0) // the file did not grow meanwhile
            return true;
        lseek(in, static_cast<off_t>(done), SEEK_SET);
    }
    constexpr std::size_t kBlock = 1 << 20;
    std::unique_ptr<char[]> buffer(new char[kBlock]);
    for (;;)
    {
        const ssize_t n = read(in, buffer.get(), kBlock);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        if (!WriteAll(out, buffer.get(), static_cast<std::size_t>(n)))
            return false;
    }
}

bool Operation::CopyFile(const std::string& source, const std::string& destination, const struct stat& st)
{
    const int in = open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (in < 0)
    {
        Error(source, errno, "Cannot read " + source);
        return false;
    }
    // Written beside the target and renamed over it: a failed copy never leaves a half-written
    // target and never destroys the old one.
    const std::size_t slash = destination.rfind('/');
    std::string temp = (slash == std::string::npos ? std::string() : destination.substr(0, slash + 1)) +
                       ".quorvane-copy-XXXXXX";
    const int out = mkostemp(temp.data(), O_CLOEXEC);
    if (out < 0)
    {
        Error(destination, errno, "Cannot write " + destination);
        close(in);
        return false;
    }
    bool ok = CopyData(in, out, static_cast<std::uint64_t>(st.st_size));
    int error = errno;
    if (ok && fchmod(out, st.st_mode & 07777) != 0)
        ok = false, error = errno;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (ok && futimens(out, times) != 0)
        ok = false, error = errno;
    close(in);
    if (close(out) != 0 && ok)
        ok = false, error = errno;
    if (ok && rename(temp.c_str(), destination.c_str()) != 0)
        ok = false, error = errno;
    if (!ok)
    {
        unlink(temp.c_str());
        Error(destination, error, "Cannot copy " + source + " to " + destination);
    }
    return ok;
}

bool Operation::CopyLink(const std::string& source, const std::string& destination)
{
    std::string target(4096, '\0');
    const ssize_t n = readlink(source.c_str(), target.data(), target.size());
    if (n < 0)
    {
        Error(source, errno, "Cannot read the link " + source);
        return false;
    }
    target.resize(static_cast<std::size_t>(n));
    unlink(destination.c_str());
    if (symlink(target.c_str(), destination.c_str()) != 0)
    {
        Error(destination, errno, "Cannot create the link " + destination);
        return false;
    }
    const struct timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
    utimensat(AT_FDCWD, destination.c_str(), times, AT_SYMLINK_NOFOLLOW);
    return true;
}

bool Operation::Copy(const std::string& source, const std::string& destination)
{
    if (!Announce(source))
        return false;
    struct stat st{};
    if (lstat(source.c_str(), &st) != 0)
    {
        Error(source, errno, "Cannot copy " + source);
        return false;
    }
    struct stat existing{};
    const bool exists = lstat(destination.c_str(), &existing) == 0;
    if (S_ISDIR(st.st_mode))
    {
        if (exists && !S_ISDIR(existing.st_mode))
        {
            if (!MayReplace(source, destination) || !Remove(destination))
                return false;
        }
        if (!exists || !S_ISDIR(existing.st_mode))
            if (mkdir(destination.c_str(), 0700) != 0)
            {
                Error(destination, errno, "Cannot create the folder " + destination);
                return false;
            }
        DIR* dir = opendir(source.c_str());
        if (dir == nullptr)
        {
            Error(source, errno, "Cannot read the folder " + source);
            return false;
        }
        bool ok = true;
        while (const dirent* entry = readdir(dir))
        {
            const std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            ok &= Copy(Join(source, name), Join(destination, name));
            if (Aborted())
                break;
        }
        closedir(dir);
        chmod(destination.c_str(), st.st_mode & 07777);
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        utimensat(AT_FDCWD, destination.c_str(), times, 0);
        return ok;
    }
    if (exists)
    {
        if (S_ISDIR(existing.st_mode))
        {
            Error(destination, EISDIR, "Cannot replace the folder " + destination + " with a file");
            return false;
        }
        if (!MayReplace(source, destination))
            return false;
    }
    if (S_ISLNK(st.st_mode))
        return CopyLink(source, destination);
    if (!S_ISREG(st.st_mode))
    {
        Error(source, EINVAL, "Cannot copy " + source + ", which is not a regular file");
        return false;
    }
    return CopyFile(source, destination, st);
}

bool Operation::Remove(const std::string& path)
{
    struct stat st{};
    if (lstat(path.c_str(), &st) != 0)
    {
        Error(path, errno, "Cannot delete " + path);
        return false;
    }
    if (S_ISDIR(st.st_mode))
    {
        DIR* dir = opendir(path.c_str());
        if (dir == nullptr)
        {
            Error(path, errno, "Cannot read the folder " + path);
            return false;
        }
        bool ok = true;
        while (const dirent* entry = readdir(dir))
        {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                ok &= Remove(Join(path, name));
        }
        closedir(dir);
        if (ok && rmdir(path.c_str()) != 0)
        {
            Error(path, errno, "Cannot delete " + path);
            return false;
        }
        return ok;
    }
    if (unlink(path.c_str()) != 0)
    {
        Error(path, errno, "Cannot delete " + path);
        return false;
    }
    return true;
}

// Creates a folder and its missing parents; true when it exists afterwards.
bool MakeFolders(const std::string& path)
{
    for (std::size_t i = 1; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '/')
            mkdir(path.substr(0, i).c_str(), 0777);
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

// True when `inner` is `outer` or lies below it (both resolved).
bool IsSameOrBelow(const std::string& outer, const std::string& inner)
{
    char a[PATH_MAX];
    char b[PATH_MAX];
    if (realpath(outer.c_str(), a) == nullptr || realpath(inner.c_str(), b) == nullptr)
        return false;
    const std::string o = a;
    const std::string i = b;
    return i == o || (i.size() > o.size() && i.compare(0, o.size(), o) == 0 && (o == "/" || i[o.size()] == '/'));
}

} // namespace

FileOperationResult ShellFileOperation(FileOperationKind kind, const std::string& from, const std::string& to,
                                       std::uint32_t flags, FileOperationObserver* observer)
{
    Operation op(flags, observer);
    struct stat st{};
    if (from.empty() || lstat(from.c_str(), &st) != 0)
    {
        op.Error(from, from.empty() ? ENOENT : errno, "Cannot find " + from);
        return op.Finish();
    }
    switch (kind)
    {
    case FileOperationKind::Copy:
    case FileOperationKind::Move: {
        const std::string destination = Join(to, LastElement(from));
        if (!MakeFolders(to))
        {
            op.Error(to, errno, "Cannot create the folder " + to);
            break;
        }
        if (S_ISDIR(st.st_mode) && IsSameOrBelow(from, to))
        {
            op.Error(destination, EINVAL, "Cannot put " + from + " inside itself");
            break;
        }
        if (kind == FileOperationKind::Move)
        {
            struct stat existing{};
            const bool exists = lstat(destination.c_str(), &existing) == 0;
            if (exists && (existing.st_dev == st.st_dev && existing.st_ino == st.st_ino))
                break; // already there
            if (!exists || (!S_ISDIR(existing.st_mode) && !S_ISDIR(st.st_mode) && op.MayReplace(from, destination)))
            {
                if (!op.Announce(from))
                    break;
                if (rename(from.c_str(), destination.c_str()) == 0)
                    break;
                if (errno != EXDEV)
                {
                    op.Error(from, errno, "Cannot move " + from + " to " + to);
                    break;
                }
            }
            else if (exists && !S_ISDIR(existing.st_mode))
                break; // the user kept the existing file
            // Across file systems, or merging into an existing folder: copy, then delete the
            // source only when every part of it arrived.
            if (op.Copy(from, destination) && !op.Aborted())
                op.Remove(from);
            break;
        }
        op.Copy(from, destination);
        break;
    }
    case FileOperationKind::Rename: {
        struct stat existing{};
        if (lstat(to.c_str(), &existing) == 0 && !(existing.st_dev == st.st_dev && existing.st_ino == st.st_ino))
        {
            const std::size_t before = op.ErrorCount();
            if (S_ISDIR(existing.st_mode) || !op.MayReplace(from, to))
            {
                if (op.ErrorCount() == before && !op.Aborted())
                    op.Error(to, EEXIST, "Cannot rename " + from + " to " + to);
                break;
            }
        }
        if (!op.Announce(from))
            break;
        if (rename(from.c_str(), to.c_str()) != 0)
            op.Error(from, errno, "Cannot rename " + from + " to " + to);
        break;
    }
    case FileOperationKind::Delete:
        if (!op.Announce(from))
            break;
        if ((flags & FOF_ALLOWUNDO) != 0)
        {
            std::string message;
            const int error = MoveToTrash(from, nullptr, &message);
            if (error != 0)
                op.AddError(from, error, message);
        }
        else
            op.Remove(from);
        break;
    }
    return op.Finish();
}

} // namespace platform
