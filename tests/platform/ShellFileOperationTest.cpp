#include "platform/ShellFileOperation.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

void PrintTo(const FileOperationError& error, std::ostream* os)
{
    *os << "{" << error.m_strPath << ", errno " << error.m_nError << ", \"" << error.m_strMessage << "\"}";
}

} // namespace platform

using namespace platform;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

bool Exists(const std::string& path)
{
    struct stat st{};
    return lstat(path.c_str(), &st) == 0;
}

struct stat Lstat(const std::string& path)
{
    struct stat st{};
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st;
}

void MakeFolder(const std::string& path, mode_t mode = 0755)
{
    ASSERT_EQ(mkdir(path.c_str(), mode), 0) << path;
}

void SetTimes(const std::string& path, time_t atime, time_t mtime, long nsec)
{
    const struct timespec times[2] = {{atime, nsec}, {mtime, nsec}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str()))
    {
        while (const dirent* entry = readdir(dir))
            if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
                names.emplace_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Messages(const FileOperationResult& result)
{
    std::string text;
    for (const FileOperationError& e : result.m_errors)
        text += e.m_strMessage + "\n";
    return text;
}

// Answers every confirmation with one scripted answer and records what it was asked.
class ScriptedObserver : public FileOperationObserver
{
public:
    explicit ScriptedObserver(OverwriteAnswer answer) : m_answer(answer) {}
    OverwriteAnswer ConfirmOverwrite(const std::string&, const std::string& destination) override
    {
        m_asked.push_back(destination);
        return m_answer;
    }
    OverwriteAnswer m_answer;
    std::vector<std::string> m_asked;
};

TEST(ShellFileOperationTest, CopyOfATreeKeepsContentTimesModesAndLinks)
{
    TempDir dir;
    MakeFolder(dir / "outside");
    MakeFolder(dir / "src");
    MakeFolder(dir / "src/sub");
    MakeFolder(dir / "src/locked");
    WriteFile(dir / "src/a.txt", "alpha");
    const std::string odd = "caf\xE9\xFF name";
    WriteFile(dir / "src/sub" + ("/" + odd), std::string((3 << 20) + 7, 'z'));
    WriteFile(dir / "src/locked/inside", "in a read-only folder");
    ASSERT_EQ(chmod((dir / "src/a.txt").c_str(), 0640), 0);
    ASSERT_EQ(symlink("../a.txt", (dir / "src/sub/link").c_str()), 0);
    ASSERT_EQ(symlink((dir / "outside").c_str(), (dir / "src/out").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (dir / "src/dangling").c_str()), 0);
    SetTimes(dir / "src/a.txt", 1000000000, 1200000000, 500);
    SetTimes(dir / "src/sub/link", 1100000000, 1100000001, 0);
    SetTimes(dir / "src/sub", 1300000000, 1300000002, 7);
    ASSERT_EQ(chmod((dir / "src/sub").c_str(), 0750), 0);
    ASSERT_EQ(chmod((dir / "src/locked").c_str(), 0555), 0);

    const FileOperationResult result = ShellFileOperation(FileOperationKind::Copy, dir / "src", dir / "dst", 0);
    ASSERT_TRUE(result.Succeeded()) << Messages(result);
    EXPECT_TRUE(result.m_errors.empty());

    // Times first: reading the copy moves its access time.
    struct stat st = Lstat(dir / "dst/src/a.txt");
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_atim.tv_sec, 1000000000);
    EXPECT_EQ(st.st_mtim.tv_sec, 1200000000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 500);
    EXPECT_EQ(ReadFile(dir / "dst/src/a.txt"), "alpha");
    EXPECT_EQ(ReadFile(dir / "dst/src/sub" + ("/" + odd)), std::string((3 << 20) + 7, 'z'));
    EXPECT_EQ(ReadFile(dir / "dst/src/locked/inside"), "in a read-only folder");
    // A folder gets its mode and times after its contents are in.
    st = Lstat(dir / "dst/src/sub");
    EXPECT_EQ(st.st_mode & 07777, 0750u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1300000002);
    EXPECT_EQ(st.st_mtim.tv_nsec, 7);
    EXPECT_EQ(Lstat(dir / "dst/src/locked").st_mode & 07777, 0555u);

    // Links stay links, with their own times, and are never followed out of the tree.
    const struct { const char* m_pszPath; const std::string m_strTarget; } links[] = {
        {"dst/src/sub/link", "../a.txt"},
        {"dst/src/out", dir / "outside"},
        {"dst/src/dangling", "nowhere"},
    };
    for (const auto& link : links)
    {
        st = Lstat(dir / link.m_pszPath);
        ASSERT_TRUE(S_ISLNK(st.st_mode)) << link.m_pszPath;
        char target[4096] = {};
        ASSERT_GT(readlink((dir / link.m_pszPath).c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(target, link.m_strTarget);
    }
    EXPECT_EQ(Lstat(dir / "dst/src/sub/link").st_mtim.tv_sec, 1100000001);
    EXPECT_TRUE(Names(dir / "outside").empty());
    // The source is untouched, and nothing temporary is left in the copy.
    EXPECT_EQ(ReadFile(dir / "src/a.txt"), "alpha");
    EXPECT_EQ(Names(dir / "dst/src"), Names(dir / "src"));
    EXPECT_EQ(Names(dir / "dst/src/sub"), Names(dir / "src/sub"));
}

struct OverwriteCase
{
    const char* m_pszName;
    std::uint32_t m_dwFlags;
    bool m_bObserver;
    OverwriteAnswer m_answer;
    std::size_t m_nAsked;       // confirmations asked for the two conflicting files
    bool m_bReplaced;           // both conflicting files replaced (else both kept)
    bool m_bSucceeded;
    std::size_t m_nErrors;
};

// A folder merged into an existing copy of itself: "a" and "b" exist on both sides, "c" only in the
// source.
TEST(ShellFileOperationTest, AnExistingDestinationIsReplacedOnlyWhenAllowed)
{
    const OverwriteCase cases[] = {
        {"NoObserverNoFlag", 0, false, OverwriteAnswer::Yes, 0, false, false, 2},
        {"NoConfirmationFlag", FOF_NOCONFIRMATION, true, OverwriteAnswer::Cancel, 0, true, true, 0},
        {"Yes", 0, true, OverwriteAnswer::Yes, 2, true, true, 0},
        {"YesToAll", 0, true, OverwriteAnswer::YesToAll, 1, true, true, 0},
        {"No", 0, true, OverwriteAnswer::No, 2, false, true, 0},
        {"Cancel", 0, true, OverwriteAnswer::Cancel, 1, false, false, 0},
    };
    for (const OverwriteCase& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        TempDir dir;
        MakeFolder(dir / "src");
        MakeFolder(dir / "to");
        MakeFolder(dir / "to/src");
        for (const char* name : {"a", "b", "c"})
            WriteFile(dir / "src" + ("/" + std::string(name)), std::string("new ") + name);
        for (const char* name : {"a", "b"})
            WriteFile(dir / "to/src" + ("/" + std::string(name)), std::string("old ") + name);
        ScriptedObserver observer(c.m_answer);
        const FileOperationResult result = ShellFileOperation(FileOperationKind::Copy, dir / "src", dir / "to",
                                                              c.m_dwFlags, c.m_bObserver ? &observer : nullptr);
        EXPECT_EQ(observer.m_asked.size(), c.m_nAsked);
        for (const char* name : {"a", "b"})
            EXPECT_EQ(ReadFile(dir / "to/src" + ("/" + std::string(name))),
                      std::string(c.m_bReplaced ? "new " : "old ") + name);
        if (c.m_answer != OverwriteAnswer::Cancel || !c.m_bObserver || c.m_dwFlags != 0)
        {
            EXPECT_EQ(ReadFile(dir / "to/src/c"), "new c");
        }
        EXPECT_EQ(result.Succeeded(), c.m_bSucceeded) << Messages(result);
        EXPECT_EQ(result.m_errors.size(), c.m_nErrors) << Messages(result);
        for (const FileOperationError& e : result.m_errors)
        {
            EXPECT_EQ(e.m_nError, EEXIST);
            EXPECT_TRUE(e.m_strPath == dir / "to/src/a" || e.m_strPath == dir / "to/src/b") << e.m_strPath;
        }
        EXPECT_EQ(result.m_bAborted, c.m_bObserver && c.m_dwFlags == 0 && c.m_answer == OverwriteAnswer::Cancel);
        // No temporary file is left behind.
        for (const std::string& name : Names(dir / "to/src"))
            EXPECT_TRUE(name == "a" || name == "b" || name == "c") << name;
    }
}

TEST(ShellFileOperationTest, AFailedCopyKeepsTheFileItWouldHaveReplaced)
{
    // Reading the start of a process's memory fails with EIO: a source that breaks mid-copy.
    TempDir dir;
    WriteFile(dir / "mem", "the old file");
    const FileOperationResult result =
        ShellFileOperation(FileOperationKind::Copy, "/proc/self/mem", dir.Path(), FOF_NOCONFIRMATION);
    EXPECT_FALSE(result.Succeeded());
    ASSERT_EQ(result.m_errors.size(), 1u);
    EXPECT_EQ(result.m_errors[0].m_nError, EIO);
    EXPECT_EQ(result.m_errors[0].m_strMessage,
              "Cannot copy /proc/self/mem to " + dir / "mem" + ": " + std::strerror(EIO));
    EXPECT_EQ(ReadFile(dir / "mem"), "the old file");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"mem"});
}

TEST(ShellFileOperationTest, CopyOrMoveIntoItselfIsRefusedAndChangesNothing)
{
    const struct { const char* m_pszName; FileOperationKind m_kind; const char* m_pszTo; } cases[] = {
        {"CopyIntoOwnSubfolder", FileOperationKind::Copy, "a/b"},
        {"CopyIntoItself", FileOperationKind::Copy, "a"},
        {"CopyBelowAFolderStillToBeMade", FileOperationKind::Copy, "a/b/new/deeper"},
        {"MoveIntoOwnSubfolder", FileOperationKind::Move, "a/b"},
        {"MoveBelowAFolderStillToBeMade", FileOperationKind::Move, "a/new"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        TempDir dir;
        MakeFolder(dir / "a");
        MakeFolder(dir / "a/b");
        WriteFile(dir / "a/f", "x");
        const FileOperationResult result = ShellFileOperation(c.m_kind, dir / "a", dir / c.m_pszTo, 0);
        EXPECT_FALSE(result.Succeeded());
        ASSERT_EQ(result.m_errors.size(), 1u);
        EXPECT_EQ(result.m_errors[0].m_nError, EINVAL);
        EXPECT_EQ(Names(dir / "a"), (std::vector<std::string>{"b", "f"}));
        EXPECT_TRUE(Names(dir / "a/b").empty());
    }

    // A file copied into its own folder would be its own destination.
    TempDir dir;
    WriteFile(dir / "f", "content");
    const FileOperationResult result =
        ShellFileOperation(FileOperationKind::Copy, dir / "f", dir.Path(), FOF_NOCONFIRMATION);
    EXPECT_FALSE(result.Succeeded());
    EXPECT_EQ(ReadFile(dir / "f"), "content");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"f"});
}

TEST(ShellFileOperationTest, PerItemErrorsDoNotStopTheRest)
{
    TempDir dir;
    MakeFolder(dir / "src");
    WriteFile(dir / "src/one", "1");
    WriteFile(dir / "src/two", "2");
    WriteFile(dir / "src/clash", "a file");
    ASSERT_EQ(mkfifo((dir / "src/pipe").c_str(), 0600), 0); // not a file that can be copied
    MakeFolder(dir / "dst");
    MakeFolder(dir / "dst/src");
    MakeFolder(dir / "dst/src/clash"); // a folder stands where a file goes
    const FileOperationResult result =
        ShellFileOperation(FileOperationKind::Copy, dir / "src", dir / "dst", FOF_NOCONFIRMATION);
    EXPECT_FALSE(result.Succeeded());
    ASSERT_EQ(result.m_errors.size(), 2u) << Messages(result);
    std::vector<std::string> paths{result.m_errors[0].m_strPath, result.m_errors[1].m_strPath};
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{dir / "dst/src/clash", dir / "src/pipe"}));
    for (const FileOperationError& e : result.m_errors)
        EXPECT_NE(e.m_strMessage.find(e.m_strPath), std::string::npos) << e.m_strMessage;
    EXPECT_EQ(ReadFile(dir / "dst/src/one"), "1");
    EXPECT_EQ(ReadFile(dir / "dst/src/two"), "2");

    // A destination below a regular file cannot be made.
    WriteFile(dir / "plain", "x");
    const FileOperationResult blocked =
        ShellFileOperation(FileOperationKind::Copy, dir / "src/one", dir / "plain/sub", FOF_NOCONFIRMATION);
    EXPECT_FALSE(blocked.Succeeded());
    ASSERT_EQ(blocked.m_errors.size(), 1u);
    EXPECT_EQ(blocked.m_errors[0].m_nError, ENOTDIR);
    EXPECT_EQ(blocked.m_errors[0].m_strMessage,
              "Cannot copy " + dir / "src/one" + " to " + dir / "plain/sub: " + std::strerror(ENOTDIR));
    EXPECT_EQ(ReadFile(dir / "plain"), "x");
}

TEST(ShellFileOperationTest, AnUnreadableFolderIsAnErrorOfItsOwn)
{
    TempDir dir;
    MakeFolder(dir / "src");
    MakeFolder(dir / "src/closed");
    WriteFile(dir / "src/closed/secret", "s");
    WriteFile(dir / "src/open", "o");
    ASSERT_EQ(chmod((dir / "src/closed").c_str(), 0), 0);
    const FileOperationResult result = ShellFileOperation(FileOperationKind::Copy, dir / "src", dir / "dst", 0);
    EXPECT_EQ(ReadFile(dir / "dst/src/open"), "o");
    if (testsupport::RunningAsRoot())
    {
        // Root reads the folder regardless of its mode; the copy keeps the mode.
        EXPECT_TRUE(result.Succeeded()) << Messages(result);
        EXPECT_EQ(Lstat(dir / "dst/src/closed").st_mode & 07777, 0u);
    }
    else
    {
        EXPECT_FALSE(result.Succeeded());
        ASSERT_EQ(result.m_errors.size(), 1u) << Messages(result);
        EXPECT_EQ(result.m_errors[0].m_strPath, dir / "src/closed");
        EXPECT_EQ(result.m_errors[0].m_nError, EACCES);
    }
    chmod((dir / "src/closed").c_str(), 0700);
}

TEST(ShellFileOperationTest, MoveWithinAFileSystemRenames)
{
    TempDir dir;
    MakeFolder(dir / "tree");
    WriteFile(dir / "tree/f", "x");
    MakeFolder(dir / "to");
    const ino_t inode = Lstat(dir / "tree").st_ino;
    const FileOperationResult result = ShellFileOperation(FileOperationKind::Move, dir / "tree", dir / "to", 0);
    EXPECT_TRUE(result.Succeeded()) << Messages(result);
    EXPECT_EQ(Lstat(dir / "to/tree").st_ino, inode);
    EXPECT_EQ(ReadFile(dir / "to/tree/f"), "x");
    EXPECT_FALSE(Exists(dir / "tree"));
}

TEST(ShellFileOperationTest, MoveOntoAnExistingEntry)
{
    const struct
    {
        const char* m_pszName;
        bool m_bSourceIsFolder;
        bool m_bTargetIsFolder;
        OverwriteAnswer m_answer;
        bool m_bMoved;
        bool m_bSucceeded;
    } cases[] = {
        {"FileOntoFileYes", false, false, OverwriteAnswer::Yes, true, true},
        {"FileOntoFileNo", false, false, OverwriteAnswer::No, false, true},
        {"FolderOntoFileYes", true, false, OverwriteAnswer::Yes, true, true},
        {"FolderOntoFileNo", true, false, OverwriteAnswer::No, false, true},
        {"FileOntoFolder", false, true, OverwriteAnswer::Yes, false, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        TempDir dir;
        MakeFolder(dir / "to");
        if (c.m_bSourceIsFolder)
        {
            MakeFolder(dir / "x");
            WriteFile(dir / "x/inner", "new");
        }
        else
            WriteFile(dir / "x", "new");
        if (c.m_bTargetIsFolder)
            MakeFolder(dir / "to/x");
        else
            WriteFile(dir / "to/x", "old");
        ScriptedObserver observer(c.m_answer);
        const FileOperationResult result = ShellFileOperation(FileOperationKind::Move, dir / "x", dir / "to", 0, &observer);
        EXPECT_EQ(result.Succeeded(), c.m_bSucceeded) << Messages(result);
        EXPECT_EQ(observer.m_asked.size(), c.m_bTargetIsFolder ? 0u : 1u);
        EXPECT_EQ(Exists(dir / "x"), !c.m_bMoved);
        const std::string moved = dir / (c.m_bSourceIsFolder ? "to/x/inner" : "to/x");
        if (c.m_bMoved)
        {
            EXPECT_EQ(ReadFile(moved), "new");
        }
        else if (!c.m_bTargetIsFolder)
        {
            EXPECT_EQ(ReadFile(dir / "to/x"), "old");
        }
    }

    // Without an observer nothing is replaced, and saying so is an error.
    TempDir dir;
    MakeFolder(dir / "x");
    MakeFolder(dir / "to");
    WriteFile(dir / "to/x", "old");
    const FileOperationResult result = ShellFileOperation(FileOperationKind::Move, dir / "x", dir / "to", 0);
    EXPECT_FALSE(result.Succeeded());
    EXPECT_EQ(ReadFile(dir / "to/x"), "old");
    EXPECT_TRUE(Exists(dir / "x"));
}

TEST(ShellFileOperationTest, MovingAFolderIntoItsNamesakeMergesAndKeepsWhatWasNotMoved)
{
    TempDir dir;
    MakeFolder(dir / "m");
    WriteFile(dir / "m/same", "new");
    WriteFile(dir / "m/only", "only");
    MakeFolder(dir / "to");
    MakeFolder(dir / "to/m");
    WriteFile(dir / "to/m/same", "old");
    WriteFile(dir / "to/m/theirs", "theirs");

    ScriptedObserver no(OverwriteAnswer::No);
    FileOperationResult result = ShellFileOperation(FileOperationKind::Move, dir / "m", dir / "to", 0, &no);
    EXPECT_TRUE(result.Succeeded()) << Messages(result);
    EXPECT_EQ(ReadFile(dir / "to/m/same"), "old");
    EXPECT_EQ(ReadFile(dir / "to/m/only"), "only");
    // "same" was not moved, so the source stays.
    EXPECT_EQ(ReadFile(dir / "m/same"), "new");

    ScriptedObserver yes(OverwriteAnswer::Yes);
    result = ShellFileOperation(FileOperationKind::Move, dir / "m", dir / "to", 0, &yes);
    EXPECT_TRUE(result.Succeeded()) << Messages(result);
    EXPECT_EQ(ReadFile(dir / "to/m/same"), "new");
    EXPECT_EQ(ReadFile(dir / "to/m/theirs"), "theirs");
    EXPECT_FALSE(Exists(dir / "m"));
}

class CrossDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        struct stat tmp{};
        struct stat shm{};
        if (stat("/dev/shm", &shm) != 0 || stat(m_dir.Path().c_str(), &tmp) != 0 || shm.st_dev == tmp.st_dev)
            GTEST_SKIP() << "/dev/shm is not a second file system here";
        char pattern[] = "/dev/shm/quorvane-move-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_strOther = pattern;
    }
    void TearDown() override
    {
        if (!m_strOther.empty())
            ShellFileOperation(FileOperationKind::Delete, m_strOther, "", 0);
    }

    TempDir m_dir;
    std::string m_strOther;
};

TEST_F(CrossDeviceTest, MoveCopiesThenDeletes)
{
    const std::string odd = "t\xFE";
    MakeFolder(m_dir / odd);
    WriteFile(m_dir / odd + "/f", "data");
    ASSERT_EQ(symlink("f", (m_dir / odd + "/l").c_str()), 0);
    SetTimes(m_dir / odd + "/f", 1000000000, 1000000001, 3);
    const FileOperationResult result = ShellFileOperation(FileOperationKind::Move, m_dir / odd, m_strOther, 0);
    EXPECT_TRUE(result.Succeeded()) << Messages(result);
    EXPECT_EQ(ReadFile(m_strOther + "/" + odd + "/f"), "data");
    EXPECT_EQ(Lstat(m_strOther + "/" + odd + "/f").st_mtim.tv_sec, 1000000001);
    EXPECT_TRUE(S_ISLNK(Lstat(m_strOther + "/" + odd + "/l").st_mode));
    EXPECT_FALSE(Exists(m_dir / odd));

    // A file onto an existing one: asked once, replaced.
    WriteFile(m_dir / "g", "new");
    WriteFile(m_strOther + "/g", "old");
    ScriptedObserver yes(OverwriteAnswer::Yes);
    EXPECT_TRUE(ShellFileOperation(FileOperationKind::Move, m_dir / "g", m_strOther, 0, &yes).Succeeded());
    EXPECT_EQ(yes.m_asked.size(), 1u);
    EXPECT_EQ(ReadFile(m_strOther + "/g"), "new");
    EXPECT_FALSE(Exists(m_dir / "g"));
}

TEST_F(CrossDeviceTest, ASourceThatDidNotFullyArriveIsKept)
{
    MakeFolder(m_dir / "t");
    WriteFile(m_dir / "t/f", "data");
    ASSERT_EQ(mkfifo((m_dir / "t/pipe").c_str(), 0600), 0);
    const FileOperationResult result = ShellFileOperation(FileOperationKind::Move, m_dir / "t", m_strOther, 0);
    EXPECT_FALSE(result.Succeeded());
    ASSERT_EQ(result.m_errors.size(), 1u) << Messages(result);
    EXPECT_EQ(result.m_errors[0].m_strPath, m_dir / "t/pipe");
    EXPECT_EQ(ReadFile(m_dir / "t/f"), "data");
    EXPECT_TRUE(Exists(m_dir / "t/pipe"));
}

TEST(ShellFileOperationTest, RenameOntoAnExistingNameNeedsConsent)
{
    const struct
    {
        const char* m_pszName;
        std::uint32_t m_dwFlags;
        bool m_bObserver;
        OverwriteAnswer m_answer;
        bool m_bRenamed;
    } cases[] = {
        {"NoObserver", 0, false, OverwriteAnswer::Yes, false},
        {"No", 0, true, OverwriteAnswer::No, false},
        {"Cancel", 0, true, OverwriteAnswer::Cancel, false},
        {"Yes", 0, true, OverwriteAnswer::Yes, true},
        {"NoConfirmation", FOF_NOCONFIRMATION, false, OverwriteAnswer::No, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        TempDir dir;
        WriteFile(dir / "from", "mine");
        WriteFile(dir / "other", "keep");
        ScriptedObserver observer(c.m_answer);
        const FileOperationResult result = ShellFileOperation(FileOperationKind::Rename, dir / "from", dir / "other",
                                                              c.m_dwFlags, c.m_bObserver ? &observer : nullptr);
        EXPECT_EQ(result.Succeeded(), c.m_bRenamed) << Messages(result);
        EXPECT_EQ(ReadFile(dir / "other"), c.m_bRenamed ? "mine" : "keep");
        EXPECT_EQ(Exists(dir / "from"), !c.m_bRenamed);
        if (!c.m_bRenamed && c.m_answer != OverwriteAnswer::Cancel)
        {
            ASSERT_EQ(result.m_errors.size(), 1u);
            EXPECT_EQ(result.m_errors[0].m_nError, EEXIST);
        }
    }

    // An existing folder is never replaced by a rename, and a free name is simply taken.
    TempDir dir;
    WriteFile(dir / "f", "x");
    MakeFolder(dir / "folder");
    EXPECT_FALSE(ShellFileOperation(FileOperationKind::Rename, dir / "f", dir / "folder", FOF_NOCONFIRMATION).Succeeded());
    EXPECT_EQ(ReadFile(dir / "f"), "x");
    const std::string odd = dir / "r\x80\xC3";
    EXPECT_TRUE(ShellFileOperation(FileOperationKind::Rename, dir / "f", odd, 0).Succeeded());
    EXPECT_EQ(ReadFile(odd), "x");
    EXPECT_TRUE(ShellFileOperation(FileOperationKind::Rename, odd, odd, 0).Succeeded());
    EXPECT_EQ(ReadFile(odd), "x");
}

TEST(ShellFileOperationTest, DeleteRemovesATreeButNotWhatItsLinksPointTo)
{
    TempDir dir;
    MakeFolder(dir / "keep");
    WriteFile(dir / "keep/precious", "p");
    MakeFolder(dir / "t");
    MakeFolder(dir / "t/u");
    WriteFile(dir / "t/u/f\xFF", "x");
    ASSERT_EQ(symlink((dir / "keep").c_str(), (dir / "t/u/link").c_str()), 0);
    ASSERT_EQ(chmod((dir / "t/u").c_str(), 0500), 0);
    const FileOperationResult result = ShellFileOperation(FileOperationKind::Delete, dir / "t", "", 0);
    if (!testsupport::RunningAsRoot())
    {
        // Without write permission on t/u its entries cannot go: errors, and the rest stays.
        EXPECT_FALSE(result.Succeeded());
        chmod((dir / "t/u").c_str(), 0700);
        ASSERT_TRUE(ShellFileOperation(FileOperationKind::Delete, dir / "t", "", 0).Succeeded());
    }
    else
        EXPECT_TRUE(result.Succeeded()) << Messages(result);
    EXPECT_FALSE(Exists(dir / "t"));
    EXPECT_EQ(ReadFile(dir / "keep/precious"), "p");

    const FileOperationResult missing = ShellFileOperation(FileOperationKind::Delete, dir / "t", "", 0);
    EXPECT_FALSE(missing.Succeeded());
    ASSERT_EQ(missing.m_errors.size(), 1u);
    EXPECT_EQ(missing.m_errors[0].m_nError, ENOENT);
}

// Observer that cancels at the first item it is told about.
class CancellingObserver : public FileOperationObserver
{
public:
    OverwriteAnswer ConfirmOverwrite(const std::string&, const std::string&) override { return OverwriteAnswer::Yes; }
    bool OnItem(const std::string&) override { return false; }
};

TEST(ShellFileOperationTest, CancellingBeforeTheFirstItemChangesNothing)
{
    TempDir dir;
    WriteFile(dir / "f", "x");
    CancellingObserver cancel;
    for (const FileOperationKind kind : {FileOperationKind::Copy, FileOperationKind::Move, FileOperationKind::Delete})
    {
        const FileOperationResult result = ShellFileOperation(kind, dir / "f", dir / "to", 0, &cancel);
        EXPECT_TRUE(result.m_bAborted);
        EXPECT_FALSE(result.Succeeded());
        EXPECT_EQ(ReadFile(dir / "f"), "x");
        EXPECT_FALSE(Exists(dir / "to/f"));
    }
}

} // namespace
