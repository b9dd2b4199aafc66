#include "editing/syntax/SyntaxParserCScheme.h"

namespace {

unsigned char NextNonBlank(std::string_view line, int from)
{
    for (auto k = static_cast<std::size_t>(from); k < line.size(); ++k)
        if (!CSyntaxParser::IsBlank(static_cast<unsigned char>(line[k])))
            return static_cast<unsigned char>(line[k]);
    return 0;
}

unsigned char PrevNonBlank(std::string_view line, int before)
{
    for (int k = before - 1; k >= 0; --k)
        if (!CSyntaxParser::IsBlank(static_cast<unsigned char>(line[static_cast<std::size_t>(k)])))
            return static_cast<unsigned char>(line[static_cast<std::size_t>(k)]);
    return 0;
}

} // namespace

int CSyntaxParserCScheme::ClassifyWord(const SWalker& w, int end) const
{
    const std::string_view word = w.Word(end);
    const int keyword = FindKeyword(word);
    if (keyword >= 0)
        return keyword;
    if (IsNumber(word))
        return SYNTAX_NUMBER;
    if (m_rules.functionNames == FunctionNames::Paren)
        return IsFunctionNameAt(w.line, end) ? SYNTAX_FUNCNAME : -1;
    const unsigned char next = NextNonBlank(w.line, end);
    return next == '{' || next == ':' || PrevNonBlank(w.line, w.identBegin) == ':' ? SYNTAX_FUNCNAME : -1;
}

std::uint32_t CSyntaxParserCScheme::ParseLine(std::uint32_t cookie, std::string_view line,
                                              std::vector<SSyntaxBlock>* blocks) const
{
    if (line.empty())
        return cookie & kBlockComment;
    SWalker w(*this, line, blocks);
    bool firstChar = (cookie & ~kBlockComment) == 0;
    bool wasCommentStart = false; // the "*" just passed opened the comment
    for (;; w.Advance())
    {
        if (w.redefine)
        {
            const int state = (cookie & (kLineComment | kBlockComment)) ? SYNTAX_COMMENT
                              : (cookie & (kString | kChar))        ? SYNTAX_STRING
                              : (cookie & kPreprocessor)            ? SYNTAX_PREPROCESSOR
                                                                    : -1;
            w.StartPending(state, m_rules.everyDot);
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
        if (cookie & kChar)
        {
            if (c == '\'' && (m_rules.anyQuoteClosesChar ? (w.i == 0 || w.Prev() != '\\') : QuoteCloses(line, w.i)))
            {
                cookie &= ~kChar;
                w.RestartAfterCurrent();
            }
            continue;
        }
        if (cookie & kBlockComment)
        {
            if (c == '/' && w.i > 0 && w.Prev() == '*' && !wasCommentStart)
            {
                cookie &= ~kBlockComment;
                w.RestartAfterCurrent();
            }
            wasCommentStart = false;
            continue;
        }

        // A word ends at the first character that cannot continue it.
        if (w.identBegin >= 0 && !IsWordCharAt(line, w.i, m_rules.everyDot))
        {
            const int cls = ClassifyWord(w, w.i);
            if (cls >= 0)
                w.Block(w.identBegin, cls);
            w.RestartAtCurrent();
            w.identBegin = -1;
        }

        if (m_rules.slashComment && c == '/' && w.i > 0 && w.Prev() == '/')
        {
            w.Block(w.prev, SYNTAX_COMMENT);
            cookie |= kLineComment;
            break;
        }
        if (m_rules.semicolonComment && c == ';' && w.i + 1 < w.n)
        {
            w.Block(w.i, SYNTAX_COMMENT);
            cookie |= kLineComment;
            break;
        }
        if (cookie & kPreprocessor)
        {
            if (c == '*' && w.i > 0 && w.Prev() == '/')
            {
                w.Block(w.prev, SYNTAX_COMMENT);
                cookie |= kBlockComment;
                wasCommentStart = true;
            }
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
            cookie |= kChar;
            continue;
        }
        if (c == '*' && w.i > 0 && w.Prev() == '/')
        {
            w.Block(w.prev, SYNTAX_COMMENT);
            cookie |= kBlockComment;
            wasCommentStart = true;
            continue;
        }
        wasCommentStart = false;
        if (firstChar)
        {
            if (m_rules.preprocessorChar != 0 && c == static_cast<unsigned char>(m_rules.preprocessorChar))
            {
                w.Block(w.i, SYNTAX_PREPROCESSOR);
                cookie |= kPreprocessor;
                continue;
            }
            if (!IsBlank(c))
                firstChar = false;
        }
        if (blocks == nullptr)
            continue; // only the cookie is wanted: no words to classify
        if (w.identBegin < 0 && IsWordCharAt(line, w.i, m_rules.everyDot))
            w.identBegin = w.i;
    }
    if (w.identBegin >= 0)
    {
        const int cls = ClassifyWord(w, w.n);
        if (cls >= 0)
            w.Block(w.identBegin, cls);
    }
    if (m_rules.continuation && line.back() == '\\')
        return cookie;
    return cookie & kBlockComment;
}

std::uint32_t CSyntaxParserCScheme::ParseLineComments(std::uint32_t cookie, std::string_view line,
                                                      std::vector<SSyntaxBlock>* blocks) const
{
    if (!m_rules.commentsOnlyParse)
        return ParseLine(cookie, line, blocks);
    if (line.empty())
        return cookie & kBlockComment;
    SWalker w(*this, line, blocks);
    bool wasCommentStart = false;
    for (;; w.Advance())
    {
        if (w.redefine)
            w.StartPending((cookie & (kLineComment | kBlockComment)) ? SYNTAX_COMMENT : -1, m_rules.everyDot);
        if (w.i >= w.n)
            break;
        const unsigned char c = w.At(w.i);
        if (cookie & kLineComment)
            break;
        if (cookie & kBlockComment)
        {
            if (c == '/' && w.i > 0 && w.Prev() == '*' && !wasCommentStart)
            {
                cookie &= ~kBlockComment;
                w.RestartAfterCurrent();
            }
            wasCommentStart = false;
            continue;
        }
        if (c == '/' && w.i > 0 && w.Prev() == '/')
        {
            w.Block(w.prev, SYNTAX_COMMENT);
            cookie |= kLineComment;
            break;
        }
        if (c == '*' && w.i > 0 && w.Prev() == '/')
        {
            w.Block(w.prev, SYNTAX_COMMENT);
            cookie |= kBlockComment;
            wasCommentStart = true;
            continue;
        }
        wasCommentStart = false;
        // Runs of word characters stay one normal block; every other character is a block of its own.
        if (!IsWordCharAt(line, w.i, m_rules.everyDot))
            w.RestartAtCurrent();
    }
    if (m_rules.continuation && line.back() == '\\')
        return cookie;
    return cookie & kBlockComment;
}
