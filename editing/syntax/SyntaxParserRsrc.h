#pragma once

#include "editing/syntax/SyntaxParserCScheme.h"

// Resource scripts.
class CSyntaxParserRsrc : public CSyntaxParserCScheme
{
public:
    CSyntaxParserRsrc();
};
