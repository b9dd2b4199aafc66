#pragma once

#include "definitions/CompareParams.h"

#include <memory>
#include <string>
#include <vector>

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
} // namespace tinyxml2
class CFolderCompareParams;
class CTextCompareParams;

// Builds a comparison file in the current format ("1.0.8") in memory.
class CComparisonFileWriter
{
public:
    static constexpr const char* kVersion = "1.0.8";

    // The document text for the definitions in list order, at most `maxCount` of them (-1: all);
    // empty slots are skipped. False when the document could not be built.
    static bool BuildDocument(const std::vector<std::unique_ptr<CCompareParams>>& list, int maxCount,
                              std::string& text);

private:
    static void WriteEntry(tinyxml2::XMLDocument& doc, tinyxml2::XMLElement& entry, const CCompareParams& params);
    static void WriteFolderValues(tinyxml2::XMLElement& entry, const CFolderCompareParams& params);
    static void WriteTextValues(tinyxml2::XMLElement& entry, const CTextCompareParams& params);
};
