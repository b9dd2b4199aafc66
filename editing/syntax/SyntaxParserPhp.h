#pragma once

#include "editing/syntax/SyntaxParserMarkup.h"

// PHP pages: HTML with PHP code.
class CSyntaxParserPhp : public CSyntaxParserMarkup
{
public:
    CSyntaxParserPhp();
};
