#include "editing/syntax/SyntaxParserPascalScheme.h"

int CSyntaxParserPascalScheme::ClassifyWord(const SWalker& w, int end) const
{
    const std::string_view word = w.Word(end);
    const int keyword = FindKeyword(word);
    if (keyword >= 0)
        return keyword;
    if (IsNumber(word))
        return SYNTAX_NUMBER;
    return IsFunctionNameAt(w.line, end) ? SYNTAX_FUNCNAME : -1;
}

std::uint32_t CSyntaxParserPascalScheme::ParseLine(std::uint32_t cookie, std::string_view line,
                                                   std::vector<SSyntaxBlock>* blocks) const
{
    constexpr std::uint32_t kKept = kParenComment | kBraceComment;
    if (line.empty())
        return cookie & kKept;
    SWalker w(*this, line, blocks);
    bool firstChar = (cookie & ~kParenComment) == 0;
    bool wasCommentStart = false; // the "*" just passed opened a "(*" block
    for (;; w.Advance())
    {
        if (w.redefine)
        {
            const int state = (cookie & (kLineComment | kParenComment | kBraceComment)) ? SYNTAX_COMMENT
                              : (cookie & (kString | kSingleString))                   ? SYNTAX_STRING
                              : (cookie & kSection)                                    ? SYNTAX_FUNCNAME
                              : (cookie & kPreprocessor)                               ? SYNTAX_PREPROCESSOR
                                                                                       : -1;
            w.StartPending(state, false);
        }
        if (w.i >= w.n)
            break;
        const unsigned char c = w.At(w.i);
        if (cookie & kLineComment)
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
        if (cookie & kParenComment)
        {
            if (c == ')' && w.i > 0 && w.Prev() == '*' && !wasCommentStart)
            {
                cookie &= ~kParenComment;
                w.RestartAfterCurrent();
            }
            wasCommentStart = false;
            continue;
        }
        if (cookie & kBraceComment)
        {
            if (c == '}')
            {
                cookie &= ~kBraceComment;
                w.RestartAfterCurrent();
            }
            continue;
        }
        if (cookie & kSection)
        {
            // Inside a section name only its end and "//" count.
            if (c == ']')
            {
                cookie &= ~kSection;
                w.RestartAfterCurrent();
            }
            else if (c == '/' && w.i > 0 && w.Prev() == '/')
            {
                w.Block(w.prev, SYNTAX_COMMENT);
                cookie |= kLineComment;
                break;
            }
            continue;
        }
        if (cookie & kPreprocessor)
            continue;

        if (w.identBegin >= 0 && !IsWordCharAt(line, w.i, false))
        {
            const int cls = ClassifyWord(w, w.i);
            if (cls >= 0)
                w.Block(w.identBegin, cls);
            w.RestartAtCurrent();
            w.identBegin = -1;
        }

        if (firstChar && m_bSetupLines && !IsBlank(c))
        {
            firstChar = false;
            if (c == ';')
            {
                w.Block(w.i, SYNTAX_COMMENT);
                cookie |= kLineComment;
                break;
            }
            if (c == '#')
            {
                w.Block(w.i, SYNTAX_PREPROCESSOR);
                cookie |= kPreprocessor;
                continue;
            }
            if (c == '[')
            {
                w.Block(w.i, SYNTAX_FUNCNAME);
                cookie |= kSection;
                continue;
            }
        }
        if (c == '/' && w.i > 0 && w.Prev() == '/')
        {
            w.Block(w.prev, SYNTAX_COMMENT);
            cookie |= kLineComment;
            break;
        }
        if (c == '*' && w.i > 0 && w.Prev() == '(')
        {
            w.Block(w.prev, SYNTAX_COMMENT);
            cookie |= kParenComment;
            wasCommentStart = true;
            continue;
        }
        wasCommentStart = false;
        if (c == '{')
        {
            w.Block(w.i, SYNTAX_COMMENT);
            cookie |= kBraceComment;
            continue;
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
        if (w.identBegin < 0 && IsWordCharAt(line, w.i, false))
            w.identBegin = w.i;
    }
    if (w.identBegin >= 0 && !(cookie & kLineComment))
    {
        const int cls = ClassifyWord(w, w.n);
        if (cls >= 0)
            w.Block(w.identBegin, cls);
    }
    if (line.back() == '\\')
        return cookie;
    return cookie & kKept;
}
