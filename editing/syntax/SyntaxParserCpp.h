#pragma once

#include "editing/syntax/SyntaxParserCScheme.h"

// C and C++.
class CSyntaxParserCpp : public CSyntaxParserCScheme
{
public:
    CSyntaxParserCpp();
};
