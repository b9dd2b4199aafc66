#pragma once

#include "definitions/CompareParams.h"
#include "filesystem/ComboFilters.h"

#include <string>
#include <vector>

// A folder comparison: methods that judge two files equal, options and the file and folder filters.
class CFolderCompareParams : public CCompareParams
{
public:
    // Methods start as the user's current defaults, options at 0 and filters empty.
    CFolderCompareParams();

    void CopyFrom(const CCompareParams& other) override;
    bool IsEqual(const CCompareParams& other) const override;
    std::string GetCommandLine(bool fullPath, bool abbreviated,
                               CommandLineQuoting quoting = CommandLineQuoting::Posix) const override;

    std::uint32_t m_dwMethods;
    std::uint32_t m_dwOptions = 0;
    CComboFilters m_filters;
};

// The items of the file-filter list of a generated command line ("ni=*.c", ...).
std::vector<std::string> FileFilterItems(const CFileFilters& filters, bool abbreviated);
std::vector<std::string> FolderFilterItems(const CFolderFilters& filters, bool abbreviated);
