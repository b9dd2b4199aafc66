#pragma once

#include "definitions/CompareParams.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Reads and writes comparison files (".cmp"): XML documents holding comparison definitions. Files
// are written in the current format; four older formats are read. Nothing here shows a message.
class CComparisonFile
{
public:
    using List = std::vector<std::unique_ptr<CCompareParams>>;

    // Appends the definitions of a supported file to `list`, in file order; true when the file was
    // parsed, even if no entry was usable. `whyNot`, when given, receives the reason of a false.
    bool LoadComparisons(const std::string& path, List& list, std::string* whyNot = nullptr) const;
    bool LoadComparisonsFromText(std::string_view xml, List& list, std::string* whyNot = nullptr) const;

    // Writes at most `maxCount` definitions (-1: all) through a temporary file that replaces the old
    // one only when complete, so a failed save leaves the previous file as it was.
    bool SaveComparisons(const std::string& path, const List& list, int maxCount = -1,
                         std::string* whyNot = nullptr) const;
};

// True for a path with the extension ".cmp", in any case.
bool IsComparisonFile(std::string_view path);
