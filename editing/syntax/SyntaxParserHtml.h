#pragma once

#include "editing/syntax/SyntaxParserMarkup.h"

// HTML.
class CSyntaxParserHtml : public CSyntaxParserMarkup
{
public:
    CSyntaxParserHtml();
};
