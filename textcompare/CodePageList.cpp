#include "textcompare/CodePageList.h"

#include "platform/CodePages.h"
#include "textcompare/CodePageTable.h"

#include <cstdio>

void BuildCodePageList(std::vector<CODEPAGEINFO>& list)
{
    list.clear();
    std::size_t count = 0;
    const CODEPAGE_DESCRIPTION* table = GetCodePageTable(count);
    // The table is ascending by number, so the list is too.
    for (std::size_t i = 0; i < count; ++i)
    {
        const unsigned codePage = table[i].codePage;
        if (!platform::IsCodePageInstalled(codePage))
            continue;
        CODEPAGEINFO entry{};
        entry.codePage = codePage;
        std::snprintf(entry.name, sizeof entry.name,
                      codePage == platform::kAnsiCodePage ? "* %u\t(%s)" : "%u\t(%s)", codePage,
                      table[i].description);
        list.push_back(entry);
    }
}

int FindCodePageInList(const std::vector<CODEPAGEINFO>& list, int codePage)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        if (static_cast<int>(list[i].codePage) == codePage)
            return static_cast<int>(i);
    return -1;
}
