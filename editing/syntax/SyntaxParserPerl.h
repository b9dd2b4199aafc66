#pragma once

#include "editing/syntax/SyntaxParserHashScheme.h"

// Perl.
class CSyntaxParserPerl : public CSyntaxParserHashScheme
{
public:
    CSyntaxParserPerl();
};
