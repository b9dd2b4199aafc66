#include "definitions/ComparisonFileReader.h"

#include "definitions/CompareParamsFactory.h"
#include "definitions/DefinitionNames.h"
#include "definitions/ProjectCompareParams.h"
#include "definitions/TextCompareParams.h"
#include "definitions/XmlText.h"
#include "filesystem/FilterText.h"

#include <tinyxml2.h>

#include <cstring>

using tinyxml2::XMLElement;

namespace {

struct TypeName
{
    const char* name;
    int type;
};

constexpr TypeName kEntryTypes[] = {
    {"Folder", COMPARE_TYPE_FOLDER},
    {"Project", COMPARE_TYPE_PROJECT},
    {"Text", COMPARE_TYPE_TEXT},
    {"Binary", COMPARE_TYPE_BINARY},
};

constexpr TypeName kOldestEntryTypes[] = {
    {"Folders", COMPARE_TYPE_FOLDER},
    {"Projects", COMPARE_TYPE_PROJECT},
    {"TextFiles", COMPARE_TYPE_TEXT},
    {"BinaryFiles", COMPARE_TYPE_BINARY},
};

// A chain of filter elements: each after the first is the next sibling of that name of the one
// before, and the chain ends at the first that is missing.
class CElementChain
{
public:
    CElementChain(const XMLElement* parent, const char* first)
        : m_current(parent ? parent->FirstChildElement(first) : nullptr)
    {
    }

    const XMLElement* Current() const { return m_current; }
    const XMLElement* Next(const char* name)
    {
        m_current = m_current ? m_current->NextSiblingElement(name) : nullptr;
        return m_current;
    }

private:
    const XMLElement* m_current;
};

void ReadNameFilter(const XMLElement* element, CNameFilter& filter)
{
    if (element == nullptr)
        return;
    GetTextAttribute(*element, "Include", filter.m_strInclude);
    GetTextAttribute(*element, "Exclude", filter.m_strExclude);
    filter.m_bMatchCase = GetFlagAttribute(*element, "MatchCase") ? 1 : 0;
}

std::int64_t DateAttribute(const XMLElement& element, const char* name)
{
    const char* text = element.Attribute(name);
    return text ? ParseDateBound(text) : 0;
}

std::int64_t SecondsAttribute(const XMLElement& element, const char* name)
{
    const char* text = element.Attribute(name);
    const std::int64_t seconds = text ? ParseDecimal(text) : 0;
    return seconds < 0 ? 0 : seconds;
}

std::uint64_t SizeAttribute(const XMLElement& element, const char* name)
{
    const char* text = element.Attribute(name);
    return text ? ParseSizeBound(text) : 0;
}

std::string TextOf(const XMLElement& element, const char* name)
{
    const char* text = element.Attribute(name);
    return text ? text : "";
}

// The file filter chain of every version since 1.0.2: name, time, size, attributes, type.
struct FILE_CHAIN_NAMES
{
    const char* name;
    const char* time;
    const char* size;
    const char* attributes;
    const char* type;
};

void ReadFileChain(const XMLElement* parent, const FILE_CHAIN_NAMES& names, bool decimalValues,
                   CFileFilters& filters)
{
    CElementChain chain(parent, names.name);
    if (!chain.Current())
        return;
    ReadNameFilter(chain.Current(), filters);
    if (const XMLElement* time = chain.Next(names.time))
    {
        filters.m_tFrom = decimalValues ? SecondsAttribute(*time, "From") : DateAttribute(*time, "From");
        filters.m_tTo = decimalValues ? SecondsAttribute(*time, "To") : DateAttribute(*time, "To");
    }
    if (const XMLElement* size = chain.Next(names.size))
    {
        filters.m_nMinSize = SizeAttribute(*size, "Min");
        filters.m_nMaxSize = SizeAttribute(*size, "Max");
    }
    if (const XMLElement* attributes = chain.Next(names.attributes))
    {
        if (decimalValues)
            GetDwordAttribute(*attributes, "Exclude", filters.m_dwExcludeAttributes);
        else
            filters.m_dwExcludeAttributes = ParseAttributeLetters(TextOf(*attributes, "Exclude"));
    }
    if (const XMLElement* type = chain.Next(names.type))
    {
        if (decimalValues)
            GetDwordAttribute(*type, "Exclude", filters.m_dwExcludeTypes);
        else
            filters.m_dwExcludeTypes = ParseTypeWords(TextOf(*type, "Exclude"));
    }
}

void ReadFolderChain(const XMLElement* parent, const char* nameElement, const char* attributesElement,
                     CFolderFilters& filters)
{
    CElementChain chain(parent, nameElement);
    if (!chain.Current())
        return;
    ReadNameFilter(chain.Current(), filters);
    if (const XMLElement* attributes = chain.Next(attributesElement))
        filters.m_dwExcludeAttributes = ParseAttributeLetters(TextOf(*attributes, "Exclude"));
}

std::uint32_t ReadFlagBits(const XMLElement& element, std::span<const DEFINITION_BIT_NAME> names,
                           const char* renamedFrom = nullptr, const char* renamedTo = nullptr)
{
    std::uint32_t bits = 0;
    for (const auto& entry : names)
    {
        std::string name(entry.m_strFileName);
        if (renamedFrom && name == renamedFrom)
            name = renamedTo;
        if (GetFlagAttribute(element, name.c_str()))
            bits |= entry.m_dwBit;
    }
    return bits;
}

} // namespace

void CComparisonFileReader::ReadEntries(const XMLElement& root, std::vector<std::unique_ptr<CCompareParams>>& list) const
{
    const char* entryName = m_version == ComparisonFileVersion::Format1_0 ? "Project" : "Comparison";
    for (const XMLElement* entry = root.FirstChildElement(entryName); entry;
         entry = entry->NextSiblingElement(entryName))
        if (auto params = ReadEntry(*entry))
            list.push_back(std::move(params));
}

int CComparisonFileReader::EntryType(const XMLElement& entry) const
{
    const char* type = entry.Attribute("Type");
    if (type == nullptr)
        return 0;
    if (m_version == ComparisonFileVersion::Format1_0)
    {
        for (const auto& known : kOldestEntryTypes)
            if (std::strcmp(type, known.name) == 0)
                return known.type;
        return 0;
    }
    for (const auto& known : kEntryTypes)
        if (std::strcmp(type, known.name) == 0)
            return known.type;
    return 0;
}

std::unique_ptr<CCompareParams> CComparisonFileReader::ReadEntry(const XMLElement& entry) const
{
    auto params = CreateCompareParams(EntryType(entry));
    if (!params)
        return nullptr;
    ReadObjects(entry, *params);
    if (m_version == ComparisonFileVersion::V1_0_8)
        if (const char* time = entry.Attribute("LastComparedTime"))
            params->m_tLastCompared = ParseDateTime(time);
    if (auto* folder = dynamic_cast<CFolderCompareParams*>(params.get()))
    {
        folder->m_dwMethods = 0;
        folder->m_dwOptions = 0;
        folder->m_filters.SetDefaults();
        ReadFolderValues(entry, *folder);
        ReadFilters(entry, *folder);
    }
    else if (auto* text = dynamic_cast<CTextCompareParams*>(params.get()))
    {
        text->m_dwRules = 0;
        text->m_strLineFilter.clear();
        ReadTextValues(entry, *text);
    }
    return params;
}

void CComparisonFileReader::ReadObjects(const XMLElement& entry, CCompareParams& params) const
{
    const XMLElement* container =
        m_version == ComparisonFileVersion::Format1_0 ? &entry : entry.FirstChildElement("Objects");
    if (container == nullptr)
        return;
    const XMLElement* object = container->FirstChildElement("Object");
    for (auto& side : params.m_objects)
    {
        if (object == nullptr)
            return;
        GetTextAttribute(*object, "Path", side.m_strPath);
        side.m_dwFlags = GetFlagAttribute(*object, "ReadOnly") ? OBJECT_READONLY : 0;
        object = object->NextSiblingElement("Object");
    }
}

void CComparisonFileReader::ReadFolderValues(const XMLElement& entry, CFolderCompareParams& params) const
{
    if (m_version == ComparisonFileVersion::V1_0_1 || m_version == ComparisonFileVersion::Format1_0)
    {
        GetDwordAttribute(entry, "Methods", params.m_dwMethods);
        GetDwordAttribute(entry, "Options", params.m_dwOptions);
        return;
    }
    if (const XMLElement* methods = entry.FirstChildElement("Methods"))
        params.m_dwMethods = ReadFlagBits(*methods, MethodNames());
    if (const XMLElement* options = entry.FirstChildElement("Options"))
        params.m_dwOptions = ReadFlagBits(*options, OptionNames());
}

void CComparisonFileReader::ReadTextValues(const XMLElement& entry, CTextCompareParams& params) const
{
    switch (m_version)
    {
    case ComparisonFileVersion::V1_0_8:
        if (const XMLElement* rules = entry.FirstChildElement("Rules"))
            params.m_dwRules = ReadFlagBits(*rules, RuleNames());
        if (const XMLElement* filters = entry.FirstChildElement("Filters"))
            if (const XMLElement* lineFilter = filters->FirstChildElement("LineFilter"))
                GetTextAttribute(*lineFilter, "RegExp", params.m_strLineFilter);
        return;
    case ComparisonFileVersion::V1_0_3:
    case ComparisonFileVersion::V1_0_2:
        if (const XMLElement* methods = entry.FirstChildElement("Methods"))
        {
            params.m_dwRules = ReadFlagBits(*methods, RuleNames(), "IgnoreLinesMatchingFilter", "IgnoreRegExp");
            if (m_version == ComparisonFileVersion::V1_0_2)
                GetTextAttribute(*methods, "RegExp", params.m_strLineFilter);
        }
        if (m_version == ComparisonFileVersion::V1_0_3)
            if (const XMLElement* filters = entry.FirstChildElement("Filters"))
                GetTextAttribute(*filters, "RegExp", params.m_strLineFilter);
        return;
    case ComparisonFileVersion::V1_0_1:
    case ComparisonFileVersion::Format1_0:
        GetDwordAttribute(entry, "Options", params.m_dwRules);
        return;
    }
}

void CComparisonFileReader::ReadFilters(const XMLElement& entry, CFolderCompareParams& params) const
{
    const XMLElement* filters = entry.FirstChildElement("Filters");
    if (filters == nullptr)
        return;
    CFileFilters& files = params.m_filters.m_fileFilters;
    CFolderFilters& folders = params.m_filters.m_folderFilters;
    switch (m_version)
    {
    case ComparisonFileVersion::V1_0_8:
        ReadFileChain(filters->FirstChildElement("Files"), {"Name", "Time", "Size", "Attributes", "Type"}, false,
                      files);
        ReadFolderChain(filters->FirstChildElement("Folders"), "Name", "Attributes", folders);
        return;
    case ComparisonFileVersion::V1_0_3:
        ReadFileChain(filters, {"FileName", "FileTime", "FileSize", "FileAttributes", "FileType"}, false, files);
        ReadFolderChain(filters, "FolderName", "FolderAttributes", folders);
        return;
    case ComparisonFileVersion::V1_0_2:
        ReadFileChain(filters, {"Name", "Time", "Size", "Attribute", "Type"}, false, files);
        return;
    case ComparisonFileVersion::V1_0_1:
        ReadFileChain(filters, {"Name", "Time", "Size", "Attribute", "Type"}, true, files);
        return;
    case ComparisonFileVersion::Format1_0:
        ReadNameFilter(filters, files);
        return;
    }
}
