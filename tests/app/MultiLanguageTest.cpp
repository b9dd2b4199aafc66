#include "app/MultiLanguage.h"

#include "platform/FileSystemEntry.h"
#include "platform/Registry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sys/stat.h>

using platform::Profile;
using platform::Registry;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace
{

// Reads a translation's string 999 straight from the file's text (the fixtures hold nothing
// else), records every load and release, and fails to load the files it is told to.
class FakeLoader : public ILanguageLoader
{
public:
    bool ReadLanguageString(const std::string& path, std::string& text) override
    {
        struct stat st
        {
        };
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        {
            m_readNonRegular.push_back(path); // would block or harm for a real reader
            return false;
        }
        text = testsupport::ReadFile(path);
        return text != "no string 999";
    }
    bool LoadLanguageLibrary(const std::string& path) override
    {
        m_loadAttempts.push_back(path);
        if (m_failing.count(platform::NameOfPath(path)))
            return false;
        m_strInForce = path;
        return true;
    }
    void ReleaseLanguageLibrary() override
    {
        ++m_nReleases;
        m_strInForce.clear();
    }
    void SetThreadLocale(std::uint16_t languageId) override { m_nThreadLocale = languageId; }
    void GetLanguageNames(std::uint16_t id, std::string& nativeName, std::string& localizedName,
                          std::string& englishName) override
    {
        static const std::map<std::uint16_t, std::array<const char*, 2>> names = {
            {1030, {"dansk", "Danish"}},    {1031, {"Deutsch", "German"}},   {1033, {"English", "English"}},
            {1036, {"français", "French"}}, {1043, {"Nederlands", "Dutch"}},
        };
        const auto it = names.find(id);
        nativeName = it == names.end() ? "" : it->second[0];
        englishName = localizedName = it == names.end() ? "" : it->second[1];
    }

    std::string m_strInForce; // "" = built-in English
    std::vector<std::string> m_loadAttempts;
    std::vector<std::string> m_readNonRegular;
    std::set<std::string> m_failing;
    int m_nReleases = 0;
    std::optional<std::uint16_t> m_nThreadLocale;
};

class MultiLanguageTest : public ::testing::Test
{
protected:
    MultiLanguageTest() { ::mkdir(m_strLanguages.c_str(), 0755); }

    // A translation with its icon beside it.
    void AddLibrary(const std::string& stem, std::string_view languageString, bool withIcon = true)
    {
        WriteFile(m_strLanguages + "/" + stem + ".qm", languageString);
        if (withIcon)
            WriteFile(m_strLanguages + "/" + stem + ".png", "icon");
    }

    std::optional<std::uint32_t> StoredLanguage()
    {
        return m_registry.GetDword(platform::RegistryRoot::CurrentUser, m_profile.SectionKey("Settings"),
                                   "UILanguage");
    }

    std::vector<std::uint16_t> Ids(bool includeBuiltIn)
    {
        std::vector<LANGUAGE_ENTRY> list;
        const int count = m_language.EnumLanguages(list, includeBuiltIn);
        EXPECT_EQ(count, static_cast<int>(list.size()));
        std::vector<std::uint16_t> ids;
        for (const auto& e : list)
            ids.push_back(e.m_nLanguageId);
        return ids;
    }

    TempDir m_install;
    TempDir m_registryDir;
    std::string m_strLanguages = m_install / "Languages";
    Registry m_registry{m_registryDir.Path()};
    Profile m_profile{m_registry};
    FakeLoader m_loader;
    std::optional<CMultiLanguage> m_languageHolder{std::in_place, m_loader, m_profile, m_install.Path()};
    CMultiLanguage& m_language = *m_languageHolder;
};

TEST_F(MultiLanguageTest, ListsTheBuiltInEntryFirstAndTheTranslationsByIdWithTheirDetails)
{
    AddLibrary("a-dutch", "1043\nJan\nVolledig");
    AddLibrary("b-german", "1031\nHans Maier\nAlle Texte");
    AddLibrary("c-french", "1036\nMarie\n");
    WriteFile(m_strLanguages + "/notes.txt", "not a translation");

    std::vector<LANGUAGE_ENTRY> list;
    ASSERT_EQ(m_language.EnumLanguages(list, true), 4);
    EXPECT_EQ(list[0].m_nLanguageId, 1033);
    EXPECT_EQ(list[0].m_strTranslator, "Melkwen");
    EXPECT_EQ(list[0].m_strComments, "Default");
    EXPECT_EQ(list[0].m_strPath, "");
    EXPECT_EQ(list[0].m_strIconPath, "");
    EXPECT_EQ(list[1].m_nLanguageId, 1031);
    EXPECT_EQ(list[1].m_strTranslator, "Hans Maier");
    EXPECT_EQ(list[1].m_strComments, "Alle Texte");
    EXPECT_EQ(list[1].m_strPath, m_strLanguages + "/b-german.qm");
    EXPECT_EQ(list[1].m_strIconPath, m_strLanguages + "/b-german.png");
    EXPECT_EQ(list[1].m_strNativeName, "Deutsch");
    EXPECT_EQ(list[1].m_strEnglishName, "German");
    EXPECT_EQ(list[2].m_nLanguageId, 1036);
    EXPECT_EQ(list[2].m_strComments, "");
    EXPECT_EQ(list[3].m_nLanguageId, 1043);
    EXPECT_EQ(CMultiLanguage::FormatLanguageText(list[1]), "1031 (German - Deutsch - German)");

    // Without the built-in entry every translation is still in id order.
    EXPECT_EQ(Ids(false), (std::vector<std::uint16_t>{1031, 1036, 1043}));
}

TEST_F(MultiLanguageTest, TranslationsWithOneIdKeepTheirFileNameOrderAndTheFirstIsUsed)
{
    AddLibrary("a", "1031\nFirst\n");
    AddLibrary("b", "1031\nSecond\n");
    AddLibrary("c", "1030\nDansk\n");
    std::vector<LANGUAGE_ENTRY> list;
    ASSERT_EQ(m_language.EnumLanguages(list, true), 4);
    EXPECT_EQ(list[1].m_nLanguageId, 1030);
    EXPECT_EQ(list[2].m_strTranslator, "First");
    EXPECT_EQ(list[3].m_strTranslator, "Second");

    ASSERT_TRUE(m_language.SetLanguage(1031, false));
    EXPECT_EQ(m_loader.m_strInForce, m_strLanguages + "/a.qm");
    EXPECT_EQ(m_language.GetLibraryName(), "a.qm");
}

struct BadLibraryCase
{
    const char* m_pszName;
    const char* m_pszLanguageString;
    bool m_bIcon;
    enum Kind
    {
        File,
        Folder,
        Fifo
    } m_kind;
};

void PrintTo(const BadLibraryCase& c, std::ostream* os)
{
    *os << c.m_pszName;
}

class BadLibraryTest : public MultiLanguageTest, public ::testing::WithParamInterface<BadLibraryCase>
{
};

TEST_P(BadLibraryTest, IsLeftOutAndTheGoodOneStays)
{
    AddLibrary("good", "1031\nHans\nok");
    const BadLibraryCase& c = GetParam();
    const std::string path = m_strLanguages + "/bad.qm";
    if (c.m_kind == BadLibraryCase::File)
        WriteFile(path, c.m_pszLanguageString);
    else if (c.m_kind == BadLibraryCase::Folder)
        ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
    else
        ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    if (c.m_bIcon)
        WriteFile(m_strLanguages + "/bad.png", "icon");

    EXPECT_EQ(Ids(false), (std::vector<std::uint16_t>{1031}));
    EXPECT_TRUE(m_loader.m_readNonRegular.empty());
}

const BadLibraryCase kBadLibraries[] = {
    {"no_icon", "1036\nMarie\nok", false, BadLibraryCase::File},
    {"no_string_999", "no string 999", true, BadLibraryCase::File},
    {"id_zero", "0\nX\nY", true, BadLibraryCase::File},
    {"id_zero_in_low_16_bits", "65536\nX\nY", true, BadLibraryCase::File},
    {"id_not_decimal", "0x407\nX\nY", true, BadLibraryCase::File},
    {"id_signed", "-1031\nX\nY", true, BadLibraryCase::File},
    {"id_empty", "\nX\nY", true, BadLibraryCase::File},
    {"two_parts", "1036\nMarie", true, BadLibraryCase::File},
    {"four_parts", "1036\nMarie\nok\nmore", true, BadLibraryCase::File},
    {"id_too_large", "99999999999\nX\nY", true, BadLibraryCase::File},
    {"folder", "", true, BadLibraryCase::Folder},
    {"fifo", "", true, BadLibraryCase::Fifo},
};

INSTANTIATE_TEST_SUITE_P(Cases, BadLibraryTest, ::testing::ValuesIn(kBadLibraries),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

TEST_F(MultiLanguageTest, SetLanguageLoadsSavesAndLeavesEverythingAsItWasWhenItFails)
{
    AddLibrary("de", "1031\nHans\n");
    AddLibrary("fr", "1036\nMarie\n");
    AddLibrary("nl", "1043\nJan\n");
    m_loader.m_failing.insert("nl.qm");

    ASSERT_TRUE(m_language.SetLanguage(1031, false));
    EXPECT_EQ(m_loader.m_strInForce, m_strLanguages + "/de.qm");
    EXPECT_EQ(m_language.GetLanguageId(), 1031);
    EXPECT_EQ(m_language.GetLibraryPath(), m_strLanguages + "/de.qm");
    EXPECT_EQ(m_loader.m_nThreadLocale, 1031);
    EXPECT_FALSE(StoredLanguage().has_value());

    // The same id again changes nothing: no second load, nothing stored.
    EXPECT_TRUE(m_language.SetLanguage(1031, true));
    EXPECT_EQ(m_loader.m_loadAttempts.size(), 1u);
    EXPECT_FALSE(StoredLanguage().has_value());

    ASSERT_TRUE(m_language.SetLanguage(1036, true));
    EXPECT_EQ(m_loader.m_strInForce, m_strLanguages + "/fr.qm");
    EXPECT_EQ(StoredLanguage(), 1036u);

    // No translation, one that does not load, an id out of range: nothing changes.
    for (int id : {1040, 1043, 70000, 0, -1})
    {
        EXPECT_FALSE(m_language.SetLanguage(id, true)) << id;
        EXPECT_EQ(m_language.GetLanguageId(), 1036) << id;
        EXPECT_EQ(m_language.GetLibraryName(), "fr.qm") << id;
        EXPECT_EQ(m_loader.m_strInForce, m_strLanguages + "/fr.qm") << id;
        EXPECT_EQ(m_loader.m_nThreadLocale, 1036) << id;
        EXPECT_EQ(StoredLanguage(), 1036u) << id;
    }

    ASSERT_TRUE(m_language.SetLanguage(1033, true));
    EXPECT_EQ(m_loader.m_strInForce, "");
    EXPECT_EQ(m_loader.m_nReleases, 1);
    EXPECT_EQ(m_language.GetLibraryName(), "");
    EXPECT_EQ(m_loader.m_nThreadLocale, 1033);
    EXPECT_EQ(StoredLanguage(), 1033u);
}

TEST_F(MultiLanguageTest, StoredLanguageIsUsedAtStartUp)
{
    AddLibrary("de", "1031\nHans\n");
    ASSERT_TRUE(m_profile.WriteProfileInt("Settings", "UILanguage", 1031));
    m_language.InitLanguage({"fr_FR.UTF-8", "fr_FR.UTF-8", "fr_FR.UTF-8"});
    EXPECT_EQ(m_language.GetLanguageId(), 1031);
    EXPECT_EQ(m_loader.m_strInForce, m_strLanguages + "/de.qm");
}

TEST_F(MultiLanguageTest, StoredLanguageWhoseTranslationIsGoneLeavesEnglishAndTheCurrentIdIsWrittenAtExit)
{
    ASSERT_TRUE(m_profile.WriteProfileInt("Settings", "UILanguage", 1031));
    m_language.InitLanguage({"", "", ""});
    EXPECT_EQ(m_language.GetLanguageId(), 1033);
    EXPECT_EQ(m_loader.m_strInForce, "");
    EXPECT_EQ(StoredLanguage(), 1031u); // nothing written at start-up
    m_languageHolder.reset();
    EXPECT_EQ(StoredLanguage(), 1033u);
}

struct FallbackCase
{
    const char* m_pszName;
    CMultiLanguage::SystemLocales m_locales;
    std::uint16_t m_nExpected;
    std::vector<std::string> m_expectedAttempts; // translations the loader was asked to load
};

void PrintTo(const FallbackCase& c, std::ostream* os)
{
    *os << c.m_pszName;
}

class FallbackTest : public MultiLanguageTest, public ::testing::WithParamInterface<FallbackCase>
{
};

TEST_P(FallbackTest, WithoutAStoredLanguageTheLocalesAreTriedInOrder)
{
    AddLibrary("de", "1031\nHans\n");
    AddLibrary("fr", "1036\nMarie\n");
    AddLibrary("nl", "1043\nJan\n");
    m_loader.m_failing.insert("nl.qm");

    const FallbackCase& c = GetParam();
    m_language.InitLanguage(c.m_locales);
    EXPECT_EQ(m_language.GetLanguageId(), c.m_nExpected);
    std::vector<std::string> attempts;
    for (const std::string& path : m_loader.m_loadAttempts)
        attempts.push_back(platform::NameOfPath(path));
    EXPECT_EQ(attempts, c.m_expectedAttempts);
    EXPECT_FALSE(StoredLanguage().has_value()); // a language taken from the locale is not stored...
    m_languageHolder.reset();
    EXPECT_EQ(StoredLanguage(), c.m_nExpected); // ...until exit
}

const FallbackCase kFallbacks[] = {
    {"thread_locale", {"de_DE.UTF-8", "fr_FR.UTF-8", "fr_FR.UTF-8"}, 1031, {"de.qm"}},
    {"missing_ones_skipped", {"C", "", "fr_FR.UTF-8"}, 1036, {"fr.qm"}},
    {"posix_and_c_utf8_skipped", {"POSIX", "C.UTF-8", "de_AT"}, 1033, {}}, // de_AT is 3079: no translation
    {"no_translation_then_user", {"it_IT.UTF-8", "fr_FR", "de_DE"}, 1036, {"fr.qm"}},
    {"failing_translation_not_tried_twice", {"nl_NL", "nl_NL.UTF-8", "de_DE"}, 1031, {"nl.qm", "de.qm"}},
    {"nothing_matches", {"it_IT", "es_ES", "sv_SE"}, 1033, {}},
};

INSTANTIATE_TEST_SUITE_P(Locales, FallbackTest, ::testing::ValuesIn(kFallbacks),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

TEST_F(MultiLanguageTest, HelpFileOfTheLanguageFallsBackToTheBuiltInHelp)
{
    AddLibrary("de", "1031\nHans\n");
    AddLibrary("fr", "1036\nMarie\n");
    const std::string builtInHelp = m_install / "Help/index.html";
    EXPECT_EQ(m_language.GetHelpFile(), builtInHelp); // also when it does not exist: the caller says so

    ASSERT_EQ(::mkdir((m_strLanguages + "/de").c_str(), 0755), 0);
    WriteFile(m_strLanguages + "/de/index.html", "<html></html>");
    ASSERT_TRUE(m_language.SetLanguage(1031, false));
    EXPECT_EQ(m_language.GetHelpFile(), m_strLanguages + "/de/index.html");

    ASSERT_TRUE(m_language.SetLanguage(1036, false)); // no French help
    EXPECT_EQ(m_language.GetHelpFile(), builtInHelp);
}

TEST(MultiLanguageHelpTopics, TopicsAreThePagesBesideTheHelpFile)
{
    const std::string help = "/opt/quorvane/Help/index.html";
    EXPECT_EQ(CMultiLanguage::GetHelpTopic(help, "::/command_line.html"),
              "/opt/quorvane/Help/command_line.html");
    EXPECT_EQ(CMultiLanguage::GetHelpTopic(help, "::/keyboard_shortcuts.html"),
              "/opt/quorvane/Help/keyboard_shortcuts.html");
    EXPECT_EQ(CMultiLanguage::GetHelpTopic(help, ""), help);
    EXPECT_EQ(CMultiLanguage::GetHelpTopic(help, "::/../../etc/passwd"), "");
    EXPECT_EQ(CMultiLanguage::GetHelpTopic(help, "command_line.html"), "");
}

TEST_F(MultiLanguageTest, ChoosingALanguageTakesEffectAtTheNextStart)
{
    AddLibrary("de", "1031\nHans\n");
    EXPECT_FALSE(m_language.ChooseLanguage(1033)); // the current one: no message
    EXPECT_TRUE(m_language.ChooseLanguage(1031));
    EXPECT_EQ(m_language.GetLanguageId(), 1031);
    EXPECT_EQ(m_loader.m_strInForce, ""); // the texts in force stay
    EXPECT_TRUE(m_loader.m_loadAttempts.empty());
    EXPECT_EQ(CMultiLanguage::kChangeMessage,
              "The change to the User Interface Language will take effect\nwhen you next start Quorvane");
    m_languageHolder.reset();
    EXPECT_EQ(StoredLanguage(), 1031u);

    // The next start loads it.
    FakeLoader loader;
    CMultiLanguage next(loader, m_profile, m_install.Path());
    next.InitLanguage({"", "", ""});
    EXPECT_EQ(loader.m_strInForce, m_strLanguages + "/de.qm");
}

TEST(MultiLanguageLocales, LocaleNamesGiveLanguageIdsOrNone)
{
    const std::pair<const char*, std::uint16_t> cases[] = {
        {"de_DE.UTF-8", 1031}, {"fr_CA", 0x0C0C}, {"en_US.UTF-8", 1033},
        {"en_GB", 0x0809},     {"C", 0},          {"C.UTF-8", 0},
        {"POSIX", 0},          {"", 0},           {"xx_YY", 0},
        {"de", 1031},
    };
    for (const auto& [name, id] : cases)
        EXPECT_EQ(CMultiLanguage::LanguageIdOfLocale(name), id) << name;
}

TEST(MultiLanguageLocales, TheUserLocaleIsTheFirstVariableThatIsSet)
{
    testsupport::ScopedEnv all("LC_ALL", "");
    testsupport::ScopedEnv messages("LC_MESSAGES", "nl_NL.UTF-8");
    testsupport::ScopedEnv lang("LANG", "de_DE.UTF-8");
    EXPECT_EQ(CMultiLanguage::CurrentSystemLocales().m_strUser, "nl_NL.UTF-8");
}

} // namespace
