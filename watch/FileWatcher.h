#pragma once

#include "app/framework/MessageQueue.h"
#include "platform/FileTime.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// What the change monitor needs of a document: the window of its first view, the receiver of
// the document's notices. It is asked on the monitor's worker thread, under the monitor's lock,
// so it must answer without waiting for the user-interface thread (the framework keeps the value
// current as views attach and detach). 0 when the document has no view.
class IFileWatchDocument
{
public:
    virtual ~IFileWatchDocument() = default;
    virtual WindowId GetFirstViewWindow() const = 0;
};

class CWatchedFile;

// One registration.
struct FILEWATCHITEM
{
    std::string m_strPath;                      // as the caller gave it; every notice carries a copy
    platform::FileTime m_ftLastWrite = 0;       // at registration or at the last notice; 0 for a directory
    WindowId m_window = 0;                      // receiver when no document is given
    IFileWatchDocument* m_pDocument = nullptr;  // when given, its first view receives the notices
};

// The change monitor: watches the files that open documents show and posts WM_FILE_CHANGED to
// their receivers when somebody else writes one. It watches folders, not files: one inotify
// watch per distinct folder text (not recursive), shared by every registration in it; when the
// folder reports something, the last-write time of each affected watched file is compared with
// the stored one and a notice is posted for each new time. One worker thread, at the lowest
// priority, runs from the first registration until the table is empty again.
//
// AddFileWatch and RemoveFileWatch are called from the user-interface thread only.
class CFileWatcher
{
public:
    explicit CFileWatcher(CMessageQueue& queue);
    ~CFileWatcher(); // stops the worker and drops every registration
    CFileWatcher(const CFileWatcher&) = delete;
    CFileWatcher& operator=(const CFileWatcher&) = delete;

    // The one monitor of the running program, posting to CMessageQueue::Process().
    static CFileWatcher& Process();

    // The new watch id, or 0 when nothing was registered: the path is neither a directory nor a
    // regular file whose last-write time can be read, or its folder cannot be watched.
    std::uint32_t AddFileWatch(const std::string& path, WindowId window, IFileWatchDocument* document);
    // Unknown ids are ignored. When the table becomes empty the worker is stopped.
    void RemoveFileWatch(std::uint32_t id);

    // "FileWatch": whether documents watch their files at all (see CWatchedFile). Switching it
    // applies at once to every CWatchedFile of this monitor.
    bool IsFileWatchEnabled() const { return m_bFileWatch; }
    void SetFileWatchEnabled(bool enabled);

    // State for the application's diagnostics and for tests.
    bool IsRunning() const;
    std::size_t WatchCount() const;
    std::size_t FolderCount() const;
    // Thread id of the worker, 0 when none runs.
    int WorkerThreadId() const { return m_nWorkerTid.load(); }

    // The folder part of a path, with its trailing separator ("/work/a.txt" -> "/work/");
    // "" when the path has no separator.
    static std::string FolderOfPath(const std::string& path);

    // How long a file that is being written (modified, not yet closed) may stay unchecked: the
    // check normally waits for the writer to close the file, so that one save gives one notice,
    // but a writer that keeps the file open is still reported.
    static constexpr int kWriteSettleMs = 500;
    // How often a folder whose watch was lost (the folder deleted or moved away) is tried again.
    static constexpr int kRearmIntervalMs = 1000;

private:
    friend class CWatchedFile;

    struct WatchRecord
    {
        FILEWATCHITEM m_item;
        std::string m_strFolder;
        std::string m_strName; // last element; "" when the path ends with a separator
        bool m_bDirectory = false;
    };

    // One entry per distinct folder text. Two texts can name one folder ("/a/" and "/a/./"): the
    // kernel then gives both the same watch descriptor, which is removed only with the last of them.
    struct FolderWatch
    {
        std::string m_strFolder;
        int m_nWatch; // inotify watch descriptor; -1 while the folder cannot be watched
    };

    // What the worker learnt from one batch of events, per watch descriptor.
    struct FolderEvents
    {
        bool m_bAll = false; // every record of the folder is to be checked
        std::set<std::string> m_names;
    };

    void StartWorker();
    void StopWorker();
    void WorkerMain();
    void Wake();
    bool ReadEvents(std::map<int, FolderEvents>& due);
    void ProcessDueWrites(std::map<int, FolderEvents>& due);
    void CheckFolders(const std::map<int, FolderEvents>& due);
    void Rearm(std::map<int, FolderEvents>& due);
    int PollTimeoutMs() const;
    void ForgetWatchDescriptor(int wd);
    bool ReleaseFolder(const std::string& folder);
    bool Post(const WatchRecord& record);
    static bool ReadLastWriteTime(const std::string& path, platform::FileTime& time);

    CMessageQueue& m_queue;
    int m_nInotify = -1;
    int m_nWakeEvent = -1;

    mutable std::mutex m_mutex; // guards the table, the folder list, the stop flag and m_bUnarmed
    std::map<std::uint32_t, WatchRecord> m_mapWatches;
    std::vector<FolderWatch> m_folders;
    bool m_bStop = false;
    bool m_bUnarmed = false; // some folder has lost its watch
    std::uint32_t m_nNextId = 1;

    std::thread m_worker;
    std::atomic<int> m_nWorkerTid{0};

    // Worker only: names modified and not yet closed, with the time their check is due.
    std::map<int, std::map<std::string, std::chrono::steady_clock::time_point>> m_pendingWrites;
    std::chrono::steady_clock::time_point m_nextRearm;

    bool m_bFileWatch = true;
    std::set<CWatchedFile*> m_watchedFiles;
};

// One watched path of a document (a comparison side, an editor's file), keeping the document's
// side of the contract: it watches only while "FileWatch" is on and the path exists, keeps the id
// (0 when not watching), and follows the switch of "FileWatch". A document stops it before it
// writes the file itself and starts it again afterwards, so that its own saves give no notice.
class CWatchedFile
{
public:
    CWatchedFile(CFileWatcher& watcher, IFileWatchDocument* document);
    ~CWatchedFile(); // stops watching
    CWatchedFile(const CWatchedFile&) = delete;
    CWatchedFile& operator=(const CWatchedFile&) = delete;

    // Remembers the path and watches it when "FileWatch" is on and it exists (any earlier watch
    // stops first). True when it is watched now.
    bool StartWatching(const std::string& path);
    // Ends the watch (the path is kept, so switching "FileWatch" on starts it again).
    void StopWatching();

    std::uint32_t GetWatchId() const { return m_nWatchId; }
    const std::string& GetPath() const { return m_strPath; }

private:
    friend class CFileWatcher;
    void Watch();

    CFileWatcher& m_watcher;
    IFileWatchDocument* m_pDocument;
    std::string m_strPath;
    std::uint32_t m_nWatchId = 0;
};
