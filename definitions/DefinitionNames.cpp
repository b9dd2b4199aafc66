#include "definitions/DefinitionNames.h"

#include "definitions/CompareParams.h"

#include <array>

namespace {

// The order of generated command lines: time, size, attributes, version, CRC, binary, text, type.
constexpr std::array<DEFINITION_BIT_NAME, 8> kMethods{{
    {METHOD_LMTIME, "LMTime", "time", "time"},
    {METHOD_SIZE, "Size", "size", "size"},
    {METHOD_ATTRIBUTES, "Attributes", "attr", "attributes"},
    {METHOD_VERSION, "Version", "ver", "version"},
    {METHOD_CRC32, "CRC32", "crc", "crc32"},
    {METHOD_BINARY, "Binary", "bin", "binary"},
    {METHOD_TEXT, "Text", "txt", "text"},
    {METHOD_TYPE, "Type", "type", "type"},
}};

constexpr std::array<DEFINITION_BIT_NAME, 10> kRules{{
    {RULE_IGNOREALLSPACE, "IgnoreAllSpace", "ias", "ignoreallspace"},
    {RULE_IGNORESPACEDIFFERENCES, "IgnoreSpaceDifferences", "isd", "ignorespacedifferences"},
    {RULE_IGNORETABEXPANSION, "IgnoreTabExpansion", "ite", "ignoretabexpansion"},
    {RULE_IGNORELEADINGSPACE, "IgnoreLeadingSpace", "ils", "ignoreleadingspace"},
    {RULE_IGNORETRAILINGSPACE, "IgnoreTrailingSpace", "its", "ignoretrailingspace"},
    {RULE_IGNORECASE, "IgnoreCase", "icc", "ignorecase"},
    {RULE_IGNOREEOL, "IgnoreEOL", "ieol", "ignorelineendings"},
    {RULE_IGNOREBLANKLINES, "IgnoreBlankLines", "ibl", "ignoreblanklines"},
    {RULE_IGNORECOMMENTS, "IgnoreComments", "ic", "ignorecomments"},
    {RULE_IGNORELINESMATCHINGFILTER, "IgnoreLinesMatchingFilter", "ilmf", "ignorelinesmatchingfilter"},
}};

constexpr std::array<DEFINITION_BIT_NAME, 1> kOptions{{
    {OPTION_AUTOSCANSUBFOLDERS, "AutoScanSubfolders", "asf", "autoscansubfolders"},
}};

} // namespace

std::span<const DEFINITION_BIT_NAME> MethodNames()
{
    return kMethods;
}

std::span<const DEFINITION_BIT_NAME> RuleNames()
{
    return kRules;
}

std::span<const DEFINITION_BIT_NAME> OptionNames()
{
    return kOptions;
}

std::vector<std::string> NamesOfBits(std::span<const DEFINITION_BIT_NAME> table, std::uint32_t bits)
{
    std::vector<std::string> names;
    for (const auto& entry : table)
        if (bits & entry.m_dwBit)
            names.emplace_back(entry.m_strFileName);
    return names;
}

std::string_view TypeWord(int type)
{
    switch (type)
    {
    case COMPARE_TYPE_FOLDER:
        return "folder";
    case COMPARE_TYPE_PROJECT:
        return "project";
    case COMPARE_TYPE_TEXT:
        return "text";
    case COMPARE_TYPE_BINARY:
        return "binary";
    default:
        return {};
    }
}
