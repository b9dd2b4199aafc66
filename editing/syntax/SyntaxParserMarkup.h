#pragma once

#include "editing/syntax/SyntaxParser.h"

// Line rules of the markup languages: tags with their words (set 1 tag words, set 2 attribute words),
// entity references (set 3), "<!-- -->" comments and quoted strings; HTML also knows script blocks,
// and the server-page dialects parse the code between "<%" or "<?" and "%>" or "?>" by rules of
// their own (set 4 and after). Every "." is a word character.
// Cookie bits: 0x1 line comment in code, 0x2 inside a tag, 0x4 inside a comment, 0x8 and 0x10 inside
// a double- or single-quoted string, 0x20 inside an entity reference, 0x40 inside a script block
// (HTML, ASP) or a variable (PHP), 0x80 inside a code block (PHP).
class CSyntaxParserMarkup : public CSyntaxParser
{
public:
    static constexpr std::uint32_t kCodeComment = 0x1;
    static constexpr std::uint32_t kTag = 0x2;
    static constexpr std::uint32_t kComment = 0x4;
    static constexpr std::uint32_t kString = 0x8;
    static constexpr std::uint32_t kSingleString = 0x10;
    static constexpr std::uint32_t kEntity = 0x20;
    static constexpr std::uint32_t kScript = 0x40;
    static constexpr std::uint32_t kVariable = 0x40;
    static constexpr std::uint32_t kCode = 0x80;

    enum class Dialect
    {
        Xml,  // "<" or "{" opens a tag, whose block starts at that character
        Sgml, // the same, the tag's block starting after it
        Html, // only "<" opens a tag (block after it), strings only inside tags, script blocks
        Asp,  // HTML with script code: "'" comments, set 4 words
        Php,  // HTML with PHP code: "//", "#" and "/* */" comments, variables, sets 4 to 6
    };

    std::uint32_t ParseLine(std::uint32_t cookie, std::string_view line,
                            std::vector<SSyntaxBlock>* blocks) const override;

protected:
    explicit CSyntaxParserMarkup(Dialect dialect) : m_dialect(dialect) {}

private:
    bool IsHtmlLike() const { return m_dialect == Dialect::Html || m_dialect == Dialect::Asp || m_dialect == Dialect::Php; }
    int ClassifyMarkupWord(const SWalker& w, int end, std::uint32_t cookie, bool atLineEnd) const;
    int ClassifyCodeWord(const SWalker& w, int end) const;

    Dialect m_dialect;
};
