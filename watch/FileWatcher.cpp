#include "watch/FileWatcher.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Names created, deleted, moved in or out, written, closed after writing, or re-dated; the folder
// itself deleted or moved away (its watch is then armed again by path). Not recursive.
constexpr std::uint32_t kFolderEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY |
                                        IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF |
                                        IN_ONLYDIR;

// The lowest priority a thread can give itself.
constexpr int kWorkerNice = 19;

std::string NotifyPath(const std::string& folder)
{
    return folder.empty() ? std::string(".") : folder;
}

int MillisecondsUntil(std::chrono::steady_clock::time_point when, std::chrono::steady_clock::time_point now)
{
    if (when <= now)
        return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(when - now).count();
    return static_cast<int>(std::min<long long>(ms, INT_MAX));
}

} // namespace

CFileWatcher::CFileWatcher(CMessageQueue& queue)
    : m_queue(queue), m_nInotify(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
      m_nWakeEvent(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
}

CFileWatcher::~CFileWatcher()
{
    StopWorker();
    for (CWatchedFile* file : m_watchedFiles)
        file->m_nWatchId = 0;
    if (m_nInotify >= 0)
        ::close(m_nInotify);
    if (m_nWakeEvent >= 0)
        ::close(m_nWakeEvent);
}

CFileWatcher& CFileWatcher::Process()
{
    static CFileWatcher watcher(CMessageQueue::Process());
    return watcher;
}

std::string CFileWatcher::FolderOfPath(const std::string& path)
{
    const std::size_t separator = path.rfind('/');
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

bool CFileWatcher::ReadLastWriteTime(const std::string& path, platform::FileTime& time)
{
    // Regular files only: a device is never opened (opening some has effects) and a FIFO would
    // never give a time worth comparing. The time is taken from the open file, as a reader sees it.
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    if (ok)
        time = platform::FileTimeFromTimespec(st.st_mtim);
    return ok;
}

std::uint32_t CFileWatcher::AddFileWatch(const std::string& path, WindowId window,
                                         IFileWatchDocument* document)
{
    std::lock_guard lock(m_mutex);
    if (m_nInotify < 0 || m_nWakeEvent < 0 || path.empty())
        return 0;
    const std::string folder = FolderOfPath(path);

    // Filled member by member: GCC 12 at -O3 takes the aggregate form for reading a moved-from string.
    WatchRecord record;
    record.m_item.m_strPath = path;
    record.m_item.m_window = window;
    record.m_item.m_pDocument = document;
    record.m_strFolder = folder;
    record.m_strName = path.substr(folder.size());
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        record.m_bDirectory = true;
    else if (!ReadLastWriteTime(path, record.m_item.m_ftLastWrite))
        return 0;

    const bool known = std::any_of(m_folders.begin(), m_folders.end(),
                                   [&](const FolderWatch& f) { return f.m_strFolder == folder; });
    if (!known)
    {
        // A folder that cannot be watched (no permission, no inotify watches left) is refused
        // rather than registered silently unwatched.
        const int wd = ::inotify_add_watch(m_nInotify, NotifyPath(folder).c_str(), kFolderEvents);
        if (wd < 0)
            return 0;
        m_folders.push_back({folder, wd});
    }

    const std::uint32_t id = m_nNextId++;
    m_mapWatches.emplace(id, std::move(record));
    if (!m_worker.joinable())
        StartWorker();
    return id;
}

void CFileWatcher::RemoveFileWatch(std::uint32_t id)
{
    bool empty = false;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_mapWatches.find(id);
        if (it != m_mapWatches.end())
        {
            const std::string folder = it->second.m_strFolder;
            m_mapWatches.erase(it);
            const bool folderInUse =
                std::any_of(m_mapWatches.begin(), m_mapWatches.end(),
                            [&](const auto& entry) { return entry.second.m_strFolder == folder; });
            if (!folderInUse)
                ReleaseFolder(folder);
        }
        empty = m_mapWatches.empty();
    }
    if (empty)
        StopWorker();
}

bool CFileWatcher::ReleaseFolder(const std::string& folder)
{
    const auto it = std::find_if(m_folders.begin(), m_folders.end(),
                                 [&](const FolderWatch& f) { return f.m_strFolder == folder; });
    if (it == m_folders.end())
        return false;
    const int wd = it->m_nWatch;
    m_folders.erase(it);
    // Another spelling of the same folder still needs the kernel's watch.
    const bool shared = wd >= 0 && std::any_of(m_folders.begin(), m_folders.end(),
                                               [&](const FolderWatch& f) { return f.m_nWatch == wd; });
    if (wd >= 0 && !shared)
        ::inotify_rm_watch(m_nInotify, wd);
    return true;
}

bool CFileWatcher::IsRunning() const
{
    std::lock_guard lock(m_mutex);
    return m_worker.joinable();
}

std::size_t CFileWatcher::WatchCount() const
{
    std::lock_guard lock(m_mutex);
    return m_mapWatches.size();
}

std::size_t CFileWatcher::FolderCount() const
{
    std::lock_guard lock(m_mutex);
    return m_folders.size();
}

void CFileWatcher::SetFileWatchEnabled(bool enabled)
{
    m_bFileWatch = enabled;
    for (CWatchedFile* file : m_watchedFiles)
    {
        if (!enabled)
            file->StopWatching();
        else if (file->m_nWatchId == 0)
            file->Watch();
    }
}

void CFileWatcher::Wake()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_nWakeEvent, &one, sizeof one);
}

void CFileWatcher::StartWorker()
{
    m_bStop = false;
    m_worker = std::thread([this] { WorkerMain(); });
}

void CFileWatcher::StopWorker()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_worker.joinable())
            return;
        m_bStop = true;
    }
    Wake();
    m_worker.join();
    std::lock_guard lock(m_mutex);
    m_worker = std::thread();
    m_nWorkerTid = 0;
}

void CFileWatcher::WorkerMain()
{
    const pid_t tid = ::gettid();
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), kWorkerNice);
    ::pthread_setname_np(::pthread_self(), "qv-filewatch");
    m_nWorkerTid = tid;

    for (;;)
    {
        int timeout;
        {
            std::lock_guard lock(m_mutex);
            timeout = PollTimeoutMs();
        }
        pollfd fds[2] = {{m_nWakeEvent, POLLIN, 0}, {m_nInotify, POLLIN, 0}};
        if (::poll(fds, 2, timeout) < 0)
            fds[0].revents = fds[1].revents = 0; // interrupted: look at the state and wait again
        if (fds[0].revents & POLLIN)
        {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t got = ::read(m_nWakeEvent, &count, sizeof count);
        }

        std::lock_guard lock(m_mutex);
        if (m_bStop)
        {
            std::set<int> watches;
            for (const FolderWatch& folder : m_folders)
                if (folder.m_nWatch >= 0)
                    watches.insert(folder.m_nWatch);
            for (int wd : watches)
                ::inotify_rm_watch(m_nInotify, wd);
            m_mapWatches.clear();
            m_folders.clear();
            m_pendingWrites.clear();
            m_bUnarmed = false;
            return;
        }
        std::map<int, FolderEvents> due;
        if (fds[1].revents & POLLIN)
            ReadEvents(due);
        ProcessDueWrites(due);
        Rearm(due);
        CheckFolders(due);
    }
}

int CFileWatcher::PollTimeoutMs() const
{
    const auto now = std::chrono::steady_clock::now();
    int timeout = -1;
    auto consider = [&](std::chrono::steady_clock::time_point when)
    {
        const int ms = MillisecondsUntil(when, now);
        timeout = timeout < 0 ? ms : std::min(timeout, ms);
    };
    for (const auto& [wd, names] : m_pendingWrites)
        for (const auto& [name, when] : names)
            consider(when);
    if (m_bUnarmed)
        consider(m_nextRearm);
    return timeout;
}

bool CFileWatcher::ReadEvents(std::map<int, FolderEvents>& due)
{
    alignas(inotify_event) char buffer[16 * 1024];
    const auto now = std::chrono::steady_clock::now();
    bool any = false;
    for (;;)
    {
        const ssize_t length = ::read(m_nInotify, buffer, sizeof buffer);
        if (length <= 0)
            break; // EAGAIN: drained
        any = true;
        for (ssize_t offset = 0; offset + static_cast<ssize_t>(sizeof(inotify_event)) <= length;)
        {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const int wd = event->wd;

            if (event->mask & IN_Q_OVERFLOW)
            {
                // Events were lost: every folder is looked at again.
                for (const FolderWatch& folder : m_folders)
                    if (folder.m_nWatch >= 0)
                        due[folder.m_nWatch].m_bAll = true;
                m_pendingWrites.clear();
                continue;
            }
            if (event->mask & IN_IGNORED)
            {
                // The folder was deleted or its file system unmounted (or we removed the watch).
                ForgetWatchDescriptor(wd);
                continue;
            }
            if (event->mask & IN_MOVE_SELF)
            {
                // The watch would follow the folder to its new place; the paths stay where they were.
                ::inotify_rm_watch(m_nInotify, wd);
                ForgetWatchDescriptor(wd);
                continue;
            }
            if (event->len == 0)
                continue; // the folder's own attributes; its names are what is watched
            const std::string name(event->name);
            auto& pending = m_pendingWrites[wd];

            if ((event->mask & (IN_MODIFY | IN_CREATE)) && !(event->mask & IN_ISDIR))
            {
                // Being written: checked when the writer closes it, so that one save gives one
                // notice however many writes it takes; at the latest after the settle time.
                pending.try_emplace(name, now + std::chrono::milliseconds(kWriteSettleMs));
            }
            else if (event->mask & IN_ATTRIB)
            {
                if (pending.find(name) == pending.end())
                    due[wd].m_names.insert(name);
            }
            else
            {
                // Closed after writing, deleted, moved in or out, a folder created.
                pending.erase(name);
                due[wd].m_names.insert(name);
            }
            if (pending.empty())
                m_pendingWrites.erase(wd);
        }
    }
    return any;
}

void CFileWatcher::ForgetWatchDescriptor(int wd)
{
    m_pendingWrites.erase(wd);
    for (FolderWatch& folder : m_folders)
    {
        if (folder.m_nWatch != wd)
            continue;
        folder.m_nWatch = -1;
        if (!m_bUnarmed)
            m_nextRearm = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRearmIntervalMs);
        m_bUnarmed = true;
    }
}

void CFileWatcher::ProcessDueWrites(std::map<int, FolderEvents>& due)
{
    const auto now = std::chrono::steady_clock::now();
    for (auto folder = m_pendingWrites.begin(); folder != m_pendingWrites.end();)
    {
        auto& names = folder->second;
        for (auto it = names.begin(); it != names.end();)
        {
            if (it->second <= now)
            {
                due[folder->first].m_names.insert(it->first);
                it = names.erase(it);
            }
            else
                ++it;
        }
        folder = names.empty() ? m_pendingWrites.erase(folder) : std::next(folder);
    }
}

void CFileWatcher::Rearm(std::map<int, FolderEvents>& due)
{
    const auto now = std::chrono::steady_clock::now();
    if (!m_bUnarmed || now < m_nextRearm)
        return;
    bool stillUnarmed = false;
    for (FolderWatch& folder : m_folders)
    {
        if (folder.m_nWatch >= 0)
            continue;
        folder.m_nWatch =
            ::inotify_add_watch(m_nInotify, NotifyPath(folder.m_strFolder).c_str(), kFolderEvents);
        if (folder.m_nWatch >= 0)
            due[folder.m_nWatch].m_bAll = true; // whatever happened while it was not watched
        else
            stillUnarmed = true;
    }
    m_bUnarmed = stillUnarmed;
    m_nextRearm = now + std::chrono::milliseconds(kRearmIntervalMs);
}

void CFileWatcher::CheckFolders(const std::map<int, FolderEvents>& due)
{
    for (const auto& [wd, events] : due)
    {
        std::set<std::string> folders;
        for (const FolderWatch& folder : m_folders)
            if (folder.m_nWatch == wd)
                folders.insert(folder.m_strFolder);
        if (folders.empty())
            continue; // a watch removed since the event was queued
        for (auto& [id, record] : m_mapWatches)
        {
            if (folders.find(record.m_strFolder) == folders.end())
                continue;
            if (record.m_bDirectory)
            {
                Post(record);
                continue;
            }
            if (!events.m_bAll && events.m_names.find(record.m_strName) == events.m_names.end())
                continue;
            platform::FileTime time = 0;
            // Unreadable (deleted, moved away): no notice, and the stored time stays so that the
            // file's return with a new time is reported.
            if (!ReadLastWriteTime(record.m_item.m_strPath, time) || time == record.m_item.m_ftLastWrite)
                continue;
            // Without a receiver the change stays unreported until one is there to be told.
            if (Post(record))
                record.m_item.m_ftLastWrite = time;
        }
    }
}

bool CFileWatcher::Post(const WatchRecord& record)
{
    const FILEWATCHITEM& item = record.m_item;
    const WindowId receiver = item.m_pDocument ? item.m_pDocument->GetFirstViewWindow() : item.m_window;
    if (receiver == kNoWindow)
        return false;
    m_queue.Post(receiver, WM_FILE_CHANGED, 0, 0, std::string(item.m_strPath));
    return true;
}

CWatchedFile::CWatchedFile(CFileWatcher& watcher, IFileWatchDocument* document)
    : m_watcher(watcher), m_pDocument(document)
{
    m_watcher.m_watchedFiles.insert(this);
}

CWatchedFile::~CWatchedFile()
{
    StopWatching();
    m_watcher.m_watchedFiles.erase(this);
}

bool CWatchedFile::StartWatching(const std::string& path)
{
    StopWatching();
    m_strPath = path;
    Watch();
    return m_nWatchId != 0;
}

void CWatchedFile::StopWatching()
{
    if (m_nWatchId == 0)
        return;
    const std::uint32_t id = m_nWatchId;
    m_nWatchId = 0;
    m_watcher.RemoveFileWatch(id);
}

void CWatchedFile::Watch()
{
    struct stat st
    {
    };
    if (!m_watcher.IsFileWatchEnabled() || m_strPath.empty() || ::stat(m_strPath.c_str(), &st) != 0)
        return;
    m_nWatchId = m_watcher.AddFileWatch(m_strPath, kNoWindow, m_pDocument);
}
