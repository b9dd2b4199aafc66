#pragma once

#include "definitions/CompareParams.h"


// A binary comparison: only the two files.
class CBinaryCompareParams : public CCompareParams
{
public:
    CBinaryCompareParams() { m_nType = COMPARE_TYPE_BINARY; }

    std::string GetCommandLine(bool fullPath, bool abbreviated,
                               CommandLineQuoting quoting = CommandLineQuoting::Posix) const override;
};
