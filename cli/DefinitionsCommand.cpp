#include "cli/Commands.h"
#include "cli/DefinitionJson.h"
#include "cli/JsonWriter.h"

#include "definitions/ComparisonFile.h"
#include "definitions/DefinitionNames.h"
#include "definitions/ProjectCompareParams.h"
#include "definitions/TextCompareParams.h"
#include "filesystem/FilterText.h"

#include <cstdio>

namespace {

void PrintJson(const CCompareParams& params)
{
    std::printf("%s\n", DefinitionJson(params).Str().c_str());
}

std::string Joined(const std::vector<std::string>& names)
{
    if (names.empty())
        return "(none)";
    std::string text;
    for (const auto& name : names)
        text += (text.empty() ? "" : " ") + name;
    return text;
}

std::string NameText(const CNameFilter& filter)
{
    return "Name Include=\"" + filter.m_strInclude + "\" Exclude=\"" + filter.m_strExclude +
           "\" MatchCase=" + (filter.m_bMatchCase ? "1" : "0");
}

void PrintText(std::size_t number, const CCompareParams& params, const DefinitionListing& listing)
{
    std::printf("comparison %zu: %s \"%s\"\n", number, std::string(TypeWord(params.m_nType)).c_str(),
                params.GetTitle().c_str());
    const char* sides[] = {"left", "right"};
    for (int side = 0; side < 2; ++side)
        std::printf("  %-16s%s%s\n", (std::string(sides[side]) + ":").c_str(), params.m_objects[side].m_strPath.c_str(),
                    params.m_objects[side].IsReadOnly() ? " (read-only)" : "");
    if (const CFolderCompareParams* folder = listing.m_pFolder)
    {
        const CFileFilters& files = folder->m_filters.m_fileFilters;
        const CFolderFilters& folders = folder->m_filters.m_folderFilters;
        std::printf("  %-16s%s\n", "methods:", Joined(listing.m_methods).c_str());
        std::printf("  %-16s%s\n", "options:", Joined(listing.m_options).c_str());
        std::printf("  %-16s%s; Time From=\"%s\" To=\"%s\"; Size Min=\"%s\" Max=\"%s\"; "
                    "Attributes Exclude=\"%s\"; Type Exclude=\"%s\"\n",
                    "file filters:", NameText(files).c_str(), FormatDateBound(files.m_tFrom).c_str(),
                    FormatDateBound(files.m_tTo).c_str(), FormatSizeBound(files.m_nMinSize).c_str(),
                    FormatSizeBound(files.m_nMaxSize).c_str(), FormatAttributeLetters(files.m_dwExcludeAttributes).c_str(),
                    FormatTypeWords(files.m_dwExcludeTypes).c_str());
        std::printf("  %-16s%s; Attributes Exclude=\"%s\"\n", "folder filters:", NameText(folders).c_str(),
                    FormatAttributeLetters(folders.m_dwExcludeAttributes).c_str());
    }
    if (params.m_nType == COMPARE_TYPE_TEXT)
    {
        std::printf("  %-16s%s\n", "rules:", Joined(listing.m_rules).c_str());
        std::printf("  %-16s%s\n", "line filter:", listing.m_strLineFilter.empty() ? "(none)" : listing.m_strLineFilter.c_str());
    }
    const std::string lastCompared = FormatDateTime(params.m_tLastCompared);
    std::printf("  %-16s%s\n", "last compared:", lastCompared.empty() ? "never" : lastCompared.c_str());
    std::printf("  %-16s%s\n", "command line:", params.GetCommandLine(false, true).c_str());
}

} // namespace

int RunDefinitionsCommand(const std::vector<std::string>& args)
{
    bool json = false;
    std::vector<std::string> files;
    if (!ParseListingArgs(args, "definitions", "definitions [--json] FILE.cmp...", json, files))
        return 2;
    int status = 0;
    std::size_t number = 0;
    for (const std::string& file : files)
    {
        CComparisonFile::List list;
        std::string why;
        if (!CComparisonFile().LoadComparisons(file, list, &why))
        {
            ReportProblem(file, why);
            status = 2;
            continue;
        }
        for (const auto& params : list)
        {
            const DefinitionListing listing = Gather(*params);
            if (json)
                PrintJson(*params);
            else
                PrintText(++number, *params, listing);
        }
    }
    return status;
}
