#include "watch/FileWatcher.h"

#include "app/GeneralOptions.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <thread>

using testsupport::RunProgram;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace
{

// Only bounds how long a failing test waits; nothing is asserted about how fast a notice comes.
constexpr auto kGenerousWait = std::chrono::seconds(60);

constexpr WindowId kSentinelWindow = 999;
constexpr std::int64_t kOldTime = 946684800; // 2000-01-01: far from any time a write gives

class FakeDocument : public IFileWatchDocument
{
public:
    explicit FakeDocument(WindowId view) : m_view(view) {}
    WindowId GetFirstViewWindow() const override { return m_view.load(); }
    std::atomic<WindowId> m_view;
};

void SetWriteTime(const std::string& path, std::int64_t seconds)
{
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// A file with an old write time, so that the first write to it surely gives a new one.
void MakeOldFile(const std::string& path, std::string_view content = "old text\n")
{
    WriteFile(path, content);
    SetWriteTime(path, kOldTime);
}

// Runs a shell command in another process with the path as $1.
void ChangeFromOutside(const std::string& command, const std::string& path)
{
    const auto run = RunProgram({"/bin/sh", "-c", command, "sh", path});
    ASSERT_EQ(run.m_nExitCode, 0) << command << ": " << run.m_strErr;
}

// Puts content with a given write time in place in one step (a single rename event).
void ReplaceWithTime(const std::string& path, std::string_view content, std::int64_t seconds)
{
    const std::string temp = path + ".new";
    WriteFile(temp, content);
    SetWriteTime(temp, seconds);
    ASSERT_EQ(::rename(temp.c_str(), path.c_str()), 0);
}

// Watches the kernel holds for this process's inotify instances, from /proc/self/fdinfo.
int KernelWatchCount()
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fdinfo"))
    {
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("inotify wd:", 0) == 0)
                ++count;
    }
    return count;
}

std::string PayloadText(const CPostedMessage& message)
{
    const auto* text = std::any_cast<std::string>(&message.m_payload);
    return text ? *text : std::string("<no text payload>");
}

class FileWatcherTest : public ::testing::Test
{
protected:
    // Takes posted messages until `done` holds; false when it never did.
    bool WaitUntil(const std::function<bool()>& done)
    {
        const auto limit = std::chrono::steady_clock::now() + kGenerousWait;
        while (!done())
        {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                limit - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            CPostedMessage message;
            if (m_queue.WaitAndTake(message, left))
                m_notices.push_back(std::move(message));
        }
        return true;
    }

    int Count(WindowId window, const std::string& path = {}) const
    {
        int count = 0;
        for (const CPostedMessage& m : m_notices)
            if (m.m_window == window && (path.empty() || PayloadText(m) == path))
                ++count;
        return count;
    }

    // Returns once every notice caused by what happened before the call has been posted and
    // taken: inotify gives events in order, so two changes of a sentinel file, each awaited,
    // come after everything earlier has been checked.
    void Barrier()
    {
        if (m_nSentinelId == 0)
        {
            ASSERT_EQ(::mkdir(m_sentinelDir.c_str(), 0700), 0);
            MakeOldFile(m_sentinel);
            m_nSentinelId = m_watcher.AddFileWatch(m_sentinel, kSentinelWindow, nullptr);
            ASSERT_NE(m_nSentinelId, 0u);
        }
        for (int round = 0; round < 2; ++round)
        {
            const int expected = ++m_nSentinelChanges;
            ReplaceWithTime(m_sentinel, "sentinel", 1'000'000'000 + expected);
            ASSERT_TRUE(WaitUntil([&] { return Count(kSentinelWindow) >= expected; }));
        }
    }

    TempDir m_dir;
    CMessageQueue m_queue;
    CFileWatcher m_watcher{m_queue};
    std::vector<CPostedMessage> m_notices;
    std::string m_sentinelDir = m_dir / "sentinel";
    std::string m_sentinel = m_sentinelDir + "/sentinel.txt";
    std::uint32_t m_nSentinelId = 0;
    int m_nSentinelChanges = 0;
};

struct WriterCase
{
    const char* m_pszName;
    const char* m_pszCommand; // $1 is the watched file
};

void PrintTo(const WriterCase& c, std::ostream* os)
{
    *os << c.m_pszName;
}

class OutsideWriterTest : public FileWatcherTest, public ::testing::WithParamInterface<WriterCase>
{
};

TEST_P(OutsideWriterTest, OneChangeGivesExactlyOneNoticeToTheFirstView)
{
    const std::string path = m_dir / "watched.txt";
    MakeOldFile(path);
    FakeDocument document(42);
    const std::uint32_t id = m_watcher.AddFileWatch(path, kNoWindow, &document);
    ASSERT_NE(id, 0u);

    ChangeFromOutside(GetParam().m_pszCommand, path);
    ASSERT_TRUE(WaitUntil([&] { return Count(42) >= 1; }));
    Barrier();
    EXPECT_EQ(Count(42, path), 1);
    EXPECT_EQ(Count(42), 1);
    const CPostedMessage& notice = m_notices.front();
    EXPECT_EQ(notice.m_nMessage, WM_FILE_CHANGED);
    EXPECT_EQ(notice.m_nMessage, 1445u);

    // The stored time moved on: a further change is one more notice, not a repeat of the first.
    ReplaceWithTime(path, "third", kOldTime + 5);
    ASSERT_TRUE(WaitUntil([&] { return Count(42) >= 2; }));
    Barrier();
    EXPECT_EQ(Count(42), 2);
}

const WriterCase kWriters[] = {
    {"append", "printf 'more\\n' >> \"$1\""},
    {"truncate_and_write", "printf 'new text\\n' > \"$1\""},
    {"many_small_writes",
     "for i in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do printf x; done > \"$1\""},
    {"touch", "touch \"$1\""},
    {"replace_by_rename", "printf 'saved\\n' > \"$1.tmp\" && mv \"$1.tmp\" \"$1\""},
    {"copy_keeping_times",
     "printf 'copy\\n' > \"$1.src\" && touch -d @1234567890 \"$1.src\" && cp -p \"$1.src\" \"$1\""},
};

INSTANTIATE_TEST_SUITE_P(Writers, OutsideWriterTest, ::testing::ValuesIn(kWriters),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

TEST_F(FileWatcherTest, TheNoticeOwnsItsPathWhenTheWatchIsGoneBeforeItIsRead)
{
    const std::string path = m_dir / "a.txt";
    MakeOldFile(path);
    const std::uint32_t id = m_watcher.AddFileWatch(path, 7, nullptr);
    ASSERT_NE(id, 0u);
    ChangeFromOutside("printf x >> \"$1\"", path);
    // Wait for the message without taking it, then drop the watch, then read the message.
    const auto limit = std::chrono::steady_clock::now() + kGenerousWait;
    while (m_queue.Size() == 0 && std::chrono::steady_clock::now() < limit)
        std::this_thread::yield();
    m_watcher.RemoveFileWatch(id);
    const auto messages = m_queue.TakeAll();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.front().m_window, 7u);
    EXPECT_EQ(PayloadText(messages.front()), path);
}

TEST_F(FileWatcherTest, UnchangedWriteTimeGivesNoNoticeEvenWhenTheContentOrSizeChanged)
{
    const std::string path = m_dir / "same.txt";
    MakeOldFile(path, "short");
    ASSERT_NE(m_watcher.AddFileWatch(path, 5, nullptr), 0u);
    ReplaceWithTime(path, "a longer content with the same write time", kOldTime);
    WriteFile(m_dir / "other.txt", "a file beside it grows");
    Barrier();
    EXPECT_EQ(Count(5), 0);
}

TEST_F(FileWatcherTest, DeletedFileGivesNoNoticeAndItsReturnWithANewTimeGivesOne)
{
    const std::string path = m_dir / "gone.txt";
    MakeOldFile(path);
    ASSERT_NE(m_watcher.AddFileWatch(path, 5, nullptr), 0u);
    ASSERT_EQ(::unlink(path.c_str()), 0);
    Barrier();
    EXPECT_EQ(Count(5), 0);

    ChangeFromOutside("printf 'back\\n' > \"$1\"", path);
    ASSERT_TRUE(WaitUntil([&] { return Count(5) >= 1; }));
    Barrier();
    EXPECT_EQ(Count(5, path), 1);
}

TEST_F(FileWatcherTest, FileRenamedAwayAndBackUnchangedGivesNoNotice)
{
    const std::string path = m_dir / "moved.txt";
    MakeOldFile(path);
    ASSERT_NE(m_watcher.AddFileWatch(path, 5, nullptr), 0u);
    ChangeFromOutside("mv \"$1\" \"$1.away\"", path);
    Barrier();
    ChangeFromOutside("mv \"$1.away\" \"$1\"", path);
    Barrier();
    EXPECT_EQ(Count(5), 0);

    // Still watched after coming back.
    ChangeFromOutside("printf x >> \"$1\"", path);
    ASSERT_TRUE(WaitUntil([&] { return Count(5) >= 1; }));
    Barrier();
    EXPECT_EQ(Count(5), 1);
}

TEST_F(FileWatcherTest, TwoDocumentsShareTheFolderWatchAndEachGetsItsNotice)
{
    const std::string a = m_dir / "a.txt";
    const std::string b = m_dir / "b.txt";
    MakeOldFile(a);
    MakeOldFile(b);
    FakeDocument first(11), second(12);
    const std::uint32_t idFirst = m_watcher.AddFileWatch(a, kNoWindow, &first);
    const std::uint32_t idSecond = m_watcher.AddFileWatch(a, kNoWindow, &second);
    const std::uint32_t idThird = m_watcher.AddFileWatch(b, kNoWindow, &second);
    ASSERT_NE(idFirst, 0u);
    ASSERT_NE(idSecond, 0u);
    ASSERT_NE(idThird, 0u);
    EXPECT_EQ(m_watcher.FolderCount(), 1u);

    ChangeFromOutside("printf x >> \"$1\"", a);
    ASSERT_TRUE(WaitUntil([&] { return Count(11) >= 1 && Count(12) >= 1; }));
    Barrier();
    EXPECT_EQ(Count(11, a), 1);
    EXPECT_EQ(Count(12, a), 1);
    EXPECT_EQ(Count(12, b), 0);

    // Removing one registration keeps the folder's watch for the others.
    m_watcher.RemoveFileWatch(idFirst);
    EXPECT_EQ(m_watcher.FolderCount(), 2u); // the folder, and the sentinel's
    ChangeFromOutside("printf x >> \"$1\"", b);
    ASSERT_TRUE(WaitUntil([&] { return Count(12, b) >= 1; }));
    Barrier();
    EXPECT_EQ(Count(12, b), 1);
    EXPECT_EQ(Count(11), 1);
}

TEST_F(FileWatcherTest, TwoSpellingsOfOneFolderAreTwoEntriesAndDroppingOneKeepsTheOther)
{
    const std::string a = m_dir / "a.txt";
    MakeOldFile(a);
    MakeOldFile(m_dir / "b.txt");
    const std::string otherSpelling = m_dir.Path() + "/./b.txt";
    ASSERT_NE(m_watcher.AddFileWatch(a, 1, nullptr), 0u);
    const std::uint32_t idOther = m_watcher.AddFileWatch(otherSpelling, 2, nullptr);
    ASSERT_NE(idOther, 0u);
    EXPECT_EQ(m_watcher.FolderCount(), 2u);
    EXPECT_EQ(KernelWatchCount(), 1);

    // Both texts name one folder, so the kernel gave them one watch: it must outlive this removal.
    m_watcher.RemoveFileWatch(idOther);
    EXPECT_EQ(m_watcher.FolderCount(), 1u);
    EXPECT_EQ(KernelWatchCount(), 1);
    ChangeFromOutside("printf x >> \"$1\"", a);
    ASSERT_TRUE(WaitUntil([&] { return Count(1, a) >= 1; }));
}

TEST_F(FileWatcherTest, WatchedDirectoryIsToldOfChangesInTheFolderPartOfItsPath)
{
    const std::string sub = m_dir / "sub";
    ASSERT_EQ(::mkdir(sub.c_str(), 0700), 0);
    ASSERT_NE(m_watcher.AddFileWatch(sub, 1, nullptr), 0u);       // folder: the parent
    ASSERT_NE(m_watcher.AddFileWatch(sub + "/", 2, nullptr), 0u); // folder: the directory itself

    ChangeFromOutside("printf x > \"$1/in-parent.txt\"", m_dir.Path());
    ASSERT_TRUE(WaitUntil([&] { return Count(1, sub) >= 1; }));
    Barrier();
    EXPECT_EQ(Count(2), 0);

    ChangeFromOutside("printf x > \"$1/in-sub.txt\"", sub);
    ASSERT_TRUE(WaitUntil([&] { return Count(2, sub + "/") >= 1; }));
}

class LostFolderTest : public FileWatcherTest, public ::testing::WithParamInterface<WriterCase>
{
};

TEST_P(LostFolderTest, TheFolderIsWatchedAgainWhenItComesBack)
{
    const std::string folder = m_dir / "project";
    const std::string path = folder + "/main.txt";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    MakeOldFile(path);
    ASSERT_NE(m_watcher.AddFileWatch(path, 3, nullptr), 0u);

    ChangeFromOutside(GetParam().m_pszCommand, folder);
    Barrier();
    EXPECT_EQ(Count(3), 0);
    EXPECT_EQ(m_watcher.WatchCount(), 2u); // the registration stays, waiting for the folder

    // The folder returns with the file in one step, then the file changes again.
    const std::string staged = m_dir / "staged";
    ASSERT_EQ(::mkdir(staged.c_str(), 0700), 0);
    WriteFile(staged + "/main.txt", "restored\n");
    SetWriteTime(staged + "/main.txt", kOldTime + 100);
    ASSERT_EQ(::rename(staged.c_str(), folder.c_str()), 0);
    ASSERT_TRUE(WaitUntil([&] { return Count(3, path) >= 1; }));
    Barrier();
    EXPECT_EQ(Count(3, path), 1);

    ChangeFromOutside("printf x >> \"$1\"", path);
    ASSERT_TRUE(WaitUntil([&] { return Count(3, path) >= 2; }));
    Barrier();
    EXPECT_EQ(Count(3, path), 2);
}

const WriterCase kFolderLosses[] = {
    {"deleted", "rm -rf \"$1\""},
    {"moved_away", "mv \"$1\" \"$1.old\""},
};

INSTANTIATE_TEST_SUITE_P(Losses, LostFolderTest, ::testing::ValuesIn(kFolderLosses),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

TEST_F(FileWatcherTest, AThousandFilesInOneFolderEachGetOneNotice)
{
    constexpr int kFiles = 1000;
    std::vector<std::string> argv = {"/bin/sh", "-c", "for f in \"$@\"; do printf x >> \"$f\"; done", "sh"};
    for (int i = 0; i < kFiles; ++i)
    {
        const std::string path = m_dir / ("file" + std::to_string(i) + ".txt");
        MakeOldFile(path);
        ASSERT_NE(m_watcher.AddFileWatch(path, 100 + static_cast<WindowId>(i), nullptr), 0u);
        argv.push_back(path);
    }
    EXPECT_EQ(m_watcher.FolderCount(), 1u);

    const auto run = RunProgram(argv);
    ASSERT_EQ(run.m_nExitCode, 0) << run.m_strErr;
    ASSERT_TRUE(WaitUntil([&] { return static_cast<int>(m_notices.size()) >= kFiles; }));
    Barrier();
    for (int i = 0; i < kFiles; ++i)
        ASSERT_EQ(Count(100 + static_cast<WindowId>(i), argv[4 + static_cast<std::size_t>(i)]), 1) << i;
}

TEST_F(FileWatcherTest, IdsCountUpAndTheWorkerLivesWhileSomethingIsWatched)
{
    const std::string a = m_dir / "a.txt";
    MakeOldFile(a);
    EXPECT_FALSE(m_watcher.IsRunning());
    EXPECT_EQ(m_watcher.AddFileWatch(a, 1, nullptr), 1u);
    EXPECT_TRUE(m_watcher.IsRunning());
    EXPECT_EQ(m_watcher.AddFileWatch(a, 1, nullptr), 2u);

    // Refused paths take no id.
    EXPECT_EQ(m_watcher.AddFileWatch(m_dir / "missing.txt", 1, nullptr), 0u);
    EXPECT_EQ(m_watcher.AddFileWatch("", 1, nullptr), 0u);
    const std::string fifo = m_dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(m_watcher.AddFileWatch(fifo, 1, nullptr), 0u);
    EXPECT_EQ(m_watcher.AddFileWatch(m_dir / "missing-folder/a.txt", 1, nullptr), 0u);

    m_watcher.RemoveFileWatch(77); // unknown: ignored
    m_watcher.RemoveFileWatch(1);
    EXPECT_TRUE(m_watcher.IsRunning());
    m_watcher.RemoveFileWatch(2);
    EXPECT_FALSE(m_watcher.IsRunning());
    EXPECT_EQ(m_watcher.FolderCount(), 0u);
    m_watcher.RemoveFileWatch(0);

    // A new worker, ids continuing, and it still reports.
    EXPECT_EQ(m_watcher.AddFileWatch(a, 9, nullptr), 3u);
    EXPECT_TRUE(m_watcher.IsRunning());
    ChangeFromOutside("printf x >> \"$1\"", a);
    ASSERT_TRUE(WaitUntil([&] { return Count(9, a) >= 1; }));
}

int NiceOfThread(int tid)
{
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Fields after the parenthesised name start with field 3 (state); nice is field 19.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 19 && fields >> field; ++i)
        if (i == 19)
            return std::stoi(field);
    return -100;
}

TEST_F(FileWatcherTest, TheWorkerRunsAtTheLowestPriority)
{
    const std::string a = m_dir / "a.txt";
    MakeOldFile(a);
    ASSERT_NE(m_watcher.AddFileWatch(a, 1, nullptr), 0u);
    // The thread id is published by the worker itself once it has lowered its priority.
    const auto limit = std::chrono::steady_clock::now() + kGenerousWait;
    while (m_watcher.WorkerThreadId() == 0 && std::chrono::steady_clock::now() < limit)
        std::this_thread::yield();
    ASSERT_NE(m_watcher.WorkerThreadId(), 0);
    EXPECT_EQ(NiceOfThread(m_watcher.WorkerThreadId()), 19);
}

TEST_F(FileWatcherTest, RemovingWatchesWhileFilesChangeIsSafe)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i)
    {
        paths.push_back(m_dir / ("f" + std::to_string(i)));
        MakeOldFile(paths.back());
    }
    std::thread writer(
        [&]
        {
            RunProgram({"/bin/sh", "-c",
                        "i=0; while [ $i -lt 200 ]; do for f in \"$@\"; do printf x >> \"$f\"; done; "
                        "i=$((i+1)); done",
                        "sh", paths[0], paths[1], paths[2], paths[3]});
        });
    for (int round = 0; round < 200; ++round)
    {
        std::vector<std::uint32_t> ids;
        for (const std::string& path : paths)
            ids.push_back(m_watcher.AddFileWatch(path, 1, nullptr));
        for (std::uint32_t id : ids)
            m_watcher.RemoveFileWatch(id);
    }
    writer.join();
    EXPECT_FALSE(m_watcher.IsRunning());
    EXPECT_EQ(m_watcher.WatchCount(), 0u);
    EXPECT_EQ(m_watcher.FolderCount(), 0u);
}

TEST_F(FileWatcherTest, DocumentsWatchOnlyWhileFileWatchIsOnAndFollowItsSwitch)
{
    const std::string path = m_dir / "doc.txt";
    MakeOldFile(path);
    FakeDocument document(21);

    // "FileWatch" off in the stored settings.
    TempDir registryDir;
    platform::Registry registry(registryDir.Path());
    platform::Profile profile(registry);
    ASSERT_TRUE(profile.WriteProfileInt(CGeneralOptions::kFileComparisonSection, "FileWatch", 0));
    CGeneralOptions options;
    ASSERT_TRUE(options.LoadFromRegistry(profile));
    m_watcher.SetFileWatchEnabled(options.m_bFileWatch);

    CWatchedFile side(m_watcher, &document);
    EXPECT_FALSE(side.StartWatching(path));
    EXPECT_EQ(side.GetWatchId(), 0u);
    EXPECT_EQ(m_watcher.WatchCount(), 0u);

    m_watcher.SetFileWatchEnabled(true);
    EXPECT_NE(side.GetWatchId(), 0u);
    ChangeFromOutside("printf x >> \"$1\"", path);
    ASSERT_TRUE(WaitUntil([&] { return Count(21, path) >= 1; }));

    m_watcher.SetFileWatchEnabled(false);
    EXPECT_EQ(side.GetWatchId(), 0u);
    EXPECT_EQ(m_watcher.WatchCount(), 0u);
    EXPECT_FALSE(m_watcher.IsRunning());

    // A path that does not exist is not watched, even with the switch on.
    m_watcher.SetFileWatchEnabled(true);
    CWatchedFile missing(m_watcher, &document);
    EXPECT_FALSE(missing.StartWatching(m_dir / "missing.txt"));
    EXPECT_EQ(missing.GetWatchId(), 0u);
}

TEST_F(FileWatcherTest, TheDocumentsOwnSaveGivesNoNotice)
{
    const std::string path = m_dir / "doc.txt";
    MakeOldFile(path);
    FakeDocument document(31);
    CWatchedFile side(m_watcher, &document);
    ASSERT_TRUE(side.StartWatching(path));
    // Another document keeps the folder watched, so the save's own events do arrive.
    MakeOldFile(m_dir / "other.txt");
    CWatchedFile other(m_watcher, &document);
    ASSERT_TRUE(other.StartWatching(m_dir / "other.txt"));

    side.StopWatching();
    WriteFile(path, "saved by the program\n");
    ASSERT_TRUE(side.StartWatching(path));
    Barrier();
    EXPECT_EQ(Count(31), 0);

    ChangeFromOutside("printf x >> \"$1\"", path);
    ASSERT_TRUE(WaitUntil([&] { return Count(31, path) >= 1; }));
    Barrier();
    EXPECT_EQ(Count(31), 1);
}

} // namespace
