#pragma once

#include "editing/syntax/SyntaxParser.h"

// Batch files of the command interpreters.
class CSyntaxParserBatch : public CSyntaxParser
{
public:
    CSyntaxParserBatch();

    std::uint32_t ParseLine(std::uint32_t cookie, std::string_view line,
                            std::vector<SSyntaxBlock>* blocks) const override;
};
