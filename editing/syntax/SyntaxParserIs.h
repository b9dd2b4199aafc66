#pragma once

#include "editing/syntax/SyntaxParserCScheme.h"

// InstallShield rules.
class CSyntaxParserIs : public CSyntaxParserCScheme
{
public:
    CSyntaxParserIs();
};
