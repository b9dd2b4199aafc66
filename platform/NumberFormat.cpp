#include "platform/NumberFormat.h"

#include <climits>
#include <clocale>

namespace platform {

NumberGrouping CurrentNumberGrouping()
{
    NumberGrouping result;
    const lconv* conv = localeconv();
    if (conv == nullptr)
        return result;
    const char* grouping = conv->grouping;
    if (grouping != nullptr && grouping[0] > 0 && grouping[0] != CHAR_MAX)
    {
        result.m_nGrouping = grouping[0];
        if (grouping[0] == 3 && grouping[1] == 2)
            result.m_nGrouping = 32;
    }
    if (conv->thousands_sep != nullptr && conv->thousands_sep[0] != '\0')
        result.m_strSeparator = conv->thousands_sep;
    if (conv->negative_sign != nullptr && conv->negative_sign[0] != '\0')
        result.m_strNegativeSign = conv->negative_sign;
    return result;
}

} // namespace platform
