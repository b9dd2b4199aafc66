#include "editing/syntax/SyntaxParserLispScheme.h"

namespace {

bool IsDefun(std::string_view word)
{
    if (word.size() != 5)
        return false;
    constexpr std::string_view kDefun = "defun";
    for (std::size_t k = 0; k < 5; ++k)
        if ((word[k] | 0x20) != kDefun[k])
            return false;
    return true;
}

} // namespace

std::uint32_t CSyntaxParserLispScheme::ParseLine(std::uint32_t cookie, std::string_view line,
                                                 std::vector<SSyntaxBlock>* blocks) const
{
    if (line.empty())
        return cookie & kBlockComment;
    SWalker w(*this, line, blocks);
    bool sawDefun = false;
    int blockOpenEnd = -1; // position of the "|" of a ";|" opened on this line
    const auto classify = [&](int end) {
        const std::string_view word = w.Word(end);
        int cls = FindKeyword(word);
        if (cls < 0 && IsNumber(word))
            cls = SYNTAX_NUMBER;
        if (cls < 0)
        {
            int k = w.identBegin - 1;
            while (k >= 0 && IsBlank(w.At(k)))
                --k;
            if ((k >= 0 && w.At(k) == '(' && !sawDefun) || w.At(end) == '(')
                cls = SYNTAX_FUNCNAME;
        }
        if (IsDefun(word))
            sawDefun = true;
        if (cls >= 0)
            w.Block(w.identBegin, cls);
        w.RestartAtCurrent();
        w.identBegin = -1;
    };
    for (;; w.Advance())
    {
        if (w.redefine)
        {
            const int state = (cookie & (kComment | kBlockComment))     ? SYNTAX_COMMENT
                              : (cookie & (kString | kSingleString)) ? SYNTAX_STRING
                                                                     : -1;
            w.StartPending(state, true);
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
        if (cookie & kBlockComment)
        {
            if (c == ';' && w.i > 0 && w.Prev() == '|' && w.prev != blockOpenEnd)
            {
                cookie &= ~kBlockComment;
                w.RestartAfterCurrent();
            }
            continue;
        }
        if (w.identBegin >= 0 && !IsWordCharAt(line, w.i, true))
            classify(w.i);
        if (c == ';')
        {
            if (w.At(w.i + 1) == '|')
            {
                w.Block(w.i, SYNTAX_COMMENT);
                cookie |= kBlockComment;
                w.Advance(); // past the "|", which cannot close the block it opens
                blockOpenEnd = w.i;
                continue;
            }
            if (m_bCommentAfterSemicolon)
                w.Block(w.i, SYNTAX_OPERATOR);
            w.Block(m_bCommentAfterSemicolon ? w.i + 1 : w.i, SYNTAX_COMMENT);
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
        if (w.identBegin < 0 && IsWordCharAt(line, w.i, true))
            w.identBegin = w.i;
    }
    if (w.identBegin >= 0 && !(cookie & kComment))
        classify(w.n);
    return cookie & kBlockComment;
}
