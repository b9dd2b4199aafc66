#pragma once

#include "editing/syntax/SyntaxParser.h"

// The C family of line rules: "//" and "/* */" comments, strings and character literals under the
// escape rule, preprocessor lines, words classified by the keyword sets, numbers and function names.
// Cookie bits: 0x1 line comment, 0x2 preprocessor line, 0x4 block comment, 0x8 string, 0x10
// character literal. A line ending in a backslash passes every bit on; otherwise only 0x4 survives.
class CSyntaxParserCScheme : public CSyntaxParser
{
public:
    static constexpr std::uint32_t kLineComment = 0x1;
    static constexpr std::uint32_t kPreprocessor = 0x2;
    static constexpr std::uint32_t kBlockComment = 0x4;
    static constexpr std::uint32_t kString = 0x8;
    static constexpr std::uint32_t kChar = 0x10;

    // How a word that no keyword set holds becomes a function name.
    enum class FunctionNames
    {
        Paren, // followed (after blanks) by "("
        Dcl,   // next non-blank "{" or ":", or previous non-blank ":"
    };

    struct SRules
    {
        char preprocessorChar = '#';    // 0: no preprocessor lines (the plain C scheme)
        bool slashComment = true;       // "//" starts a line comment
        bool semicolonComment = false;  // ";" and at least one more character start a line comment
        bool anyQuoteClosesChar = false; // a "'" not after a backslash closes a character literal
        bool everyDot = false;          // every "." is a word character
        bool continuation = true;       // a final backslash passes the state on
        FunctionNames functionNames = FunctionNames::Paren;
        bool commentsOnlyParse = false; // ParseLineComments tracks only the comment delimiters
    };

    std::uint32_t ParseLine(std::uint32_t cookie, std::string_view line,
                            std::vector<SSyntaxBlock>* blocks) const override;
    std::uint32_t ParseLineComments(std::uint32_t cookie, std::string_view line,
                                    std::vector<SSyntaxBlock>* blocks) const override;

protected:
    explicit CSyntaxParserCScheme(const SRules& rules) : m_rules(rules) {}

private:
    int ClassifyWord(const SWalker& w, int end) const;

    SRules m_rules;
};
