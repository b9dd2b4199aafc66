#pragma once

#include "editing/syntax/SyntaxParser.h"

// Settings files: sections, ";" comments, strings.
class CSyntaxParserIni : public CSyntaxParser
{
public:
    CSyntaxParserIni();

    std::uint32_t ParseLine(std::uint32_t cookie, std::string_view line,
                            std::vector<SSyntaxBlock>* blocks) const override;
};
