#pragma once

#include "editing/syntax/SyntaxParser.h"

// Line rules of the script languages: a comment character that runs to the end of the line,
// double- and single-quoted strings under the escape rule, words classified by the keyword sets,
// then as numbers, then as function names. Cookie bits: 0x1 comment, 0x8 string, 0x10 single-quoted
// string; a line ending in a backslash passes them on, otherwise the cookie is 0.
class CSyntaxParserHashScheme : public CSyntaxParser
{
public:
    static constexpr std::uint32_t kComment = 0x1;
    static constexpr std::uint32_t kString = 0x8;
    static constexpr std::uint32_t kSingleString = 0x10;

    enum class FunctionNames
    {
        None,
        Paren,  // followed (after blanks) by "("
        Dollar, // directly followed by "$"
    };

    struct SRules
    {
        int commentChar = '#';           // -1: none
        bool commentLineC = false;       // a line starting with "C" or "c" is a comment (Fortran)
        bool remComment = false;         // "REM" and a non-identifier character start a comment (Basic)
        bool singleQuoteComment = false; // "'" starts a comment instead of a string (Basic)
        bool everyDot = false;           // every "." is a word character
        bool continuation = true;        // a final backslash passes the state on
        FunctionNames functionNames = FunctionNames::Paren;
    };

    std::uint32_t ParseLine(std::uint32_t cookie, std::string_view line,
                            std::vector<SSyntaxBlock>* blocks) const override;

protected:
    explicit CSyntaxParserHashScheme(const SRules& rules) : m_rules(rules) {}

private:
    int ClassifyWord(const SWalker& w, int end) const;

    SRules m_rules;
};
