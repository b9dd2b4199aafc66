#include "definitions/FolderCompareParams.h"

#include "definitions/CommandLineText.h"
#include "definitions/CompareDefaults.h"
#include "definitions/DefinitionNames.h"
#include "platform/FileSystemEntry.h"

#include <cstdio>
#include <ctime>

namespace {

// "%m-%d-%Y" of a local date, the form the command line reads dates in.
std::string CommandLineDate(std::int64_t seconds)
{
    const auto t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr)
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d", tm.tm_mon + 1, tm.tm_mday, tm.tm_year + 1900);
    return text;
}

std::string AttributeWord(std::uint32_t attributes)
{
    std::string word;
    if (attributes & platform::FILE_ATTRIBUTE_READONLY)
        word.push_back('r');
    if (attributes & platform::FILE_ATTRIBUTE_ARCHIVE)
        word.push_back('a');
    if (attributes & platform::FILE_ATTRIBUTE_SYSTEM)
        word.push_back('s');
    if (attributes & platform::FILE_ATTRIBUTE_HIDDEN)
        word.push_back('h');
    return word;
}

void AddNameItems(const CNameFilter& filter, bool abbreviated, std::vector<std::string>& items)
{
    if (!filter.m_strInclude.empty() && filter.m_strInclude != "*")
        items.push_back((abbreviated ? "ni=" : "nameinclude=") + filter.m_strInclude);
    if (!filter.m_strExclude.empty())
        items.push_back((abbreviated ? "ne=" : "nameexclude=") + filter.m_strExclude);
}

void AddAttributeItem(const CAttributeFilter& filter, bool abbreviated, std::vector<std::string>& items)
{
    const std::string word = AttributeWord(filter.m_dwExcludeAttributes);
    if (!word.empty())
        items.push_back((abbreviated ? "ae=" : "attributesexclude=") + word);
}

} // namespace

std::vector<std::string> FileFilterItems(const CFileFilters& filters, bool abbreviated)
{
    std::vector<std::string> items;
    AddNameItems(filters, abbreviated, items);
    if (filters.m_tFrom != 0)
        items.push_back((abbreviated ? "tf=" : "timefrom=") + CommandLineDate(filters.m_tFrom));
    if (filters.m_tTo != 0)
        items.push_back((abbreviated ? "tt=" : "timeto=") + CommandLineDate(filters.m_tTo));
    if (filters.m_nMinSize != 0)
        items.push_back((abbreviated ? "si=" : "sizemin=") + std::to_string(filters.m_nMinSize));
    if (filters.m_nMaxSize != 0)
        items.push_back((abbreviated ? "sa=" : "sizemax=") + std::to_string(filters.m_nMaxSize));
    AddAttributeItem(filters, abbreviated, items);
    std::string types;
    const auto addType = [&](std::uint32_t bit, const char* shortWord, const char* longWord) {
        if ((filters.m_dwExcludeTypes & bit) == 0)
            return;
        if (!types.empty())
            types.push_back(';');
        types += abbreviated ? shortWord : longWord;
    };
    addType(FILTER_TYPE_TEXT, "t", "text");
    addType(FILTER_TYPE_BINARY, "b", "binary");
    addType(FILTER_TYPE_DIRECTORY, "d", "directory");
    if (!types.empty())
        items.push_back((abbreviated ? "te=" : "typeexclude=") + types);
    return items;
}

std::vector<std::string> FolderFilterItems(const CFolderFilters& filters, bool abbreviated)
{
    std::vector<std::string> items;
    AddNameItems(filters, abbreviated, items);
    AddAttributeItem(filters, abbreviated, items);
    return items;
}

CFolderCompareParams::CFolderCompareParams() : m_dwMethods(CurrentCompareDefaults().m_dwFolderMethods)
{
    m_nType = COMPARE_TYPE_FOLDER;
    m_filters.SetDefaults();
}

void CFolderCompareParams::CopyFrom(const CCompareParams& other)
{
    CCompareParams::CopyFrom(other);
    if (const auto* folder = dynamic_cast<const CFolderCompareParams*>(&other))
    {
        m_dwMethods = folder->m_dwMethods;
        m_dwOptions = folder->m_dwOptions;
        m_filters = folder->m_filters;
    }
}

bool CFolderCompareParams::IsEqual(const CCompareParams& other) const
{
    const auto* folder = dynamic_cast<const CFolderCompareParams*>(&other);
    return folder && CCompareParams::IsEqual(other) && m_dwMethods == folder->m_dwMethods &&
           m_dwOptions == folder->m_dwOptions && m_filters.Equals(folder->m_filters);
}

std::string CFolderCompareParams::GetCommandLine(bool fullPath, bool abbreviated, CommandLineQuoting quoting) const
{
    CCommandLineText text(fullPath, abbreviated, quoting);
    if (m_nType == COMPARE_TYPE_PROJECT)
        text.AddCommandAndType("p", "project");
    else
        text.AddCommandAndType("f", "folder");
    text.AddObjects(*this);

    std::vector<std::string> methods;
    for (const auto& entry : MethodNames())
        if (m_dwMethods & entry.m_dwBit)
            methods.emplace_back(text.Pick(entry.m_strShortWord, entry.m_strLongWord));
    text.AddList("m", "method", methods);
    const auto fileItems = FileFilterItems(m_filters.m_fileFilters, abbreviated);
    const auto folderItems = FolderFilterItems(m_filters.m_folderFilters, abbreviated);
    text.AddList("ff", "filefilter", fileItems);
    text.AddList("df", "folderfilter", folderItems);
    // Without a filter switch the command line takes the user's default filters; empty filters
    // that differ from them need an empty switch to come back as they are.
    const COMPARE_DEFAULTS& defaults = CurrentCompareDefaults();
    if (fileItems.empty() && folderItems.empty() && m_filters.Differs(defaults.m_folderFilters))
        text.AddQuoted(abbreviated ? "/ff:" : "/filefilter:", "");
    std::vector<std::string> options;
    for (const auto& entry : OptionNames())
        if (m_dwOptions & entry.m_dwBit)
            options.emplace_back(text.Pick(entry.m_strShortWord, entry.m_strLongWord));
    text.AddList("o", "option", options);
    if (options.empty() && defaults.m_bAutoScanSubfolders)
        text.AddQuoted(abbreviated ? "/o:" : "/option:", "");
    return text.Str();
}
