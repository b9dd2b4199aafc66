#pragma once

#include "definitions/CompareParams.h"

// A text comparison: the rules that decide which differences count and the line filter.
class CTextCompareParams : public CCompareParams
{
public:
    // Rules start as the user's current defaults, the line filter empty.
    CTextCompareParams();
    CTextCompareParams(const CTextCompareParams&) = default;
    CTextCompareParams& operator=(const CTextCompareParams&) = default;

    void CopyFrom(const CCompareParams& other) override;
    bool IsEqual(const CCompareParams& other) const override;
    std::string GetCommandLine(bool fullPath, bool abbreviated,
                               CommandLineQuoting quoting = CommandLineQuoting::Posix) const override;

    std::uint32_t m_dwRules;
    std::string m_strLineFilter;
};
