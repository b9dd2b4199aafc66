#pragma once

#include "editing/syntax/SyntaxParserHashScheme.h"

// Fortran: "!" comments and comment lines starting with "C".
class CSyntaxParserFortran : public CSyntaxParserHashScheme
{
public:
    CSyntaxParserFortran();
};
