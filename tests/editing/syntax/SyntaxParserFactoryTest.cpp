#include "editing/syntax/SyntaxParserFactory.h"

#include <gtest/gtest.h>

namespace {

struct DefinitionCase
{
    int type;
    const char* name;
    const char* extensions;
    const char* open;
    const char* close;
    const char* line;
    int options;
};

const DefinitionCase kDefinitions[] = {
    {0, "Text", "txt,diz", "", "", ";", 0x10},
    {1, "ASP", "asp", "", "", "'", 0x30},
    {2, "Basic", "bas,vb,vbs,frm,dsm,cls", "", "", "'", 0x30},
    {3, "Batch", "bat,btm,cmd", "", "", "rem ", 0x11},
    {4, "C/C++", "c,cc,cpp,cxx,h,hpp,hxx,hm,inl,rh,tlh,tli,xs", "/*", "*/", "//", 0x30},
    {5, "C#", "cs", "/*", "*/", "//", 0x30},
    {6, "DCL", "dcl,dcc", "/*", "*/", "//", 0x50},
    {7, "Fortran", "f,f90,f9p,fpp,for,f77", "", "", "!", 0x11},
    {8, "HTML", "html,htm,shtml,ihtml,ssi,stm,stml", "<!--", "-->", "'", 0x30},
    {9, "INI", "ini,reg", "", "", ";", 0x150},
    {10, "InnoSetup", "iss,isl", "{", "}", ";", 0x30},
    {11, "InstallShield", "rul", "/*", "*/", "//", 0x30},
    {12, "Java", "java,jav,js", "/*", "*/", "//", 0x30},
    {13, "AutoLISP", "lsp", ";|", "|;", ";", 0x30},
    {14, "NSIS", "nsi,nsh", "/*", "*/", ";", 0x30},
    {15, "Pascal", "pas", "{", "}", "", 0x30},
    {16, "Perl", "pl", "", "", "#", 0x110},
    {17, "PHP", "php,php3,php4,php5,phtml", "/*", "*/", "//", 0x50},
    {18, "Python", "py", "", "", "#", 0x50},
    {19, "REXX", "rex,rexx", "/*", "*/", "//", 0x10},
    {20, "Resources", "rc,dlg,r16,r32,rc2", "/*", "*/", "//", 0x30},
    {21, "Sgml", "sgml", "<!--", "-->", "'", 0x30},
    {22, "Shell", "sh,conf", "", "", "#", 0x111},
    {23, "SIOD", "scm", ";|", "|;", ";", 0x50},
    {24, "SQL", "sql", "/*", "*/", "//", 0x10},
    {25, "TCL", "tcl", "", "", "#", 0x150},
    {26, "TEX", "tex,sty,clo,ltx,fd,dtx", "", "", "%", 0x10},
    {27, "XML", "xml", "<!--", "-->", "", 0x30},
};

class SyntaxParserFactoryTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(m_factory.CreateParsers(), 28); }
    CSyntaxParserFactory m_factory;
};

TEST_F(SyntaxParserFactoryTest, ParsersComeInMenuOrderWithTheirDefinitions)
{
    for (int index = 0; index < 28; ++index)
    {
        const DefinitionCase& c = kDefinitions[index];
        const CSyntaxParser* parser = m_factory.GetParser(index);
        ASSERT_NE(parser, nullptr);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parser->type, c.type);
        EXPECT_EQ(parser->GetName(), c.name);
        EXPECT_EQ(parser->GetExtensions(), c.extensions);
        EXPECT_EQ(parser->GetBlockCommentOpen(), c.open);
        EXPECT_EQ(parser->GetBlockCommentClose(), c.close);
        EXPECT_EQ(parser->GetLineComment(), c.line);
        EXPECT_EQ(parser->options, c.options);
        EXPECT_EQ(parser->encoding, -1);
        EXPECT_EQ(parser->GetSourceEncoding(), -1);
        EXPECT_EQ(m_factory.IndexOfParser(parser), index);
        EXPECT_EQ(m_factory.FindParserByType(c.type), parser);
    }
    EXPECT_EQ(m_factory.GetParser(-1), nullptr);
    EXPECT_EQ(m_factory.GetParser(28), nullptr);
    EXPECT_EQ(m_factory.IndexOfParser(nullptr), -1);
    EXPECT_EQ(m_factory.FindParserByType(28), nullptr);
    EXPECT_EQ(m_factory.CreateParsers(), 28) << "a second call makes a fresh set, not 56";
}

TEST_F(SyntaxParserFactoryTest, ExtensionsChooseTheParser)
{
    const struct
    {
        const char* extension;
        int type;
    } cases[] = {
        {"cpp", 4}, {"CPP", 4}, {".h", 4}, {"  .Hpp ", 4}, {"HTM", 8}, {"htm", 8}, {"iss", 10}, {"js", 12},
        {"php5", 17}, {"sgml", 21}, {"conf", 22}, {"xml", 27}, {"txt", 0}, {"xyz", 0}, {"", 0}, {".", 0},
        {"c++", 0}, {"f90", 7}, {"F77", 7}, {"rc2", 20}, {"tex", 26},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_factory.FindParserForExtension(c.extension)->type, c.type) << '"' << c.extension << '"';
    EXPECT_EQ(m_factory.FindParserForFile("/some/Report.HTM")->type, 8);
    EXPECT_EQ(m_factory.FindParserForFile("dir.cpp/Makefile")->type, 0) << "a folder's dot is no extension";
    EXPECT_EQ(m_factory.FindParserForFile(".bashrc")->type, 0);
    EXPECT_EQ(m_factory.FindParserForFile("setup.iss")->type, 10);
}

TEST_F(SyntaxParserFactoryTest, FileDialogFilterListsEverySyntaxWithExtensions)
{
    const std::string filter = m_factory.GetFileDialogFilter(nullptr, false);
    EXPECT_TRUE(filter.starts_with("Text Files (*.txt;*.diz)|*.txt;*.diz|ASP Files (*.asp)|*.asp|")) << filter;
    EXPECT_NE(filter.find("|C/C++ Files (*.c;*.cc;*.cpp;*.cxx;*.h;*.hpp;*.hxx;*.hm;*.inl;*.rh;*.tlh;*.tli;*.xs)|"),
              std::string::npos);
    EXPECT_TRUE(filter.ends_with("|XML Files (*.xml)|*.xml|")) << filter;

    const std::string all = m_factory.GetFileDialogFilter("%Name|%Exts", true);
    EXPECT_TRUE(all.starts_with("All Supported Text Files|*.txt;*.diz;*.asp;*.bas;")) << all;
    EXPECT_NE(all.find(";*.dtx;*.xml|Text|*.txt;*.diz|ASP|*.asp|"), std::string::npos) << all;
    EXPECT_TRUE(all.ends_with("|XML|*.xml|All Files (*.*)|*.*||")) << all;
}

TEST_F(SyntaxParserFactoryTest, SyntaxMenuAndTextTypes)
{
    const std::vector<SSyntaxMenuItem> menu = m_factory.BuildSyntaxMenu(40000);
    ASSERT_EQ(menu.size(), 28u);
    EXPECT_EQ(menu[0], (SSyntaxMenuItem{0, ""})) << "a separator after \"&None\"";
    EXPECT_EQ(menu[1], (SSyntaxMenuItem{40001, "ASP"}));
    EXPECT_EQ(menu[27], (SSyntaxMenuItem{40027, "XML"}));

    const std::vector<TEXT_TYPE_EXTENSIONS> types = m_factory.GetTextTypeExtensions();
    ASSERT_EQ(types.size(), 28u);
    EXPECT_EQ(types[0].m_strName, "Text");
    EXPECT_EQ(types[4].m_strName, "C/C++");
    EXPECT_EQ(types[4].m_strExtensions, "c,cc,cpp,cxx,h,hpp,hxx,hm,inl,rh,tlh,tli,xs");
    EXPECT_EQ(CFilterSettings::PatternListFromExtensions(types[9].m_strExtensions), "*.ini;*.reg");
}

} // namespace
