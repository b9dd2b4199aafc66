#pragma once

#include "editing/syntax/SyntaxParserCScheme.h"

// Dialog control language: the C rules without preprocessor lines or continuation.
class CSyntaxParserDcl : public CSyntaxParserCScheme
{
public:
    CSyntaxParserDcl();
};
