#include "foldercompare/FolderCompareDiffCode.h"

#include <array>
#include <utility>

std::string StatusName(std::uint32_t status)
{
    switch (status)
    {
    case ITEM_STATUS_PENDING:
        return "pending";
    case ITEM_STATUS_IDENTICAL:
        return "identical";
    case ITEM_STATUS_SAMEPATH:
        return "same path";
    case ITEM_STATUS_DIFFERENT:
        return "different";
    case ITEM_STATUS_ERROR:
        return "error";
    default:
        return "unknown";
    }
}

std::string ContentResultName(std::uint32_t contentResult)
{
    switch (contentResult)
    {
    case CONTENT_NONE:
        return "none";
    case CONTENT_SAME:
        return "same";
    case CONTENT_DIFFERENT:
        return "different";
    case CONTENT_ERROR:
        return "error";
    default:
        return "unknown";
    }
}

std::vector<std::string> DifferenceNames(std::uint32_t diffBits)
{
    static constexpr std::array<std::pair<std::uint32_t, const char*>, 6> kNames = {{
        {DIFF_TYPE, "Type"},
        {DIFF_LMTIME, "LMTime"},
        {DIFF_SIZE, "Size"},
        {DIFF_ATTRIBUTES, "Attributes"},
        {DIFF_VERSION, "Version"},
        {DIFF_CRC, "CRC32"},
    }};
    std::vector<std::string> names;
    for (const auto& [bit, name] : kNames)
        if ((diffBits & bit) != 0)
            names.emplace_back(name);
    return names;
}
