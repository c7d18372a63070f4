#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "chattext/TimeFormat.h"
#include "chattext/TimeZone.h"

namespace {

std::string Describe(const std::tm& time) { return FormatTime("%Y-%m-%d %H:%M:%S %w %j", time); }

TEST(CFixedTimeZone, ConvertsLikeACalendar) {
    const struct {
        std::uint32_t seconds;
        std::int32_t offset;
        const char* expected;  // date, time, weekday (0 Sunday), day of the year
    } cases[] = {
        {0, 0, "1970-01-01 00:00:00 4 001"},
        {0, -5 * 3600, "1969-12-31 19:00:00 3 365"},
        {951825600, 0, "2000-02-29 12:00:00 2 060"},
        {951825600 + 86400, 0, "2000-03-01 12:00:00 3 061"},
        {978220800, 0, "2000-12-31 00:00:00 0 366"},
        {978307200 - 3600, 14 * 3600, "2001-01-01 13:00:00 1 001"},
        {957800828, 3600, "2000-05-08 16:47:08 1 129"},
        {957800828, -(9 * 3600 + 30 * 60), "2000-05-08 06:17:08 1 129"},
        {4102444800u, 0, "2100-01-01 00:00:00 5 001"},
        {4107542400u, 0, "2100-03-01 00:00:00 1 060"},  // 2100 is no leap year
        {4294967295u, 0, "2106-02-07 06:28:15 0 038"},
    };
    for (const auto& c : cases) {
        const auto local = CFixedTimeZone(c.offset).ToLocalTime(c.seconds);
        ASSERT_TRUE(local) << c.seconds;
        EXPECT_EQ(Describe(*local), c.expected) << c.seconds << " " << c.offset;
        EXPECT_EQ(local->tm_isdst, 0);
    }
}

// The machine's own zone is unknown here; what every zone shares is the
// seconds and, in May, the year and month.
TEST(CSystemTimeZone, ConvertsThroughTheCRuntime) {
    const auto local = CSystemTimeZone().ToLocalTime(957800828);
    ASSERT_TRUE(local);
    EXPECT_EQ(local->tm_year, 100);
    EXPECT_EQ(local->tm_mon, 4);
    EXPECT_EQ(local->tm_sec, 8);
}

}  // namespace
