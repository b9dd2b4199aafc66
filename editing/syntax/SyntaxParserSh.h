#pragma once

#include "editing/syntax/SyntaxParserHashScheme.h"

// Shell scripts.
class CSyntaxParserSh : public CSyntaxParserHashScheme
{
public:
    CSyntaxParserSh();
};
