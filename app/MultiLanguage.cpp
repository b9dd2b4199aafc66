#include "app/MultiLanguage.h"

#include "platform/FileSystemEntry.h"
#include "platform/PeVersionResource.h"

#include <algorithm>
#include <array>
#include <clocale>
#include <cstdlib>
#include <fstream>
#include <utility>

namespace
{

std::string Join(const std::string& folder, std::string_view name)
{
    if (folder.empty())
        return std::string(name);
    std::string path = folder;
    if (path.back() != '/')
        path += '/';
    path += name;
    return path;
}

bool IsRegularFile(const std::string& path)
{
    platform::FindData data;
    return platform::ReadEntry(path, data) == 0 && data.m_nError == 0 && data.IsRegularFile();
}

bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The value of LANG in a file of shell-style assignments (LANG=de_DE.UTF-8, LANG="de_DE.UTF-8").
std::string LangOfFile(const char* path)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
    {
        if (line.rfind("LANG=", 0) != 0)
            continue;
        std::string value = line.substr(5);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return value;
    }
    return {};
}

// Topics of the help and the pages that hold them, in one place for every caller.
struct HelpTopic
{
    std::string_view m_topic;
    std::string_view m_page;
};
constexpr HelpTopic kHelpTopics[] = {
    {"", CMultiLanguage::kHelpIndex},
    {CMultiLanguage::kTopicCommandLine, "command_line.html"},
    {CMultiLanguage::kTopicKeyboardShortcuts, "keyboard_shortcuts.html"},
};

} // namespace

CMultiLanguage::CMultiLanguage(ILanguageLoader& loader, platform::Profile& profile, std::string installDir)
    : m_loader(loader), m_profile(profile), m_strInstallDir(std::move(installDir))
{
}

CMultiLanguage::~CMultiLanguage()
{
    m_profile.WriteProfileInt(kSection, kLanguageValue, m_nLanguageId);
}

std::string CMultiLanguage::LanguagesFolder() const
{
    return Join(m_strInstallDir, kLanguagesFolder);
}

bool CMultiLanguage::ParseLanguageString(std::string_view text, std::uint16_t& languageId,
                                         std::string& translator, std::string& comments)
{
    const std::size_t first = text.find('\n');
    if (first == std::string_view::npos)
        return false;
    const std::size_t second = text.find('\n', first + 1);
    if (second == std::string_view::npos || text.find('\n', second + 1) != std::string_view::npos)
        return false;
    const std::string_view digits = text.substr(0, first);
    if (digits.empty() || digits.size() > 10 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const unsigned long long value = std::stoull(std::string(digits));
    if (value > 0xFFFFFFFFULL || (value & 0xFFFF) == 0)
        return false;
    languageId = static_cast<std::uint16_t>(value & 0xFFFF);
    translator = std::string(text.substr(first + 1, second - first - 1));
    comments = std::string(text.substr(second + 1));
    return true;
}

int CMultiLanguage::EnumLanguages(std::vector<LANGUAGE_ENTRY>& list, bool includeBuiltIn)
{
    list.clear();
    if (includeBuiltIn)
    {
        LANGUAGE_ENTRY builtIn;
        ParseLanguageString(kBuiltInString, builtIn.m_nLanguageId, builtIn.m_strTranslator,
                            builtIn.m_strComments);
        m_loader.GetLanguageNames(builtIn.m_nLanguageId, builtIn.m_strNativeName, builtIn.m_strLocalizedName,
                                  builtIn.m_strEnglishName);
        list.push_back(std::move(builtIn));
    }

    // The folder's order is whatever the file system gives; file-name order makes "the first
    // translation of an id" mean the same on every machine.
    const std::string folder = LanguagesFolder();
    std::vector<std::string> names;
    platform::DirectoryReader reader;
    if (reader.Open(folder))
    {
        while (reader.Next())
        {
            const std::string& name = reader.Current().m_strName;
            if (name.size() > kLibraryExtension.size() && EndsWith(name, kLibraryExtension))
                names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());

    const std::size_t firstLibrary = list.size();
    for (const std::string& name : names)
    {
        const std::string path = Join(folder, name);
        const std::string icon = Join(folder, name.substr(0, name.size() - kLibraryExtension.size()) +
                                                  std::string(kIconExtension));
        // Only regular files reach the loader: a FIFO or a device named like a translation
        // would block or do harm when read.
        if (!IsRegularFile(path) || !IsRegularFile(icon))
            continue;
        std::string text;
        LANGUAGE_ENTRY entry;
        if (!m_loader.ReadLanguageString(path, text) ||
            !ParseLanguageString(text, entry.m_nLanguageId, entry.m_strTranslator, entry.m_strComments))
            continue;
        m_loader.GetLanguageNames(entry.m_nLanguageId, entry.m_strNativeName, entry.m_strLocalizedName,
                                  entry.m_strEnglishName);
        entry.m_strIconPath = icon;
        entry.m_strPath = path;
        list.push_back(std::move(entry));
    }
    std::stable_sort(list.begin() + static_cast<std::ptrdiff_t>(firstLibrary), list.end(),
                     [](const LANGUAGE_ENTRY& a, const LANGUAGE_ENTRY& b)
                     { return a.m_nLanguageId < b.m_nLanguageId; });
    return static_cast<int>(list.size());
}

bool CMultiLanguage::SetLanguage(int languageId, bool save)
{
    if (languageId == m_nLanguageId)
        return true;
    if (languageId <= 0 || languageId > 0xFFFF)
        return false;
    if (languageId == kBuiltInLanguage)
    {
        m_loader.ReleaseLanguageLibrary();
        m_strLibraryName.clear();
        m_strLibraryPath.clear();
    }
    else
    {
        std::vector<LANGUAGE_ENTRY> languages;
        EnumLanguages(languages, false);
        const auto it = std::find_if(languages.begin(), languages.end(),
                                     [&](const LANGUAGE_ENTRY& e) { return e.m_nLanguageId == languageId; });
        // The loader keeps the translation in force until the new one has loaded, so a failure
        // leaves the interface as it was.
        if (it == languages.end() || !m_loader.LoadLanguageLibrary(it->m_strPath))
            return false;
        m_strLibraryPath = it->m_strPath;
        m_strLibraryName = platform::NameOfPath(it->m_strPath);
    }
    m_nLanguageId = static_cast<std::uint16_t>(languageId);
    if (save)
        m_profile.WriteProfileInt(kSection, kLanguageValue, languageId);
    m_loader.SetThreadLocale(m_nLanguageId);
    return true;
}

void CMultiLanguage::InitLanguage()
{
    InitLanguage(CurrentSystemLocales());
}

void CMultiLanguage::InitLanguage(const SystemLocales& locales)
{
    const int stored = m_profile.GetProfileInt(kSection, kLanguageValue, -1);
    if (stored != -1)
    {
        SetLanguage(stored, true);
        return;
    }

    std::vector<LANGUAGE_ENTRY> languages;
    EnumLanguages(languages, false);
    std::vector<std::uint16_t> tried;
    for (const std::string* locale : {&locales.m_strThread, &locales.m_strUser, &locales.m_strSystem})
    {
        const std::uint16_t id = LanguageIdOfLocale(*locale);
        if (id == 0 || std::find(tried.begin(), tried.end(), id) != tried.end())
            continue;
        tried.push_back(id);
        const bool hasLibrary = std::any_of(languages.begin(), languages.end(),
                                            [&](const LANGUAGE_ENTRY& e) { return e.m_nLanguageId == id; });
        if (hasLibrary && SetLanguage(id, false))
            return;
    }
}

std::string CMultiLanguage::GetHelpFile() const
{
    if (!m_strLibraryName.empty())
    {
        const std::string stem =
            m_strLibraryName.substr(0, m_strLibraryName.size() - kLibraryExtension.size());
        const std::string help = Join(Join(LanguagesFolder(), stem), kHelpIndex);
        if (IsRegularFile(help))
            return help;
    }
    return Join(Join(m_strInstallDir, kHelpFolder), kHelpIndex);
}

std::string CMultiLanguage::GetHelpTopic(const std::string& helpFile, std::string_view topic)
{
    const auto it = std::find_if(std::begin(kHelpTopics), std::end(kHelpTopics),
                                 [&](const HelpTopic& t) { return t.m_topic == topic; });
    if (it == std::end(kHelpTopics))
        return {};
    const std::size_t separator = helpFile.rfind('/');
    const std::string folder = separator == std::string::npos ? std::string() : helpFile.substr(0, separator);
    return Join(folder, it->m_page);
}

bool CMultiLanguage::ChooseLanguage(std::uint16_t languageId)
{
    if (languageId == 0 || languageId == m_nLanguageId)
        return false;
    m_nLanguageId = languageId;
    return true;
}

std::string CMultiLanguage::FormatLanguageText(const LANGUAGE_ENTRY& entry)
{
    return std::to_string(entry.m_nLanguageId) + " (" + entry.m_strEnglishName + " - " +
           entry.m_strNativeName + " - " + entry.m_strLocalizedName + ")";
}

std::uint16_t CMultiLanguage::LanguageIdOfLocale(std::string_view localeName)
{
    const std::string_view language = localeName.substr(0, localeName.find_first_of("_-.@"));
    if (language.empty() || language == "C" || language == "POSIX")
        return 0;
    const std::uint16_t id = platform::LanguageIdFromLocaleName(localeName);
    // The mapping answers English for what it does not know; only "en" really is English.
    const bool english = language.size() == 2 && (language[0] | 0x20) == 'e' && (language[1] | 0x20) == 'n';
    if (id == kBuiltInLanguage && !english)
        return 0;
    return id;
}

CMultiLanguage::SystemLocales CMultiLanguage::CurrentSystemLocales()
{
    SystemLocales locales;
    if (const char* current = std::setlocale(LC_MESSAGES, nullptr))
        locales.m_strThread = current;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
    {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
        {
            locales.m_strUser = value;
            break;
        }
    }
    for (const char* file : {"/etc/default/locale", "/etc/locale.conf"})
    {
        locales.m_strSystem = LangOfFile(file);
        if (!locales.m_strSystem.empty())
            break;
    }
    return locales;
}
