#include "platform/Trash.h"

#include "platform/ShellFileOperation.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
using testsupport::ReadFile;
using testsupport::ScopedEnv;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

bool Exists(const std::string& path)
{
    struct stat st{};
    return lstat(path.c_str(), &st) == 0;
}

std::string PercentDecode(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2])))
        {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        }
        else
            out += text[i];
    }
    return out;
}

// A .trashinfo file read back: its first line and its keys. Fails the test when it is malformed.
struct TrashInfo
{
    std::string m_strPath;        // decoded
    std::string m_strDeletionDate;
};

TrashInfo ParseTrashInfo(const std::string& text)
{
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "[Trash Info]");
    std::map<std::string, std::string> keys;
    while (std::getline(in, line))
    {
        const std::size_t eq = line.find('=');
        EXPECT_NE(eq, std::string::npos) << line;
        if (eq != std::string::npos)
        {
            EXPECT_TRUE(keys.emplace(line.substr(0, eq), line.substr(eq + 1)).second) << "repeated " << line;
        }
    }
    // Only the bytes of RFC 3986's path characters, "/" and escapes may appear in the Path value.
    for (const char c : keys["Path"])
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || std::string("/-._~!$&'()*+,;=:@%").find(c) !=
                                                                        std::string::npos)
            << "unescaped byte " << int(static_cast<unsigned char>(c));
    return {PercentDecode(keys["Path"]), keys["DeletionDate"]};
}

// The deletion date is local time in the form YYYY-MM-DDThh:mm:ss, close to now.
void ExpectRecentDate(const std::string& date)
{
    struct tm parsed{};
    const char* end = strptime(date.c_str(), "%Y-%m-%dT%H:%M:%S", &parsed);
    ASSERT_NE(end, nullptr) << date;
    EXPECT_EQ(*end, '\0') << date;
    EXPECT_EQ(date.size(), 19u) << date;
    parsed.tm_isdst = -1;
    EXPECT_LE(std::abs(std::difftime(std::mktime(&parsed), std::time(nullptr))), 120.0) << date;
}

TEST(TrashTest, DeleteWithUndoMovesToTheHomeTrashWithItsInfo)
{
    TempDir dir;
    ScopedEnv data("XDG_DATA_HOME", dir / "data");
    const std::string name = "my file%\xFF\n.txt";
    const std::string victim = dir / name;
    WriteFile(victim, "precious");
    const FileOperationResult result = ShellFileOperation(FileOperationKind::Delete, victim, "", FOF_ALLOWUNDO);
    EXPECT_TRUE(result.Succeeded());
    EXPECT_FALSE(Exists(victim));
    EXPECT_EQ(ReadFile(dir / "data/Trash/files/" + name), "precious");
    const TrashInfo info = ParseTrashInfo(ReadFile(dir / "data/Trash/info/" + name + ".trashinfo"));
    EXPECT_EQ(info.m_strPath, victim);
    ExpectRecentDate(info.m_strDeletionDate);

    // A second item of the same name gets a name of its own; a folder goes whole.
    testsupport::WriteFile(victim, "second");
    std::string trashedAs;
    EXPECT_EQ(MoveToTrash(victim, &trashedAs), 0);
    EXPECT_EQ(trashedAs, dir / "data/Trash/files/" + name + ".2");
    EXPECT_EQ(ReadFile(trashedAs), "second");
    EXPECT_EQ(ParseTrashInfo(ReadFile(dir / "data/Trash/info/" + name + ".2.trashinfo")).m_strPath, victim);
    EXPECT_EQ(ReadFile(dir / "data/Trash/files/" + name), "precious");

    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0755), 0);
    WriteFile(dir / "folder/inner", "i");
    ASSERT_EQ(MoveToTrash(dir / "folder/", &trashedAs), 0);
    EXPECT_EQ(ReadFile(dir / "data/Trash/files/folder/inner"), "i");
    EXPECT_EQ(ParseTrashInfo(ReadFile(dir / "data/Trash/info/folder.trashinfo")).m_strPath, dir / "folder");
}

TEST(TrashTest, ARelativePathAndALinkAreRecordedAsThemselves)
{
    TempDir dir;
    ScopedEnv data("XDG_DATA_HOME", dir / "data");
    ASSERT_EQ(mkdir((dir / "work").c_str(), 0755), 0);
    WriteFile(dir / "target", "t");
    ASSERT_EQ(symlink((dir / "target").c_str(), (dir / "work/link").c_str()), 0);
    char* previous = getcwd(nullptr, 0);
    ASSERT_EQ(chdir((dir / "work").c_str()), 0);
    std::string trashedAs;
    const int error = MoveToTrash("link", &trashedAs);
    ASSERT_EQ(chdir(previous), 0);
    free(previous);
    ASSERT_EQ(error, 0);
    EXPECT_EQ(ReadFile(dir / "target"), "t");
    struct stat st{};
    ASSERT_EQ(lstat(trashedAs.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    char resolved[PATH_MAX];
    ASSERT_NE(realpath((dir / "work").c_str(), resolved), nullptr);
    EXPECT_EQ(ParseTrashInfo(ReadFile(dir / "data/Trash/info/link.trashinfo")).m_strPath,
              std::string(resolved) + "/link");
}

TEST(TrashTest, TheHomeTrashDefaultsBelowHomeAndIgnoresARelativeDataFolder)
{
    for (const char* data : {"", "relative/data"})
    {
        SCOPED_TRACE(data);
        TempDir dir;
        ScopedEnv home("HOME", dir / "home");
        ScopedEnv xdg("XDG_DATA_HOME", data);
        WriteFile(dir / "f", "x");
        std::string trashedAs;
        ASSERT_EQ(MoveToTrash(dir / "f", &trashedAs), 0);
        EXPECT_EQ(trashedAs, dir / "home/.local/share/Trash/files/f");
        EXPECT_TRUE(Exists(dir / "home/.local/share/Trash/info/f.trashinfo"));
    }
}

TEST(TrashTest, AStrayEntryInFilesIsNotReplaced)
{
    TempDir dir;
    ScopedEnv data("XDG_DATA_HOME", dir / "data");
    ASSERT_EQ(mkdir((dir / "data").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((dir / "data/Trash").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((dir / "data/Trash/files").c_str(), 0700), 0);
    WriteFile(dir / "data/Trash/files/f", "stray, without info");
    WriteFile(dir / "f", "new");
    std::string trashedAs;
    ASSERT_EQ(MoveToTrash(dir / "f", &trashedAs), 0);
    EXPECT_EQ(trashedAs, dir / "data/Trash/files/f.2");
    EXPECT_EQ(ReadFile(dir / "data/Trash/files/f"), "stray, without info");
    EXPECT_FALSE(Exists(dir / "data/Trash/info/f.trashinfo"));
    EXPECT_TRUE(Exists(dir / "data/Trash/info/f.2.trashinfo"));
}

TEST(TrashTest, WithoutAUsableTrashNothingIsDeleted)
{
    TempDir dir;
    // The home trash cannot be made (a file stands where its folder would be), and the path is on
    // the home trash's file system, so no other trash applies.
    WriteFile(dir / "data", "not a folder");
    ScopedEnv data("XDG_DATA_HOME", dir / "data");
    WriteFile(dir / "victim", "precious");
    const FileOperationResult result = ShellFileOperation(FileOperationKind::Delete, dir / "victim", "", FOF_ALLOWUNDO);
    EXPECT_FALSE(result.Succeeded());
    ASSERT_EQ(result.m_errors.size(), 1u);
    EXPECT_EQ(result.m_errors[0].m_strPath, dir / "victim");
    EXPECT_EQ(result.m_errors[0].m_nError, ENOTDIR);
    EXPECT_EQ(result.m_errors[0].m_strMessage.rfind("Cannot move " + dir / "victim" + " to the Trash: ", 0), 0u)
        << result.m_errors[0].m_strMessage;
    EXPECT_EQ(ReadFile(dir / "victim"), "precious");
    EXPECT_EQ(ReadFile(dir / "data"), "not a folder");

    EXPECT_NE(MoveToTrash(dir / "missing"), 0);
}

// A file system's own trash, laid out in a temporary folder that plays its top.
TEST(TrashTest, TopDirTrashFollowsTheSharedTrashRules)
{
    const std::string uid = std::to_string(getuid());
    const struct
    {
        const char* m_pszName;
        int m_nShared; // 0 none, 1 sticky folder, 2 folder without the sticky bit, 3 link to a sticky folder
        const char* m_pszUsed;
    } cases[] = {
        {"NoSharedTrash", 0, ".Trash-"},
        {"StickySharedTrash", 1, ".Trash/"},
        {"SharedTrashWithoutStickyBit", 2, ".Trash-"},
        {"SharedTrashThatIsALink", 3, ".Trash-"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        TempDir top;
        ScopedEnv data("XDG_DATA_HOME", top / "unused");
        if (c.m_nShared == 1 || c.m_nShared == 2)
        {
            ASSERT_EQ(mkdir((top / ".Trash").c_str(), 0777), 0);
            ASSERT_EQ(chmod((top / ".Trash").c_str(), c.m_nShared == 1 ? 01777 : 0777), 0);
        }
        if (c.m_nShared == 3)
        {
            ASSERT_EQ(mkdir((top / "elsewhere").c_str(), 0777), 0);
            ASSERT_EQ(chmod((top / "elsewhere").c_str(), 01777), 0);
            ASSERT_EQ(symlink("elsewhere", (top / ".Trash").c_str()), 0);
        }
        ASSERT_EQ(mkdir((top / "a").c_str(), 0755), 0);
        WriteFile(top / "a/f g", "x");
        std::string trashedAs;
        std::string message;
        ASSERT_EQ(MoveToTopDirTrash(top / "a/f g", top.Path(), &trashedAs, &message), 0) << message;
        const std::string trash = top / c.m_pszUsed + uid;
        EXPECT_EQ(trashedAs, trash + "/files/f g");
        EXPECT_EQ(ReadFile(trashedAs), "x");
        EXPECT_FALSE(Exists(top / "a/f g"));
        EXPECT_EQ(ParseTrashInfo(ReadFile(trash + "/info/f g.trashinfo")).m_strPath, "a/f g");
        struct stat st{};
        ASSERT_EQ(lstat(trash.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 07777, 0700u);
        EXPECT_FALSE(Exists(top / "elsewhere/" + uid));
    }
}

TEST(TrashTest, ATopDirTrashThatCannotBeUsedLeavesTheItemInPlace)
{
    const std::string uid = std::to_string(getuid());
    {
        TempDir top;
        WriteFile(top / (".Trash-" + uid), "a file, not a folder");
        WriteFile(top / "f", "x");
        std::string message;
        EXPECT_EQ(MoveToTopDirTrash(top / "f", top.Path(), nullptr, &message), ENOTDIR);
        EXPECT_NE(message.find("no Trash can be used"), std::string::npos) << message;
        EXPECT_EQ(ReadFile(top / "f"), "x");
    }
    {
        // A trash folder that is a link could lead anywhere: it is not used.
        TempDir top;
        ASSERT_EQ(mkdir((top / "elsewhere").c_str(), 0700), 0);
        ASSERT_EQ(symlink("elsewhere", (top / (".Trash-" + uid)).c_str()), 0);
        WriteFile(top / "f", "x");
        EXPECT_NE(MoveToTopDirTrash(top / "f", top.Path()), 0);
        EXPECT_EQ(ReadFile(top / "f"), "x");
        EXPECT_FALSE(Exists(top / "elsewhere/files"));
    }
    {
        // The trash folder itself cannot be moved into itself: the info file written first is
        // taken back.
        TempDir top;
        const std::string trash = top / (".Trash-" + uid);
        ASSERT_EQ(mkdir(trash.c_str(), 0700), 0);
        EXPECT_EQ(MoveToTopDirTrash(trash, top.Path()), EINVAL);
        EXPECT_TRUE(Exists(trash + "/files"));
        EXPECT_FALSE(Exists(trash + "/info/.Trash-" + uid + ".trashinfo"));
    }
    {
        TempDir top;
        TempDir other;
        WriteFile(other / "f", "x");
        EXPECT_EQ(MoveToTopDirTrash(other / "f", top.Path()), EINVAL);
        EXPECT_EQ(ReadFile(other / "f"), "x");
    }
}

TEST(TrashTest, APathOnAnotherFileSystemGoesToThatFileSystemsTrash)
{
    TempDir dir;
    struct stat tmp{};
    struct stat shm{};
    if (stat("/dev/shm", &shm) != 0 || stat(dir.Path().c_str(), &tmp) != 0 || shm.st_dev == tmp.st_dev)
        GTEST_SKIP() << "/dev/shm is not a second file system here";
    struct stat root{};
    if (stat("/dev", &root) == 0 && root.st_dev == shm.st_dev)
        GTEST_SKIP() << "/dev/shm is not the top of its file system";
    ScopedEnv data("XDG_DATA_HOME", dir / "data");
    const std::string trash = "/dev/shm/.Trash-" + std::to_string(getuid());
    const bool trashExisted = Exists(trash);
    char pattern[] = "/dev/shm/quorvane-trash-XXXXXX";
    const int fd = mkstemp(pattern);
    ASSERT_GE(fd, 0);
    close(fd);
    const std::string name = std::string(pattern).substr(9);
    std::string trashedAs;
    std::string message;
    const int error = MoveToTrash(pattern, &trashedAs, &message);
    const std::string info = trash + "/info/" + name + ".trashinfo";
    const std::string recorded = Exists(info) ? ParseTrashInfo(ReadFile(info)).m_strPath : std::string();
    // Leave /dev/shm as it was: only this test's entries, and the trash only if it made it.
    unlink(pattern);
    unlink(trashedAs.c_str());
    unlink(info.c_str());
    if (!trashExisted)
    {
        rmdir((trash + "/files").c_str());
        rmdir((trash + "/info").c_str());
        rmdir(trash.c_str());
    }
    ASSERT_EQ(error, 0) << message;
    EXPECT_EQ(trashedAs, trash + "/files/" + name);
    EXPECT_EQ(recorded, name);
    EXPECT_FALSE(Exists(dir / "data/Trash/files/" + name));
}

} // namespace
