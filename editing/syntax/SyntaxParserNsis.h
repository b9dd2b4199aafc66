#pragma once

#include "editing/syntax/SyntaxParserCScheme.h"

// Installer scripts: the C rules with ";" comments and "!" directives.
class CSyntaxParserNsis : public CSyntaxParserCScheme
{
public:
    CSyntaxParserNsis();
};
