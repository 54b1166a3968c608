// Conversions between Unix seconds and dates, checked against an independent calendar.
#include "timeconv/epoch.h"

#include <boost/date_time/gregorian/gregorian.hpp>  // for printing dates in failures
#include <gtest/gtest.h>

#include "civil.h"

using boost::gregorian::date;
using boost::posix_time::ptime;
using boost::posix_time::time_duration;

TEST(epoch_test, every_calendar_day_converts_both_ways)
{
    long long previous = daysFromCivil(1399, 12, 31) * 86400;
    for (int y = 1400; y <= 9999; ++y)
        for (unsigned m = 1; m <= 12; ++m)
            for (unsigned d = 1; d <= daysInMonth(y, m); ++d) {
                const date day(y, m, d);
                const long long s = date2UnixTime(day);
                ASSERT_EQ(s, daysFromCivil(y, m, d) * 86400) << day;
                ASSERT_EQ(s - previous, 86400) << day;
                ASSERT_EQ(unixTime2Date(s), day);
                ASSERT_EQ(unixTime2Date(s + 86399), day);  // the whole day floors to it
                ASSERT_EQ(ptime2UnixTime(unixTime2Ptime(s + 86399)), s + 86399);
                previous = s;
            }
    EXPECT_EQ(previous, 253402214400);
}

TEST(epoch_test, special_values_have_fixed_seconds)
{
    using boost::date_time::neg_infin, boost::date_time::not_a_date_time, boost::date_time::pos_infin;
    EXPECT_EQ(date2UnixTime(date(not_a_date_time)), 9223372036854);
    EXPECT_EQ(date2UnixTime(date(pos_infin)), 9223372036854);
    EXPECT_EQ(date2UnixTime(date(neg_infin)), -9223372036854);
    EXPECT_EQ(ptime2UnixTime(ptime(not_a_date_time)), 9223372036854);
    EXPECT_EQ(ptime2UnixTime(ptime(pos_infin)), 9223372036854);
    EXPECT_EQ(ptime2UnixTime(ptime(neg_infin)), -9223372036854);
}

TEST(epoch_test, fractions_truncate_toward_zero_but_days_floor)
{
    auto at = [](int y, int m, int d, time_duration t) { return ptime(date(y, m, d), t); };
    using boost::posix_time::microseconds;
    EXPECT_EQ(ptime2UnixTime(at(1970, 1, 1, microseconds(999999))), 0);
    EXPECT_EQ(ptime2UnixTime(at(1969, 12, 31, time_duration(23, 59, 59, 500000))), 0);
    EXPECT_EQ(ptime2UnixTime(at(1969, 12, 31, time_duration(23, 59, 59, 1))), 0);
    EXPECT_EQ(ptime2UnixTime(at(1969, 12, 31, time_duration(23, 59, 59))), -1);
    EXPECT_EQ(ptime2UnixTime(at(1969, 12, 31, time_duration(23, 59, 58, 250000))), -1);
    EXPECT_EQ(ptime2UnixTime(at(2000, 1, 1, time_duration(12, 34, 56, 789000))), 946730096);

    EXPECT_EQ(unixTime2Date(-1), date(1969, 12, 31));
    EXPECT_EQ(unixTime2Date(-86400), date(1969, 12, 31));
    EXPECT_EQ(unixTime2Date(-86401), date(1969, 12, 30));
    EXPECT_EQ(unixTime2Ptime(1000000000), at(2001, 9, 9, time_duration(1, 46, 40)));
}

TEST(epoch_test, instants_outside_the_calendar)
{
    // 2207613440768 lies in the year 71926, which the library's 16-bit year would wrap to 6390.
    for (long long s : {253402300800LL, -17987443201LL, 2207613440768LL, -200000000000LL}) {
        try {
            unixTime2Date(s);
            ADD_FAILURE() << s << " gave a date";
        } catch (const boost::gregorian::bad_year& e) {
            EXPECT_STREQ(e.what(), "Year is out of valid range: 1400..9999");
        }
    }
    // The date-time itself exists; only taking its date out fails.
    EXPECT_EQ(ptime2UnixTime(unixTime2Ptime(253402300800)), 253402300800);
    EXPECT_EQ(ptime2UnixTime(unixTime2Ptime(9012505233654)), 9012505233654);
    EXPECT_EQ(ptime2UnixTime(unixTime2Ptime(-9223372036854)), -9223372036854);
    EXPECT_THROW(unixTime2Ptime(9012505233655), std::out_of_range);
    EXPECT_THROW(unixTime2Ptime(-9223372036855), std::out_of_range);
}
