#include "textcompare/DefaultCodePage.h"

#include "platform/Profile.h"
#include "platform/Registry.h"
#include "support/TestSupport.h"
#include "textcompare/UniMemFile.h"

#include <gtest/gtest.h>

using testsupport::TempDir;

namespace {

// Restores the process-wide setting for the tests that follow.
struct SettingGuard
{
    int saved = GetDefaultCodePageSetting();
    ~SettingGuard() { SetDefaultCodePageSetting(saved); }
};

TEST(DefaultCodePageTest, LoadsFromTheTextEditorSettingsWithLimits)
{
    SettingGuard guard;
    struct Case
    {
        int stored;
        int loaded;
    };
    const Case cases[] = {{1252, 1252},   {932, 932},    {65001, 65001},
                          {12345, 65001}, {1200, 65001}, {-5, 65001}};
    for (const Case& c : cases)
    {
        TempDir dir;
        platform::Registry registry(dir.Path());
        platform::Profile profile(registry);
        ASSERT_TRUE(profile.WriteProfileInt("Components\\TextEditor\\Settings", "DefaultCodePage", c.stored));
        SetDefaultCodePageSetting(437);
        LoadDefaultCodePageSetting(profile);
        EXPECT_EQ(GetDefaultCodePageSetting(), c.loaded) << c.stored;
    }
    TempDir dir;
    platform::Registry registry(dir.Path());
    platform::Profile profile(registry);
    SetDefaultCodePageSetting(437);
    LoadDefaultCodePageSetting(profile);
    EXPECT_EQ(GetDefaultCodePageSetting(), 65001); // missing value
    ASSERT_TRUE(SetDefaultCodePageSetting(20866));
    ASSERT_TRUE(SaveDefaultCodePageSetting(profile));
    EXPECT_EQ(profile.GetProfileInt("Components\\TextEditor\\Settings", "DefaultCodePage", 0), 20866);
}

TEST(DefaultCodePageTest, FilesWithoutAMarkTakeTheSetting)
{
    SettingGuard guard;
    TempDir dir;
    testsupport::WriteFile(dir / "k.txt", "\xF0\xD2\xC9");
    ASSERT_TRUE(SetDefaultCodePageSetting(20866));
    UniMemFile file;
    EXPECT_EQ(file.GetCodePage(), 20866);
    ASSERT_TRUE(file.OpenRead(dir / "k.txt"));
    EXPECT_FALSE(file.ReadBom());
    std::string line;
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "\xD0\x9F\xD1\x80\xD0\xB8");
    EXPECT_FALSE(SetDefaultCodePageSetting(708)); // no converter: refused, setting kept
    EXPECT_EQ(GetDefaultCodePageSetting(), 20866);
}

} // namespace
