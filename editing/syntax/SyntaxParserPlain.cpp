#include "editing/syntax/SyntaxParserPlain.h"

CSyntaxParserPlain::CSyntaxParserPlain()
{
    SetDefinition(0, "Text", "txt,diz", 0x10, "", "", ";");
}
