#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace platform {

// A point in time as the file-information model keeps it: 100-nanosecond ticks since
// 1601-01-01 00:00:00 UTC. 0 means "not known".
using FileTime = std::uint64_t;

// Seconds between 1601-01-01 and 1970-01-01.
inline constexpr std::int64_t kEpochDifferenceSeconds = 11644473600LL;
inline constexpr std::int64_t kTicksPerSecond = 10'000'000;

// Nanoseconds are truncated to whole ticks; times before 1601 become 0.
FileTime FileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds);
FileTime FileTimeFromTimespec(const struct timespec& ts);
struct timespec TimespecFromFileTime(FileTime ft);

// Calendar time in whole seconds (time_t); a file time of 0 gives 0.
std::time_t UnixTimeFromFileTime(FileTime ft);

// The local broken-down time of a file time, by the process's time zone.
bool LocalTimeFromFileTime(FileTime ft, struct tm& out);

// A local calendar time (year, month 1-12, day, hour, minute, second) as a file time;
// 0 when the fields do not name a time. Daylight saving is decided by the time zone rules.
FileTime FileTimeFromLocal(int year, int month, int day, int hour, int minute, int second);

// strftime of the local time of a file time; empty for 0 or a time that cannot be shown.
std::string FormatLocalFileTime(FileTime ft, const char* format = "%Y-%m-%d %H:%M:%S");

} // namespace platform
