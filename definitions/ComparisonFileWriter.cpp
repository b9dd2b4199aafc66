#include "definitions/ComparisonFileWriter.h"

#include "definitions/DefinitionNames.h"
#include "definitions/ProjectCompareParams.h"
#include "definitions/TextCompareParams.h"
#include "definitions/XmlText.h"
#include "filesystem/FilterText.h"

#include <tinyxml2.h>

using tinyxml2::XMLElement;

namespace {

const char* EntryTypeName(int type)
{
    switch (type)
    {
    case COMPARE_TYPE_FOLDER:
        return "Folder";
    case COMPARE_TYPE_PROJECT:
        return "Project";
    case COMPARE_TYPE_TEXT:
        return "Text";
    case COMPARE_TYPE_BINARY:
        return "Binary";
    default:
        return nullptr;
    }
}

// The written order of the method flags differs from the table order.
constexpr std::uint32_t kMethodWriteOrder[] = {METHOD_LMTIME,  METHOD_SIZE,   METHOD_VERSION, METHOD_ATTRIBUTES,
                                               METHOD_CRC32,   METHOD_BINARY, METHOD_TEXT,    METHOD_TYPE};
constexpr std::uint32_t kRuleWriteOrder[] = {
    RULE_IGNOREALLSPACE,    RULE_IGNORESPACEDIFFERENCES, RULE_IGNORELEADINGSPACE, RULE_IGNORETRAILINGSPACE,
    RULE_IGNORETABEXPANSION, RULE_IGNOREBLANKLINES,     RULE_IGNORECASE,         RULE_IGNOREEOL,
    RULE_IGNORECOMMENTS,    RULE_IGNORELINESMATCHINGFILTER};

void WriteFlags(XMLElement& element, std::span<const DEFINITION_BIT_NAME> names, std::span<const std::uint32_t> order,
                std::uint32_t bits)
{
    for (const std::uint32_t bit : order)
        for (const auto& entry : names)
            if (entry.m_dwBit == bit)
                SetFlagAttribute(element, std::string(entry.m_strFileName).c_str(), (bits & bit) != 0);
}

void WriteNameFilter(XMLElement& parent, const CNameFilter& filter)
{
    XMLElement* name = parent.InsertNewChildElement("Name");
    SetTextAttribute(*name, "Include", filter.m_strInclude);
    SetTextAttribute(*name, "Exclude", filter.m_strExclude);
    SetFlagAttribute(*name, "MatchCase", filter.m_bMatchCase != 0);
}

} // namespace

bool CComparisonFileWriter::BuildDocument(const std::vector<std::unique_ptr<CCompareParams>>& list, int maxCount,
                                          std::string& text)
{
    tinyxml2::XMLDocument doc;
    doc.InsertEndChild(doc.NewDeclaration("xml version=\"1.0\" encoding=\"UTF-8\""));
    XMLElement* root = doc.NewElement("Comparisons");
    if (root == nullptr)
        return false;
    root->SetAttribute("Version", kVersion);
    doc.InsertEndChild(root);
    int written = 0;
    for (const auto& params : list)
    {
        if (maxCount != -1 && written >= maxCount)
            break;
        if (!params)
            continue;
        XMLElement* entry = root->InsertNewChildElement("Comparison");
        if (entry == nullptr)
            return false;
        WriteEntry(doc, *entry, *params);
        ++written;
    }
    tinyxml2::XMLPrinter printer;
    doc.Print(&printer);
    text.assign(printer.CStr(), static_cast<std::size_t>(printer.CStrSize() > 0 ? printer.CStrSize() - 1 : 0));
    return !doc.Error();
}

void CComparisonFileWriter::WriteEntry(tinyxml2::XMLDocument&, XMLElement& entry, const CCompareParams& params)
{
    const char* type = EntryTypeName(params.m_nType);
    if (type == nullptr)
        return; // a definition of an unknown kind leaves its element empty
    entry.SetAttribute("Type", type);
    entry.SetAttribute("LastComparedTime", FormatDateTime(params.m_tLastCompared).c_str());
    XMLElement* objects = entry.InsertNewChildElement("Objects");
    for (const auto& side : params.m_objects)
    {
        XMLElement* object = objects->InsertNewChildElement("Object");
        SetTextAttribute(*object, "Path", side.m_strPath);
        SetFlagAttribute(*object, "ReadOnly", side.IsReadOnly());
    }
    if (const auto* folder = dynamic_cast<const CFolderCompareParams*>(&params))
        WriteFolderValues(entry, *folder);
    else if (const auto* textParams = dynamic_cast<const CTextCompareParams*>(&params))
        WriteTextValues(entry, *textParams);
}

void CComparisonFileWriter::WriteFolderValues(XMLElement& entry, const CFolderCompareParams& params)
{
    WriteFlags(*entry.InsertNewChildElement("Methods"), MethodNames(), kMethodWriteOrder, params.m_dwMethods);

    XMLElement* filters = entry.InsertNewChildElement("Filters");
    const CFileFilters& fileFilters = params.m_filters.m_fileFilters;
    XMLElement* files = filters->InsertNewChildElement("Files");
    WriteNameFilter(*files, fileFilters);
    XMLElement* time = files->InsertNewChildElement("Time");
    time->SetAttribute("From", FormatDateBound(fileFilters.m_tFrom).c_str());
    time->SetAttribute("To", FormatDateBound(fileFilters.m_tTo).c_str());
    XMLElement* size = files->InsertNewChildElement("Size");
    size->SetAttribute("Min", FormatSizeBound(fileFilters.m_nMinSize).c_str());
    size->SetAttribute("Max", FormatSizeBound(fileFilters.m_nMaxSize).c_str());
    files->InsertNewChildElement("Attributes")
        ->SetAttribute("Exclude", FormatAttributeLetters(fileFilters.m_dwExcludeAttributes).c_str());
    files->InsertNewChildElement("Type")->SetAttribute("Exclude", FormatTypeWords(fileFilters.m_dwExcludeTypes).c_str());

    const CFolderFilters& folderFilters = params.m_filters.m_folderFilters;
    XMLElement* folders = filters->InsertNewChildElement("Folders");
    WriteNameFilter(*folders, folderFilters);
    folders->InsertNewChildElement("Attributes")
        ->SetAttribute("Exclude", FormatAttributeLetters(folderFilters.m_dwExcludeAttributes).c_str());

    SetFlagAttribute(*entry.InsertNewChildElement("Options"), "AutoScanSubfolders",
                     (params.m_dwOptions & OPTION_AUTOSCANSUBFOLDERS) != 0);
}

void CComparisonFileWriter::WriteTextValues(XMLElement& entry, const CTextCompareParams& params)
{
    WriteFlags(*entry.InsertNewChildElement("Rules"), RuleNames(), kRuleWriteOrder, params.m_dwRules);
    if (!params.m_strLineFilter.empty())
        SetTextAttribute(*entry.InsertNewChildElement("Filters")->InsertNewChildElement("LineFilter"), "RegExp",
                         params.m_strLineFilter);
}
