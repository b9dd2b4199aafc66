#pragma once

#include "editing/syntax/SyntaxParserMarkup.h"

// XML.
class CSyntaxParserXml : public CSyntaxParserMarkup
{
public:
    CSyntaxParserXml();
};
