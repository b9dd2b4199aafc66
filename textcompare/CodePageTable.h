#pragma once

#include <cstddef>
#include <string>

// The published Windows code page identifiers and their descriptions, as shown to the user.
struct CODEPAGE_DESCRIPTION
{
    unsigned codePage;
    const char* description;
};

// The rows in table order.
const CODEPAGE_DESCRIPTION* GetCodePageTable(std::size_t& count);

// The description of a code page number, or an empty text when the table has none.
std::string GetCodePageName(unsigned codePage);
