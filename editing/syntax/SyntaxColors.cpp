#include "editing/syntax/SyntaxColors.h"

#include "editing/syntax/SyntaxParser.h"

SSyntaxColors SSyntaxColors::Defaults()
{
    SSyntaxColors colors;
    colors.color[SYNTAX_NORMAL] = Rgb(0, 0, 0);
    colors.color[SYNTAX_KEYWORD] = Rgb(0, 0, 255);
    colors.bold[SYNTAX_KEYWORD] = true;
    colors.color[SYNTAX_FUNCNAME] = Rgb(128, 0, 0);
    colors.color[SYNTAX_COMMENT] = Rgb(0, 128, 0);
    colors.color[SYNTAX_NUMBER] = Rgb(255, 0, 0);
    colors.color[SYNTAX_OPERATOR] = Rgb(0, 0, 0);
    colors.color[SYNTAX_STRING] = Rgb(128, 0, 128);
    colors.color[SYNTAX_PREPROCESSOR] = Rgb(0, 128, 128);
    colors.color[SYNTAX_KEYWORD2] = Rgb(0, 128, 192);
    colors.color[SYNTAX_KEYWORD3] = Rgb(0, 0, 128);
    return colors;
}
