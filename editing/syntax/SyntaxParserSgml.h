#pragma once

#include "editing/syntax/SyntaxParserMarkup.h"

// SGML.
class CSyntaxParserSgml : public CSyntaxParserMarkup
{
public:
    CSyntaxParserSgml();
};
