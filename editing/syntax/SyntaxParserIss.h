#pragma once

#include "editing/syntax/SyntaxParserPascalScheme.h"

// Setup scripts: the Pascal rules with section, comment and preprocessor lines.
class CSyntaxParserIss : public CSyntaxParserPascalScheme
{
public:
    CSyntaxParserIss();
};
