#pragma once

#include "definitions/CompareParams.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The general options that decide which comparisons are remembered and how entries match.
struct RECENT_COMPARISON_OPTIONS
{
    bool m_bSaveFolderComparisons = true;
    bool m_bSaveProjectComparisons = true;
    bool m_bSaveTextComparisons = true;
    bool m_bSaveBinaryComparisons = true;
    bool m_bNoDuplicatePairs = false;
};

// The most recent comparisons, newest first. The list owns its entries; its length limit is applied
// when it is written out.
class CRecentComparisons
{
public:
    using PathExists = std::function<bool(const std::string&)>;

    // Enters `params` at the front, updating the matching entry or adding a copy, stamped with `now`.
    // Nothing happens when its type is not remembered or either path does not exist. Returns whether
    // the list changed.
    bool Enter(const CCompareParams& params, const RECENT_COMPARISON_OPTIONS& options, std::int64_t now,
               const PathExists& exists = DefaultPathExists);

    std::vector<std::unique_ptr<CCompareParams>>& Entries() { return m_entries; }
    const std::vector<std::unique_ptr<CCompareParams>>& Entries() const { return m_entries; }

    static bool DefaultPathExists(const std::string& path);

private:
    std::vector<std::unique_ptr<CCompareParams>> m_entries;
};
