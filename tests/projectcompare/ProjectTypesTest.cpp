#include "projectcompare/ProjectComparer.h"

#include "platform/Profile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

struct RecognitionCase
{
    const char* name;
    const char* content;
    int kind;
    const char* ide;
};

TEST(ProjectFactory, RecognisesEveryTypeByExtensionAndMakefileContent)
{
    const RecognitionCase cases[] = {
        {"a.sln", "", 2, "Visual Studio"},
        {"a.csproj", "", 1, "Visual Studio"},
        {"a.VCPROJ", "", 1, "Visual Studio"},
        {"a.vbproj", "", 1, "Visual Studio"},
        {"a.vjsproj", "", 1, "Visual Studio"},
        {"a.dsw", "", 2, "Visual C++"},
        {"a.dsp", "", 1, "Visual C++"},
        {"vc.mak", "# Microsoft Developer Studio Generated NMAKE File\n", 1, "Visual C++"},
        {"link.mak", "\r\nall:\r\n\tLINK32 x\r\n", 1, "Visual C++"},
        {"vb.mak", "Form=main.FRM\n", 1, "Visual Basic"},
        {"vbwin.mak", "ProjWinSize=1,2\n", 1, "Visual Basic"},
        {"empty.mak", "", 0, nullptr},
        {"other.mak", "all:\n\tcc x.c\n", 0, nullptr},
        {"a.vcw", "", 2, "eMbedded Visual C++"},
        {"a.vcp", "", 1, "eMbedded Visual C++"},
        {"a.vbg", "", 2, "Visual Basic"},
        {"a.vbp", "", 1, "Visual Basic"},
        {"App.BPG", "", 2, "Delphi"}, // claimed by Delphi first
        {"a.dpr", "", 1, "Delphi"},
        {"a.dpk", "", 1, "Delphi"},
        {"a.bpr", "", 1, "C++Builder"},
        {"a.bpk", "", 1, "C++Builder"},
        {"a.vjp", "", 1, "Visual J++"},
        {"a.txt", "", 0, nullptr},
        {"sln", "", 0, nullptr},
    };
    TempDir dir;
    CProjectFactory factory;
    ASSERT_EQ(factory.RegisterProjectTypes(), 1);
    ASSERT_EQ(factory.Definitions().size(), 7u);
    for (const auto& c : cases)
    {
        WriteFile(dir / c.name, c.content);
        const CProjectIODefinition* definition = nullptr;
        EXPECT_EQ(factory.RecognizeProject(dir / c.name, &definition), c.kind) << c.name;
        EXPECT_EQ(definition ? definition->ideName : std::string("(none)"), c.ide ? c.ide : "(none)") << c.name;
        EXPECT_EQ(IsProjectFile(dir / c.name), c.kind) << c.name;
    }
    EXPECT_EQ(IsProjectFile(dir / "missing.sln"), 0);
}

TEST(ProjectFactory, DisabledTypesAreNotRecognisedButReadersStillAskThem)
{
    TempDir dir;
    WriteFile(dir / "a.bpg", "");
    CProjectFactory factory;
    factory.RegisterProjectTypes();
    factory.Definitions()[4]->enabled = 0; // Delphi
    const CProjectIODefinition* definition = nullptr;
    EXPECT_EQ(factory.RecognizeProject(dir / "a.bpg", &definition), 2);
    EXPECT_EQ(definition->ideName, "C++Builder");
    factory.CreateProjectReader(dir / "a.bpg", &definition);
    EXPECT_EQ(definition->ideName, "Delphi");
}

TEST(ProjectFactory, FileDialogFilter)
{
    CProjectFactory factory;
    factory.RegisterProjectTypes();
    for (std::size_t i = 1; i < factory.Definitions().size(); ++i)
        factory.Definitions()[i]->enabled = i == 1;
    EXPECT_EQ(factory.GetFileDialogFilter(),
              "All Supported Projects (*.sln;*.csproj;*.vcproj;*.vbproj;*.vjsproj;*.dsw;*.dsp;*.mak)|"
              "*.sln;*.csproj;*.vcproj;*.vbproj;*.vjsproj;*.dsw;*.dsp;*.mak|"
              "Visual Studio Projects (*.sln;*.csproj;*.vcproj;*.vbproj;*.vjsproj)|*.sln;*.csproj;*.vcproj;*.vbproj;*.vjsproj|"
              "Visual C++ Projects (*.dsw;*.dsp;*.mak)|*.dsw;*.dsp;*.mak|All files (*.*)|*.*||");
}

TEST(ProjectFactory, ReadersResolveWindowsPaths)
{
    struct CReader : CProject
    {
        int Read(const std::string&, IProjectSink&) override { return 0; }
    } reader;
    reader.m_strPath = "/work/proj/app/app.dsp";
    EXPECT_EQ(reader.ResolvePath("..\\src\\Foo.cpp"), "/work/proj/src/Foo.cpp");
    EXPECT_EQ(reader.ResolvePath(".\\a\\.\\b.h"), "/work/proj/app/a/b.h");
    EXPECT_EQ(reader.ResolvePath("/abs/x.c"), "/abs/x.c");
    EXPECT_EQ(CanonicalPath("/a/../../b"), "/b");
    EXPECT_EQ(CanonicalPath("a/../../b"), "../b");
}

TEST(ProjectComparer, MatchingGroups)
{
    CProjectComparer comparer;
    EXPECT_TRUE(comparer.MatchProjectFiles("/l/Tool.dsp", "/r/tool.vcp"));
    EXPECT_TRUE(comparer.MatchProjectFiles("/l/Tool.vbp", "/r/Tool.VBPROJ"));
    EXPECT_FALSE(comparer.MatchProjectFiles("/l/Tool.dsp", "/r/Tool.vbp"));
    EXPECT_FALSE(comparer.MatchProjectFiles("/l/Tool.dsp", "/r/Other.vcproj"));
}

TEST(ProjectComparer, OptionsRoundTrip)
{
    TempDir dir;
    WriteFile(dir / "a.sln", "");
    {
        platform::Registry registry(dir / "settings");
        platform::Profile profile(registry);
        CProjectComparer comparer({2, 2});
        comparer.LoadOptions(profile);
        EXPECT_EQ(comparer.m_dwDisplayFilters, 0x333u);
        comparer.m_matchGroups = {".DPR;.bpr"};
        comparer.Definitions()[6]->enabled = 0;
        comparer.m_dwColumns = 0x7;
        comparer.AddRecentFile(0, dir / "a.sln");
        comparer.AddRecentFile(1, dir / "missing.sln");
        comparer.AddRecentPair("/x.sln", "/y.sln");
        ASSERT_TRUE(comparer.SaveOptions(profile));
        EXPECT_TRUE(comparer.Definitions().empty());
        EXPECT_EQ(profile.GetProfileInt(std::string(CProjectFactory::kProjectsSection) + "\\Visual J++", "Enabled", 9), 0);
        EXPECT_EQ(profile.GetProfileInt(std::string(CProjectFactory::kProjectsSection) + "\\Delphi", "Enabled", 9), 1);
    }
    platform::Registry registry(dir / "settings");
    platform::Profile profile(registry);
    CProjectComparer loaded({2, 2});
    loaded.LoadOptions(profile);
    EXPECT_EQ(loaded.m_dwColumns, 0x7u);
    EXPECT_EQ(loaded.m_matchGroups, std::vector<std::string>{".dpr;.bpr"});
    EXPECT_EQ(loaded.Definitions()[6]->enabled, 0);
    EXPECT_EQ(loaded.RecentFiles(0).Items(), std::vector<std::string>{dir / "a.sln"});
    EXPECT_TRUE(loaded.RecentFiles(1).Items().empty());
    ASSERT_EQ(loaded.RecentPairs().size(), 1u);
}

} // namespace
