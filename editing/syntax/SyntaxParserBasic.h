#pragma once

#include "editing/syntax/SyntaxParserHashScheme.h"

// Basic dialects: "REM" and "'" comments, double-quoted strings.
class CSyntaxParserBasic : public CSyntaxParserHashScheme
{
public:
    CSyntaxParserBasic();
};
