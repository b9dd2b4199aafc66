#include "platform/ShellFileOperation.h"
#include "platform/Trash.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    ASSERT_EQ(mkdir((dir / "src").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "src/sub").c_str(), 0700), 0);
    WriteFile(dir / "src/a.txt", "alpha");
    const std::string odd = dir / "src/sub/caf\xE9";
    WriteFile(odd, std::string(3 << 20, 'z'));
    ASSERT_EQ(chmod((dir / "src/a.txt").c_str(), 0640), 0);
    ASSERT_EQ(symlink("../a.txt", (dir / "src/sub/link").c_str()), 0);
    const struct timespec times[2] = {{1000000000, 0}, {1200000000, 500}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "src/a.txt").c_str(), times, 0), 0);

    const FileOperationResult result = ShellFileOperation(FileOperationKind::Copy, dir / "src", dir / "dst", 0);
    ASSERT_TRUE(result.Succeeded()) << (result.m_errors.empty() ? "" : result.m_errors[0].m_strMessage);
    EXPECT_EQ(ReadFile(dir / "dst/src/a.txt"), "alpha");
    EXPECT_EQ(ReadFile(dir / "dst/src/sub/caf\xE9").size(), std::size_t{3 << 20});
    struct stat st{};
    ASSERT_EQ(stat((dir / "dst/src/a.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1200000000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 500);
    ASSERT_EQ(stat((dir / "dst/src/sub").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    char target[64] = {};
    ASSERT_GT(readlink((dir / "dst/src/sub/link").c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "../a.txt");
    EXPECT_TRUE(Exists(dir / "src/a.txt"));
}

struct OverwriteCase
{
    const char* m_pszName;
    std::uint32_t m_dwFlags;
    bool m_bObserver;
    OverwriteAnswer m_answer;
    const char* m_pszResult; // content of the destination afterwards
    bool m_bSucceeded;
};

TEST(ShellFileOperationTest, AnExistingDestinationIsReplacedOnlyWhenAllowed)
{
    const OverwriteCase cases[] = {
        {"NoObserverNoFlag", 0, false, OverwriteAnswer::Yes, "old", false},
        {"NoConfirmationFlag", FOF_NOCONFIRMATION, false, OverwriteAnswer::Yes, "new", true},
        {"Yes", 0, true, OverwriteAnswer::Yes, "new", true},
        {"YesToAll", 0, true, OverwriteAnswer::YesToAll, "new", true},
        {"No", 0, true, OverwriteAnswer::No, "old", true},
        {"Cancel", 0, true, OverwriteAnswer::Cancel, "old", false},
    };
    for (const OverwriteCase& c : cases)
    {
        TempDir dir;
        WriteFile(dir / "f", "new");
        ASSERT_EQ(mkdir((dir / "to").c_str(), 0755), 0);
        WriteFile(dir / "to/f", "old");
        ScriptedObserver observer(c.m_answer);
        const FileOperationResult result = ShellFileOperation(FileOperationKind::Copy, dir / "f", dir / "to",
                                                              c.m_dwFlags, c.m_bObserver ? &observer : nullptr);
        EXPECT_EQ(ReadFile(dir / "to/f"), c.m_pszResult) << c.m_pszName;
        EXPECT_EQ(result.Succeeded(), c.m_bSucceeded) << c.m_pszName;
        EXPECT_EQ(result.m_bAborted, c.m_answer == OverwriteAnswer::Cancel && c.m_bObserver) << c.m_pszName;
        // No temporary file is left behind.
        int entries = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir / "to"))
            ++entries;
        EXPECT_EQ(entries, 1) << c.m_pszName;
    }
}

TEST(ShellFileOperationTest, CopyIntoItselfIsRefused)
{
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "a").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "a/b").c_str(), 0755), 0);
    const FileOperationResult result = ShellFileOperation(FileOperationKind::Copy, dir / "a", dir / "a/b", 0);
    EXPECT_FALSE(result.Succeeded());
    ASSERT_EQ(result.m_errors.size(), 1u);
    EXPECT_FALSE(Exists(dir / "a/b/a"));
}

TEST(ShellFileOperationTest, PerItemErrorsDoNotStopTheRest)
{
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "src").c_str(), 0755), 0);
    WriteFile(dir / "src/one", "1");
    WriteFile(dir / "src/two", "2");
    ASSERT_EQ(mkfifo((dir / "src/pipe").c_str(), 0600), 0); // cannot be copied as a file
    const FileOperationResult result = ShellFileOperation(FileOperationKind::Copy, dir / "src", dir / "dst", 0);
    EXPECT_FALSE(result.Succeeded());
    ASSERT_EQ(result.m_errors.size(), 1u);
    EXPECT_EQ(result.m_errors[0].m_strPath, dir / "src/pipe");
    EXPECT_EQ(ReadFile(dir / "dst/src/one"), "1");
    EXPECT_EQ(ReadFile(dir / "dst/src/two"), "2");

    // A destination below a regular file cannot be created.
    WriteFile(dir / "plain", "x");
    const FileOperationResult blocked =
        ShellFileOperation(FileOperationKind::Copy, dir / "src/one", dir / "plain", FOF_NOCONFIRMATION);
    EXPECT_FALSE(blocked.Succeeded());
    EXPECT_FALSE(blocked.m_errors.empty());
    EXPECT_EQ(ReadFile(dir / "plain"), "x");
}

TEST(ShellFileOperationTest, MoveAcrossFileSystemsCopiesThenDeletes)
{
    TempDir dir;
    struct stat tmp{};
    struct stat shm{};
    if (stat("/dev/shm", &shm) != 0 || stat(dir.Path().c_str(), &tmp) != 0 || shm.st_dev == tmp.st_dev)
        GTEST_SKIP() << "no second file system";
    char pattern[] = "/dev/shm/quorvane-move-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string other = pattern;
    ASSERT_EQ(mkdir((dir / "tree").c_str(), 0755), 0);
    WriteFile(dir / "tree/f", "data");
    const FileOperationResult result = ShellFileOperation(FileOperationKind::Move, dir / "tree", other, 0);
    EXPECT_TRUE(result.Succeeded());
    EXPECT_EQ(ReadFile(other + "/tree/f"), "data");
    EXPECT_FALSE(Exists(dir / "tree"));
    ShellFileOperation(FileOperationKind::Delete, other, "", 0);
    EXPECT_FALSE(Exists(other));
}

TEST(ShellFileOperationTest, MoveAndRenameWithinAFileSystem)
{
    TempDir dir;
    WriteFile(dir / "f", "x");
    ASSERT_EQ(mkdir((dir / "to").c_str(), 0755), 0);
    EXPECT_TRUE(ShellFileOperation(FileOperationKind::Move, dir / "f", dir / "to", 0).Succeeded());
    EXPECT_EQ(ReadFile(dir / "to/f"), "x");
    EXPECT_FALSE(Exists(dir / "f"));

    WriteFile(dir / "other", "keep");
    const FileOperationResult refused = ShellFileOperation(FileOperationKind::Rename, dir / "to/f", dir / "other", 0);
    EXPECT_FALSE(refused.Succeeded());
    EXPECT_EQ(ReadFile(dir / "other"), "keep");
    EXPECT_TRUE(ShellFileOperation(FileOperationKind::Rename, dir / "to/f", dir / "renamed", 0).Succeeded());
    EXPECT_EQ(ReadFile(dir / "renamed"), "x");
}

TEST(ShellFileOperationTest, DeleteRemovesATreeForGood)
{
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "t").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "t/u").c_str(), 0755), 0);
    WriteFile(dir / "t/u/f", "x");
    EXPECT_TRUE(ShellFileOperation(FileOperationKind::Delete, dir / "t", "", 0).Succeeded());
    EXPECT_FALSE(Exists(dir / "t"));
    EXPECT_FALSE(ShellFileOperation(FileOperationKind::Delete, dir / "t", "", 0).Succeeded());
}

std::string PercentDecode(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '%' && i + 2 < text.size())
        {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        }
        else
            out += text[i];
    }
    return out;
}

TEST(TrashTest, DeleteWithUndoMovesToTheHomeTrashWithItsInfo)
{
    TempDir dir;
    testsupport::ScopedEnv data("XDG_DATA_HOME", dir / "data");
    const std::string victim = dir / "my file\xFF.txt";
    WriteFile(victim, "precious");
    EXPECT_TRUE(ShellFileOperation(FileOperationKind::Delete, victim, "", FOF_ALLOWUNDO).Succeeded());
    EXPECT_FALSE(Exists(victim));
    EXPECT_EQ(ReadFile(dir / "data/Trash/files/my file\xFF.txt"), "precious");
    const std::string info = ReadFile(dir / "data/Trash/info/my file\xFF.txt.trashinfo");
    ASSERT_EQ(info.rfind("[Trash Info]\nPath=", 0), 0u) << info;
    const std::size_t start = info.find("Path=") + 5;
    EXPECT_EQ(PercentDecode(info.substr(start, info.find('\n', start) - start)), victim);
    EXPECT_NE(info.find("\nDeletionDate="), std::string::npos);

    // A second item of the same name gets a name of its own.
    WriteFile(victim, "second");
    std::string trashedAs;
    EXPECT_EQ(MoveToTrash(victim, &trashedAs), 0);
    EXPECT_EQ(trashedAs, dir / "data/Trash/files/my file\xFF.txt.2");
    EXPECT_EQ(ReadFile(trashedAs), "second");
    EXPECT_TRUE(Exists(dir / "data/Trash/info/my file\xFF.txt.2.trashinfo"));
}

TEST(TrashTest, WithoutAUsableTrashNothingIsDeleted)
{
    TempDir dir;
    // The home trash cannot be created (a file stands where its folder would be), and the
    // path is on the same file system, so no other trash applies.
    WriteFile(dir / "data", "not a folder");
    testsupport::ScopedEnv data("XDG_DATA_HOME", dir / "data");
    WriteFile(dir / "victim", "precious");
    const FileOperationResult result = ShellFileOperation(FileOperationKind::Delete, dir / "victim", "", FOF_ALLOWUNDO);
    EXPECT_FALSE(result.Succeeded());
    ASSERT_EQ(result.m_errors.size(), 1u);
    EXPECT_NE(result.m_errors[0].m_strMessage.find("Trash"), std::string::npos) << result.m_errors[0].m_strMessage;
    EXPECT_EQ(ReadFile(dir / "victim"), "precious");
}

} // namespace
