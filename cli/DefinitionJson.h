#pragma once

#include "cli/JsonWriter.h"

#include <string>
#include <vector>

class CCompareParams;
class CFolderCompareParams;

// The values of one listed definition, gathered once for every output form.
struct DefinitionListing
{
    std::vector<std::string> m_methods;
    std::vector<std::string> m_options;
    std::vector<std::string> m_rules;
    std::string m_strLineFilter;
    const CFolderCompareParams* m_pFolder = nullptr;
};

DefinitionListing Gather(const CCompareParams& params);

// A definition with the fixed keys of the listings (type, title, sides, methods, options, rules,
// filters, last-compared time and the command line that reopens it).
CJsonObject DefinitionJson(const CCompareParams& params);
