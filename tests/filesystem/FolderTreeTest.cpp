#include "filesystem/Folder.h"

#include "filesystem/ComboFilters.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::TempDir;
using testsupport::WriteFile;

namespace
{

std::unique_ptr<CFolder> Root(const std::string& path)
{
    std::unique_ptr<CFolder> root(OpenRootFolder(path));
    EXPECT_NE(root, nullptr) << path;
    return root;
}

// Names of the children in their current order, folders marked with a trailing "/".
std::vector<std::string> ChildNames(const CFolder& folder)
{
    std::vector<std::string> names;
    if (folder.GetChildren() != nullptr)
        for (const CFolderItem* child : *folder.GetChildren())
            names.push_back(child->GetName() + (child->IsFolder() ? "/" : ""));
    return names;
}

std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

CFolderItem* ChildNamed(const CFolder& folder, const std::string& name)
{
    if (folder.GetChildren() != nullptr)
        for (CFolderItem* child : *folder.GetChildren())
            if (child->GetName() == name)
                return child;
    return nullptr;
}

// A folder object that never touched the disk, with the directory attribute set.
CFolder* MemoryFolder(const std::string& name)
{
    auto* folder = new CFolder(name, true);
    folder->m_dwAttributes = platform::FILE_ATTRIBUTE_DIRECTORY;
    return folder;
}

TEST(FolderTreeTest, PathsJoinParentAndNameWithOneSeparator)
{
    struct CASE
    {
        const char* rootPath;
        const char* child;
        const char* expected;
    };
    const CASE cases[] = {
        {"/", "etc", "/etc"},
        {"/home/a/", "b", "/home/a/b"},
        {"/home/a", "b", "/home/a/b"},
        // A backslash is an ordinary name character here, so it still needs the separator.
        {"/home/a\\", "b", "/home/a\\/b"},
    };
    for (const CASE& c : cases)
    {
        CFolder root(c.rootPath, false);
        auto* child = new CFolderItem(c.child, true);
        root.AddChild(child);
        EXPECT_EQ(child->GetPath(), c.expected) << c.rootPath;
        EXPECT_EQ(child->GetName(), c.child);
        EXPECT_EQ(child->GetParent(), &root);
        EXPECT_EQ(root.GetPath(), c.rootPath);
    }
}

TEST(FolderTreeTest, DeepPathsAreBuiltFromEveryAncestor)
{
    CFolder root("/r", false);
    CFolder* folder = &root;
    std::string expected = "/r";
    for (int level = 0; level < 300; ++level)
    {
        CFolder* sub = MemoryFolder("d" + std::to_string(level));
        folder->AddChild(sub);
        folder = sub;
        expected += "/d" + std::to_string(level);
    }
    EXPECT_EQ(folder->GetPath(), expected);
    // Destroying the root destroys the whole chain (checked by the sanitizer build for leaks).
}

TEST(FolderTreeTest, ScanReadsOneLevelAndFilesOnlySkipsFolders)
{
    TempDir dir;
    WriteFile(dir / "a.txt", "a");
    WriteFile(dir / "b.bin", std::string(3, '\0'));
    ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
    WriteFile(dir / "sub/inner.txt", "x");

    auto root = Root(dir.Path());
    EXPECT_EQ(root->GetChildren(), nullptr); // opening reads no children
    ASSERT_TRUE(root->Scan(false));
    EXPECT_EQ(Sorted(ChildNames(*root)), (std::vector<std::string>{"a.txt", "b.bin", "sub/"}));
    CFolder* sub = ChildNamed(*root, "sub")->AsFolder();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->GetChildren(), nullptr) << "a scan never recurses";
    EXPECT_EQ(sub->GetPath(), dir / "sub");
    EXPECT_EQ(ChildNamed(*root, "b.bin")->GetSize(), 3u);

    ASSERT_TRUE(root->Scan(true));
    EXPECT_EQ(Sorted(ChildNames(*root)), (std::vector<std::string>{"a.txt", "b.bin"}));
}

TEST(FolderTreeTest, ScanRefusesWhatIsNotAFolderAndChangesNothing)
{
    TempDir dir;
    WriteFile(dir / "file", "x");
    auto root = Root(dir.Path());
    ASSERT_TRUE(root->Scan(false));
    CFolderItem* file = ChildNamed(*root, "file");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->AsFolder(), nullptr);
    EXPECT_FALSE(file->IsFolder());

    // A folder object that describes a file (not a directory) cannot be scanned.
    CFolder notAFolder(dir / "file", false);
    ASSERT_TRUE(notAFolder.LoadFromPath(dir / "file"));
    notAFolder.AddChild(new CFolderItem("kept", true));
    EXPECT_FALSE(notAFolder.Scan(false));
    EXPECT_EQ(ChildNames(notAFolder), std::vector<std::string>{"kept"});

    CFolder dots("..", true);
    dots.m_dwAttributes = platform::FILE_ATTRIBUTE_DIRECTORY;
    EXPECT_FALSE(dots.Scan(false));
}

TEST(FolderTreeTest, AFolderThatVanishedScansToNothingWithItsError)
{
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "gone").c_str(), 0755), 0);
    WriteFile(dir / "gone/f", "x");
    auto root = Root(dir.Path());
    ASSERT_TRUE(root->Scan(false));
    CFolder* gone = ChildNamed(*root, "gone")->AsFolder();
    ASSERT_NE(gone, nullptr);
    ASSERT_EQ(unlink((dir / "gone/f").c_str()), 0);
    ASSERT_EQ(rmdir((dir / "gone").c_str()), 0);

    EXPECT_TRUE(gone->Scan(false));
    EXPECT_EQ(gone->GetChildren(), nullptr);
    EXPECT_EQ(gone->GetScanError(), ENOENT);
}

TEST(FolderTreeTest, AnUnreadableFolderScansToNothingWithItsError)
{
    if (testsupport::RunningAsRoot())
        GTEST_SKIP() << "root reads folders without read permission";
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "locked").c_str(), 0755), 0);
    WriteFile(dir / "locked/f", "x");
    ASSERT_EQ(chmod((dir / "locked").c_str(), 0), 0);
    auto root = Root(dir.Path());
    ASSERT_TRUE(root->Scan(false));
    CFolder* locked = ChildNamed(*root, "locked")->AsFolder();
    ASSERT_NE(locked, nullptr);
    EXPECT_TRUE(locked->Scan(false));
    EXPECT_EQ(locked->GetChildren(), nullptr);
    EXPECT_EQ(locked->GetScanError(), EACCES);
    // What it holds is unknown, so it may have children: the comparison scans it and shows the error.
    CComboFilters filters;
    EXPECT_TRUE(locked->ContainsUnfilteredEntry(filters));
}

TEST(FolderTreeTest, LinksAreFollowedOnceAndNeverIntoALoop)
{
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "tree").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "tree/sub").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "elsewhere").c_str(), 0755), 0);
    WriteFile(dir / "elsewhere/e.txt", "e");
    ASSERT_EQ(symlink("..", (dir / "tree/sub/up").c_str()), 0);         // back to tree: a loop
    ASSERT_EQ(symlink(".", (dir / "tree/self").c_str()), 0);            // itself: a loop
    ASSERT_EQ(symlink("../elsewhere", (dir / "tree/away").c_str()), 0); // outside: followed
    ASSERT_EQ(symlink("missing", (dir / "tree/dangling").c_str()), 0);  // nothing behind it

    auto root = Root(dir / "tree");
    ASSERT_TRUE(root->Scan(false));
    EXPECT_EQ(Sorted(ChildNames(*root)), (std::vector<std::string>{"away/", "dangling", "self/", "sub/"}));

    CFolder* self = ChildNamed(*root, "self")->AsFolder();
    EXPECT_EQ(self->GetError(), ELOOP);
    EXPECT_FALSE(self->Scan(false));

    CFolder* away = ChildNamed(*root, "away")->AsFolder();
    EXPECT_EQ(away->GetError(), 0);
    ASSERT_TRUE(away->Scan(false));
    EXPECT_EQ(ChildNames(*away), std::vector<std::string>{"e.txt"});

    CFolderItem* dangling = ChildNamed(*root, "dangling");
    EXPECT_EQ(dangling->GetError(), ENOENT);
    EXPECT_FALSE(dangling->IsFolder());

    CFolder* sub = ChildNamed(*root, "sub")->AsFolder();
    ASSERT_TRUE(sub->Scan(false));
    CFolder* up = ChildNamed(*sub, "up")->AsFolder();
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up->GetError(), ELOOP);
    // Reloading the entry keeps it recognised as a loop.
    ASSERT_TRUE(up->Refresh());
    EXPECT_EQ(up->GetError(), ELOOP);
}

TEST(FolderTreeTest, NamesThatAreNotUtf8RoundTrip)
{
    TempDir dir;
    const std::string name = "caf\xe9\xff.txt";
    WriteFile(dir / name, "x");
    auto root = Root(dir.Path());
    ASSERT_TRUE(root->Scan(false));
    ASSERT_EQ(ChildNames(*root), std::vector<std::string>{name});
    EXPECT_EQ(root->GetChild(0)->GetPath(), dir / name);
    EXPECT_TRUE(root->GetChild(0)->Refresh());
    EXPECT_TRUE(root->GetChild(0)->Exists());
}

TEST(FolderTreeTest, OrderPutsFoldersFirstThenNamesWithoutCaseThenBytes)
{
    struct CASE
    {
        const char* a;
        bool aFolder;
        const char* b;
        bool bFolder;
        int expected;
    };
    const CASE cases[] = {
        {"src", false, "Src", true, 1}, // a folder sorts before a file of the same name
        {"zz", true, "aa", false, -1},  // whatever the names
        {"apple", false, "Banana", false, -1},
        {"Makefile", false, "makefile", false, -1}, // differ only in case: two objects, never 0
        {"same", false, "same", false, 0},
        {"\xc3\x89t\xc3\xa9", false, "\xc3\xa9t\xc3\xa9z", false, -1}, // "Été" folds like "été"
        {"\xc3\xa9", false, "f", false, 1},                            // by code point after folding
        {"a\xff", false, "a\xfe", false, 1},                           // invalid bytes compare as bytes
        {"ab", false, "abc", false, -1},
    };
    for (const CASE& c : cases)
    {
        std::unique_ptr<CFolderItem> a(c.aFolder ? MemoryFolder(c.a) : new CFolderItem(c.a, true));
        std::unique_ptr<CFolderItem> b(c.bFolder ? MemoryFolder(c.b) : new CFolderItem(c.b, true));
        EXPECT_EQ(CompareFolderItems(*a, *b), c.expected) << c.a << " / " << c.b;
        EXPECT_EQ(CompareFolderItems(*b, *a), -c.expected) << c.b << " / " << c.a;
    }
}

TEST(FolderTreeTest, NameOrderIsATotalOrderOverMixedNames)
{
    const std::vector<std::string> names = {"a",        "A",        "b", "B", "ab",       "aB",   "Ab",
                                            "\xc3\xa9", "\xc3\x89", "e", "E", "\xff",     "\xfe", "a\xff",
                                            "_",        "0",        "Z", "z", "\xc3\x9f", "ss"};
    for (const std::string& a : names)
        for (const std::string& b : names)
        {
            const int ab = CompareFolderItemNames(a, b);
            EXPECT_EQ(ab, -CompareFolderItemNames(b, a)) << a << " / " << b;
            EXPECT_EQ(ab == 0, a == b) << a << " / " << b;
            for (const std::string& c : names)
            {
                if (ab < 0 && CompareFolderItemNames(b, c) < 0)
                {
                    EXPECT_LT(CompareFolderItemNames(a, c), 0) << a << " < " << b << " < " << c;
                }
            }
        }
}

TEST(FolderTreeTest, SortChildrenUsesTheTreeOrder)
{
    CFolder root("/r", false);
    EXPECT_FALSE(root.SortChildren());
    root.AddChild(new CFolderItem("beta", true));
    root.AddChild(new CFolderItem("Alpha", true));
    root.AddChild(MemoryFolder("zeta"));
    root.AddChild(new CFolderItem("alpha", true));
    ASSERT_TRUE(root.SortChildren());
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"zeta/", "Alpha", "alpha", "beta"}));
}

TEST(FolderTreeTest, ChildrenArrayComesAndGoesWithTheChildren)
{
    CFolder root("/r", false);
    auto* only = new CFolderItem("only", true);
    EXPECT_EQ(root.AddChild(only), 0);
    EXPECT_EQ(root.FindChild(only), 0);
    EXPECT_EQ(root.HasChildren(), 2);

    CFolderItem stranger("stranger", true);
    EXPECT_FALSE(root.DetachChild(&stranger));
    EXPECT_FALSE(root.DeleteChild(&stranger));
    EXPECT_EQ(root.FindChild(&stranger), -1);

    EXPECT_TRUE(root.DeleteChild(only));
    EXPECT_EQ(root.GetChildren(), nullptr);
    EXPECT_EQ(root.HasChildren(), 0);
    EXPECT_EQ(root.GetChildCount(true), 0);

    auto* detached = new CFolderItem("detached", true);
    root.AddChild(detached);
    EXPECT_TRUE(root.DetachChild(detached));
    EXPECT_EQ(detached->GetParent(), nullptr);
    EXPECT_EQ(root.GetChildren(), nullptr);
    delete detached;

    auto* removed = new CFolderItem("removed", true);
    root.AddChild(removed);
    removed->Remove();
    EXPECT_EQ(root.GetChildren(), nullptr);
}

TEST(FolderTreeTest, ExcludedChildrenCountOnlyAmongAll)
{
    TempDir dir;
    WriteFile(dir / "keep.c", "x");
    WriteFile(dir / "drop.o", "x");
    auto root = Root(dir.Path());
    ASSERT_TRUE(root->Scan(false));
    CComboFilters filters;
    filters.m_fileFilters.m_strExclude = "*.o";
    for (CFolderItem* child : *root->GetChildren())
        child->ApplyFilter(filters);
    EXPECT_TRUE(ChildNamed(*root, "drop.o")->IsExcluded());
    EXPECT_FALSE(ChildNamed(*root, "keep.c")->IsExcluded());
    EXPECT_EQ(root->GetChildCount(true), 2);
    EXPECT_EQ(root->GetChildCount(false), 1);
    EXPECT_EQ(root->HasChildren(), 2);

    ChildNamed(*root, "keep.c")->Remove();
    EXPECT_EQ(root->GetChildCount(true), 1);
    EXPECT_EQ(root->GetChildCount(false), 0);
    EXPECT_EQ(root->HasChildren(), 0);

    // The mark is recomputed from the filters each time.
    filters.m_fileFilters.m_strExclude.clear();
    EXPECT_FALSE(ChildNamed(*root, "drop.o")->ApplyFilter(filters));
    EXPECT_EQ(root->HasChildren(), 2);
}

TEST(FolderTreeTest, ContainsUnfilteredEntryLooksAtTheDiskThroughTheFilters)
{
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "empty").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "objects").c_str(), 0755), 0);
    WriteFile(dir / "objects/a.o", "x");
    ASSERT_EQ(mkdir((dir / "objects/CVS").c_str(), 0755), 0);
    CComboFilters filters;
    filters.m_fileFilters.m_strExclude = "*.o";
    filters.m_folderFilters.m_strExclude = "CVS";

    auto empty = Root(dir / "empty");
    EXPECT_FALSE(empty->ContainsUnfilteredEntry(filters));
    auto objects = Root(dir / "objects");
    EXPECT_FALSE(objects->ContainsUnfilteredEntry(filters));
    WriteFile(dir / "objects/a.c", "x");
    EXPECT_TRUE(objects->ContainsUnfilteredEntry(filters));
    // The tree is not consulted: nothing was scanned.
    EXPECT_EQ(objects->GetChildren(), nullptr);

    CFolder missing(dir / "missing", false);
    EXPECT_FALSE(missing.LoadFromPath(dir / "missing"));
    EXPECT_FALSE(missing.ContainsUnfilteredEntry(filters));
}

TEST(FolderTreeTest, CloneAndCopyInfoKeepTheirOwnPlace)
{
    TempDir dir;
    WriteFile(dir / "f.txt", "hello");
    ASSERT_EQ(mkdir((dir / "d").c_str(), 0755), 0);
    auto root = Root(dir.Path());
    ASSERT_TRUE(root->Scan(false));
    CFolderItem* file = ChildNamed(*root, "f.txt");
    CFolderItem* folder = ChildNamed(*root, "d");

    std::unique_ptr<CFolderItem> fileCopy(file->Clone());
    EXPECT_EQ(fileCopy->AsFolder(), nullptr);
    EXPECT_EQ(fileCopy->GetParent(), nullptr);
    EXPECT_TRUE(fileCopy->IsRelative());
    EXPECT_EQ(fileCopy->GetName(), "f.txt");
    EXPECT_EQ(fileCopy->GetSize(), 5u);
    EXPECT_EQ(fileCopy->GetLastWriteFileTime(), file->GetLastWriteFileTime());

    std::unique_ptr<CFolderItem> folderCopy(folder->Clone());
    ASSERT_NE(folderCopy->AsFolder(), nullptr);
    EXPECT_TRUE(folderCopy->IsFolder());
    EXPECT_EQ(folderCopy->AsFolder()->GetChildren(), nullptr);

    // A root's clone is named by its last element only.
    std::unique_ptr<CFolderItem> rootCopy(root->Clone());
    EXPECT_EQ(rootCopy->GetPath(), platform::NameOfPath(dir.Path()));

    CFolderItem other("other.txt", true);
    other.CopyInfoFrom(*file);
    EXPECT_EQ(other.GetName(), "other.txt");
    EXPECT_EQ(other.GetSize(), 5u);
}

TEST(FolderTreeTest, OpenRootFolderOnlyForExistingDirectories)
{
    TempDir dir;
    WriteFile(dir / "file", "x");
    EXPECT_EQ(OpenRootFolder(dir / "file"), nullptr);
    EXPECT_EQ(OpenRootFolder(dir / "missing"), nullptr);
    EXPECT_EQ(OpenRootFolder(""), nullptr);
    auto root = Root(dir.Path());
    EXPECT_FALSE(root->IsRelative());
    EXPECT_TRUE(root->IsFolder());
    EXPECT_EQ(root->GetPath(), dir.Path());
    EXPECT_EQ(root->GetChildren(), nullptr);
    EXPECT_NE(root->GetInode(), 0u);

    std::unique_ptr<CFolder> fsRoot(OpenRootFolder("/"));
    ASSERT_NE(fsRoot, nullptr);
    EXPECT_NE(fsRoot->GetInode(), 0u);
}

TEST(FolderTreeTest, SameFolderIsRecognisedThroughALink)
{
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "real").c_str(), 0755), 0);
    ASSERT_EQ(symlink("real", (dir / "link").c_str()), 0);
    ASSERT_EQ(mkdir((dir / "Real").c_str(), 0755), 0);
    auto real = Root(dir / "real");
    auto link = Root(dir / "link");
    auto upper = Root(dir / "Real");
    EXPECT_TRUE(real->IsSameFolder(*link));
    EXPECT_FALSE(real->IsSameFolder(*upper));
}

} // namespace
