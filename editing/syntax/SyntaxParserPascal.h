#pragma once

#include "editing/syntax/SyntaxParserPascalScheme.h"

// Pascal.
class CSyntaxParserPascal : public CSyntaxParserPascalScheme
{
public:
    CSyntaxParserPascal();
};
