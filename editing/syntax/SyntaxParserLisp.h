#pragma once

#include "editing/syntax/SyntaxParserLispScheme.h"

// AutoLISP.
class CSyntaxParserLisp : public CSyntaxParserLispScheme
{
public:
    CSyntaxParserLisp();
};
