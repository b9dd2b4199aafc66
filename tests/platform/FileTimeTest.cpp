#include "platform/FileTime.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

TEST(FileTimeTest, UnixTimesConvertToTicksSince1601AndBack)
{
    EXPECT_EQ(FileTimeFromUnix(0, 0), 116444736000000000ull);
    EXPECT_EQ(FileTimeFromUnix(1, 999999999), 116444736000000000ull + 19999999ull); // truncated to ticks
    EXPECT_EQ(FileTimeFromUnix(-kEpochDifferenceSeconds, 0), 0u);
    EXPECT_EQ(FileTimeFromUnix(-kEpochDifferenceSeconds - 1, 0), 0u); // before 1601: not representable
    EXPECT_EQ(FileTimeFromUnix(-1, 0), 116444736000000000ull - 10000000ull);

    const FileTime ft = FileTimeFromUnix(1700000000, 123456700);
    const timespec ts = TimespecFromFileTime(ft);
    EXPECT_EQ(ts.tv_sec, 1700000000);
    EXPECT_EQ(ts.tv_nsec, 123456700);
    EXPECT_EQ(UnixTimeFromFileTime(ft), 1700000000);
    EXPECT_EQ(UnixTimeFromFileTime(0), 0);
}

TEST(FileTimeTest, LocalTimesFollowTheTimeZone)
{
    testsupport::ScopedEnv tz("TZ", "Europe/Berlin");
    tzset();
    // Summer time: 12:00 local is 10:00 UTC.
    const FileTime summer = FileTimeFromLocal(2024, 7, 1, 12, 0, 0);
    EXPECT_EQ(UnixTimeFromFileTime(summer), 1719828000);
    EXPECT_EQ(FormatLocalFileTime(summer), "2024-07-01 12:00:00");
    const FileTime winter = FileTimeFromLocal(2024, 1, 1, 0, 0, 0);
    EXPECT_EQ(UnixTimeFromFileTime(winter), 1704063600);
    EXPECT_EQ(FormatLocalFileTime(winter, "%Y-%m-%d"), "2024-01-01");
    EXPECT_EQ(FormatLocalFileTime(0), "");
    unsetenv("TZ");
    tzset();
}

} // namespace
