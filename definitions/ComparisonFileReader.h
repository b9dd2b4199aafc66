#pragma once

#include "definitions/CompareParams.h"

#include <memory>
#include <vector>

namespace tinyxml2 {
class XMLElement;
}
class CFolderCompareParams;
class CTextCompareParams;

// The formats comparison files have been written in, newest first.
enum class ComparisonFileVersion
{
    V1_0_8,
    V1_0_3,
    V1_0_2,
    V1_0_1,
    Format1_0, // the oldest, with a different root and entry elements
};

// Reads the entries of one comparison-file format. Missing elements and attributes leave the values
// as reset; entries of unknown types are skipped.
class CComparisonFileReader
{
public:
    explicit CComparisonFileReader(ComparisonFileVersion version) : m_version(version) {}

    // Appends a definition for each usable entry below `root`, in document order.
    void ReadEntries(const tinyxml2::XMLElement& root, std::vector<std::unique_ptr<CCompareParams>>& list) const;

private:
    std::unique_ptr<CCompareParams> ReadEntry(const tinyxml2::XMLElement& entry) const;
    int EntryType(const tinyxml2::XMLElement& entry) const;
    void ReadObjects(const tinyxml2::XMLElement& entry, CCompareParams& params) const;
    void ReadFolderValues(const tinyxml2::XMLElement& entry, CFolderCompareParams& params) const;
    void ReadTextValues(const tinyxml2::XMLElement& entry, CTextCompareParams& params) const;
    void ReadFilters(const tinyxml2::XMLElement& entry, CFolderCompareParams& params) const;

    ComparisonFileVersion m_version;
};
