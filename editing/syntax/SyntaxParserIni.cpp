#include "editing/syntax/SyntaxParserIni.h"

CSyntaxParserIni::CSyntaxParserIni()
{
    SetDefinition(9, "INI", "ini,reg", 0x150, "", "", ";");
}

namespace {

constexpr std::uint32_t kComment = 0x1;
constexpr std::uint32_t kTextBlock = 0x4;
constexpr std::uint32_t kString = 0x8;
constexpr std::uint32_t kSingleString = 0x10;
constexpr std::uint32_t kSection = 0x20;

} // namespace

std::uint32_t CSyntaxParserIni::ParseLine(std::uint32_t cookie, std::string_view line,
                                          std::vector<SSyntaxBlock>* blocks) const
{
    if (line.empty())
        return cookie & kTextBlock;
    SWalker w(*this, line, blocks, true); // byte by byte
    const auto classify = [&](int end) {
        const std::string_view word = w.Word(end);
        const int cls = IsNumber(word) ? SYNTAX_NUMBER : IsFunctionNameAt(line, end) ? SYNTAX_FUNCNAME : -1;
        if (cls >= 0)
            w.Block(w.identBegin, cls);
        w.RestartAtCurrent();
        w.identBegin = -1;
    };
    for (;; w.Advance())
    {
        if (w.redefine)
        {
            const int state = (cookie & kComment)                   ? SYNTAX_COMMENT
                              : (cookie & (kString | kSingleString)) ? SYNTAX_STRING
                              : (cookie & kSection)                  ? SYNTAX_FUNCNAME
                                                                     : -1;
            w.StartPending(state, false);
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
        if (cookie & kSection)
        {
            if (c == ']' && QuoteCloses(line, w.i))
            {
                cookie &= ~kSection;
                w.RestartAfterCurrent();
            }
            continue;
        }
        if (w.identBegin >= 0 && !IsWordCharAt(line, w.i, false))
            classify(w.i);
        if (c == ';')
        {
            w.Block(w.i, SYNTAX_COMMENT);
            cookie |= kComment;
            break;
        }
        if (c == '[' && (w.i == 0 || !IsIdentChar(w.Prev())))
        {
            w.Block(w.i, SYNTAX_FUNCNAME);
            cookie |= kSection;
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
        if (blocks != nullptr && w.identBegin < 0 && IsWordCharAt(line, w.i, false))
            w.identBegin = w.i;
    }
    if (w.identBegin >= 0 && !(cookie & kComment))
        classify(w.n);
    if (line.back() == '\\')
        return cookie;
    return cookie & kTextBlock;
}
