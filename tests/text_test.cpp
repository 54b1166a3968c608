// The text writer's distances at the ends of months, where whole months are easy to miscount,
// and at the edges of two days, where hours give way to days; the runs around now cannot
// choose to fall there.
#include "writers/text.h"

#include <absl/time/civil_time.h>
#include <gtest/gtest.h>

using namespace rondelo;

namespace {

long long noon(int year, int month, int day)
{
    return absl::ToUnixSeconds(absl::FromCivil(absl::CivilSecond(year, month, day, 12, 0, 0),
                                               absl::UTCTimeZone()));
}

}  // namespace

// Each distance as dateutil's relativedelta counts the months between the two dates.
TEST(text_test, whole_months_end_on_the_last_day_of_a_shorter_month)
{
    const struct {
        long long now, then;
        const char* distance;
    } cases[] = {
        {noon(2026, 12, 31), noon(2027, 2, 28), "in 2 months"},
        {noon(2026, 12, 31), noon(2027, 2, 27), "in 58 days"},
        {noon(2027, 2, 28), noon(2026, 12, 31), "2 months ago"},
        {noon(2026, 2, 28), noon(2024, 2, 29), "2 years ago"},
        {noon(2026, 2, 27), noon(2024, 2, 29), "23 months ago"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(distanceFromNow({c.then}, {c.now}, absl::UTCTimeZone(), {}), c.distance) << c.then;
}

// Under two days the two largest whole units, a unit of none left out; two days on, dates.
TEST(text_test, near_distances_in_days_hours_and_minutes)
{
    const long long now = noon(2026, 12, 8);
    const struct {
        long long apart;
        const char* distance;
    } cases[] = {
        {0, "now"},
        {59, "in 59 seconds"},
        {-60, "1 minute ago"},
        {3600 + 59, "in 1 hour"},
        {5 * 3600 + 12 * 60, "in 5 hours 12 minutes"},
        {-(86400 + 4 * 3600 + 3599), "1 day 4 hours ago"},
        {172799, "in 1 day 23 hours"},
        {172800, "in 2 days"},
        {-172800, "2 days ago"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(distanceFromNow({now + c.apart}, {now}, absl::UTCTimeZone(), {}), c.distance)
            << c.apart;
}
