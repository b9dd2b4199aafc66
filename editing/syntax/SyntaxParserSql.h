#pragma once

#include "editing/syntax/SyntaxParserCScheme.h"

// SQL: the C rules without preprocessor lines.
class CSyntaxParserSql : public CSyntaxParserCScheme
{
public:
    CSyntaxParserSql();
};
