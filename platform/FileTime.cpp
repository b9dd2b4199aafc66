#include "platform/FileTime.h"

namespace platform {

FileTime FileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds)
{
    if (seconds < -kEpochDifferenceSeconds)
        return 0;
    const auto sinceEpoch1601 = static_cast<std::uint64_t>(seconds + kEpochDifferenceSeconds);
    return sinceEpoch1601 * kTicksPerSecond + nanoseconds / 100;
}

FileTime FileTimeFromTimespec(const struct timespec& ts)
{
    return FileTimeFromUnix(ts.tv_sec, static_cast<std::uint32_t>(ts.tv_nsec));
}

struct timespec TimespecFromFileTime(FileTime ft)
{
    struct timespec ts{};
    ts.tv_sec = static_cast<time_t>(static_cast<std::int64_t>(ft / kTicksPerSecond) - kEpochDifferenceSeconds);
    ts.tv_nsec = static_cast<long>(ft % kTicksPerSecond) * 100;
    return ts;
}

std::time_t UnixTimeFromFileTime(FileTime ft)
{
    if (ft == 0)
        return 0;
    return static_cast<std::time_t>(static_cast<std::int64_t>(ft / kTicksPerSecond) - kEpochDifferenceSeconds);
}

bool LocalTimeFromFileTime(FileTime ft, struct tm& out)
{
    const std::time_t t = UnixTimeFromFileTime(ft);
    return localtime_r(&t, &out) != nullptr;
}

FileTime FileTimeFromLocal(int year, int month, int day, int hour, int minute, int second)
{
    struct tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1;
    const std::time_t t = mktime(&fields);
    if (t == static_cast<std::time_t>(-1) && !(year == 1969 && month == 12 && day == 31))
        return 0;
    return FileTimeFromUnix(t, 0);
}

std::string FormatLocalFileTime(FileTime ft, const char* format)
{
    if (ft == 0)
        return {};
    struct tm local{};
    if (!LocalTimeFromFileTime(ft, local))
        return {};
    char buffer[128];
    const std::size_t n = strftime(buffer, sizeof buffer, format, &local);
    return std::string(buffer, n);
}

} // namespace platform
