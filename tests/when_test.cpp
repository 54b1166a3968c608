// WHENs of --from and --until, and dates as a file of references writes them; the expected
// instants are Python zoneinfo's (fold=0) for the same wall-clock readings.
#include "readers/when.h"

#include <gtest/gtest.h>

using namespace rondelo;

namespace {

long long resolved(const char* text, const char* zoneName, long long now)
{
    absl::TimeZone zone;
    EXPECT_TRUE(absl::LoadTimeZone(zoneName, &zone));
    whenSpec when{};
    EXPECT_EQ(readWhen(text, when), std::nullopt) << text;
    return resolveWhen(when, zone, {now}).seconds;
}

}  // namespace

// Spans count wall-clock days across a change of daylight-saving time, and calendar months
// and years, which run over a day the target month lacks.
TEST(when_test, spans_from_now_in_the_zone)
{
    const long long berlinNoon = 1616842800;  // 2021-03-27 12:00 CET, the eve of summer time
    EXPECT_EQ(resolved("+1d", "Europe/Berlin", berlinNoon), 1616925600);  // 23 hours later
    EXPECT_EQ(resolved("-1w", "Europe/Berlin", berlinNoon), 1616238000);
    EXPECT_EQ(resolved("+1mo", "Europe/Berlin", berlinNoon), 1619517600);
    EXPECT_EQ(resolved("+2h", "Europe/Berlin", berlinNoon), berlinNoon + 7200);
    EXPECT_EQ(resolved("-90min", "Europe/Berlin", berlinNoon), berlinNoon - 5400);
    EXPECT_EQ(resolved("tomorrow", "Europe/Berlin", berlinNoon), 1616886000);  // 00:00 CET
    EXPECT_EQ(resolved("today", "Asia/Kolkata", berlinNoon), 1616783400);
    EXPECT_EQ(resolved("yesterday", "UTC", berlinNoon), 1616716800);
    EXPECT_EQ(resolved("+1y", "Europe/Berlin", berlinNoon), 1648375200);
    EXPECT_EQ(resolved("now", "Europe/Berlin", berlinNoon), berlinNoon);
    EXPECT_EQ(resolved("2021-03-28T02:30", "Europe/Berlin", 0), 1616895000);  // in the gap
    EXPECT_EQ(resolved("+1mo", "UTC", 1706702400), 1709380800);  // 2024-01-31 to 03-02
    EXPECT_EQ(resolved("+999999d", "UTC", 0), 86399913600);
    EXPECT_EQ(resolved("+1y", "UTC", 1709208000), 1740830400);  // 2024-02-29 to 2025-03-01
    EXPECT_EQ(resolved("+0d", "UTC", 1709208000), 1709208000);
}

TEST(when_test, only_the_documented_forms)
{
    whenSpec when{};
    for (const char* wrong : {"", "+1", "1d", "+d", "+1x", "+1234567d", "+-1d", "now ", "Now",
                              "+1mi", "+1dd", "2021-13-01", "2021-1-01", "2021-01-01T7:00",
                              "2021-01-01T24:00", "2021-01-01 12:00", "2021.01.01"})
        EXPECT_TRUE(readWhen(wrong, when)) << wrong;
    EXPECT_EQ(readWhen("+1m", when), "m could be months or minutes: write mo or min");
    EXPECT_EQ(readWhen("2021-02-29", when), "2021-02-29 does not exist (February 2021 has 28 days)");
    EXPECT_EQ(suggestedForm("19900517"), "write 1990-05-17");
    EXPECT_EQ(suggestedForm("1990-5-7"), "write 1990-05-07");
    EXPECT_EQ(suggestedForm("17/05/1990"), "write 1990-05-17");
    EXPECT_EQ(suggestedForm("05/06/1990"), "write 1990-06-05 or 1990-05-06");
    EXPECT_EQ(suggestedForm("05.06.1990"), "write 1990-06-05");
    EXPECT_EQ(suggestedForm("5/5/1990"), "write 1990-05-05");
    EXPECT_EQ(suggestedForm("31/31/1990"), "write YYYY-MM-DD");
    EXPECT_EQ(suggestedForm("DECEMBER 1, 1990"), "write 1990-12-01");
    EXPECT_EQ(suggestedForm("1990 Feb 29"), std::nullopt);
    EXPECT_EQ(suggestedForm("17 Mai 1990"), std::nullopt);
    EXPECT_EQ(suggestedForm("2000 --1 1"), std::nullopt);  // a sign, not a separator
    EXPECT_EQ(suggestedForm("17.5.1990 9:05"), "write 1990-05-17T09:05");
    EXPECT_EQ(suggestedForm("05/06/1990 9:05"), std::nullopt);
    EXPECT_EQ(suggestedForm("19900230"), std::nullopt);
    EXPECT_EQ(suggestedForm("Anna"), std::nullopt);
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

// An offset and a zone in brackets after a time of day; any other text is in no form (an empty
// string), or says what is wrong with it.
TEST(when_test, dates_with_their_offset_or_zone)
{
    writtenDate date{};
    dateAnchor anchor;
    EXPECT_EQ(readAnchoredDate("1990-05-17T14:30-05:30[America/New_York]", false, date, anchor),
              std::nullopt);
    EXPECT_EQ(anchor.offset, -19800);
    EXPECT_EQ(anchor.zone, "America/New_York");
    EXPECT_EQ(readAnchoredDate("1990-05-17T14:30-00:00", false, date, anchor), std::nullopt);
    EXPECT_TRUE(anchor.utcOnly);
    EXPECT_EQ(readAnchoredDate("1990-05-17T14:30+00:00", false, date, anchor), std::nullopt);
    EXPECT_FALSE(anchor.utcOnly);
    for (const char* none : {"1990-05-17T14:30+", "1990-05-17T14:30+2:00", "1990-05-17T14:30Zx",
                             "1990-05-17T14:30[", "1990-05-17T14:30[]", "1990-05-17T14:30[UTC]x",
                             "1990-05-17+02:00", "1990.05.17T14:30Z"})
        EXPECT_EQ(readAnchoredDate(none, true, date, anchor), "") << none;
    EXPECT_EQ(readAnchoredDate("1990-05-17T14:30[UTC][UTC]", false, date, anchor),
              ": a date names one zone, in the first brackets");
}
