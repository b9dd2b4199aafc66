#pragma once

#include "editing/syntax/SyntaxParserCScheme.h"

// C#.
class CSyntaxParserCsharp : public CSyntaxParserCScheme
{
public:
    CSyntaxParserCsharp();
};
