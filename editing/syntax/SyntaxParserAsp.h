#pragma once

#include "editing/syntax/SyntaxParserMarkup.h"

// Active server pages: HTML with script code.
class CSyntaxParserAsp : public CSyntaxParserMarkup
{
public:
    CSyntaxParserAsp();
};
