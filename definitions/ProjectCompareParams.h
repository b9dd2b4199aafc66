#pragma once

#include "definitions/FolderCompareParams.h"

// A project comparison: two project files, compared through the source files they list with the
// folder comparison's methods and filters.
class CProjectCompareParams : public CFolderCompareParams
{
public:
    CProjectCompareParams()
    {
        m_nType = COMPARE_TYPE_PROJECT;
        m_dwOptions = 0;
    }
};
