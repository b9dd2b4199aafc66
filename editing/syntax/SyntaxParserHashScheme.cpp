#include "editing/syntax/SyntaxParserHashScheme.h"

namespace {

bool StartsRem(std::string_view line, int i)
{
    if (static_cast<std::size_t>(i) + 3 > line.size())
        return false;
    if (i > 0 && CSyntaxParser::IsIdentChar(static_cast<unsigned char>(line[static_cast<std::size_t>(i) - 1])))
        return false;
    const auto at = static_cast<std::size_t>(i);
    if ((line[at] | 0x20) != 'r' || (line[at + 1] | 0x20) != 'e' || (line[at + 2] | 0x20) != 'm')
        return false;
    return at + 3 == line.size() || !CSyntaxParser::IsIdentChar(static_cast<unsigned char>(line[at + 3]));
}

} // namespace

int CSyntaxParserHashScheme::ClassifyWord(const SWalker& w, int end) const
{
    const std::string_view word = w.Word(end);
    const int keyword = FindKeyword(word);
    if (keyword >= 0)
        return keyword;
    if (IsNumber(word))
        return SYNTAX_NUMBER;
    switch (m_rules.functionNames)
    {
    case FunctionNames::Paren:
        return IsFunctionNameAt(w.line, end) ? SYNTAX_FUNCNAME : -1;
    case FunctionNames::Dollar:
        return w.At(end) == '$' ? SYNTAX_FUNCNAME : -1;
    case FunctionNames::None:
        break;
    }
    return -1;
}

std::uint32_t CSyntaxParserHashScheme::ParseLine(std::uint32_t cookie, std::string_view line,
                                                 std::vector<SSyntaxBlock>* blocks) const
{
    if (line.empty())
        return 0;
    SWalker w(*this, line, blocks);
    if (m_rules.commentLineC && cookie == 0 && (line[0] == 'C' || line[0] == 'c'))
    {
        w.Block(0, SYNTAX_COMMENT);
        return 0;
    }
    for (;; w.Advance())
    {
        if (w.redefine)
        {
            const int state = (cookie & kComment)                   ? SYNTAX_COMMENT
                              : (cookie & (kString | kSingleString)) ? SYNTAX_STRING
                                                                     : -1;
            w.StartPending(state, m_rules.everyDot);
        }
        if (w.i >= w.n)
            break;
        const unsigned char c = w.At(w.i);
        if (cookie & kComment)
            break;
        if (cookie & kString)
        {
            if (c == '"' && QuoteCloses(line, w.i))
            {
                cookie &= ~kString;
                w.RestartAfterCurrent();
            }
            continue;
        }
        if (cookie & kSingleString)
        {
            if (c == '\'' && QuoteCloses(line, w.i))
            {
                cookie &= ~kSingleString;
                w.RestartAfterCurrent();
            }
            continue;
        }

        if (w.identBegin >= 0 && !IsWordCharAt(line, w.i, m_rules.everyDot))
        {
            const int cls = ClassifyWord(w, w.i);
            if (cls >= 0)
                w.Block(w.identBegin, cls);
            w.RestartAtCurrent();
            w.identBegin = -1;
        }

        if (static_cast<int>(c) == m_rules.commentChar ||
            (m_rules.singleQuoteComment && c == '\'') || (m_rules.remComment && StartsRem(line, w.i)))
        {
            w.identBegin = -1;
            w.Block(w.i, SYNTAX_COMMENT);
            cookie |= kComment;
            break;
        }
        if (c == '"')
        {
            w.Block(w.i, SYNTAX_STRING);
            cookie |= kString;
            continue;
        }
        if (c == '\'' && (w.i == 0 || !IsIdentChar(w.Prev())))
        {
            w.Block(w.i, SYNTAX_STRING);
            cookie |= kSingleString;
            continue;
        }
        if (blocks == nullptr)
            continue;
        if (w.identBegin < 0 && IsWordCharAt(line, w.i, m_rules.everyDot))
            w.identBegin = w.i;
    }
    if (w.identBegin >= 0 && !(cookie & kComment))
    {
        const int cls = ClassifyWord(w, w.n);
        if (cls >= 0)
            w.Block(w.identBegin, cls);
    }
    if (m_rules.continuation && line.back() == '\\')
        return cookie;
    return 0;
}
