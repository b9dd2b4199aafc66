#pragma once

#include "editing/syntax/SyntaxParser.h"

// Line rules of Pascal: "//" comments to the end of the line, "(* *)" and "{ }" comment blocks,
// strings and words as in the script languages. Cookie bits: 0x1 line comment, 0x4 "(*" block,
// 0x8 and 0x10 strings, 0x20 "{" block; with the setup-script rules also 0x2 preprocessor line and
// 0x40 section name. A line ending in a backslash passes every bit on; otherwise 0x4 and 0x20 survive.
class CSyntaxParserPascalScheme : public CSyntaxParser
{
public:
    static constexpr std::uint32_t kLineComment = 0x1;
    static constexpr std::uint32_t kPreprocessor = 0x2;
    static constexpr std::uint32_t kParenComment = 0x4;
    static constexpr std::uint32_t kString = 0x8;
    static constexpr std::uint32_t kSingleString = 0x10;
    static constexpr std::uint32_t kBraceComment = 0x20;
    static constexpr std::uint32_t kSection = 0x40;

    std::uint32_t ParseLine(std::uint32_t cookie, std::string_view line,
                            std::vector<SSyntaxBlock>* blocks) const override;

protected:
    // `setupLines`: at the first non-blank character of a line, ";" starts a comment, "#" a
    // preprocessor line and "[" a section name.
    explicit CSyntaxParserPascalScheme(bool setupLines) : m_bSetupLines(setupLines) {}

private:
    int ClassifyWord(const SWalker& w, int end) const;

    bool m_bSetupLines;
};
