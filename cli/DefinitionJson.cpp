#include "cli/DefinitionJson.h"

#include "definitions/DefinitionNames.h"
#include "definitions/ProjectCompareParams.h"
#include "definitions/TextCompareParams.h"
#include "filesystem/FilterText.h"

DefinitionListing Gather(const CCompareParams& params)
{
    DefinitionListing listing;
    if (const auto* folder = dynamic_cast<const CFolderCompareParams*>(&params))
    {
        listing.m_methods = NamesOfBits(MethodNames(), folder->m_dwMethods);
        listing.m_options = NamesOfBits(OptionNames(), folder->m_dwOptions);
        listing.m_pFolder = folder;
    }
    else if (const auto* text = dynamic_cast<const CTextCompareParams*>(&params))
    {
        listing.m_rules = NamesOfBits(RuleNames(), text->m_dwRules);
        listing.m_strLineFilter = text->m_strLineFilter;
    }
    return listing;
}

namespace {

CJsonObject NameJson(const CNameFilter& filter)
{
    CJsonObject name;
    name.Add("Include", filter.m_strInclude).Add("Exclude", filter.m_strExclude).Add("MatchCase", filter.m_bMatchCase != 0);
    return name;
}

CJsonObject ExcludeJson(const std::string& text)
{
    CJsonObject exclude;
    exclude.Add("Exclude", text);
    return exclude;
}

CJsonObject FileFiltersJson(const CFileFilters& filters)
{
    CJsonObject time;
    time.Add("From", FormatDateBound(filters.m_tFrom)).Add("To", FormatDateBound(filters.m_tTo));
    CJsonObject size;
    size.Add("Min", FormatSizeBound(filters.m_nMinSize)).Add("Max", FormatSizeBound(filters.m_nMaxSize));
    CJsonObject json;
    json.Add("Name", NameJson(filters))
        .Add("Time", time)
        .Add("Size", size)
        .Add("Attributes", ExcludeJson(FormatAttributeLetters(filters.m_dwExcludeAttributes)))
        .Add("Type", ExcludeJson(FormatTypeWords(filters.m_dwExcludeTypes)));
    return json;
}

CJsonObject FolderFiltersJson(const CFolderFilters& filters)
{
    CJsonObject json;
    json.Add("Name", NameJson(filters))
        .Add("Attributes", ExcludeJson(FormatAttributeLetters(filters.m_dwExcludeAttributes)));
    return json;
}

} // namespace

CJsonObject DefinitionJson(const CCompareParams& params)
{
    const DefinitionListing listing = Gather(params);
    CJsonObject object;
    object.Add("type", TypeWord(params.m_nType))
        .Add("title", params.GetTitle())
        .AddPath("left", params.m_objects[0].m_strPath, "leftBytes")
        .AddPath("right", params.m_objects[1].m_strPath, "rightBytes")
        .Add("leftReadOnly", params.m_objects[0].IsReadOnly())
        .Add("rightReadOnly", params.m_objects[1].IsReadOnly())
        .Add("methods", listing.m_methods)
        .Add("options", listing.m_options)
        .Add("rules", listing.m_rules)
        .Add("lineFilter", listing.m_strLineFilter)
        .Add("fileFilters", listing.m_pFolder ? FileFiltersJson(listing.m_pFolder->m_filters.m_fileFilters) : CJsonObject())
        .Add("folderFilters",
             listing.m_pFolder ? FolderFiltersJson(listing.m_pFolder->m_filters.m_folderFilters) : CJsonObject())
        .Add("lastCompared", FormatDateTime(params.m_tLastCompared))
        .Add("commandLine", params.GetCommandLine(false, true));
    return object;
}

