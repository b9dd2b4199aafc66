#include "platform/ShellFileOperation.h"

#include "platform/FileIo.h"
#include "platform/Trash.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Prefix of the temporary names written beside a destination before they replace it.
constexpr const char* kTempPrefix = ".quorvane-copy-";
// Block of the read/write copy, used where the kernel cannot copy between the two files.
constexpr std::size_t kCopyBlock = 1 << 20;

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

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool SameObject(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Copies everything from `in` to `out` from their current offsets. False with errno set.
bool CopyData(int in, int out)
{
    // The kernel copies without a round trip through user space where both file systems allow it;
    // it returns 0 at the end of the file, and an error where it cannot copy between the two.
    for (;;)
    {
        const ssize_t n = copy_file_range(in, nullptr, out, nullptr, kCopyBlock * 64, 0);
        if (n == 0)
        {
            // Files of /proc and the like report no size and no data to the kernel copy; the
            // read below finds out whether there is more.
            break;
        }
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP && errno != EBADF &&
                errno != EPERM)
                return false;
            break;
        }
    }
    std::unique_ptr<char[]> buffer(new char[kCopyBlock]);
    for (;;)
    {
        const ssize_t n = read(in, buffer.get(), kCopyBlock);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        if (!WriteAll(out, std::string_view(buffer.get(), static_cast<std::size_t>(n))))
            return false;
    }
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

    // Records a failure as "<what>: <system's reason>".
    void Error(const std::string& path, int error, const std::string& what)
    {
        AddError(path, error, what + ": " + std::strerror(error));
    }

    bool Announce(const std::string& source)
    {
        if (m_pObserver != nullptr && !m_pObserver->OnItem(source))
            m_result.m_bAborted = true;
        return !m_result.m_bAborted;
    }

    // Whether an existing destination may be replaced. A refusal without an observer to ask is an
    // error of the item; "No" skips it quietly; "Cancel" stops the operation.
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
    // `confirmed`: replacing the existing destination itself was already agreed to;
    // `announced`: the observer has already been told about `source`.
    bool Copy(const std::string& source, const std::string& destination, bool confirmed = false,
              bool announced = false);
    // Deletes a path for good, folders with their contents. True when all of it is gone.
    bool Remove(const std::string& path);

private:
    bool CopyFolder(const std::string& source, const std::string& destination, const struct stat& st, bool exists,
                    const struct stat& existing, bool confirmed);
    bool CopyFile(const std::string& source, const std::string& destination, const struct stat& st);
    bool CopyLink(const std::string& source, const std::string& destination, const struct stat& st);

    std::uint32_t m_dwFlags;
    FileOperationObserver* m_pObserver;
    bool m_bYesToAll = false;
    FileOperationResult m_result;
};

bool Operation::CopyFile(const std::string& source, const std::string& destination, const struct stat& st)
{
    const std::string failure = "Cannot copy " + source + " to " + destination;
    // O_NOFOLLOW: a link swapped in since the entry was read is not followed out of the tree.
    const int in = open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
    if (in < 0)
    {
        Error(source, errno, failure);
        return false;
    }
    struct stat opened{};
    if (fstat(in, &opened) != 0 || !S_ISREG(opened.st_mode))
    {
        Error(source, EINVAL, failure);
        close(in);
        return false;
    }
    // Written beside the target and renamed over it: a failed copy never leaves a half-written
    // target and never destroys the old one.
    std::string temp = FolderOf(destination) + kTempPrefix + "XXXXXX";
    const int out = mkostemp(temp.data(), O_CLOEXEC);
    if (out < 0)
    {
        Error(destination, errno, failure);
        close(in);
        return false;
    }
    bool ok = CopyData(in, out);
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
        Error(destination, error, failure);
    }
    return ok;
}

bool Operation::CopyLink(const std::string& source, const std::string& destination, const struct stat& st)
{
    const std::string failure = "Cannot copy the link " + source + " to " + destination;
    std::string target(PATH_MAX + 1, '\0');
    const ssize_t n = readlink(source.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<std::size_t>(n) == target.size())
    {
        Error(source, n < 0 ? errno : ENAMETOOLONG, failure);
        return false;
    }
    target.resize(static_cast<std::size_t>(n));
    // Made under a free temporary name and renamed over the destination, as files are.
    const std::string base = FolderOf(destination) + kTempPrefix + std::to_string(getpid()) + "-";
    std::string temp;
    int error = EEXIST;
    for (int attempt = 0; attempt < 1000 && error == EEXIST; ++attempt)
    {
        temp = base + std::to_string(attempt);
        error = symlink(target.c_str(), temp.c_str()) == 0 ? 0 : errno;
    }
    if (error != 0)
    {
        Error(destination, error, failure);
        return false;
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (utimensat(AT_FDCWD, temp.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0 ||
        rename(temp.c_str(), destination.c_str()) != 0)
    {
        error = errno;
        unlink(temp.c_str());
        Error(destination, error, failure);
        return false;
    }
    return true;
}

bool Operation::CopyFolder(const std::string& source, const std::string& destination, const struct stat& st,
                           bool exists, const struct stat& existing, bool confirmed)
{
    // A folder copied onto an existing folder merges into it; onto anything else it replaces it.
    const bool merge = exists && S_ISDIR(existing.st_mode);
    if (exists && !merge && ((!confirmed && !MayReplace(source, destination)) || !Remove(destination)))
        return false;
    // Created private and given the source's mode once its contents are in (the source may
    // itself be read-only).
    if (!merge && mkdir(destination.c_str(), 0700) != 0)
    {
        Error(destination, errno, "Cannot create the folder " + destination);
        return false;
    }
    std::vector<std::string> names;
    bool opened = false;
    const int readError = ReadFolderNames(source, names, &opened);
    if (!opened)
    {
        Error(source, readError, "Cannot read the folder " + source);
        if (!merge)
            rmdir(destination.c_str());
        return false;
    }
    bool ok = true;
    if (readError != 0)
    {
        Error(source, readError, "Cannot read the folder " + source);
        ok = false;
    }
    for (const std::string& name : names)
    {
        ok &= Copy(Join(source, name), Join(destination, name));
        if (Aborted())
        {
            ok = false;
            break;
        }
    }
    // A folder that was there already keeps its own mode and times.
    if (merge)
        return ok;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (chmod(destination.c_str(), st.st_mode & 07777) != 0 || utimensat(AT_FDCWD, destination.c_str(), times, 0) != 0)
    {
        Error(destination, errno, "Cannot set the permissions and times of " + destination);
        return false;
    }
    return ok;
}

bool Operation::Copy(const std::string& source, const std::string& destination, bool confirmed, bool announced)
{
    if (!announced && !Announce(source))
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
        return CopyFolder(source, destination, st, exists, existing, confirmed);
    if (exists)
    {
        if (S_ISDIR(existing.st_mode))
        {
            Error(destination, EISDIR, "Cannot replace the folder " + destination + " with a file");
            return false;
        }
        if (!confirmed && !MayReplace(source, destination))
            return false;
    }
    if (S_ISLNK(st.st_mode))
        return CopyLink(source, destination, st);
    if (!S_ISREG(st.st_mode))
    {
        Error(source, EINVAL, "Cannot copy " + source + ", which is not a regular file, folder or link");
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
        std::vector<std::string> names;
        bool ok = true;
        if (const int error = ReadFolderNames(path, names); error != 0)
        {
            Error(path, error, "Cannot delete " + path);
            ok = false;
        }
        for (const std::string& name : names)
            ok &= Remove(Join(path, name));
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

// Creates a folder and its missing parents, remembering which it made; true when it exists after.
bool CreateMissingFolders(const std::string& path, std::vector<std::string>& created)
{
    for (std::size_t i = 1; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '/')
        {
            const std::string prefix = path.substr(0, i);
            if (mkdir(prefix.c_str(), 0777) == 0)
                created.push_back(prefix);
        }
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

void RemoveFolders(const std::vector<std::string>& created)
{
    for (auto it = created.rbegin(); it != created.rend(); ++it)
        rmdir(it->c_str());
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

// Move of `from` (described by `st`) to `destination`, inside the existing folder `to`.
void Move(Operation& op, const std::string& from, const struct stat& st, const std::string& to,
          const std::string& destination)
{
    struct stat existing{};
    const bool exists = lstat(destination.c_str(), &existing) == 0;
    if (exists && SameObject(existing, st))
        return; // already there
    bool confirmed = false;
    bool announced = false;
    if (exists && S_ISDIR(existing.st_mode) && !S_ISDIR(st.st_mode))
    {
        op.Error(destination, EISDIR, "Cannot replace the folder " + destination + " with a file");
        return;
    }
    if (exists && !S_ISDIR(existing.st_mode))
    {
        if (!op.MayReplace(from, destination))
            return;
        confirmed = true;
    }
    // rename(2) can neither merge two folders nor put a folder in the place of a file.
    if (!exists || !S_ISDIR(st.st_mode))
    {
        if (!op.Announce(from))
            return;
        announced = true;
        const int rc = exists ? rename(from.c_str(), destination.c_str()) : RenameNoReplace(from, destination);
        if (rc == 0)
            return;
        if (errno != EXDEV)
        {
            op.Error(from, errno, "Cannot move " + from + " to " + to);
            return;
        }
    }
    // Across file systems, or merging into an existing folder: copy, then delete the source only
    // when all of it arrived.
    if (op.Copy(from, destination, confirmed, announced) && !op.Aborted())
        op.Remove(from);
}

void Rename(Operation& op, const std::string& from, const struct stat& st, const std::string& to)
{
    struct stat existing{};
    const bool exists = lstat(to.c_str(), &existing) == 0;
    if (exists && SameObject(existing, st))
        return; // the name it already has (or another link to the same file)
    if (exists)
    {
        const std::size_t before = op.ErrorCount();
        if (S_ISDIR(existing.st_mode) || !op.MayReplace(from, to))
        {
            if (op.ErrorCount() == before && !op.Aborted())
                op.Error(to, EEXIST, "Cannot rename " + from + " to " + to);
            return;
        }
    }
    if (!op.Announce(from))
        return;
    const int rc = exists ? rename(from.c_str(), to.c_str()) : RenameNoReplace(from, to);
    if (rc != 0)
        op.Error(from, errno, "Cannot rename " + from + " to " + to);
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
        const std::string verb = kind == FileOperationKind::Copy ? "copy " : "move ";
        const std::string destination = Join(to, LastElement(from));
        std::vector<std::string> created;
        if (to.empty() || !CreateMissingFolders(to, created))
        {
            op.Error(to, to.empty() ? ENOENT : errno, "Cannot " + verb + from + " to " + to);
            RemoveFolders(created);
            break;
        }
        if (S_ISDIR(st.st_mode) && IsSameOrBelow(from, to))
        {
            op.Error(destination, EINVAL, "Cannot " + verb + from + " into itself");
            RemoveFolders(created);
            break;
        }
        if (kind == FileOperationKind::Move)
        {
            Move(op, from, st, to, destination);
            break;
        }
        struct stat existing{};
        if (lstat(destination.c_str(), &existing) == 0 && SameObject(existing, st))
        {
            op.Error(destination, EINVAL, "Cannot copy " + from + " onto itself");
            break;
        }
        op.Copy(from, destination);
        break;
    }
    case FileOperationKind::Rename:
        Rename(op, from, st, to);
        break;
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
