#pragma once

#include <cstdint>
#include <vector>

// One entry of the code page list offered to the user.
struct tagCODEPAGEINFO
{
    std::uint32_t codePage;
    char name[260]; // zero-terminated
};
using CODEPAGEINFO = tagCODEPAGEINFO;

// Every row of the code page table whose character set can be converted, ascending by number,
// named "%d\t(%s)" from the table's description; the ANSI code page (UTF-8) is starred "* %d\t(%s)".
void BuildCodePageList(std::vector<CODEPAGEINFO>& list);

// The index of a code page in the list, or -1.
int FindCodePageInList(const std::vector<CODEPAGEINFO>& list, int codePage);
