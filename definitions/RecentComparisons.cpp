#include "definitions/RecentComparisons.h"

#include "definitions/CompareParamsFactory.h"

#include <algorithm>
#include <sys/stat.h>

namespace {

bool IsRemembered(int type, const RECENT_COMPARISON_OPTIONS& options)
{
    switch (type)
    {
    case COMPARE_TYPE_FOLDER:
        return options.m_bSaveFolderComparisons;
    case COMPARE_TYPE_PROJECT:
        return options.m_bSaveProjectComparisons;
    case COMPARE_TYPE_TEXT:
        return options.m_bSaveTextComparisons;
    case COMPARE_TYPE_BINARY:
        return options.m_bSaveBinaryComparisons;
    default:
        return false;
    }
}

} // namespace

bool CRecentComparisons::DefaultPathExists(const std::string& path)
{
    struct stat st{};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool CRecentComparisons::Enter(const CCompareParams& params, const RECENT_COMPARISON_OPTIONS& options,
                               std::int64_t now, const PathExists& exists)
{
    if (!IsRemembered(params.m_nType, options))
        return false;
    for (const auto& object : params.m_objects)
        if (!exists(object.m_strPath))
            return false;

    const auto match = std::find_if(m_entries.begin(), m_entries.end(), [&](const auto& entry) {
        if (!entry)
            return false;
        return options.m_bNoDuplicatePairs ? entry->IsSameObjects(params, true) : entry->IsEqual(params);
    });
    std::unique_ptr<CCompareParams> entry;
    if (match != m_entries.end())
    {
        entry = std::move(*match);
        m_entries.erase(match);
    }
    else
    {
        entry = CreateCompareParams(params.m_nType);
    }
    entry->CopyFrom(params);
    entry->m_tLastCompared = now;
    m_entries.insert(m_entries.begin(), std::move(entry));
    return true;
}
