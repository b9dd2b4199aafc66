#pragma once

#include "editing/syntax/SyntaxParser.h"

// Plain text: no colouring.
class CSyntaxParserPlain : public CSyntaxParser
{
public:
    CSyntaxParserPlain();
};
