#pragma once

#include "editing/syntax/SyntaxParser.h"

// Line rules of the Lisp dialects: ";" comments to the end of the line, ";|" ... "|;" comment
// blocks, strings as in the script languages, every "." a word character; a word after "(" or
// directly before "(" is a function name (after "(" only until "defun" appeared on the line).
// Cookie bits: 0x1 comment, 0x4 comment block, 0x8 and 0x10 strings; only 0x4 survives the line.
class CSyntaxParserLispScheme : public CSyntaxParser
{
public:
    static constexpr std::uint32_t kComment = 0x1;
    static constexpr std::uint32_t kBlockComment = 0x4;
    static constexpr std::uint32_t kString = 0x8;
    static constexpr std::uint32_t kSingleString = 0x10;

    std::uint32_t ParseLine(std::uint32_t cookie, std::string_view line,
                            std::vector<SSyntaxBlock>* blocks) const override;

protected:
    // `commentAfterSemicolon`: the comment block of a ";" comment starts after the ";".
    explicit CSyntaxParserLispScheme(bool commentAfterSemicolon) : m_bCommentAfterSemicolon(commentAfterSemicolon)
    {
    }

private:
    bool m_bCommentAfterSemicolon;
};
