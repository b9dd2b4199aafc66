#pragma once

#include "editing/syntax/SyntaxParserHashScheme.h"

// Tcl.
class CSyntaxParserTcl : public CSyntaxParserHashScheme
{
public:
    CSyntaxParserTcl();
};
