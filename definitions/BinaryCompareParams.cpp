#include "definitions/BinaryCompareParams.h"

#include "definitions/CommandLineText.h"

std::string CBinaryCompareParams::GetCommandLine(bool fullPath, bool abbreviated, CommandLineQuoting quoting) const
{
    CCommandLineText text(fullPath, abbreviated, quoting);
    text.AddCommandAndType("b", "binary");
    text.AddObjects(*this);
    return text.Str();
}
