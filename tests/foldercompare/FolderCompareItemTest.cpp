#include "foldercompare/FolderCompareItem.h"

#include "app/ProcessCallback.h"
#include "definitions/FolderCompareParams.h"
#include "foldercompare/ItemMessageTarget.h"
#include "platform/ShellFileOperation.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace
{

constexpr std::uint32_t kQuietFlags = platform::FOF_SILENT | platform::FOF_NOCONFIRMATION;

// Two folders "L" and "R" in a fresh temporary folder.
class TwoTrees
{
public:
    TwoTrees()
    {
        EXPECT_EQ(mkdir(Left().c_str(), 0755), 0);
        EXPECT_EQ(mkdir(Right().c_str(), 0755), 0);
    }
    explicit TwoTrees(std::unique_ptr<TempDir> dir) : m_pDir(std::move(dir))
    {
        EXPECT_EQ(mkdir(Left().c_str(), 0755), 0);
        EXPECT_EQ(mkdir(Right().c_str(), 0755), 0);
    }

    std::string Left(const std::string& rel = "") const { return Join("L", rel); }
    std::string Right(const std::string& rel = "") const { return Join("R", rel); }
    std::string Path(const std::string& rel) const { return *m_pDir / rel; }

    void File(const std::string& rel, std::string_view bytes) const { WriteFile(Path(rel), bytes); }
    void Folder(const std::string& rel) const { EXPECT_EQ(mkdir(Path(rel).c_str(), 0755), 0) << rel; }
    void Both(const std::string& rel, std::string_view bytes) const
    {
        File("L/" + rel, bytes);
        File("R/" + rel, bytes);
        SetTime(rel, kTime, kTime);
    }
    void SetTime(const std::string& rel, std::time_t left, std::time_t right) const
    {
        SetTimeOf(Left(rel), left);
        SetTimeOf(Right(rel), right);
    }
    static void SetTimeOf(const std::string& path, std::time_t time)
    {
        struct timespec times[2] = {{time, 0}, {time, 0}};
        EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
    }

    static constexpr std::time_t kTime = 1700000000;

private:
    std::string Join(const char* side, const std::string& rel) const
    {
        return rel.empty() ? *m_pDir / side : *m_pDir / (std::string(side) + "/" + rel);
    }

    std::unique_ptr<TempDir> m_pDir = std::make_unique<TempDir>();
};

// The root item of two folders, as the document opens it: it owns both roots and may have children.
std::unique_ptr<CFolderCompareItem> OpenRoot(const std::string& left, const std::string& right)
{
    auto root = std::make_unique<CFolderCompareItem>(OpenRootFolder(left), OpenRootFolder(right));
    root->SetOwnsSides(true);
    root->SetFlags(ITEM_FLAG_MAYHAVECHILDREN, true);
    return root;
}

CFolderCompareParams Params(std::uint32_t methods)
{
    CFolderCompareParams params;
    params.m_dwMethods = methods;
    return params;
}

// The item below `item` at a "/"-separated relative path (by the name of either side).
CFolderCompareItem* Find(CFolderCompareItem* item, const std::string& rel)
{
    std::size_t start = 0;
    while (item != nullptr && start <= rel.size())
    {
        const std::size_t slash = rel.find('/', start);
        const std::string name =
            rel.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        CFolderCompareItem* next = nullptr;
        for (int i = 0; i < item->GetChildCount(); ++i)
            if (item->GetChild(i)->GetName() == name)
                next = item->GetChild(i);
        item = next;
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return item;
}

// One row per child: name, "/" for folders, and which sides it has ("L", "R" or "LR").
std::vector<std::string> Rows(const CFolderCompareItem& item)
{
    std::vector<std::string> rows;
    for (int i = 0; i < item.GetChildCount(); ++i)
    {
        const CFolderCompareItem* child = item.GetChild(i);
        std::string row = child->GetName() + (child->IsFolderItem() ? "/ " : " ");
        row += child->HasSide(CFolderCompareItem::kLeft) ? "L" : "";
        row += child->HasSide(CFolderCompareItem::kRight) ? "R" : "";
        rows.push_back(row);
    }
    return rows;
}

int CompareLevel(CFolderCompareItem& item, const CFolderCompareParams& params, int mode = COMPARE_MODE_LEVEL)
{
    return item.CompareChildren(params, mode, true, true, nullptr, nullptr);
}

struct MESSAGE
{
    std::uint32_t message;
    int param;
    CFolderCompareItem* item;
    bool operator==(const MESSAGE&) const = default;
};

void PrintTo(const MESSAGE& m, std::ostream* os)
{
    *os << m.message << "(" << m.param << ", " << (m.item != nullptr ? m.item->GetName() : "null") << ")";
}

class CRecorder : public CItemMessageTarget
{
public:
    void SendItemMessage(std::uint32_t message, int param, CFolderCompareItem* item) override
    {
        m_messages.push_back({message, param, item});
    }
    platform::FileOperationObserver* GetFileOperationObserver() override { return m_pObserver; }

    std::vector<MESSAGE> m_messages;
    platform::FileOperationObserver* m_pObserver = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Pairing

struct PAIRING_CASE
{
    const char* name;
    std::vector<std::string> left; // relative paths; a trailing "/" makes a folder
    std::vector<std::string> right;
    std::vector<std::string> rows;
};

void PrintTo(const PAIRING_CASE& c, std::ostream* os)
{
    *os << c.name;
}

class Pairing : public testing::TestWithParam<PAIRING_CASE>
{
};

TEST_P(Pairing, MergesTheSortedSidesByTheTreeOrder)
{
    const PAIRING_CASE& c = GetParam();
    TwoTrees trees;
    const auto make = [&trees](const std::string& side, const std::vector<std::string>& entries)
    {
        for (const std::string& entry : entries)
        {
            if (entry.ends_with('/'))
                trees.Folder(side + "/" + entry.substr(0, entry.size() - 1));
            else
                trees.File(side + "/" + entry, "x");
        }
    };
    make("L", c.left);
    make("R", c.right);
    auto root = OpenRoot(trees.Left(), trees.Right());
    ASSERT_EQ(CompareLevel(*root, Params(METHOD_SIZE)), 0);
    EXPECT_EQ(Rows(*root), c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Pairing,
    testing::Values(
        PAIRING_CASE{"FolderAndFileOfTheSameNameNeverPair", {"Src/"}, {"Src"}, {"Src/ L", "Src R"}},
        PAIRING_CASE{
            "NamesDifferingOnlyInCaseAreTwoItems", {"Makefile"}, {"makefile"}, {"Makefile L", "makefile R"}},
        PAIRING_CASE{
            "BothCaseVariantsOnOneSide", {"Readme", "README"}, {"README"}, {"README LR", "Readme L"}},
        PAIRING_CASE{"FoldersFirstThenNamesWithoutCase",
                     {"b.txt", "A.txt", "zdir/", "same"},
                     {"a.txt", "B.txt", "Adir/", "same", "z"},
                     {"Adir/ R", "zdir/ L", "A.txt L", "a.txt R", "B.txt R", "b.txt L", "same LR", "z R"}},
        PAIRING_CASE{"NamesThatAreNotUtf8PairByTheirBytes",
                     {"caf\xe9", "x\xff"},
                     {"caf\xe9", "x\xfe"},
                     {"caf\xe9 LR", "x\xfe R", "x\xff L"}},
        PAIRING_CASE{"EmptyOnBothSides", {}, {}, {}}),
    [](const testing::TestParamInfo<PAIRING_CASE>& info) { return std::string(info.param.name); });

TEST(FolderCompareItemTest, AMissingSideMakesEveryChildAnOrphan)
{
    TwoTrees trees;
    trees.File("R/a", "x");
    trees.Folder("R/d");
    trees.File("R/d/b", "x");
    auto root = std::make_unique<CFolderCompareItem>(nullptr, OpenRootFolder(trees.Right()));
    root->SetOwnsSides(true);
    root->SetFlags(ITEM_FLAG_MAYHAVECHILDREN, true);
    ASSERT_EQ(CompareLevel(*root, Params(0x110), COMPARE_MODE_SUBTREE), 0);
    EXPECT_EQ(Rows(*root), (std::vector<std::string>{"d/ R", "a R"}));
    EXPECT_EQ(Rows(*Find(root.get(), "d")), std::vector<std::string>{"b R"});
    EXPECT_TRUE(Find(root.get(), "a")->IsDifferent());
    EXPECT_TRUE(Find(root.get(), "d/b")->IsDifferent());
    EXPECT_TRUE(Find(root.get(), "d")->IsDifferent());
    EXPECT_TRUE(root->IsDifferent());
}

// ---------------------------------------------------------------------------------------------
// Status from the methods

struct STATUS_CASE
{
    const char* name;
    std::uint32_t methods;
    const char* left;
    const char* right;
    std::time_t rightTimeOffset;
    std::uint32_t status;
    std::uint32_t diffBits;
    std::uint32_t contentResult;
};

void PrintTo(const STATUS_CASE& c, std::ostream* os)
{
    *os << c.name;
}

class StatusFromMethods : public testing::TestWithParam<STATUS_CASE>
{
};

TEST_P(StatusFromMethods, ContentMethodsDecideOverAttributeMethods)
{
    const STATUS_CASE& c = GetParam();
    TwoTrees trees;
    trees.File("L/f", c.left);
    trees.File("R/f", c.right);
    trees.SetTime("f", TwoTrees::kTime, TwoTrees::kTime + c.rightTimeOffset);
    auto root = OpenRoot(trees.Left(), trees.Right());
    ASSERT_EQ(CompareLevel(*root, Params(c.methods)), 0);
    CFolderCompareItem* item = Find(root.get(), "f");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetStatus(), c.status);
    EXPECT_EQ(item->GetDiffBits(), c.diffBits);
    EXPECT_EQ(item->GetContentResult(), c.contentResult);
    EXPECT_NE(item->GetFlags() & ITEM_FLAG_COMPARED, 0u);
    // The root follows its only child.
    EXPECT_EQ(root->GetStatus(),
              c.status == ITEM_STATUS_DIFFERENT ? ITEM_STATUS_DIFFERENT : ITEM_STATUS_IDENTICAL);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StatusFromMethods,
    testing::Values(STATUS_CASE{"SizeOnlyIgnoresContents", METHOD_SIZE, "abc", "xyz", 0,
                                ITEM_STATUS_IDENTICAL, 0, CONTENT_NONE},
                    STATUS_CASE{"SizeDiffers", METHOD_SIZE, "abc", "abcd", 0, ITEM_STATUS_DIFFERENT,
                                DIFF_SIZE, CONTENT_NONE},
                    STATUS_CASE{"TimeAndSizeWithOnlyTimeApart", METHOD_LMTIME | METHOD_SIZE, "abc", "abc",
                                100, ITEM_STATUS_DIFFERENT, DIFF_LMTIME, CONTENT_NONE},
                    STATUS_CASE{"TimeWithinTheTolerance", METHOD_LMTIME, "abc", "abc", 2,
                                ITEM_STATUS_IDENTICAL, 0, CONTENT_NONE},
                    STATUS_CASE{"EqualChecksumsWinOverTimes", METHOD_LMTIME | METHOD_CRC32, "abc", "abc", 100,
                                ITEM_STATUS_IDENTICAL, DIFF_LMTIME, CONTENT_SAME},
                    STATUS_CASE{"BinaryFindsEqualSizedDifference", METHOD_SIZE | METHOD_BINARY, "abc", "abd",
                                0, ITEM_STATUS_DIFFERENT, 0, CONTENT_DIFFERENT},
                    STATUS_CASE{"TwoEmptyFilesAreTheSame", METHOD_BINARY, "", "", 0, ITEM_STATUS_IDENTICAL, 0,
                                CONTENT_SAME},
                    STATUS_CASE{"NoMethodsMakesEqual", 0, "abc", "xyzw", 0, ITEM_STATUS_IDENTICAL, 0,
                                CONTENT_NONE}),
    [](const testing::TestParamInfo<STATUS_CASE>& info) { return std::string(info.param.name); });

TEST(FolderCompareItemTest, FolderTimesDoNotMakeAFolderDifferent)
{
    TwoTrees trees;
    trees.Folder("L/d");
    trees.Folder("R/d");
    trees.Both("d/f", "same");
    trees.SetTime("d", TwoTrees::kTime, TwoTrees::kTime + 1000);
    auto root = OpenRoot(trees.Left(), trees.Right());
    ASSERT_EQ(
        CompareLevel(*root, Params(METHOD_LMTIME | METHOD_SIZE | METHOD_ATTRIBUTES), COMPARE_MODE_SUBTREE),
        0);
    CFolderCompareItem* folder = Find(root.get(), "d");
    EXPECT_TRUE(folder->IsIdentical());
    EXPECT_TRUE(root->IsIdentical());
}

TEST(FolderCompareItemTest, SameFolderOnBothSidesIsSamePath)
{
    TwoTrees trees;
    trees.File("L/f", "x");
    trees.Folder("L/d");
    ASSERT_EQ(symlink("L", trees.Path("link").c_str()), 0);
    for (const std::string& right : {trees.Left(), trees.Path("link"), trees.Left() + "/"})
    {
        auto root = OpenRoot(trees.Left(), right);
        root->Compare(Params(METHOD_BINARY), nullptr);
        EXPECT_TRUE(root->IsSamePath()) << right;
        ASSERT_EQ(CompareLevel(*root, Params(METHOD_BINARY)), 0);
        EXPECT_TRUE(Find(root.get(), "f")->IsSamePath()) << right;
        EXPECT_EQ(Find(root.get(), "f")->GetContentResult(), CONTENT_NONE)
            << "a file is not compared with itself";
        EXPECT_TRUE(Find(root.get(), "d")->IsSamePath()) << right;
        EXPECT_TRUE(root->IsSamePath()) << "kept through the aggregation";
    }
}

TEST(FolderCompareItemTest, FoldersDifferingOnlyInCaseAreNotTheSamePath)
{
    TwoTrees trees;
    trees.Folder("L/A");
    trees.Folder("L/a");
    trees.File("L/A/f", "one");
    trees.File("L/a/f", "two");
    auto root = OpenRoot(trees.Left("A"), trees.Left("a"));
    root->Compare(Params(METHOD_BINARY), nullptr);
    EXPECT_FALSE(root->IsSamePath());
    ASSERT_EQ(CompareLevel(*root, Params(METHOD_BINARY)), 0);
    EXPECT_TRUE(Find(root.get(), "f")->IsDifferent());
    EXPECT_TRUE(root->IsDifferent());
}

// ---------------------------------------------------------------------------------------------
// Aggregation, on items built in memory

// A pair of folders in memory that own what is added to them, with a root item over them.
class MemoryPair
{
public:
    MemoryPair() : m_root(NewFolder("/left", false), NewFolder("/right", false))
    {
        m_root.SetOwnsSides(true);
    }

    static CFolder* NewFolder(const std::string& name, bool relative)
    {
        auto* folder = new CFolder(name, relative);
        folder->m_dwAttributes = platform::FILE_ATTRIBUTE_DIRECTORY;
        return folder;
    }

    // A child item of `parent` with the sides given by `sides` (1 left, 2 right).
    CFolderCompareItem* AddFile(CFolderCompareItem* parent, const std::string& name, int sides,
                                platform::FileTime leftTime = 0, platform::FileTime rightTime = 0)
    {
        std::array<CFolderItem*, 2> objects{};
        for (int index = 0; index < 2; ++index)
        {
            if ((sides & (1 << index)) == 0)
                continue;
            auto* file = new CFolderItem(name, true);
            file->m_ftLastWriteTime = index == 0 ? leftTime : rightTime;
            parent->GetSide(index)->AsFolder()->AddChild(file);
            objects[index] = file;
        }
        auto* item = new CFolderCompareItem(objects[0], objects[1]);
        parent->AddChild(item);
        return item;
    }

    CFolderCompareItem* AddFolder(CFolderCompareItem* parent, const std::string& name)
    {
        std::array<CFolderItem*, 2> objects{};
        for (int index = 0; index < 2; ++index)
        {
            CFolder* folder = NewFolder(name, true);
            parent->GetSide(index)->AsFolder()->AddChild(folder);
            objects[index] = folder;
        }
        auto* item = new CFolderCompareItem(objects[0], objects[1]);
        parent->AddChild(item);
        return item;
    }

    CFolderCompareItem* Root() { return &m_root; }

private:
    CFolderCompareItem m_root;
};

struct CHILD
{
    std::uint32_t status;
    int sides; // 1 left, 2 right, 3 both
    bool excluded;
    bool hidden;
};

struct AGGREGATION_CASE
{
    const char* name;
    std::vector<CHILD> children;
    std::uint32_t state;
    std::uint32_t status;
};

void PrintTo(const AGGREGATION_CASE& c, std::ostream* os)
{
    *os << c.name;
}

class Aggregation : public testing::TestWithParam<AGGREGATION_CASE>
{
};

TEST_P(Aggregation, ChildrenDecideTheFolderState)
{
    const AGGREGATION_CASE& c = GetParam();
    MemoryPair pair;
    int n = 0;
    for (const CHILD& child : c.children)
    {
        CFolderCompareItem* item = pair.AddFile(pair.Root(), "f" + std::to_string(n++), child.sides);
        item->m_dwStatus = child.status;
        if (child.excluded)
            item->SetFlags(ITEM_FLAG_EXCLUDED, true);
        item->SetHidden(child.hidden);
    }
    pair.Root()->UpdateState();
    EXPECT_EQ(pair.Root()->GetState(), c.state);
    EXPECT_EQ(pair.Root()->GetStatus(), c.status);
}

constexpr std::uint32_t P = ITEM_STATUS_PENDING;
constexpr std::uint32_t I = ITEM_STATUS_IDENTICAL;
constexpr std::uint32_t S = ITEM_STATUS_SAMEPATH;
constexpr std::uint32_t D = ITEM_STATUS_DIFFERENT;
constexpr std::uint32_t E = ITEM_STATUS_ERROR;

INSTANTIATE_TEST_SUITE_P(
    Cases, Aggregation,
    testing::Values(
        AGGREGATION_CASE{"AllIdentical", {{I, 3, false, false}, {I, 3, false, false}}, ITEM_STATE_EQUAL, I},
        AGGREGATION_CASE{
            "OneDifferent", {{I, 3, false, false}, {D, 3, false, false}}, ITEM_STATE_DIFFERENT, D},
        AGGREGATION_CASE{"PendingWinsOverAnEarlierDifference",
                         {{D, 3, false, false}, {P, 3, false, false}},
                         ITEM_STATE_UNDETERMINED,
                         P},
        AGGREGATION_CASE{"PendingWinsOverALaterDifference",
                         {{P, 3, false, false}, {D, 3, false, false}},
                         ITEM_STATE_UNDETERMINED,
                         P},
        AGGREGATION_CASE{
            "ErrorDoesNotPropagate", {{I, 3, false, false}, {E, 3, false, false}}, ITEM_STATE_EQUAL, I},
        AGGREGATION_CASE{"SamePathChildrenAreEqual", {{S, 3, false, false}}, ITEM_STATE_EQUAL, I},
        AGGREGATION_CASE{
            "AnOrphanDiffers", {{I, 3, false, false}, {D, 1, false, false}}, ITEM_STATE_DIFFERENT, D},
        AGGREGATION_CASE{"AnOrphanInErrorStillDiffers", {{E, 2, false, false}}, ITEM_STATE_DIFFERENT, D},
        AGGREGATION_CASE{
            "ExcludedDifferenceIsIgnored", {{I, 3, false, false}, {D, 3, true, false}}, ITEM_STATE_EQUAL, I},
        AGGREGATION_CASE{"ExcludedPendingIsIgnored", {{P, 3, true, false}}, ITEM_STATE_EQUAL, I},
        AGGREGATION_CASE{"HiddenDifferenceCounts", {{D, 3, false, true}}, ITEM_STATE_DIFFERENT, D}),
    [](const testing::TestParamInfo<AGGREGATION_CASE>& info) { return std::string(info.param.name); });

TEST(FolderCompareItemTest, AggregationRunsUpToTheRoot)
{
    MemoryPair pair;
    CFolderCompareItem* sub = pair.AddFolder(pair.Root(), "sub");
    CFolderCompareItem* deep = pair.AddFolder(sub, "deep");
    CFolderCompareItem* file = pair.AddFile(deep, "f", 3);
    pair.AddFile(pair.Root(), "g", 3)->m_dwStatus = I;
    file->m_dwStatus = I;
    file->UpdateState(); // a file has no children: nothing changes
    EXPECT_EQ(pair.Root()->GetStatus(), P);

    deep->UpdateState();
    EXPECT_EQ(deep->GetStatus(), I);
    EXPECT_EQ(sub->GetStatus(), I);
    EXPECT_EQ(pair.Root()->GetStatus(), I);

    file->m_dwStatus = D;
    deep->UpdateState();
    EXPECT_EQ(sub->GetStatus(), D);
    EXPECT_EQ(pair.Root()->GetStatus(), D);
}

TEST(FolderCompareItemTest, AFolderPairWhoseOnlyDifferenceIsExcludedIsIdentical)
{
    TwoTrees trees;
    trees.Both("keep.c", "same");
    trees.File("L/build.o", "left only");
    trees.File("L/changed.o", "one");
    trees.File("R/changed.o", "other");
    trees.Folder("L/CVS");
    trees.File("L/CVS/Entries", "x");
    CFolderCompareParams params = Params(METHOD_SIZE | METHOD_BINARY);
    params.m_filters.m_fileFilters.m_strExclude = "*.o";
    params.m_filters.m_folderFilters.m_strExclude = "CVS";
    auto root = OpenRoot(trees.Left(), trees.Right());
    ASSERT_EQ(CompareLevel(*root, params, COMPARE_MODE_SUBTREE), 0);
    EXPECT_TRUE(Find(root.get(), "build.o")->IsExcluded());
    EXPECT_TRUE(Find(root.get(), "changed.o")->IsExcluded());
    EXPECT_TRUE(Find(root.get(), "CVS")->IsExcluded());
    EXPECT_TRUE(Find(root.get(), "changed.o")->IsPending()) << "excluded items are not compared";
    EXPECT_FALSE(Find(root.get(), "keep.c")->IsExcluded());
    EXPECT_TRUE(root->IsIdentical());
}

TEST(FolderCompareItemTest, AChildIsExcludedOnlyWhenEverySideIs)
{
    TwoTrees trees;
    trees.File("L/mixed", std::string("bin\0ary", 7));
    trees.File("R/mixed", "text");
    trees.File("L/binary", std::string("\0\0", 2));
    trees.File("R/binary", std::string("\0\1", 2));
    CFolderCompareParams params = Params(METHOD_BINARY);
    params.m_filters.m_fileFilters.m_dwExcludeTypes = FILTER_TYPE_BINARY;
    auto root = OpenRoot(trees.Left(), trees.Right());
    ASSERT_EQ(CompareLevel(*root, params), 0);
    CFolderCompareItem* mixed = Find(root.get(), "mixed");
    EXPECT_FALSE(mixed->IsExcluded());
    EXPECT_TRUE(mixed->GetSide(0)->IsExcluded()) << "each side carries its own mark";
    EXPECT_FALSE(mixed->GetSide(1)->IsExcluded());
    EXPECT_TRUE(mixed->IsDifferent());
    EXPECT_TRUE(Find(root.get(), "binary")->IsExcluded());

    // A file that is neither text nor binary to the type detection stays, and shows its error.
    ASSERT_EQ(mkfifo(trees.Left("pipe").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo(trees.Right("pipe").c_str(), 0644), 0);
    ASSERT_EQ(CompareLevel(*root, params), 0);
    CFolderCompareItem* pipe = Find(root.get(), "pipe");
    EXPECT_FALSE(pipe->IsExcluded());
    EXPECT_FALSE(pipe->GetSide(0)->IsExcluded());
    EXPECT_TRUE(pipe->IsError());
    EXPECT_EQ(Find(root.get(), "mixed")->GetFileType(), 2) << "left binary";
}

TEST(FolderCompareItemTest, FileTypeColumn)
{
    TwoTrees trees;
    trees.File("L/tb", "text");
    trees.File("R/tb", std::string("\0", 1));
    trees.File("L/bt", std::string("\0", 1));
    trees.File("R/bt", "text");
    trees.File("R/only", "text");
    trees.Folder("L/d");
    auto root = OpenRoot(trees.Left(), trees.Right());
    ASSERT_EQ(CompareLevel(*root, Params(METHOD_TYPE)), 0);
    EXPECT_EQ(Find(root.get(), "tb")->GetFileType(), 2) << "a text left side shows the right side's type";
    EXPECT_EQ(Find(root.get(), "bt")->GetFileType(), 2);
    EXPECT_EQ(Find(root.get(), "only")->DetectFileType(), 1);
    EXPECT_EQ(Find(root.get(), "d")->GetFileType(), 4);
    EXPECT_TRUE(Find(root.get(), "tb")->HasDiff(DIFF_TYPE));
}

// ---------------------------------------------------------------------------------------------
// Display filters and selections, on items built in memory

class ItemKinds : public testing::Test
{
protected:
    void SetUp() override
    {
        constexpr platform::FileTime t = 133'000'000'000'000'000ULL;
        constexpr platform::FileTime later = t + 100 * platform::kTicksPerSecond;
        m_identical = Make("identical", 3, I, 0);
        m_different = Make("different", 3, D, DIFF_SIZE);
        m_leftNewer = Make("leftNewer", 3, D, DIFF_LMTIME, later, t);
        m_rightNewer = Make("rightNewer", 3, D, DIFF_LMTIME, t, later);
        m_leftOrphan = Make("leftOrphan", 1, D, 0);
        m_rightOrphan = Make("rightOrphan", 2, D, 0);
        m_pending = Make("pending", 3, P, 0);
        m_error = Make("error", 3, E, 0);
        m_folder = m_pair.AddFolder(m_pair.Root(), "folder");
        m_folder->m_dwStatus = D;
    }

    CFolderCompareItem* Make(const std::string& name, int sides, std::uint32_t status, std::uint32_t bits,
                             platform::FileTime leftTime = 0, platform::FileTime rightTime = 0)
    {
        CFolderCompareItem* item = m_pair.AddFile(m_pair.Root(), name, sides, leftTime, rightTime);
        item->m_dwStatus = status;
        item->m_dwDiffBits = bits;
        return item;
    }

    // The names of the items that the word shows.
    std::string Shown(std::uint32_t word)
    {
        std::string shown;
        for (CFolderCompareItem* item : All())
            if (!IsHiddenByDisplayFilter(word, *item))
                shown += (shown.empty() ? "" : " ") + item->GetName();
        return shown;
    }

    std::string Selected(int command)
    {
        std::string selected;
        for (CFolderCompareItem* item : All())
            if (MatchesSelection(command, *item))
                selected += (selected.empty() ? "" : " ") + item->GetName();
        return selected;
    }

    std::vector<CFolderCompareItem*> All()
    {
        return {m_identical,   m_different, m_leftNewer, m_rightNewer, m_leftOrphan,
                m_rightOrphan, m_pending,   m_error,     m_folder};
    }

    MemoryPair m_pair;
    CFolderCompareItem* m_identical = nullptr;
    CFolderCompareItem* m_different = nullptr;
    CFolderCompareItem* m_leftNewer = nullptr;
    CFolderCompareItem* m_rightNewer = nullptr;
    CFolderCompareItem* m_leftOrphan = nullptr;
    CFolderCompareItem* m_rightOrphan = nullptr;
    CFolderCompareItem* m_pending = nullptr;
    CFolderCompareItem* m_error = nullptr;
    CFolderCompareItem* m_folder = nullptr;
};

TEST_F(ItemKinds, DisplayFiltersShowDisjointCategories)
{
    struct CASE
    {
        std::uint32_t word;
        const char* shown;
    };
    const CASE cases[] = {
        {0x333, "identical different leftNewer rightNewer leftOrphan rightOrphan pending error folder"},
        {0x110, "leftNewer leftOrphan folder"},
        {0x220, "rightNewer rightOrphan folder"},
        {0x001, "identical folder"},
        {0x002, "different folder"},
        {0x030, "leftOrphan rightOrphan folder"},
        {0x300, "leftNewer rightNewer folder"},
        {0x332, "different leftNewer rightNewer leftOrphan rightOrphan folder"},
        {0x000, "folder"},
    };
    for (const CASE& c : cases)
        EXPECT_EQ(Shown(c.word), c.shown) << std::hex << c.word;
}

TEST_F(ItemKinds, NewerIsJudgedAgainByTheTimes)
{
    // Times within the tolerance no longer count as newer: the item is then in no category.
    m_leftNewer->GetSide(1)->m_ftLastWriteTime = m_leftNewer->GetSide(0)->m_ftLastWriteTime;
    EXPECT_EQ(Shown(DISPLAY_LEFTNEWER), "folder");
}

TEST_F(ItemKinds, SelectionCommandsPickFileItems)
{
    struct CASE
    {
        int command;
        const char* selected;
    };
    const CASE cases[] = {
        {ID_SELECT_ALLFILES, "identical different leftNewer rightNewer leftOrphan rightOrphan pending error"},
        {ID_SELECT_ALLDIFFERENT, "different leftNewer rightNewer leftOrphan rightOrphan"},
        {ID_SELECT_DIFFERENTBUTORPHANS, "different leftNewer rightNewer"},
        {ID_SELECT_ORPHANS, "leftOrphan rightOrphan"},
        {ID_SELECT_LEFTORPHANS, "leftOrphan"},
        {ID_SELECT_RIGHTORPHANS, "rightOrphan"},
        {ID_SELECT_LEFTNEWER, "leftNewer"},
        {ID_SELECT_RIGHTNEWER, "rightNewer"},
        {ID_SELECT_LEFTNEWERANDORPHANS, "leftNewer leftOrphan"},
        {ID_SELECT_RIGHTNEWERANDORPHANS, "rightNewer rightOrphan"},
        {43520, ""},
    };
    for (const CASE& c : cases)
        EXPECT_EQ(Selected(c.command), c.selected) << c.command;
}

TEST_F(ItemKinds, HidingAndExcluding)
{
    m_identical->SetHidden(true);
    m_different->SetHidden(true);
    EXPECT_TRUE(m_identical->IsHidden());
    m_pair.Root()->UnhideChildren();
    EXPECT_FALSE(m_identical->IsHidden());
    EXPECT_FALSE(m_different->IsHidden());

    m_different->Exclude();
    EXPECT_TRUE(m_different->IsExcluded());
    EXPECT_TRUE(m_different->GetSide(0)->IsExcluded());
    EXPECT_TRUE(m_different->GetSide(1)->IsExcluded());
    m_different->Compare(Params(METHOD_SIZE), nullptr);
    EXPECT_TRUE(m_different->IsDifferent()) << "an excluded item is not compared again";
}

TEST_F(ItemKinds, FindChildByOtherSide)
{
    CFolderCompareItem* root = m_pair.Root();
    CFolderItem probe("leftOrphan", true);
    EXPECT_EQ(root->FindChildByOtherSide(1, &probe, false), m_leftOrphan);
    EXPECT_EQ(root->FindChildByOtherSide(0, &probe, false), nullptr) << "no right side of that name";
    EXPECT_EQ(root->FindChildByOtherSide(1, &probe, true), nullptr) << "not a folder";
    CFolderItem upper("LEFTORPHAN", true);
    EXPECT_EQ(root->FindChildByOtherSide(1, &upper, false), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Comparing levels, subtrees, progress and cancellation

class CProgressRecorder : public CProcessCallback
{
public:
    int BeginProgress() override
    {
        m_calls.push_back("begin");
        return 0;
    }
    int EndProgress() override
    {
        m_calls.push_back("end");
        return 0;
    }
    int SetProgressText(std::string_view text) override
    {
        m_calls.push_back("text " + std::string(text));
        return 0;
    }
    int SetProgress(int kind, std::int32_t value) override
    {
        m_calls.push_back((kind == kSetRange ? "range " : "pos ") + std::to_string(value));
        if (kind == kSetPosition && value == m_nCancelAt && m_pCancel != nullptr)
            m_pCancel->store(1);
        return 0;
    }

    std::vector<std::string> m_calls;
    CancelFlag* m_pCancel = nullptr;
    int m_nCancelAt = -1;
};

TEST(FolderCompareItemTest, ProgressReportsEveryChildOfTheLevel)
{
    TwoTrees trees;
    for (const char* name : {"a", "b", "c"})
        trees.Both(name, "x");
    auto root = OpenRoot(trees.Left(), trees.Right());
    CProgressRecorder progress;
    ASSERT_EQ(root->CompareChildren(Params(METHOD_SIZE), COMPARE_MODE_LEVEL, true, true, &progress, nullptr),
              0);
    EXPECT_EQ(progress.m_calls, (std::vector<std::string>{"begin", "range 2", "text Comparing folders: L",
                                                          "pos 0", "pos 1", "pos 2", "end"}));

    CFolderCompareParams project = Params(METHOD_SIZE);
    project.m_nType = COMPARE_TYPE_PROJECT;
    progress.m_calls.clear();
    ASSERT_EQ(root->CompareChildren(project, COMPARE_MODE_LEVEL, false, true, &progress, nullptr), 0);
    EXPECT_EQ(progress.m_calls.at(2), "text Comparing projects: L");
}

TEST(FolderCompareItemTest, ACancelLeavesTheLaterChildrenPending)
{
    TwoTrees trees;
    for (const char* name : {"a", "b", "c", "d"})
        trees.Both(name, "x");
    trees.File("R/a", "different size");
    auto root = OpenRoot(trees.Left(), trees.Right());
    CancelFlag cancel{0};
    CProgressRecorder progress;
    progress.m_pCancel = &cancel;
    progress.m_nCancelAt = 1;
    ASSERT_EQ(root->CompareChildren(Params(METHOD_SIZE), COMPARE_MODE_LEVEL, true, true, &progress, &cancel),
              0);
    EXPECT_TRUE(Find(root.get(), "a")->IsDifferent());
    EXPECT_TRUE(Find(root.get(), "b")->IsIdentical());
    EXPECT_TRUE(Find(root.get(), "c")->IsPending());
    EXPECT_TRUE(Find(root.get(), "d")->IsPending());
    EXPECT_NE(root->GetFlags() & ITEM_FLAG_CHILDRENBUILT, 0u)
        << "the level counts as built even after a cancel";
    EXPECT_TRUE(root->IsPending()) << "a pending child keeps the folder pending despite a different one";
    EXPECT_EQ(progress.m_calls.back(), "end");
}

TEST(FolderCompareItemTest, LevelModeLeavesDeeperFoldersForLater)
{
    TwoTrees trees;
    trees.Folder("L/sub");
    trees.Folder("R/sub");
    trees.Both("sub/f", "x");
    trees.Folder("L/empty");
    trees.Folder("R/empty");
    auto root = OpenRoot(trees.Left(), trees.Right());
    const CFolderCompareParams params = Params(METHOD_SIZE);
    ASSERT_EQ(CompareLevel(*root, params), 0);
    CFolderCompareItem* sub = Find(root.get(), "sub");
    EXPECT_EQ(sub->GetChildState(), 1) << "may have children, none built";
    EXPECT_TRUE(sub->IsPending());
    EXPECT_TRUE(root->IsPending());
    CFolderCompareItem* empty = Find(root.get(), "empty");
    EXPECT_EQ(empty->GetChildState(), 0);
    EXPECT_TRUE(empty->IsIdentical()) << "an empty pair of folders is equal";

    // Expanding the row builds the level, and the parents follow.
    ASSERT_EQ(sub->CompareChildren(params, COMPARE_MODE_LEVEL, true, true, nullptr, nullptr), 0);
    EXPECT_TRUE(sub->IsIdentical());
    EXPECT_TRUE(root->IsIdentical());
}

TEST(FolderCompareItemTest, TwoEmptyRootsAreIdentical)
{
    TwoTrees trees;
    auto root = OpenRoot(trees.Left(), trees.Right());
    ASSERT_EQ(CompareLevel(*root, Params(METHOD_SIZE)), 0);
    EXPECT_EQ(root->GetChildCount(), 0);
    EXPECT_TRUE(root->IsIdentical());
}

TEST(FolderCompareItemTest, ATreeTwoHundredLevelsDeep)
{
    TwoTrees trees;
    std::string rel;
    for (int level = 0; level < 200; ++level)
    {
        rel += (rel.empty() ? "" : "/") + std::string("d");
        trees.Folder("L/" + rel);
        trees.Folder("R/" + rel);
    }
    trees.File("L/" + rel + "/leaf", "left");
    trees.File("R/" + rel + "/leaf", "rght");
    auto root = OpenRoot(trees.Left(), trees.Right());
    ASSERT_EQ(CompareLevel(*root, Params(METHOD_SIZE), COMPARE_MODE_SUBTREE), 0);
    CFolderCompareItem* leaf = Find(root.get(), rel + "/leaf");
    ASSERT_NE(leaf, nullptr);
    EXPECT_TRUE(leaf->IsIdentical());
    EXPECT_TRUE(root->IsIdentical());

    ASSERT_EQ(CompareLevel(*root, Params(METHOD_BINARY), COMPARE_MODE_SUBTREE), 0);
    leaf = Find(root.get(), rel + "/leaf");
    EXPECT_TRUE(leaf->IsDifferent());
    for (CFolderCompareItem* item = leaf->GetParent(); item != nullptr; item = item->GetParent())
        ASSERT_TRUE(item->IsDifferent()) << "every ancestor differs";
}

TEST(FolderCompareItemTest, RecompareKeepsDescriptionsAndReloadReadsTheDisk)
{
    TwoTrees trees;
    trees.Both("f", "same");
    auto root = OpenRoot(trees.Left(), trees.Right());
    const CFolderCompareParams params = Params(METHOD_SIZE);
    ASSERT_EQ(CompareLevel(*root, params), 0);
    CFolderCompareItem* item = Find(root.get(), "f");
    ASSERT_TRUE(item->IsIdentical());
    trees.File("R/f", "longer now");

    item->CompareTree(params, COMPARE_MODE_LEVEL, false, false, nullptr, nullptr);
    EXPECT_TRUE(item->IsIdentical()) << "already compared";
    item->CompareTree(params, COMPARE_MODE_LEVEL, false, true, nullptr, nullptr);
    EXPECT_TRUE(item->IsIdentical()) << "a recompare uses the cached descriptions";
    item->CompareTree(params, COMPARE_MODE_LEVEL, true, true, nullptr, nullptr);
    EXPECT_TRUE(item->IsDifferent());
    EXPECT_TRUE(root->IsDifferent()) << "the parent is re-aggregated";

    trees.File("R/f", "same");
    EXPECT_EQ(item->CompareOne(params, true, true, nullptr), static_cast<int>(ITEM_STATUS_IDENTICAL));
    EXPECT_TRUE(root->IsIdentical());
}

TEST(FolderCompareItemTest, CompareOneDropsTheChildrenOfAFolder)
{
    TwoTrees trees;
    trees.Folder("L/d");
    trees.Folder("R/d");
    trees.Both("d/f", "x");
    auto root = OpenRoot(trees.Left(), trees.Right());
    const CFolderCompareParams params = Params(METHOD_SIZE);
    ASSERT_EQ(CompareLevel(*root, params, COMPARE_MODE_SUBTREE), 0);
    CFolderCompareItem* folder = Find(root.get(), "d");
    ASSERT_EQ(folder->GetChildCount(), 1);
    folder->CompareOne(params, false, true, nullptr);
    EXPECT_EQ(folder->GetChildCount(), 0);
    EXPECT_EQ(folder->GetFlags() & ITEM_FLAG_CHILDRENBUILT, 0u);
    EXPECT_TRUE(folder->IsPending()) << "children expected again";
    EXPECT_TRUE(root->IsPending());
}

// ---------------------------------------------------------------------------------------------
// Bad input

TEST(FolderCompareItemTest, LinksErrorsAndOddNamesGiveItemsAndTheComparisonGoesOn)
{
    TwoTrees trees;
    trees.Both("plain", "x");
    trees.Both("caf\xe9\xff", "y");
    for (const char* side : {"L", "R"})
    {
        ASSERT_EQ(symlink("nowhere", trees.Path(std::string(side) + "/dangling").c_str()), 0);
        ASSERT_EQ(symlink(".", trees.Path(std::string(side) + "/loop").c_str()), 0);
        // A pipe must never be opened for reading: nobody writes to it.
        ASSERT_EQ(mkfifo(trees.Path(std::string(side) + "/pipe").c_str(), 0644), 0);
        trees.Folder(std::string(side) + "/sub");
        ASSERT_EQ(symlink("..", trees.Path(std::string(side) + "/sub/up").c_str()), 0); // the root
    }
    ASSERT_EQ(symlink("nowhere", trees.Path("L/left-dangling").c_str()), 0);
    auto root = OpenRoot(trees.Left(), trees.Right());
    ASSERT_EQ(CompareLevel(*root, Params(METHOD_LMTIME | METHOD_SIZE | METHOD_BINARY), COMPARE_MODE_SUBTREE),
              0);

    EXPECT_TRUE(Find(root.get(), "plain")->IsIdentical());
    EXPECT_TRUE(Find(root.get(), "caf\xe9\xff")->IsIdentical());
    EXPECT_TRUE(Find(root.get(), "dangling")->IsError());
    EXPECT_TRUE(Find(root.get(), "left-dangling")->IsError());
    EXPECT_TRUE(Find(root.get(), "pipe")->IsError());
    EXPECT_EQ(Find(root.get(), "dangling")->GetErrorText(),
              trees.Left("dangling") + ": No such file or directory");
    EXPECT_EQ(Find(root.get(), "plain")->GetErrorText(), "");
    CFolderCompareItem* loop = Find(root.get(), "loop");
    EXPECT_TRUE(loop->IsFolderItem());
    EXPECT_TRUE(loop->IsError());
    EXPECT_EQ(loop->GetChildCount(), 0) << "a loop is never entered";
    EXPECT_NE(loop->GetErrorText().find("not followed"), std::string::npos) << loop->GetErrorText();
    CFolderCompareItem* up = Find(root.get(), "sub/up");
    ASSERT_NE(up, nullptr);
    EXPECT_TRUE(up->IsError());
    EXPECT_EQ(up->GetChildCount(), 0);
    // Errors do not make their parents different; the orphan in error does.
    EXPECT_TRUE(Find(root.get(), "sub")->IsIdentical());
    EXPECT_TRUE(root->IsDifferent());
}

TEST(FolderCompareItemTest, AFolderThatVanishedBeforeItsLevelIsAnError)
{
    TwoTrees trees;
    trees.Folder("L/d");
    trees.Folder("R/d");
    trees.Both("d/f", "x");
    trees.Both("g", "x");
    auto root = OpenRoot(trees.Left(), trees.Right());
    const CFolderCompareParams params = Params(METHOD_SIZE);
    ASSERT_EQ(CompareLevel(*root, params), 0);
    ASSERT_EQ(unlink(trees.Left("d/f").c_str()), 0);
    ASSERT_EQ(rmdir(trees.Left("d").c_str()), 0);

    CFolderCompareItem* folder = Find(root.get(), "d");
    ASSERT_EQ(folder->CompareChildren(params, COMPARE_MODE_LEVEL, true, true, nullptr, nullptr), 0);
    EXPECT_TRUE(folder->IsError());
    EXPECT_EQ(folder->GetErrorText(), trees.Left("d") + ": cannot be listed: No such file or directory");
    EXPECT_EQ(Rows(*folder), std::vector<std::string>{"f R"}) << "what the other side holds is still shown";
    EXPECT_TRUE(Find(root.get(), "g")->IsIdentical());
    EXPECT_TRUE(root->IsIdentical()) << "an error does not make the parent different";
}

TEST(FolderCompareItemTest, AFileThatVanishesBeforeItsContentsAreReadIsAnError)
{
    TwoTrees trees;
    trees.Both("f", "abc");
    trees.Both("g", "abc");
    auto root = OpenRoot(trees.Left(), trees.Right());
    ASSERT_EQ(CompareLevel(*root, Params(METHOD_SIZE)), 0);
    ASSERT_EQ(unlink(trees.Left("f").c_str()), 0);
    CRecorder window;
    CFolderCompareItem* item = Find(root.get(), "f");
    EXPECT_EQ(item->CompareContents(METHOD_BINARY, &window, nullptr), 0);
    EXPECT_TRUE(item->IsError());
    EXPECT_EQ(item->GetContentResult(), CONTENT_ERROR);
    EXPECT_TRUE(root->IsIdentical());
    EXPECT_EQ(window.m_messages, (std::vector<MESSAGE>{{ITEMMSG_REFRESH, 0, item}}));
}

TEST(FolderCompareItemTest, AnUnreadableFolderIsAnErrorItem)
{
    if (testsupport::RunningAsRoot())
        GTEST_SKIP()
            << "root lists folders without read permission (the vanished-folder test covers the path)";
    TwoTrees trees;
    trees.Folder("L/locked");
    trees.Folder("R/locked");
    trees.Both("locked/f", "x");
    ASSERT_EQ(chmod(trees.Left("locked").c_str(), 0), 0);
    auto root = OpenRoot(trees.Left(), trees.Right());
    ASSERT_EQ(CompareLevel(*root, Params(METHOD_SIZE), COMPARE_MODE_SUBTREE), 0);
    EXPECT_TRUE(Find(root.get(), "locked")->IsError());
}

// In memory when the machine has a memory file system: the fixture tests the pairing, not the disk.
std::unique_ptr<TempDir> MemoryTempDir()
{
    struct stat shm
    {
    };
    if (stat("/dev/shm", &shm) == 0 && S_ISDIR(shm.st_mode) && access("/dev/shm", W_OK) == 0)
    {
        testsupport::ScopedEnv tmp("TMPDIR", "/dev/shm");
        return std::make_unique<TempDir>();
    }
    return std::make_unique<TempDir>();
}

TEST(FolderCompareItemTest, AHundredThousandEntriesInOneFolder)
{
    TwoTrees trees(MemoryTempDir());
    constexpr int kCount = 100000;
    for (int i = 0; i < kCount; ++i)
    {
        const std::string rel = "f" + std::to_string(i);
        const int fd = open(trees.Left(rel).c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        close(fd);
        ASSERT_EQ(link(trees.Left(rel).c_str(), trees.Right(rel).c_str()), 0);
    }
    ASSERT_EQ(unlink(trees.Left("f7").c_str()), 0);
    trees.File("L/f7", "changed");
    auto root = OpenRoot(trees.Left(), trees.Right());
    ASSERT_EQ(CompareLevel(*root, Params(METHOD_SIZE)), 0);
    ASSERT_EQ(root->GetChildCount(), kCount);
    int identical = 0;
    for (int i = 0; i < root->GetChildCount(); ++i)
    {
        identical += root->GetChild(i)->IsIdentical() ? 1 : 0;
        if (i > 0)
        {
            ASSERT_LT(CompareFolderItemNames(root->GetChild(i - 1)->GetName(), root->GetChild(i)->GetName()),
                      0);
        }
    }
    EXPECT_EQ(identical, kCount - 1);
    EXPECT_TRUE(root->IsDifferent());
}

// ---------------------------------------------------------------------------------------------
// File operations

class FileOperations : public testing::Test
{
protected:
    void Open(int mode = COMPARE_MODE_SUBTREE)
    {
        m_root = OpenRoot(m_trees.Left(), m_trees.Right());
        ASSERT_EQ(CompareLevel(*m_root, m_params, mode), 0);
    }
    CFolderCompareItem* Item(const std::string& rel) { return Find(m_root.get(), rel); }

    TwoTrees m_trees;
    CFolderCompareParams m_params = Params(METHOD_LMTIME | METHOD_SIZE | METHOD_BINARY);
    std::unique_ptr<CFolderCompareItem> m_root;
    CRecorder m_window;
};

TEST_F(FileOperations, CopyingADeepOrphanCreatesItsFoldersAndPairsTheParents)
{
    m_trees.Folder("L/a");
    m_trees.Folder("L/a/b");
    m_trees.File("L/a/b/f.txt", "payload");
    m_trees.File("L/a/b/other", "stays an orphan");
    m_trees.Both("top", "x");
    Open();
    CFolderCompareItem* file = Item("a/b/f.txt");
    ASSERT_NE(file, nullptr);
    ASSERT_FALSE(file->HasSide(1));

    ASSERT_EQ(file->CopyToOtherSide(0, kQuietFlags, 2, &m_window, nullptr), 0);
    EXPECT_EQ(ReadFile(m_trees.Right("a/b/f.txt")), "payload");
    EXPECT_TRUE(file->HasBothSides());
    EXPECT_TRUE(file->IsIdentical());
    EXPECT_EQ(file->GetSide(1)->GetPath(), m_trees.Right("a/b/f.txt"));
    CFolderCompareItem* b = Item("a/b");
    CFolderCompareItem* a = Item("a");
    EXPECT_TRUE(a->HasBothSides());
    EXPECT_TRUE(b->HasBothSides());
    EXPECT_EQ(b->GetSide(1)->GetParent(), a->GetSide(1));
    EXPECT_TRUE(b->IsDifferent()) << "'other' is still a left orphan";
    EXPECT_TRUE(m_root->IsDifferent());
    EXPECT_EQ(
        m_window.m_messages,
        (std::vector<MESSAGE>{{ITEMMSG_REFRESH, 0, a}, {ITEMMSG_REFRESH, 0, b}, {ITEMMSG_REFRESH, 0, file}}));

    ASSERT_EQ(Item("a/b/other")->CopyToOtherSide(0, kQuietFlags, 2, nullptr, nullptr), 0);
    EXPECT_TRUE(b->IsIdentical());
    EXPECT_TRUE(m_root->IsIdentical());
}

TEST_F(FileOperations, CopyingAFolderEmptyLeavesItsChildrenOrphans)
{
    m_trees.Folder("L/dir");
    m_trees.File("L/dir/x", "x");
    m_trees.File("L/dir/y", "y");
    Open();
    CFolderCompareItem* dir = Item("dir");
    ASSERT_EQ(dir->CopyToOtherSide(0, kQuietFlags, 0, &m_window, nullptr), 0);
    struct stat st
    {
    };
    ASSERT_EQ(stat(m_trees.Right("dir").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_NE(stat(m_trees.Right("dir/x").c_str(), &st), 0);
    EXPECT_TRUE(dir->HasBothSides());
    EXPECT_EQ(Rows(*dir), (std::vector<std::string>{"x L", "y L"}));
    EXPECT_TRUE(dir->IsDifferent());

    // With its contents, everything pairs.
    ASSERT_EQ(dir->CopyToOtherSide(0, kQuietFlags, 2, &m_window, nullptr), 0);
    EXPECT_EQ(ReadFile(m_trees.Right("dir/y")), "y");
    EXPECT_EQ(Rows(*dir), (std::vector<std::string>{"x LR", "y LR"}));
    EXPECT_TRUE(dir->IsIdentical());
    EXPECT_TRUE(m_root->IsIdentical());
    EXPECT_EQ(m_window.m_messages.back(), (MESSAGE{ITEMMSG_REFRESH, 2, dir}));
}

class CAnswerNo : public platform::FileOperationObserver
{
public:
    platform::OverwriteAnswer ConfirmOverwrite(const std::string&, const std::string&) override
    {
        ++m_nAsked;
        return platform::OverwriteAnswer::No;
    }
    int m_nAsked = 0;
};

TEST_F(FileOperations, ADeclinedReplacementLeavesTheItemAsItWas)
{
    m_trees.File("L/f", "new content");
    m_trees.File("R/f", "old");
    Open();
    CFolderCompareItem* item = Item("f");
    ASSERT_TRUE(item->IsDifferent());
    CAnswerNo no;
    m_window.m_pObserver = &no;
    EXPECT_EQ(item->CopyToOtherSide(0, platform::FOF_SILENT, 2, &m_window, nullptr), -1);
    EXPECT_EQ(no.m_nAsked, 1);
    EXPECT_EQ(ReadFile(m_trees.Right("f")), "old");
    EXPECT_TRUE(item->IsDifferent());
    EXPECT_TRUE(m_window.m_messages.empty());
}

TEST_F(FileOperations, DeletingOneSideMakesAnOrphanAndBothRemovesTheItem)
{
    m_trees.Both("pair", "x");
    m_trees.Both("gone", "x");
    m_trees.Folder("L/dir");
    m_trees.Folder("R/dir");
    m_trees.Both("dir/inner", "x");
    Open();
    CFolderCompareItem* pair = Item("pair");
    ASSERT_EQ(pair->DeleteSides(SIDE_MASK_RIGHT, kQuietFlags, &m_window, nullptr), 0);
    EXPECT_TRUE(pair->HasSide(0));
    EXPECT_FALSE(pair->HasSide(1));
    EXPECT_TRUE(pair->IsDifferent());
    EXPECT_NE(access(m_trees.Right("pair").c_str(), F_OK), 0);
    EXPECT_EQ(access(m_trees.Left("pair").c_str(), F_OK), 0);
    EXPECT_EQ(m_window.m_messages, (std::vector<MESSAGE>{{ITEMMSG_REFRESH, 0, pair}}));

    m_window.m_messages.clear();
    CFolderCompareItem* gone = Item("gone");
    const int before = m_root->GetChildCount();
    ASSERT_EQ(gone->DeleteSides(SIDE_MASK_BOTH, kQuietFlags, &m_window, nullptr), 0);
    EXPECT_EQ(m_root->GetChildCount(), before - 1);
    EXPECT_EQ(Item("gone"), nullptr);
    ASSERT_EQ(m_window.m_messages.size(), 1u);
    EXPECT_EQ(m_window.m_messages[0].message, ITEMMSG_REMOVE);

    // A folder side goes with everything below it.
    CFolderCompareItem* dir = Item("dir");
    ASSERT_EQ(dir->DeleteSides(SIDE_MASK_LEFT, kQuietFlags, nullptr, nullptr), 0);
    EXPECT_EQ(Rows(*dir), std::vector<std::string>{"inner R"});
    EXPECT_TRUE(Item("dir/inner")->IsDifferent());
    EXPECT_TRUE(dir->IsDifferent());
    EXPECT_EQ(m_root->GetSide(0)->AsFolder()->FindChild(nullptr), -1);
    EXPECT_EQ(m_root->GetSide(0)->AsFolder()->GetChildCount(true), 1) << "only 'pair' is left on the left";

    m_window.m_messages.clear();
    ASSERT_EQ(dir->DeleteSides(SIDE_MASK_RIGHT, kQuietFlags, &m_window, nullptr), 0);
    ASSERT_EQ(m_window.m_messages.size(), 2u);
    EXPECT_EQ(m_window.m_messages[0].message, ITEMMSG_REMOVE) << "the child first";
    EXPECT_EQ(m_window.m_messages[1].message, ITEMMSG_REMOVE);
    EXPECT_EQ(Rows(*m_root), std::vector<std::string>{"pair L"});
}

TEST_F(FileOperations, DeletingNothingFails)
{
    m_trees.File("L/only", "x");
    Open();
    EXPECT_EQ(Item("only")->DeleteSides(SIDE_MASK_RIGHT, kQuietFlags, &m_window, nullptr), -1);
    EXPECT_TRUE(m_window.m_messages.empty());
}

TEST_F(FileOperations, RenamingOneSideAsksTheParentToRebuild)
{
    m_trees.Both("p.txt", "x");
    Open();
    CFolderCompareItem* item = Item("p.txt");
    ASSERT_EQ(item->RenameSides(SIDE_MASK_LEFT, "q.txt", kQuietFlags, &m_window, nullptr), 0);
    EXPECT_EQ(access(m_trees.Left("q.txt").c_str(), F_OK), 0);
    EXPECT_EQ(m_window.m_messages, (std::vector<MESSAGE>{{ITEMMSG_REBUILDCHILDREN, 1, m_root.get()}}));
    ASSERT_EQ(m_root->CompareChildren(m_params, COMPARE_MODE_LEVEL, false, true, nullptr, nullptr), 0);
    EXPECT_EQ(Rows(*m_root), (std::vector<std::string>{"p.txt R", "q.txt L"}));

    m_window.m_messages.clear();
    EXPECT_EQ(Item("q.txt")->RenameSides(SIDE_MASK_LEFT, "../escape", kQuietFlags, &m_window, nullptr), -1);
    EXPECT_EQ(Item("q.txt")->RenameSides(SIDE_MASK_LEFT, "..", kQuietFlags, &m_window, nullptr), -1);
    EXPECT_TRUE(m_window.m_messages.empty());
}

TEST_F(FileOperations, RenamingBothSidesKeepsThePair)
{
    m_trees.Both("p.txt", "x");
    Open();
    CFolderCompareItem* item = Item("p.txt");
    ASSERT_EQ(item->RenameSides(SIDE_MASK_BOTH, "P.TXT", kQuietFlags, &m_window, nullptr), 0);
    EXPECT_EQ(item->GetSide(0)->GetPath(), m_trees.Left("P.TXT"));
    EXPECT_EQ(item->GetSide(1)->GetPath(), m_trees.Right("P.TXT"));
    EXPECT_EQ(m_window.m_messages, (std::vector<MESSAGE>{{ITEMMSG_REFRESH, 0, item}}));
}

TEST_F(FileOperations, MovingAFileLeavesAnOrphanOnTheOtherSide)
{
    m_trees.Folder("L/d");
    m_trees.File("L/d/m.txt", "moved");
    Open();
    CFolderCompareItem* item = Item("d/m.txt");
    ASSERT_EQ(item->MoveToOtherSide(0, kQuietFlags, &m_window, nullptr), 0);
    EXPECT_EQ(ReadFile(m_trees.Right("d/m.txt")), "moved");
    EXPECT_NE(access(m_trees.Left("d/m.txt").c_str(), F_OK), 0);
    EXPECT_FALSE(item->HasSide(0));
    EXPECT_TRUE(item->HasSide(1));
    EXPECT_TRUE(item->IsDifferent());
    EXPECT_TRUE(Item("d")->HasBothSides()) << "the folder was made on the right first";
    EXPECT_EQ(m_window.m_messages.back(), (MESSAGE{ITEMMSG_REFRESH, 0, item}));
}

TEST_F(FileOperations, MovingAFolderMovesItsSubtree)
{
    m_trees.Folder("L/d");
    m_trees.File("L/d/a", "a");
    m_trees.Folder("L/d/e");
    m_trees.File("L/d/e/b", "b");
    Open();
    CFolderCompareItem* dir = Item("d");
    ASSERT_EQ(dir->MoveToOtherSide(0, kQuietFlags, nullptr, nullptr), 0);
    EXPECT_EQ(ReadFile(m_trees.Right("d/e/b")), "b");
    EXPECT_NE(access(m_trees.Left("d").c_str(), F_OK), 0);
    EXPECT_EQ(Rows(*dir), (std::vector<std::string>{"e/ R", "a R"}));
    EXPECT_EQ(Item("d/e/b")->GetSide(1)->GetPath(), m_trees.Right("d/e/b"));
    EXPECT_EQ(m_root->GetSide(0)->AsFolder()->GetChildren(), nullptr);
}

TEST_F(FileOperations, SettingAttributesToTheirCurrentValueFails)
{
    m_trees.Both("f", "x");
    Open();
    CFolderCompareItem* item = Item("f");
    EXPECT_EQ(item->SetAttributes(SIDE_MASK_BOTH, platform::FILE_ATTRIBUTE_READONLY, 0, &m_window), -1);
    EXPECT_TRUE(m_window.m_messages.empty());

    ASSERT_EQ(item->SetAttributes(SIDE_MASK_LEFT, platform::FILE_ATTRIBUTE_READONLY,
                                  platform::FILE_ATTRIBUTE_READONLY, &m_window),
              0);
    struct stat st
    {
    };
    ASSERT_EQ(stat(m_trees.Left("f").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & S_IWUSR, 0u);
    EXPECT_TRUE(item->GetSide(0)->HasAttribute(platform::FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(m_window.m_messages, (std::vector<MESSAGE>{{ITEMMSG_RECOMPARE, 0, item}}));
}

TEST_F(FileOperations, SettingTheTimeFromTheOtherSide)
{
    m_trees.Both("f", "x");
    m_trees.SetTime("f", TwoTrees::kTime, TwoTrees::kTime + 5000);
    Open();
    CFolderCompareItem* item = Item("f");
    ASSERT_TRUE(item->HasDiff(DIFF_LMTIME));
    ASSERT_EQ(item->SetTime(1, true, 0, &m_window), 0);
    struct stat st
    {
    };
    ASSERT_EQ(stat(m_trees.Right("f").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, TwoTrees::kTime);
    EXPECT_EQ(m_window.m_messages, (std::vector<MESSAGE>{{ITEMMSG_RECOMPARE, 0, item}}));
    item->CompareOne(m_params, false, true, nullptr);
    EXPECT_TRUE(item->IsIdentical());

    m_trees.File("L/lonely", "x");
    Open();
    EXPECT_EQ(Item("lonely")->SetTime(0, true, 0, &m_window), -1) << "no other side to copy from";
}

TEST_F(FileOperations, CreatingAFolderOnBothSides)
{
    Open();
    ASSERT_EQ(m_root->CreateFolder(SIDE_MASK_BOTH, "fresh", &m_window), 0);
    CFolderCompareItem* item = Item("fresh");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->HasBothSides());
    EXPECT_TRUE(item->IsIdentical());
    EXPECT_TRUE(m_root->IsIdentical());
    EXPECT_EQ(m_window.m_messages, (std::vector<MESSAGE>{{ITEMMSG_EXPAND, 1, m_root.get()},
                                                         {ITEMMSG_INSERTCHILDREN, 1, m_root.get()}}));
    EXPECT_EQ(m_root->CreateFolder(SIDE_MASK_BOTH, "fresh", &m_window), -1) << "nothing new was made";
    EXPECT_EQ(m_root->CreateFolder(SIDE_MASK_BOTH, "a/b", &m_window), -1);
}

TEST_F(FileOperations, ACreatedFolderCompletesAnOrphanOfTheSameName)
{
    m_trees.Folder("R/half");
    Open();
    CFolderCompareItem* half = Item("half");
    ASSERT_FALSE(half->HasSide(0));
    ASSERT_EQ(m_root->CreateFolder(SIDE_MASK_LEFT, "half", &m_window), 0);
    EXPECT_EQ(Item("half"), half);
    EXPECT_TRUE(half->HasBothSides());
    EXPECT_TRUE(half->IsIdentical());
    EXPECT_EQ(Rows(*m_root), std::vector<std::string>{"half/ LR"});
}

TEST_F(FileOperations, ComparingContentsOfAFolder)
{
    m_params = Params(METHOD_SIZE);
    m_trees.Folder("L/d");
    m_trees.Folder("R/d");
    m_trees.Both("d/same", "abc");
    m_trees.File("L/d/stealth", "abc");
    m_trees.File("R/d/stealth", "abd");
    m_trees.File("L/d/orphan", "x");
    Open();
    CFolderCompareItem* dir = Item("d");
    ASSERT_TRUE(Item("d/stealth")->IsIdentical());
    EXPECT_EQ(dir->CompareContents(METHOD_SIZE, &m_window, nullptr), -1) << "not a content method";
    ASSERT_EQ(dir->CompareContents(METHOD_BINARY, &m_window, nullptr), 0);
    EXPECT_TRUE(Item("d/stealth")->IsDifferent());
    EXPECT_EQ(Item("d/same")->GetContentResult(), CONTENT_SAME);
    EXPECT_EQ(Item("d/orphan")->GetContentResult(), CONTENT_NONE);
    EXPECT_TRUE(dir->IsDifferent());
    EXPECT_EQ(m_window.m_messages, (std::vector<MESSAGE>{{ITEMMSG_REFRESH, 2, dir}}));
}

TEST_F(FileOperations, SwappingSidesTwiceRestoresThem)
{
    m_trees.File("L/left", "x");
    m_trees.Folder("R/d");
    m_trees.File("R/d/right", "x");
    Open();
    CFolderItem* leftRoot = m_root->GetSide(0);
    m_root->SwapSides();
    EXPECT_EQ(m_root->GetSide(1), leftRoot);
    EXPECT_EQ(Rows(*m_root), (std::vector<std::string>{"d/ L", "left R"}));
    EXPECT_EQ(Rows(*Item("d")), std::vector<std::string>{"right L"});
    m_root->SwapSides();
    EXPECT_EQ(Rows(*m_root), (std::vector<std::string>{"d/ R", "left L"}));
}

} // namespace

namespace
{

TEST(FolderCompareItemTest, DeletingBothSidesOfTheRootKeepsTheRootForItsDocument)
{
    TwoTrees trees;
    trees.File("L/f", "x");
    auto root = OpenRoot(trees.Left(), trees.Right());
    ASSERT_EQ(CompareLevel(*root, Params(METHOD_SIZE)), 0);
    CRecorder window;
    ASSERT_EQ(root->DeleteSides(SIDE_MASK_BOTH, kQuietFlags, &window, nullptr), 0);
    EXPECT_FALSE(root->HasSide(0));
    EXPECT_FALSE(root->HasSide(1));
    EXPECT_EQ(root->GetChildCount(), 0);
    EXPECT_NE(access(trees.Left().c_str(), F_OK), 0);
    // The child went first; the root is left to its owner.
    ASSERT_EQ(window.m_messages.size(), 1u);
    EXPECT_EQ(window.m_messages[0].message, ITEMMSG_REMOVE);
    EXPECT_NE(window.m_messages[0].item, root.get());
}

TEST(FolderCompareItemTest, NamesOfStatusesContentsAndDifferences)
{
    EXPECT_EQ(StatusName(ITEM_STATUS_PENDING), "pending");
    EXPECT_EQ(StatusName(ITEM_STATUS_IDENTICAL), "identical");
    EXPECT_EQ(StatusName(ITEM_STATUS_SAMEPATH), "same path");
    EXPECT_EQ(StatusName(ITEM_STATUS_DIFFERENT), "different");
    EXPECT_EQ(StatusName(ITEM_STATUS_ERROR), "error");
    EXPECT_EQ(ContentResultName(CONTENT_NONE), "none");
    EXPECT_EQ(ContentResultName(CONTENT_ERROR), "error");
    EXPECT_EQ(
        DifferenceNames(DIFF_CRC | DIFF_TYPE | DIFF_LMTIME | DIFF_SIZE | DIFF_ATTRIBUTES | DIFF_VERSION),
        (std::vector<std::string>{"Type", "LMTime", "Size", "Attributes", "Version", "CRC32"}));
    EXPECT_TRUE(DifferenceNames(0).empty());
}

} // namespace
