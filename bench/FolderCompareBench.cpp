// Compares two folder trees completely and prints what it found, for bench/foldercmp.sh.
//   bench_foldercmp [--methods LIST] [--list] [--pairs] LEFT RIGHT
// LIST: comma-separated method names (type, time, size, attributes, version, crc, binary, text);
// default "time,size". --list prints every differing relative path (for the checks before timing).
// The trees are built and compared through the comparison items (the root item compares its whole
// subtree); --pairs instead pairs them with a plain walk that runs the methods only, keeping no tree.
// The summary line ends with the growth of the resident set while the trees were built and compared,
// per file pair (tree objects of both sides and the items).

#include "definitions/CompareParams.h"
#include "definitions/FolderCompareParams.h"
#include "filesystem/FileInfoEx.h"
#include "filesystem/Folder.h"
#include "foldercompare/FolderCompareItem.h"
#include "foldercompare/FolderCompareMethods.h"
#include "platform/FileSystemEntry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

long ResidentBytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r"))
    {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

bool ParseMethods(const std::string& list, std::uint32_t& methods)
{
    static const struct
    {
        const char* name;
        std::uint32_t bit;
    } kNames[] = {{"type", METHOD_TYPE},       {"time", METHOD_LMTIME},
                  {"size", METHOD_SIZE},       {"attributes", METHOD_ATTRIBUTES},
                  {"version", METHOD_VERSION}, {"crc", METHOD_CRC32},
                  {"binary", METHOD_BINARY},   {"text", METHOD_TEXT}};
    methods = 0;
    std::size_t start = 0;
    while (start <= list.size())
    {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string name = list.substr(start, comma - start);
        bool found = false;
        for (const auto& entry : kNames)
            if (name == entry.name)
            {
                methods |= entry.bit;
                found = true;
            }
        if (!found)
            return false;
        start = comma + 1;
    }
    return true;
}

struct COUNTS
{
    long files = 0;     // file pairs with both sides
    long folders = 0;   // folder pairs with both sides
    long identical = 0; // file pairs
    long different = 0; // file pairs
    long errors = 0;    // file pairs
    long orphans = 0;   // files and folders on one side only (not counting what is below them)
};

// A plain recursive pairing: both folders are read, sorted by name and walked together; paired files
// run the methods, paired folders are walked in turn (with an explicit stack, not recursion).
class CPlainPairing
{
public:
    CPlainPairing(std::uint32_t methods, bool list) : m_nMethods(methods), m_bList(list) {}

    void Run(const std::string& left, const std::string& right)
    {
        std::vector<std::pair<std::string, std::string>> stack{{"", ""}};
        const std::string roots[2] = {left, right};
        while (!stack.empty())
        {
            const std::string relative = stack.back().first;
            stack.pop_back();
            std::vector<std::unique_ptr<CFileInfoEx>> sides[2];
            for (int s = 0; s < 2; ++s)
                Read(roots[s] + relative, sides[s]);
            std::size_t i = 0, j = 0;
            while (i < sides[0].size() || j < sides[1].size())
            {
                int order = 0;
                if (i == sides[0].size())
                    order = 1;
                else if (j == sides[1].size())
                    order = -1;
                else
                    order = Order(*sides[0][i], *sides[1][j]);
                if (order != 0)
                {
                    const CFileInfoEx& orphan = order < 0 ? *sides[0][i++] : *sides[1][j++];
                    ++m_counts.orphans;
                    if (m_bList)
                        std::printf("%s %s/%s\n", order < 0 ? "left-only" : "right-only", relative.c_str(),
                                    orphan.GetName().c_str());
                    continue;
                }
                CFileInfoEx& l = *sides[0][i++];
                CFileInfoEx& r = *sides[1][j++];
                if (l.IsFolder())
                {
                    ++m_counts.folders;
                    stack.emplace_back(relative + "/" + l.GetName(), "");
                    continue;
                }
                ++m_counts.files;
                std::uint32_t bits = 0, content = 0;
                m_methods.RunMethods(l, r, false, m_nMethods, bits, content);
                const bool error = content == CONTENT_ERROR;
                const bool different =
                    !error && (content != CONTENT_NONE ? content == CONTENT_DIFFERENT : bits != 0);
                m_counts.errors += error;
                m_counts.different += different;
                m_counts.identical += !error && !different;
                if (m_bList && (error || different))
                    std::printf("%s %s/%s\n", error ? "error" : "differ", relative.c_str(),
                                l.GetName().c_str());
            }
        }
    }

    const COUNTS& Counts() const { return m_counts; }

private:
    static int Order(const CFileInfoEx& a, const CFileInfoEx& b)
    {
        if (a.IsFolder() != b.IsFolder())
            return a.IsFolder() ? -1 : 1;
        const int c = a.GetName().compare(b.GetName());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }

    static void Read(const std::string& folder, std::vector<std::unique_ptr<CFileInfoEx>>& out)
    {
        platform::DirectoryReader reader;
        if (!reader.Open(folder))
            return;
        while (reader.Next())
        {
            auto info = std::make_unique<CFileInfoEx>(folder + "/" + reader.Current().m_strName);
            info->LoadFromFindData(reader.Current());
            out.push_back(std::move(info));
        }
        std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return Order(*a, *b) < 0; });
    }

    CFolderCompareMethods m_methods;
    std::uint32_t m_nMethods;
    bool m_bList;
    COUNTS m_counts;
};

// Counts (and lists) the outcome of a compared item tree. An orphan is listed once; what is below it
// is not, as diff -rq reports it.
COUNTS CountItems(const CFolderCompareItem& root, bool list)
{
    COUNTS counts;
    std::vector<std::pair<const CFolderCompareItem*, std::string>> stack{{&root, ""}};
    while (!stack.empty())
    {
        const auto [item, relative] = stack.back();
        stack.pop_back();
        if (item != &root && !item->HasBothSides())
        {
            ++counts.orphans;
            if (list)
                std::printf("%s %s\n", item->HasSide(0) ? "left-only" : "right-only", relative.c_str());
            continue;
        }
        if (item->IsFolderItem())
        {
            counts.folders += item != &root;
            for (int i = item->GetChildCount() - 1; i >= 0; --i)
            {
                const CFolderCompareItem* child = item->GetChild(i);
                stack.emplace_back(child, relative + "/" + child->GetName());
            }
            continue;
        }
        ++counts.files;
        const char* kind = nullptr;
        if (item->IsError())
            kind = "error", ++counts.errors;
        else if (item->IsDifferent())
            kind = "differ", ++counts.different;
        else if (item->IsIdentical())
            ++counts.identical;
        else
            kind = "pending", ++counts.errors;
        if (list && kind)
            std::printf("%s %s\n", kind, relative.c_str());
    }
    return counts;
}

int Usage()
{
    std::fprintf(stderr, "usage: bench_foldercmp [--methods LIST] [--list] [--pairs] LEFT RIGHT\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::uint32_t methods = METHOD_LMTIME | METHOD_SIZE;
    bool list = false;
    bool plain = false;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--methods" && i + 1 < argc)
        {
            if (!ParseMethods(argv[++i], methods))
                return Usage();
        }
        else if (arg == "--list")
            list = true;
        else if (arg == "--pairs")
            plain = true;
        else
            paths.push_back(arg);
    }
    if (paths.size() != 2)
        return Usage();

    const long before = ResidentBytes();
    COUNTS counts;
    long grown = 0;
    const char* how = plain ? "pairs" : "items";
    if (plain)
    {
        CPlainPairing pairing(methods, list);
        pairing.Run(paths[0], paths[1]);
        counts = pairing.Counts();
        grown = ResidentBytes() - before;
    }
    else
    {
        std::unique_ptr<CFolder> roots[2] = {std::unique_ptr<CFolder>(OpenRootFolder(paths[0])),
                                             std::unique_ptr<CFolder>(OpenRootFolder(paths[1]))};
        if (!roots[0] || !roots[1])
        {
            std::fprintf(stderr, "bench_foldercmp: not a folder: %s\n",
                         (roots[0] ? paths[1] : paths[0]).c_str());
            return 2;
        }
        CFolderCompareParams params;
        params.m_dwMethods = methods;
        auto root = std::make_unique<CFolderCompareItem>(roots[0].get(), roots[1].get());
        root->SetMethods(CFolderCompareMethods(FOLDER_METHOD_SETTINGS{}));
        // The first comparison scans every level (the rescan flag), as a new document does.
        root->CompareTree(params, COMPARE_MODE_SUBTREE, true, false, nullptr, nullptr);
        grown = ResidentBytes() - before;
        counts = CountItems(*root, list);
        // The items go before the trees whose objects they point to.
        root.reset();
    }
    std::printf("%s files=%ld folders=%ld identical=%ld different=%ld errors=%ld orphans=%ld "
                "rss_growth=%ld bytes_per_file_pair=%.0f\n",
                how, counts.files, counts.folders, counts.identical, counts.different, counts.errors,
                counts.orphans, grown,
                counts.files ? static_cast<double>(grown) / static_cast<double>(counts.files) : 0.0);
    return 0;
}
