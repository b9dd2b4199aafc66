#include "filesystem/FilterText.h"

#include "filesystem/FilterRecords.h"
#include "platform/FileSystemEntry.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <limits>
#include <vector>

namespace {

struct AttributeLetter
{
    char letter;
    std::uint32_t attribute;
};
constexpr std::array<AttributeLetter, 4> kAttributeLetters{{
    {'R', platform::FILE_ATTRIBUTE_READONLY},
    {'A', platform::FILE_ATTRIBUTE_ARCHIVE},
    {'S', platform::FILE_ATTRIBUTE_SYSTEM},
    {'H', platform::FILE_ATTRIBUTE_HIDDEN},
}};

struct TypeWord
{
    std::string_view word;
    std::uint32_t type;
};
constexpr std::array<TypeWord, 3> kTypeWords{{
    {"Text", FILTER_TYPE_TEXT},
    {"Binary", FILTER_TYPE_BINARY},
    {"Directory", FILTER_TYPE_DIRECTORY},
}};

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;)
    {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

// A calendar field: digits only and small enough that the time conversion cannot overflow; the
// conversion itself normalises values such as the 30th of February.
bool ParseField(std::string_view text, int& value)
{
    constexpr int kFieldLimit = 100000;
    if (text.empty() || text.size() > 6)
        return false;
    value = 0;
    for (const char c : text)
    {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return value < kFieldLimit;
}

bool ParseDateParts(std::string_view text, std::tm& tm)
{
    const auto parts = Split(text, '-');
    int year = 0;
    int month = 0;
    int day = 0;
    if (parts.size() != 3 || !ParseField(parts[0], year) || !ParseField(parts[1], month) ||
        !ParseField(parts[2], day))
        return false;
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    return true;
}

std::int64_t LocalTime(std::tm& tm)
{
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    return t == static_cast<std::time_t>(-1) ? 0 : static_cast<std::int64_t>(t);
}

bool ToLocal(std::int64_t seconds, std::tm& tm)
{
    const auto t = static_cast<std::time_t>(seconds);
    return localtime_r(&t, &tm) != nullptr;
}

} // namespace

std::string FormatDateBound(std::int64_t seconds)
{
    std::tm tm{};
    if (seconds == 0 || !ToLocal(seconds, tm))
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    return text;
}

std::int64_t ParseDateBound(std::string_view text)
{
    std::tm tm{};
    if (!ParseDateParts(text, tm))
        return 0;
    return LocalTime(tm);
}

std::string FormatDateTime(std::int64_t seconds)
{
    std::tm tm{};
    if (seconds == 0 || !ToLocal(seconds, tm))
        return {};
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return text;
}

std::int64_t ParseDateTime(std::string_view text)
{
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos)
        return 0;
    std::tm tm{};
    if (!ParseDateParts(text.substr(0, blank), tm))
        return 0;
    const auto parts = Split(text.substr(blank + 1), ':');
    if (parts.size() != 3 || !ParseField(parts[0], tm.tm_hour) || !ParseField(parts[1], tm.tm_min) ||
        !ParseField(parts[2], tm.tm_sec))
        return 0;
    return LocalTime(tm);
}

std::string FormatSizeBound(std::uint64_t size)
{
    return size == 0 ? std::string() : std::to_string(size);
}

std::int64_t ParseDecimal(std::string_view text, bool* ok)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    std::uint64_t value = 0;
    bool digits = false;
    bool fits = true;
    constexpr std::uint64_t kLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    {
        digits = true;
        const auto digit = static_cast<std::uint64_t>(text[i] - '0');
        if (value > (kLimit - digit) / 10)
            fits = false;
        else
            value = value * 10 + digit;
    }
    if (ok)
        *ok = digits && fits;
    if (!fits)
        return negative ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
    return negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
}

std::uint64_t ParseSizeBound(std::string_view text)
{
    const std::int64_t value = ParseDecimal(text);
    return value < 0 ? 0 : static_cast<std::uint64_t>(value);
}

std::string FormatAttributeLetters(std::uint32_t attributes)
{
    std::string text;
    for (const auto& entry : kAttributeLetters)
        if (attributes & entry.attribute)
            text.push_back(entry.letter);
    return text;
}

std::uint32_t ParseAttributeLetters(std::string_view text)
{
    std::uint32_t attributes = 0;
    for (const auto& entry : kAttributeLetters)
        if (text.find(entry.letter) != std::string_view::npos)
            attributes |= entry.attribute;
    return attributes;
}

std::string FormatTypeWords(std::uint32_t types)
{
    std::string text;
    for (const auto& entry : kTypeWords)
    {
        if ((types & entry.type) == 0)
            continue;
        if (!text.empty())
            text.push_back('|');
        text.append(entry.word);
    }
    return text;
}

std::uint32_t ParseTypeWords(std::string_view text)
{
    std::uint32_t types = 0;
    for (const auto item : Split(text, '|'))
        for (const auto word : Split(item, ';'))
            for (const auto& entry : kTypeWords)
                if (word == entry.word)
                    types |= entry.type;
    return types;
}
