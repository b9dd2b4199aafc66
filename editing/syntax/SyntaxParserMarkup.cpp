#include "editing/syntax/SyntaxParserMarkup.h"

int CSyntaxParserMarkup::ClassifyMarkupWord(const SWalker& w, int end, std::uint32_t cookie, bool atLineEnd) const
{
    const std::string_view word = w.Word(end);
    if (cookie & kTag)
    {
        if (IsHtmlLike())
        {
            // A tag name only right after "<" or "/"; attributes anywhere in the tag.
            const unsigned char before = w.At(w.identBegin - 1);
            if ((before == '<' || before == '/') && IsKeyword(0, word))
                return GetKeywordSets()[0].colorClass;
            if (IsKeyword(1, word))
                return GetKeywordSets()[1].colorClass;
            if (atLineEnd && IsKeyword(2, word))
                return GetKeywordSets()[2].colorClass;
            return IsNumber(word) ? SYNTAX_NUMBER : -1;
        }
        for (int set = 0; set < (atLineEnd ? 3 : 2); ++set)
            if (IsKeyword(set, word))
                return GetKeywordSets()[static_cast<std::size_t>(set)].colorClass;
        return IsNumber(word) ? SYNTAX_NUMBER : -1;
    }
    if (cookie & kEntity)
        return IsKeyword(2, word) ? GetKeywordSets()[2].colorClass : -1;
    return IsNumber(word) ? SYNTAX_NUMBER : -1;
}

int CSyntaxParserMarkup::ClassifyCodeWord(const SWalker& w, int end) const
{
    const std::string_view word = w.Word(end);
    const int sets = static_cast<int>(GetKeywordSets().size());
    for (int set = 3; set < sets; ++set)
        if (IsKeyword(set, word))
            return GetKeywordSets()[static_cast<std::size_t>(set)].colorClass;
    if (IsNumber(word))
        return SYNTAX_NUMBER;
    return IsFunctionNameAt(w.line, end) ? SYNTAX_FUNCNAME : -1;
}

std::uint32_t CSyntaxParserMarkup::ParseLine(std::uint32_t cookie, std::string_view line,
                                             std::vector<SSyntaxBlock>* blocks) const
{
    const bool htmlLike = IsHtmlLike();
    const bool braceTags = m_dialect == Dialect::Xml || m_dialect == Dialect::Sgml;
    const bool tagBlockAfter = m_dialect != Dialect::Xml;
    const std::uint32_t codeBit = m_dialect == Dialect::Php ? kCode : m_dialect == Dialect::Asp ? kScript : 0;
    const std::uint32_t keep = m_dialect == Dialect::Php                                  ? kTag | kComment | kString | kCode
                               : (m_dialect == Dialect::Html || m_dialect == Dialect::Asp) ? kTag | kComment | kString | kScript
                                                                                           : kTag | kComment | kString;
    if (line.empty())
        return cookie & (keep & ~(kTag | kString));

    SWalker w(*this, line, blocks);
    bool wasCommentStart = false; // PHP: the "*" just passed opened a "/*" block
    const auto endWord = [&](int end, bool atLineEnd) {
        int cls;
        if (codeBit != 0 && (cookie & codeBit))
        {
            if (m_dialect == Dialect::Php && (cookie & kVariable))
                cls = SYNTAX_KEYWORD2;
            else
                cls = ClassifyCodeWord(w, end);
        }
        else
            cls = ClassifyMarkupWord(w, end, cookie, atLineEnd);
        if (cls >= 0)
            w.Block(w.identBegin, cls);
        w.RestartAtCurrent();
        w.identBegin = -1;
    };
    const auto at = [&](int k, std::string_view text) { return line.substr(static_cast<std::size_t>(k)).starts_with(text); };

    for (;; w.Advance())
    {
        if (w.redefine)
        {
            int state;
            if (codeBit != 0 && (cookie & codeBit))
                state = (cookie & (kCodeComment | kComment))    ? SYNTAX_COMMENT
                        : (cookie & (kString | kSingleString)) ? SYNTAX_STRING
                                                               : SYNTAX_NORMAL;
            else if (m_dialect == Dialect::Html && (cookie & kScript))
                state = SYNTAX_FUNCNAME;
            else
                state = (cookie & kComment)                     ? SYNTAX_COMMENT
                        : (cookie & (kString | kSingleString)) ? SYNTAX_STRING
                        : (cookie & kTag)                      ? SYNTAX_PREPROCESSOR
                                                               : -1;
            w.StartPending(state, true);
        }
        if (w.i >= w.n)
            break;
        const unsigned char c = w.At(w.i);

        if (codeBit != 0 && (cookie & codeBit))
        {
            // Code of a server page.
            if (cookie & kCodeComment)
                break;
            if (cookie & kComment)
            {
                if (c == '/' && w.i > 0 && w.Prev() == '*' && !wasCommentStart)
                {
                    cookie &= ~kComment;
                    w.RestartAfterCurrent();
                }
                wasCommentStart = false;
                continue;
            }
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
            const bool inVariable = m_dialect == Dialect::Php && (cookie & kVariable);
            if (w.identBegin >= 0 && (inVariable ? !IsIdentChar(c) : !IsWordCharAt(line, w.i, true)))
                endWord(w.i, false);
            if (inVariable && !IsIdentChar(c))
                cookie &= ~kVariable;
            if (c == '>' && w.i > 0 && (w.Prev() == '%' || w.Prev() == '?'))
            {
                cookie &= ~codeBit;
                w.RestartAfterCurrent();
                continue;
            }
            if (m_dialect == Dialect::Asp && c == '\'')
            {
                w.Block(w.i, SYNTAX_COMMENT);
                cookie |= kCodeComment;
                break;
            }
            if (m_dialect == Dialect::Php)
            {
                if (c == '#' || (c == '/' && w.i > 0 && w.Prev() == '/'))
                {
                    w.Block(c == '#' ? w.i : w.prev, SYNTAX_COMMENT);
                    cookie |= kCodeComment;
                    break;
                }
                if (c == '*' && w.i > 0 && w.Prev() == '/')
                {
                    w.Block(w.prev, SYNTAX_COMMENT);
                    cookie |= kComment;
                    wasCommentStart = true;
                    continue;
                }
                if (c == '\'')
                {
                    w.Block(w.i, SYNTAX_STRING);
                    cookie |= kSingleString;
                    continue;
                }
                if (c == '$')
                {
                    cookie |= kVariable;
                    w.RestartAtCurrent();
                    continue;
                }
            }
            wasCommentStart = false;
            if (c == '"')
            {
                w.Block(w.i, SYNTAX_STRING);
                cookie |= kString;
                continue;
            }
            if (blocks != nullptr && w.identBegin < 0 && IsWordCharAt(line, w.i, true))
                w.identBegin = w.i;
            continue;
        }

        if (m_dialect == Dialect::Html && (cookie & kScript))
        {
            if (c == '>' && w.i > 0 && (w.Prev() == '%' || w.Prev() == '?'))
            {
                cookie &= ~kScript;
                w.RestartAfterCurrent();
            }
            continue;
        }
        if (cookie & kComment)
        {
            if (c == '>' && w.i >= 2 && line[static_cast<std::size_t>(w.i) - 1] == '-' &&
                line[static_cast<std::size_t>(w.i) - 2] == '-')
            {
                cookie &= ~kComment;
                w.RestartAfterCurrent();
            }
            continue;
        }
        if (cookie & kString)
        {
            if (c == '"')
            {
                cookie &= ~kString;
                w.RestartAfterCurrent();
            }
            continue;
        }
        if (cookie & kSingleString)
        {
            if (c == '\'')
            {
                cookie &= ~kSingleString;
                w.RestartAfterCurrent();
            }
            continue;
        }

        if (w.identBegin >= 0 && !IsWordCharAt(line, w.i, true))
            endWord(w.i, false);

        if (c == '<' && at(w.i, "<!--"))
        {
            w.Block(w.i, SYNTAX_COMMENT);
            cookie &= ~kTag;
            cookie |= kComment;
            for (int k = 0; k < 3; ++k)
                w.Advance(); // the walk resumes after the "<!--"
            continue;
        }
        if (htmlLike && c == '<' && (w.At(w.i + 1) == '?' || w.At(w.i + 1) == '%'))
        {
            if (m_dialect == Dialect::Html)
            {
                w.Block(w.i, SYNTAX_FUNCNAME);
                cookie |= kScript;
            }
            else
            {
                w.Block(w.i, SYNTAX_NORMAL);
                cookie |= codeBit;
            }
            w.Advance(); // past the "?" or "%", which cannot close the block it opens
            continue;
        }
        if (!htmlLike || (cookie & kTag))
        {
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
        }
        if (blocks == nullptr)
            continue; // without blocks only comments, strings and code blocks are followed
        if (c == '<' || (braceTags && c == '{'))
        {
            w.Block(tagBlockAfter ? w.i + 1 : w.i, SYNTAX_PREPROCESSOR);
            cookie |= kTag;
            cookie &= ~kEntity;
            continue;
        }
        if ((cookie & kTag) && (c == '>' || (braceTags && c == '}')))
        {
            cookie &= ~kTag;
            w.RestartAtCurrent();
            continue;
        }
        if (c == '&')
        {
            cookie |= kEntity;
            continue;
        }
        if ((cookie & kEntity) && c == ';')
        {
            cookie &= ~kEntity;
            continue;
        }
        if (w.identBegin < 0 && IsWordCharAt(line, w.i, true))
            w.identBegin = w.i;
    }
    if (w.identBegin >= 0 && !(cookie & kCodeComment))
        endWord(w.n, true);
    return cookie & keep;
}
