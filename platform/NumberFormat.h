#pragma once

#include <string>

namespace platform {

// Digit grouping of the C library's current numeric locale, in the form the number formatter
// takes: a group size (3, or 32 for the "3;2;0" grouping of the Indian system) and the separator.
struct NumberGrouping
{
    int m_nGrouping = 3;
    std::string m_strSeparator = ",";
    std::string m_strNegativeSign = "-";
};

// The C locale has no grouping; then the defaults above apply.
NumberGrouping CurrentNumberGrouping();

} // namespace platform
