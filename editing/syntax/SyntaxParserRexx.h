#pragma once

#include "editing/syntax/SyntaxParserCScheme.h"

// REXX: the C rules without preprocessor lines.
class CSyntaxParserRexx : public CSyntaxParserCScheme
{
public:
    CSyntaxParserRexx();
};
