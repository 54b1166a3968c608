// WHENs of --from and --until, and dates as a file of references writes them; the expected
// instants are Python zoneinfo's (fold=0) for the same wall-clock readings.
#include "readers/when.h"

#include <gtest/gtest.h>

namespace {

long long resolved(const char* text, const char* zoneName, long long now)
{
    absl::TimeZone zone;
    EXPECT_TRUE(absl::LoadTimeZone(zoneName, &zone));
    const std::optional<whenSpec> when = readWhen(text);
    EXPECT_TRUE(when) << text;
    return when ? resolveWhen(*when, zone, {now}).seconds : 0;
}

}  // namespace

// Spans count wall-clock days across a change of daylight-saving time, and calendar months
// and years, which run over a day the target month lacks.
TEST(when_test, spans_from_now_in_the_zone)
{
    const long long berlinNoon = 1616842800;  // 2021-03-27 12:00 CET, the eve of summer time
    EXPECT_EQ(resolved("+1d", "Europe/Berlin", berlinNoon), 1616925600);  // 23 hours later
    EXPECT_EQ(resolved("-1w", "Europe/Berlin", berlinNoon), 1616238000);
    EXPECT_EQ(resolved("+1m", "Europe/Berlin", berlinNoon), 1619517600);
    EXPECT_EQ(resolved("+1y", "Europe/Berlin", berlinNoon), 1648375200);
    EXPECT_EQ(resolved("now", "Europe/Berlin", berlinNoon), berlinNoon);
    EXPECT_EQ(resolved("2021-03-28T02:30", "Europe/Berlin", 0), 1616895000);  // in the gap
    EXPECT_EQ(resolved("+1m", "UTC", 1706702400), 1709380800);  // 2024-01-31 to 03-02
    EXPECT_EQ(resolved("+1y", "UTC", 1709208000), 1740830400);  // 2024-02-29 to 2025-03-01
    EXPECT_EQ(resolved("+0d", "UTC", 1709208000), 1709208000);
}

TEST(when_test, only_the_documented_forms)
{
    for (const char* wrong : {"", "+1", "1d", "+d", "+1x", "+1234567d", "+-1d", "now ", "Now",
                              "2021-02-29", "2021-13-01", "2021-1-01", "2021-01-01T7:00",
                              "2021-01-01T24:00", "2021-01-01 12:00", "2021.01.01"})
        EXPECT_FALSE(readWhen(wrong)) << wrong;
    writtenDate date{};
    EXPECT_TRUE(readWrittenDate("1990.05.17", true, date));
    EXPECT_FALSE(date.timeOfDay);
    EXPECT_FALSE(readWrittenDate("1990.05.17T10:00", true, date));
    EXPECT_FALSE(readWrittenDate("1990.05-17", true, date));
    EXPECT_TRUE(readWrittenDate("1990-05-17T10:00:59", true, date));
    EXPECT_EQ(date.timeOfDay, 36059);
    EXPECT_EQ(missingDay({1900, 2, 29, {}}), "1900-02-29 does not exist (February 1900 has 28 days)");
    EXPECT_EQ(missingDay({2000, 4, 0, {}}), "2000-04-00 does not exist (April 2000 has 30 days)");
    EXPECT_EQ(missingDay({2000, 13, 1, {}}), "month 13 is out of range (1 to 12)");
    EXPECT_FALSE(missingDay({2000, 2, 29, {}}));
}
