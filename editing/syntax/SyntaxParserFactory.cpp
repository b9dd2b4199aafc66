#include "editing/syntax/SyntaxParserFactory.h"

#include "editing/syntax/SyntaxParserPlain.h"
#include "editing/syntax/SyntaxParserAsp.h"
#include "editing/syntax/SyntaxParserBasic.h"
#include "editing/syntax/SyntaxParserBatch.h"
#include "editing/syntax/SyntaxParserCpp.h"
#include "editing/syntax/SyntaxParserCsharp.h"
#include "editing/syntax/SyntaxParserDcl.h"
#include "editing/syntax/SyntaxParserFortran.h"
#include "editing/syntax/SyntaxParserHtml.h"
#include "editing/syntax/SyntaxParserIni.h"
#include "editing/syntax/SyntaxParserIss.h"
#include "editing/syntax/SyntaxParserIs.h"
#include "editing/syntax/SyntaxParserJava.h"
#include "editing/syntax/SyntaxParserLisp.h"
#include "editing/syntax/SyntaxParserNsis.h"
#include "editing/syntax/SyntaxParserPascal.h"
#include "editing/syntax/SyntaxParserPerl.h"
#include "editing/syntax/SyntaxParserPhp.h"
#include "editing/syntax/SyntaxParserPython.h"
#include "editing/syntax/SyntaxParserRexx.h"
#include "editing/syntax/SyntaxParserRsrc.h"
#include "editing/syntax/SyntaxParserSgml.h"
#include "editing/syntax/SyntaxParserSh.h"
#include "editing/syntax/SyntaxParserSiod.h"
#include "editing/syntax/SyntaxParserSql.h"
#include "editing/syntax/SyntaxParserTcl.h"
#include "editing/syntax/SyntaxParserTex.h"
#include "editing/syntax/SyntaxParserXml.h"
#include "filesystem/Wildcard.h"

#include <algorithm>

namespace {

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && CSyntaxParser::IsBlank(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && CSyntaxParser::IsBlank(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// An extension item is a usable pattern when each "[" set is closed.
bool IsValidPattern(std::string_view item)
{
    bool inSet = false;
    for (std::size_t k = 0; k < item.size(); ++k)
    {
        if (item[k] == '`' && !inSet)
            ++k;
        else if (item[k] == '[')
            inSet = true;
        else if (item[k] == ']')
            inSet = false;
    }
    return !inSet;
}

void ReplaceAll(std::string& text, std::string_view what, std::string_view with)
{
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

} // namespace

CSyntaxParserFactory::CSyntaxParserFactory() = default;
CSyntaxParserFactory::~CSyntaxParserFactory() = default;

int CSyntaxParserFactory::CreateParsers()
{
    m_aParsers.clear();
    m_aParsers.push_back(std::make_unique<CSyntaxParserPlain>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserAsp>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserBasic>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserBatch>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserCpp>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserCsharp>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserDcl>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserFortran>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserHtml>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserIni>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserIss>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserIs>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserJava>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserLisp>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserNsis>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserPascal>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserPerl>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserPhp>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserPython>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserRexx>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserRsrc>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserSgml>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserSh>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserSiod>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserSql>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserTcl>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserTex>());
    m_aParsers.push_back(std::make_unique<CSyntaxParserXml>());
    return GetParserCount();
}

const CSyntaxParser* CSyntaxParserFactory::GetParser(int index) const
{
    if (index < 0 || index >= GetParserCount())
        return nullptr;
    return m_aParsers[static_cast<std::size_t>(index)].get();
}

int CSyntaxParserFactory::IndexOfParser(const CSyntaxParser* parser) const
{
    for (int k = 0; k < GetParserCount(); ++k)
        if (m_aParsers[static_cast<std::size_t>(k)].get() == parser)
            return k;
    return -1;
}

const CSyntaxParser* CSyntaxParserFactory::FindParserByType(int type) const
{
    for (const auto& parser : m_aParsers)
        if (parser->type == type)
            return parser.get();
    return nullptr;
}

const CSyntaxParser* CSyntaxParserFactory::FindParserForExtension(std::string_view extension) const
{
    extension = Trim(extension);
    if (!extension.empty() && extension.front() == '.')
        extension.remove_prefix(1);
    const std::string lowered = FoldCase(extension);
    if (!lowered.empty())
    {
        for (const auto& parser : m_aParsers)
        {
            std::string_view list = parser->GetExtensions();
            while (!list.empty())
            {
                const std::size_t comma = list.find(',');
                const std::string_view item = list.substr(0, comma);
                list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
                if (!item.empty() && IsValidPattern(item) && MatchWildcard(item, lowered))
                    return parser.get();
            }
        }
    }
    return GetParser(0);
}

const CSyntaxParser* CSyntaxParserFactory::FindParserForFile(std::string_view path) const
{
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    // A name without a dot, or a hidden file's leading dot only, has no extension.
    if (dot == std::string_view::npos || dot == 0)
        return GetParser(0);
    return FindParserForExtension(name.substr(dot + 1));
}

std::string CSyntaxParserFactory::GetFileDialogFilter(const char* pattern, bool withAll) const
{
    const std::string_view entryPattern = pattern != nullptr ? pattern : "%Name Files (%Exts)|%Exts";
    std::string entries;
    std::string all;
    for (const auto& parser : m_aParsers)
    {
        if (parser->GetExtensions().empty())
            continue;
        std::string exts = "*." + std::string(parser->GetExtensions());
        ReplaceAll(exts, ",", ";*.");
        std::string entry(entryPattern);
        ReplaceAll(entry, "%Name", parser->GetName());
        ReplaceAll(entry, "%Exts", exts);
        entries += entry + "|";
        all += exts + ";";
    }
    while (!all.empty() && all.back() == ';')
        all.pop_back();
    if (!withAll)
        return entries;
    return "All Supported Text Files|" + all + "|" + entries + "All Files (*.*)|*.*||";
}

std::vector<SSyntaxMenuItem> CSyntaxParserFactory::BuildSyntaxMenu(int firstCommand) const
{
    std::vector<SSyntaxMenuItem> items;
    items.push_back({0, {}});
    for (int k = 1; k < GetParserCount(); ++k)
        items.push_back({firstCommand + k, std::string(GetParser(k)->GetName())});
    return items;
}

std::vector<TEXT_TYPE_EXTENSIONS> CSyntaxParserFactory::GetTextTypeExtensions() const
{
    std::vector<TEXT_TYPE_EXTENSIONS> types;
    for (const auto& parser : m_aParsers)
        if (!parser->GetExtensions().empty())
            types.push_back({std::string(parser->GetName()), std::string(parser->GetExtensions())});
    return types;
}
