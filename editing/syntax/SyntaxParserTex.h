#pragma once

#include "editing/syntax/SyntaxParserHashScheme.h"

// TeX and LaTeX: "%" comments, no state across lines.
class CSyntaxParserTex : public CSyntaxParserHashScheme
{
public:
    CSyntaxParserTex();
};
