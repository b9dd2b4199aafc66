#include "app/CommandLine.h"

#include "definitions/CompareDefaults.h"
#include "definitions/CompareParams.h"
#include "definitions/ComparisonFile.h"
#include "definitions/ProjectCompareParams.h"
#include "definitions/TextCompareParams.h"
#include "definitions/BinaryCompareParams.h"
#include "filesystem/FileHelpers.h"
#include "filesystem/FilterText.h"
#include "platform/FileSystemEntry.h"
#include "projectcompare/ProjectFactory.h"

#include <array>
#include <cstdlib>
#include <sys/stat.h>

namespace {

// Keywords without a value, and keywords whose value follows their colon.
constexpr std::array<std::string_view, 8> kPlainSwitches{"?", "help", "h", "compare", "c", "edit", "e", "readonly"};
constexpr std::array<std::string_view, 14> kValueSwitches{"readonly:", "ro:", "type:", "t:", "method:", "m:",
                                                          "rule:", "r:", "filefilter:", "ff:", "folderfilter:",
                                                          "df:", "linefilter:", "lf:"};
constexpr std::array<std::string_view, 2> kOptionSwitches{"option:", "o:"};

struct SWITCH_WORD
{
    std::string_view word;
    std::uint32_t bit;
};

constexpr std::array<SWITCH_WORD, 10> kMethodWords{{
    {"time", METHOD_LMTIME},
    {"size", METHOD_SIZE},
    {"attributes", METHOD_ATTRIBUTES},
    {"attr", METHOD_ATTRIBUTES},
    {"version", METHOD_VERSION},
    {"ver", METHOD_VERSION},
    {"crc32", METHOD_CRC32},
    {"crc", METHOD_CRC32},
    {"binary", METHOD_BINARY},
    {"bin", METHOD_BINARY},
}};
constexpr std::array<SWITCH_WORD, 3> kMoreMethodWords{{{"text", METHOD_TEXT}, {"txt", METHOD_TEXT}, {"type", METHOD_TYPE}}};

constexpr std::array<SWITCH_WORD, 20> kRuleWords{{
    {"ignoreallspace", RULE_IGNOREALLSPACE},
    {"ias", RULE_IGNOREALLSPACE},
    {"ignorespacedifferences", RULE_IGNORESPACEDIFFERENCES},
    {"isd", RULE_IGNORESPACEDIFFERENCES},
    {"ignoreleadingspace", RULE_IGNORELEADINGSPACE},
    {"ils", RULE_IGNORELEADINGSPACE},
    {"ignoretrailingspace", RULE_IGNORETRAILINGSPACE},
    {"its", RULE_IGNORETRAILINGSPACE},
    {"ignoretabexpansion", RULE_IGNORETABEXPANSION},
    {"ite", RULE_IGNORETABEXPANSION},
    {"ignorecase", RULE_IGNORECASE},
    {"icc", RULE_IGNORECASE},
    {"ignorelineendings", RULE_IGNOREEOL},
    {"ieol", RULE_IGNOREEOL},
    {"ignoreblanklines", RULE_IGNOREBLANKLINES},
    {"ibl", RULE_IGNOREBLANKLINES},
    {"ignorecomments", RULE_IGNORECOMMENTS},
    {"ic", RULE_IGNORECOMMENTS},
    {"ignorelinesmatchingfilter", RULE_IGNORELINESMATCHINGFILTER},
    {"ilmf", RULE_IGNORELINESMATCHINGFILTER},
}};

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// The items of a "|"-separated list, empty ones skipped.
std::vector<std::string_view> ListItems(std::string_view list, char separator = '|')
{
    std::vector<std::string_view> items;
    std::size_t start = 0;
    while (start <= list.size())
    {
        std::size_t end = list.find(separator, start);
        if (end == std::string_view::npos)
            end = list.size();
        if (end > start)
            items.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

std::string StripQuotes(std::string_view value)
{
    while (!value.empty() && value.front() == '"')
        value.remove_prefix(1);
    while (!value.empty() && value.back() == '"')
        value.remove_suffix(1);
    return std::string(value);
}

std::uint32_t AttributeLetters(std::string_view value)
{
    std::uint32_t attributes = 0;
    if (value.find('r') != std::string_view::npos)
        attributes |= platform::FILE_ATTRIBUTE_READONLY;
    if (value.find('h') != std::string_view::npos)
        attributes |= platform::FILE_ATTRIBUTE_HIDDEN;
    if (value.find('s') != std::string_view::npos)
        attributes |= platform::FILE_ATTRIBUTE_SYSTEM;
    if (value.find('a') != std::string_view::npos)
        attributes |= platform::FILE_ATTRIBUTE_ARCHIVE;
    return attributes;
}

bool IsFolder(const std::string& path)
{
    struct stat st{};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ParentFolder(const std::string& path)
{
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == '/')
        --end;
    const std::size_t slash = path.rfind('/', end == 0 ? 0 : end - 1);
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A folder side becomes the file of the same name as the other side's file.
std::string Completed(const std::string& folder, const std::string& other)
{
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    return path + platform::NameOfPath(other);
}

bool IsText(const std::string& path)
{
    return DetectFileType(path) == 1;
}

} // namespace

COMMAND_LINE_DEFAULTS CurrentCommandLineDefaults()
{
    const COMPARE_DEFAULTS& current = CurrentCompareDefaults();
    COMMAND_LINE_DEFAULTS defaults;
    defaults.m_dwMethods = current.m_dwFolderMethods;
    defaults.m_bAutoScanSubfolders = current.m_bAutoScanSubfolders;
    defaults.m_filters = current.m_folderFilters;
    defaults.m_dwRules = current.m_dwTextRules;
    defaults.m_strLineFilter = current.m_strTextLineFilter;
    return defaults;
}

bool CCommandLine::IsSwitchWord(std::string_view text)
{
    for (const auto word : kPlainSwitches)
        if (text == word)
            return true;
    if (text == "ro")
        return true;
    for (const auto word : kValueSwitches)
        if (StartsWith(text, word))
            return true;
    for (const auto word : kOptionSwitches)
        if (StartsWith(text, word))
            return true;
    return false;
}

void CCommandLine::ParseCommandLine(const std::vector<std::string>& argv, const COMMAND_LINE_DEFAULTS& defaults)
{
    if (argv.size() < 2)
        return;
    for (std::size_t i = 1; i < argv.size(); ++i)
    {
        const std::string& arg = argv[i];
        const bool isLast = i + 1 == argv.size();
        if (arg.size() >= 1 && arg[0] == '-')
            ParseParam(arg.substr(1), true, isLast);
        else if (arg.size() >= 2 && arg[0] == '/' && IsSwitchWord(std::string_view(arg).substr(1)))
            ParseParam(arg.substr(1), true, isLast);
        else
            ParseParam(arg, false, isLast);
    }
    if (m_bDefaultMethods)
        m_dwMethods = defaults.m_dwMethods;
    if (m_bDefaultOptions && defaults.m_bAutoScanSubfolders)
        m_dwOptions |= OPTION_AUTOSCANSUBFOLDERS;
    if (m_bDefaultRules)
        m_dwRules = defaults.m_dwRules;
    if (m_bDefaultFilters)
        m_filters = defaults.m_filters;
    if (m_bDefaultLineFilter)
        m_strLineFilter = defaults.m_strLineFilter;
}

void CCommandLine::ParseParam(const std::string& text, bool isSwitch, bool isLast)
{
    if (isSwitch)
        ParseSwitch(text);
    else
        AddPath(text);
    ResolveCommand(isLast);
}

void CCommandLine::AddPath(const std::string& text)
{
    if (m_nPaths < 2)
        m_strPaths[m_nPaths++] = text;
}

void CCommandLine::ParseSwitch(std::string_view text)
{
    const bool folderType = m_nType == CMDTYPE_FOLDER || m_nType == CMDTYPE_PROJECT;
    const auto valueOf = [text](std::string_view longKey, std::string_view shortKey, std::string_view& value) {
        for (const auto key : {longKey, shortKey})
            if (StartsWith(text, key))
            {
                value = text.substr(key.size());
                return true;
            }
        return false;
    };
    std::string_view value;
    if (text == "?" || text == "help" || text == "h")
        m_nCommand = CMD_HELP;
    else if (text == "compare" || text == "c")
        m_nCommand = CMD_COMPARE;
    else if (text == "edit" || text == "e")
        m_nCommand = CMD_EDIT;
    else if (text == "readonly" || text == "ro")
        m_bReadOnly[0] = m_bReadOnly[1] = true;
    else if (valueOf("readonly:", "ro:", value))
    {
        for (const auto item : ListItems(value))
        {
            if (item == "1")
                m_bReadOnly[0] = true;
            else if (item == "2")
                m_bReadOnly[1] = true;
        }
    }
    else if (valueOf("type:", "t:", value))
    {
        if (value == "text" || value == "t")
            m_nType = CMDTYPE_TEXT;
        else if (value == "binary" || value == "b")
            m_nType = CMDTYPE_BINARY;
        else if (value == "folder" || value == "f")
            m_nType = CMDTYPE_FOLDER;
        else if (value == "project" || value == "p")
            m_nType = CMDTYPE_PROJECT;
    }
    else if (valueOf("method:", "m:", value))
    {
        m_bDefaultMethods = false;
        if (folderType)
            for (const auto item : ListItems(value))
            {
                for (const auto& entry : kMethodWords)
                    if (item == entry.word)
                        m_dwMethods |= entry.bit;
                for (const auto& entry : kMoreMethodWords)
                    if (item == entry.word)
                        m_dwMethods |= entry.bit;
            }
    }
    else if (valueOf("rule:", "r:", value))
    {
        m_bDefaultRules = false;
        if (m_nType == CMDTYPE_TEXT)
            for (const auto item : ListItems(value))
                for (const auto& entry : kRuleWords)
                    if (item == entry.word)
                        m_dwRules |= entry.bit;
    }
    else if (valueOf("filefilter:", "ff:", value))
    {
        // Any filter switch drops the default filters of both kinds.
        if (m_bDefaultFilters)
            m_filters.SetDefaults();
        m_bDefaultFilters = false;
        if (folderType)
            for (const auto item : ListItems(value))
                ParseFileFilterItem(item);
    }
    else if (valueOf("folderfilter:", "df:", value))
    {
        if (m_bDefaultFilters)
            m_filters.SetDefaults();
        m_bDefaultFilters = false;
        if (folderType)
            for (const auto item : ListItems(value))
                ParseFolderFilterItem(item);
    }
    else if (valueOf("linefilter:", "lf:", value))
    {
        m_bDefaultLineFilter = false;
        if (m_nType == CMDTYPE_TEXT)
            for (const std::string_view key : {"regexp=", "re="})
                if (StartsWith(value, key) && value.size() > key.size())
                {
                    m_strLineFilter = std::string(value.substr(key.size()));
                    break;
                }
    }
    else if (valueOf("option:", "o:", value))
    {
        m_bDefaultOptions = false;
        for (const auto item : ListItems(value))
            if (item == "autoscansubfolders" || item == "asf")
                m_dwOptions |= OPTION_AUTOSCANSUBFOLDERS;
    }
}

void CCommandLine::ParseFileFilterItem(std::string_view item)
{
    CFileFilters& files = m_filters.m_fileFilters;
    const std::size_t equals = item.find('=');
    const std::string_view value = equals == std::string_view::npos ? std::string_view() : item.substr(equals + 1);
    const auto is = [item](std::string_view longKey, std::string_view shortKey) {
        return StartsWith(item, longKey) || StartsWith(item, shortKey);
    };
    std::int64_t time = 0;
    if (is("nameinclude=", "ni="))
        files.m_strInclude = StripQuotes(value);
    else if (is("nameexclude=", "ne="))
        files.m_strExclude = StripQuotes(value);
    else if (is("timefrom=", "tf="))
    {
        if (!value.empty() && ParseDate(value, time))
            files.m_tFrom = time;
    }
    else if (is("timeto=", "tt="))
    {
        if (!value.empty() && ParseDate(value, time))
            files.m_tTo = time;
    }
    else if (is("sizemin=", "si="))
    {
        if (!value.empty())
            files.m_nMinSize = ParseSizeBound(value);
    }
    else if (is("sizemax=", "sa="))
    {
        if (!value.empty())
            files.m_nMaxSize = ParseSizeBound(value);
    }
    else if (is("attributesexclude=", "ae="))
        files.m_dwExcludeAttributes |= AttributeLetters(value);
    else if (is("typeexclude=", "te="))
    {
        for (const auto type : ListItems(value, ';'))
        {
            if (type == "text" || type == "t")
                files.m_dwExcludeTypes |= FILTER_TYPE_TEXT;
            else if (type == "binary" || type == "b")
                files.m_dwExcludeTypes |= FILTER_TYPE_BINARY;
        }
    }
}

void CCommandLine::ParseFolderFilterItem(std::string_view item)
{
    CFolderFilters& folders = m_filters.m_folderFilters;
    const std::size_t equals = item.find('=');
    const std::string_view value = equals == std::string_view::npos ? std::string_view() : item.substr(equals + 1);
    if (StartsWith(item, "nameinclude=") || StartsWith(item, "ni="))
        folders.m_strInclude = StripQuotes(value);
    else if (StartsWith(item, "nameexclude=") || StartsWith(item, "ne="))
        folders.m_strExclude = StripQuotes(value);
    else if (StartsWith(item, "attributesexclude=") || StartsWith(item, "ae="))
        folders.m_dwExcludeAttributes |= AttributeLetters(value);
}

bool CCommandLine::ParseDate(std::string_view text, std::int64_t& out)
{
    const auto parts = ListItems(text, '-');
    if (parts.size() != 3)
        return false;
    long values[3];
    for (int i = 0; i < 3; ++i)
    {
        bool ok = false;
        const std::int64_t v = ParseDecimal(parts[static_cast<std::size_t>(i)], &ok);
        if (!ok || v <= 0 || v > 100000)
            return false;
        values[i] = static_cast<long>(v);
    }
    std::tm tm{};
    tm.tm_mon = static_cast<int>(values[0] - 1);
    tm.tm_mday = static_cast<int>(values[1]);
    tm.tm_year = static_cast<int>(values[2] - 1900);
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1))
        return false;
    out = t;
    return true;
}

void CCommandLine::ResolveCommand(bool isLast)
{
    if (!isLast)
        return;
    if (m_nCommand == CMD_NONE)
    {
        if (m_nPaths == 2)
            m_nCommand = CMD_COMPARE;
        else if (m_nPaths == 1)
            m_nCommand = IsComparisonFile(m_strPaths[0]) ? CMD_OPEN : CMD_EDIT;
        else
            m_nCommand = CMD_OPEN;
    }
    else if (m_nCommand != CMD_COMPARE)
    {
        return;
    }
    if (m_nPaths == 2)
        ResolveTwoPaths();
    else if (m_nPaths == 1)
        ResolveOnePath();
}

void CCommandLine::ResolveTwoPaths()
{
    std::string& left = m_strPaths[0];
    std::string& right = m_strPaths[1];
    const bool l = IsFolder(left);
    const bool r = IsFolder(right);
    const auto completeSides = [&] {
        if (l)
            left = Completed(left, right);
        if (r)
            right = Completed(right, left);
    };
    const auto textOrBinary = [&] { m_nType = IsText(left) && IsText(right) ? CMDTYPE_TEXT : CMDTYPE_BINARY; };
    switch (m_nType)
    {
    case CMDTYPE_AUTO:
        if (l && r)
        {
            m_nType = CMDTYPE_FOLDER;
            return;
        }
        completeSides();
        if (IsProjectFile(left) && IsProjectFile(right))
            m_nType = CMDTYPE_PROJECT;
        else
            textOrBinary();
        return;
    case CMDTYPE_TEXT:
        completeSides();
        textOrBinary();
        return;
    case CMDTYPE_BINARY:
        completeSides();
        return;
    case CMDTYPE_FOLDER:
        if (!l)
            left = ParentFolder(left);
        if (!r)
            right = ParentFolder(right);
        return;
    case CMDTYPE_PROJECT:
        if (IsProjectFile(left) && IsProjectFile(right))
            return;
        m_nType = CMDTYPE_TEXT;
        completeSides();
        textOrBinary();
        return;
    default:
        return;
    }
}

void CCommandLine::ResolveOnePath()
{
    std::string& path = m_strPaths[0];
    const bool f = IsFolder(path);
    switch (m_nType)
    {
    case CMDTYPE_AUTO:
        m_nType = f ? CMDTYPE_FOLDER : IsProjectFile(path) ? CMDTYPE_PROJECT : IsText(path) ? CMDTYPE_TEXT : CMDTYPE_BINARY;
        return;
    case CMDTYPE_TEXT:
        m_nType = f ? CMDTYPE_FOLDER : IsText(path) ? CMDTYPE_TEXT : CMDTYPE_BINARY;
        return;
    case CMDTYPE_BINARY:
        if (f)
            m_nType = CMDTYPE_FOLDER;
        return;
    case CMDTYPE_FOLDER:
        if (!f)
            path = ParentFolder(path);
        return;
    case CMDTYPE_PROJECT:
        if (IsProjectFile(path))
            return;
        m_nType = f ? CMDTYPE_FOLDER : IsText(path) ? CMDTYPE_TEXT : CMDTYPE_BINARY;
        return;
    default:
        return;
    }
}

std::unique_ptr<CCompareParams> CreateDefinitionFromCommandLine(const CCommandOptions& options)
{
    std::unique_ptr<CCompareParams> params;
    switch (options.m_nType)
    {
    case CMDTYPE_TEXT: {
        auto text = std::make_unique<CTextCompareParams>();
        if (options.m_dwRules != 0)
            text->m_dwRules = options.m_dwRules;
        text->m_strLineFilter = options.m_strLineFilter;
        params = std::move(text);
        break;
    }
    case CMDTYPE_BINARY:
        params = std::make_unique<CBinaryCompareParams>();
        break;
    case CMDTYPE_FOLDER:
    case CMDTYPE_PROJECT: {
        std::unique_ptr<CFolderCompareParams> folder;
        if (options.m_nType == CMDTYPE_PROJECT)
            folder = std::make_unique<CProjectCompareParams>();
        else
            folder = std::make_unique<CFolderCompareParams>();
        if (options.m_dwMethods != 0)
            folder->m_dwMethods = options.m_dwMethods;
        folder->m_dwOptions = options.m_dwOptions;
        folder->m_filters = options.m_filters;
        params = std::move(folder);
        break;
    }
    default:
        return nullptr;
    }
    const int paths = options.m_nPaths;
    params->m_objects[0].m_strPath = paths > 0 ? options.m_strPaths[0] : std::string();
    params->m_objects[1].m_strPath = paths > 1 ? options.m_strPaths[1] : std::string();
    params->m_objects[0].m_dwFlags = options.m_bReadOnly[0] ? OBJECT_READONLY : 0;
    // With one path only the left side's flag is used.
    params->m_objects[1].m_dwFlags = paths > 1 && options.m_bReadOnly[1] ? OBJECT_READONLY : 0;
    return params;
}

std::vector<std::string> SplitPosixCommandLine(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        if (c == '\'')
        {
            const std::size_t end = text.find('\'', i + 1);
            word.append(text.substr(i + 1, (end == std::string_view::npos ? text.size() : end) - i - 1));
            i = end == std::string_view::npos ? text.size() : end;
            inWord = true;
        }
        else if (c == '"')
        {
            for (++i; i < text.size() && text[i] != '"'; ++i)
            {
                if (text[i] == '\\' && i + 1 < text.size() && std::string_view("$`\"\\").find(text[i + 1]) != std::string_view::npos)
                    ++i;
                word.push_back(text[i]);
            }
            inWord = true;
        }
        else if (c == '\\' && i + 1 < text.size())
        {
            word.push_back(text[++i]);
            inWord = true;
        }
        else if (c == ' ' || c == '\t' || c == '\n')
        {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        }
        else
        {
            word.push_back(c);
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}
