#pragma once

#include "editing/syntax/SyntaxParserHashScheme.h"

// Python.
class CSyntaxParserPython : public CSyntaxParserHashScheme
{
public:
    CSyntaxParserPython();
};
