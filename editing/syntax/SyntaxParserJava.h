#pragma once

#include "editing/syntax/SyntaxParserCScheme.h"

// Java and JavaScript.
class CSyntaxParserJava : public CSyntaxParserCScheme
{
public:
    CSyntaxParserJava();
};
