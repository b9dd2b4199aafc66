#pragma once

#include "editing/syntax/SyntaxParserLispScheme.h"

// SIOD Scheme.
class CSyntaxParserSiod : public CSyntaxParserLispScheme
{
public:
    CSyntaxParserSiod();
};
