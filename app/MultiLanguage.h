#pragma once

#include "platform/Profile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A language as the language list shows it.
struct LANGUAGE_ENTRY
{
    std::uint16_t m_nLanguageId = 0;
    std::string m_strNativeName;
    std::string m_strLocalizedName;
    std::string m_strEnglishName;
    std::string m_strIconPath; // "" for the program's own icon
    std::string m_strTranslator;
    std::string m_strComments;
    std::string m_strPath; // "" for the built-in English resources
};

// The toolkit's side of the language choice: translation files read and put in force, the
// formatting locale of the user interface, the names of a language. ui/ implements it with Qt
// (QTranslator, QLocale). Translation files are data: nothing found in the Languages folder is
// ever run as code.
class ILanguageLoader
{
public:
    virtual ~ILanguageLoader() = default;

    // The text the translation file gives for string 999, without putting the file in force.
    // False when the file cannot be read as a translation or lacks the string.
    virtual bool ReadLanguageString(const std::string& path, std::string& text) = 0;
    // Puts the file in force for every menu, dialog and string. When this fails the translation
    // in force before stays.
    virtual bool LoadLanguageLibrary(const std::string& path) = 0;
    // Back to the built-in English texts.
    virtual void ReleaseLanguageLibrary() = 0;
    // The formatting locale of the user-interface thread. Must not change the process's C locale
    // (setlocale is process-wide; numbers and character classes would change under other threads).
    virtual void SetThreadLocale(std::uint16_t languageId) = 0;
    // Native, localised and English name of a language; empty when unknown.
    virtual void GetLanguageNames(std::uint16_t languageId, std::string& nativeName,
                                  std::string& localizedName, std::string& englishName) = 0;
};

// The user-interface language: chosen at start-up, put in force through the loader, remembered
// in "UILanguage", and giving the help file of the language. A translation is a Qt translation
// file "<name>.qm" in the "Languages" folder below the installation folder, recognised when its
// string 999 reads "id\ntranslator\ncomments" (id decimal, non-zero in its low 16 bits) and an
// icon "<name>.png" lies beside it.
class CMultiLanguage
{
public:
    static constexpr std::uint16_t kBuiltInLanguage = 1033; // English (United States): built in
    static constexpr std::string_view kBuiltInString = "1033\nMelkwen\nDefault";
    static constexpr const char* kSection = "Settings";
    static constexpr const char* kLanguageValue = "UILanguage";
    static constexpr std::string_view kLanguagesFolder = "Languages";
    static constexpr std::string_view kLibraryExtension = ".qm";
    static constexpr std::string_view kIconExtension = ".png";

    // Help is HTML shipped with the program: the built-in language's pages in "Help" below the
    // installation folder, a translation's in "Languages/<name>/"; the help file is the folder's
    // "index.html" (the table of contents), and topics are pages beside it.
    static constexpr std::string_view kHelpFolder = "Help";
    static constexpr std::string_view kHelpIndex = "index.html";
    static constexpr std::string_view kTopicCommandLine = "::/command_line.html";
    static constexpr std::string_view kTopicKeyboardShortcuts = "::/keyboard_shortcuts.html";
    static constexpr std::string_view kHelpMissingMessage = "Help file is missing!";

    // The language dialog.
    static constexpr std::string_view kDialogTitle = "Select Language";
    static constexpr std::string_view kDialogBanner = "Select the user interface language";
    static constexpr std::string_view kColumnLanguage = "Language";
    static constexpr int kColumnLanguageWidth = 320;
    static constexpr std::string_view kColumnTranslator = "Translator";
    static constexpr int kColumnTranslatorWidth = 80;
    static constexpr std::string_view kColumnComments = "Comments";
    static constexpr int kColumnCommentsWidth = 240;
    static constexpr std::string_view kMoreLanguagesText = "More Languages...";
    static constexpr std::string_view kMoreLanguagesUrl = "https://quorvane.example/languages/";
    static constexpr std::string_view kChangeMessage =
        "The change to the User Interface Language will take effect\nwhen you next start Quorvane";

    // The locales whose languages are tried, in this order, when no language was chosen.
    struct SystemLocales
    {
        std::string m_strThread; // the running program's locale (LC_MESSAGES)
        std::string m_strUser;   // LC_ALL, LC_MESSAGES or LANG, the first that is set
        std::string m_strSystem; // LANG of /etc/default/locale or /etc/locale.conf
    };

    // `profile` and `loader` must outlive the object.
    CMultiLanguage(ILanguageLoader& loader, platform::Profile& profile, std::string installDir);
    // Writes "UILanguage" with the current id, so that a language chosen in the dialog is the
    // one of the next start.
    ~CMultiLanguage();
    CMultiLanguage(const CMultiLanguage&) = delete;
    CMultiLanguage& operator=(const CMultiLanguage&) = delete;

    // Start-up: the stored "UILanguage", else the first of the locales' languages that has a
    // translation that loads (not stored), else the built-in English.
    void InitLanguage();
    void InitLanguage(const SystemLocales& locales);

    // Puts a language in force; 1033 means the built-in resources. False (nothing changed) when
    // no translation of the id is found or it does not load. The same id as now changes nothing.
    bool SetLanguage(int languageId, bool save);

    // Fills `list` (the built-in entry first when asked), the translations ordered by id; of
    // two translations with one id the first by file name comes first. Returns the length.
    int EnumLanguages(std::vector<LANGUAGE_ENTRY>& list, bool includeBuiltIn);

    // The help file of the language in force, falling back to the built-in language's when the
    // translation has none. The callers show kHelpMissingMessage when it does not exist.
    std::string GetHelpFile() const;
    // The page of a topic ("::/command_line.html", ...; "" for the contents) inside a help
    // file; "" for a topic that the help does not have.
    static std::string GetHelpTopic(const std::string& helpFile, std::string_view topic);

    // The dialog's confirmation: records `languageId` for the next start (the texts in force stay
    // as they are). True when it differs from the current one; the caller then shows
    // kChangeMessage.
    bool ChooseLanguage(std::uint16_t languageId);
    // The "Language" column: "%d (%s - %s - %s)" with the id, the English, native and localised name.
    static std::string FormatLanguageText(const LANGUAGE_ENTRY& entry);

    std::uint16_t GetLanguageId() const { return m_nLanguageId; }
    // File name (last element) and full path of the translation in force; "" for none.
    const std::string& GetLibraryName() const { return m_strLibraryName; }
    const std::string& GetLibraryPath() const { return m_strLibraryPath; }

    // Splits a string 999; false unless it has exactly three parts and a usable id.
    static bool ParseLanguageString(std::string_view text, std::uint16_t& languageId, std::string& translator,
                                    std::string& comments);
    // The language id of a locale name ("de_DE.UTF-8" -> 1031); 0 for none (empty, "C", "POSIX",
    // a language we do not know).
    static std::uint16_t LanguageIdOfLocale(std::string_view localeName);
    static SystemLocales CurrentSystemLocales();

private:
    std::string LanguagesFolder() const;

    ILanguageLoader& m_loader;
    platform::Profile& m_profile;
    std::string m_strInstallDir;
    std::uint16_t m_nLanguageId = kBuiltInLanguage;
    std::string m_strLibraryName;
    std::string m_strLibraryPath;
};
