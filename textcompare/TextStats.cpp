#include "textcompare/TextStats.h"

#include <cstring>

std::string UniFileError::GetMessage() const
{
    if (systemError != 0)
    {
        const char* text = std::strerror(systemError);
        return text && *text ? text : "?";
    }
    if (!description.empty())
        return description;
    return apiName.empty() ? std::string() : apiName + " failed";
}
