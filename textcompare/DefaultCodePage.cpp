#include "textcompare/DefaultCodePage.h"

#include "platform/CodePages.h"
#include "platform/Profile.h"

#include <atomic>

namespace {

std::atomic<int> s_nDefaultCodePage{kDefaultCodePageDefault};

// Files without a mark are split into lines byte by byte, so the setting must be a code page whose
// line ends are single bytes: the UTF-16 and UTF-32 pages are refused.
bool Usable(int codePage)
{
    if (codePage < 0)
        return false;
    const unsigned resolved = platform::ResolveCodePage(static_cast<unsigned>(codePage));
    if (resolved == 1200 || resolved == 1201 || resolved == 12000 || resolved == 12001)
        return false;
    return platform::IsCodePageInstalled(resolved);
}

} // namespace

int GetDefaultCodePageSetting()
{
    return s_nDefaultCodePage.load(std::memory_order_relaxed);
}

bool SetDefaultCodePageSetting(int codePage)
{
    if (!Usable(codePage))
        return false;
    s_nDefaultCodePage.store(codePage, std::memory_order_relaxed);
    return true;
}

void LoadDefaultCodePageSetting(const platform::Profile& profile)
{
    const int value =
        profile.GetProfileInt(kDefaultCodePageSection, kDefaultCodePageEntry, kDefaultCodePageDefault);
    if (!SetDefaultCodePageSetting(value))
        SetDefaultCodePageSetting(kDefaultCodePageDefault);
}

bool SaveDefaultCodePageSetting(platform::Profile& profile)
{
    int value = GetDefaultCodePageSetting();
    if (!Usable(value))
        value = kDefaultCodePageDefault;
    return profile.WriteProfileInt(kDefaultCodePageSection, kDefaultCodePageEntry, value);
}
