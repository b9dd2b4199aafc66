#include "textcompare/ComparisonText.h"

#include "definitions/CompareParams.h"
#include "editing/SyntaxLineParser.h"
#include "platform/Regex.h"
#include "textcompare/TextCompare.h"

namespace {

constexpr int kCommentClass = 11;

} // namespace

int WhiteSpaceModeOf(std::uint32_t rules)
{
    if (rules & RULE_IGNOREALLSPACE)
        return 3;
    if (rules & RULE_IGNORESPACEDIFFERENCES)
        return 2;
    if (rules & RULE_IGNORETABEXPANSION)
        return 1;
    return 0;
}

bool CompileLineFilter(std::string_view pattern, platform::CRegex& filter, std::string* error)
{
    return filter.Compile(pattern, platform::CRegex::Syntax::Classic, error);
}

void ApplyRules(CTextCompare& compare, std::uint32_t rules, const platform::CRegex* filter, int tabSize)
{
    compare.m_nWhiteSpace = WhiteSpaceModeOf(rules);
    compare.m_bIgnoreCase = (rules & RULE_IGNORECASE) != 0;
    compare.m_bIgnoreBlankLines = (rules & RULE_IGNOREBLANKLINES) != 0;
    compare.m_lineFilter = ((rules & RULE_IGNORELINESMATCHINGFILTER) && filter && filter->IsCompiled()) ? filter : nullptr;
    compare.m_nTabSize = tabSize > 0 ? tabSize : 4;
}

bool IsTrimmableSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

std::string GetLineTextWithoutComments(std::string_view line, std::uint32_t& cookie, const ISyntaxLineParser& parser)
{
    std::vector<SSyntaxBlock> blocks;
    cookie = parser.ParseLineComments(cookie, line, &blocks);
    std::string text;
    text.reserve(line.size());
    int start = 0;
    int colorClass = -1; // text before the first block keeps its place
    for (const SSyntaxBlock& block : blocks)
    {
        const int position = std::min(std::max(block.position, start), static_cast<int>(line.size()));
        if (colorClass != kCommentClass)
            text.append(line.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(position - start)));
        start = position;
        colorClass = block.colorClass;
    }
    if (colorClass != kCommentClass)
        text.append(line.substr(static_cast<std::size_t>(start)));
    return text;
}

std::string_view ComparisonLineText(std::string_view line, std::uint32_t rules, const ISyntaxLineParser* parser,
                                    std::uint32_t& cookie, std::string& scratch)
{
    if ((rules & RULE_IGNORECOMMENTS) && parser != nullptr)
    {
        scratch = GetLineTextWithoutComments(line, cookie, *parser);
        line = scratch;
    }
    if (rules & RULE_IGNORELEADINGSPACE)
        while (!line.empty() && IsTrimmableSpace(line.front()))
            line.remove_prefix(1);
    if (rules & RULE_IGNORETRAILINGSPACE)
        while (!line.empty() && IsTrimmableSpace(line.back()))
            line.remove_suffix(1);
    return line;
}

std::string BuildComparisonText(const std::vector<std::string_view>& lines, std::uint32_t rules,
                                const ISyntaxLineParser* parser)
{
    std::string text;
    std::size_t total = 0;
    for (const auto line : lines)
        total += line.size() + 1;
    text.reserve(total);
    std::uint32_t cookie = 0;
    std::string scratch;
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        text.append(ComparisonLineText(lines[i], rules, parser, cookie, scratch));
        if (i + 1 < lines.size())
            text.push_back('\n');
    }
    return text;
}
