// Conversions between Unix seconds and dates, checked against an independent calendar.
#include "timeconv/epoch.h"

#include <boost/date_time/gregorian/gregorian.hpp>  // for printing dates in failures
#include <gtest/gtest.h>

#include "civil.h"

using namespace rondelo;

using boost::gregorian::date;
using boost::posix_time::ptime;
using boost::posix_time::time_duration;

TEST(epoch_test, every_calendar_day_converts_both_ways)
{
    for (date day(1400, 1, 1); day <= date(9999, 12, 31); day += boost::gregorian::days(1)) {
        const long long s = date2UnixTime(day);
        ASSERT_EQ(s, daysFromCivil(day.year(), day.month(), day.day()) * 86400) << day;
        ASSERT_EQ(unixTime2Date(s), day);
        ASSERT_EQ(unixTime2Date(s + 86399), day);  // the whole day floors to it
        ASSERT_EQ(ptime2UnixTime(unixTime2Ptime(s + 86399)), s + 86399);
    }
}

// Special dates have fixed seconds, fractions truncate toward zero (where days floor), and only
// taking the date out fails outside the calendar: the date-time goes on to where the library
// overflows.
TEST(epoch_test, special_values_fractions_and_the_ends_of_the_range)
{
    using boost::date_time::neg_infin, boost::date_time::not_a_date_time;
    EXPECT_EQ(date2UnixTime(date(not_a_date_time)), 9223372036854);
    EXPECT_EQ(date2UnixTime(date(boost::date_time::pos_infin)), 9223372036854);
    EXPECT_EQ(date2UnixTime(date(neg_infin)), -9223372036854);
    EXPECT_EQ(ptime2UnixTime(ptime(date(1969, 12, 31), time_duration(23, 59, 59, 500000))), 0);
    EXPECT_EQ(ptime2UnixTime(ptime(date(1970, 1, 1), time_duration(0, 0, 0, 999999))), 0);
    // 2207613440768 lies in the year 71926, which the library's 16-bit year would wrap to 6390.
    for (long long s : {-17987443201LL, 253402300800LL, 2207613440768LL})
        EXPECT_THROW(unixTime2Date(s), boost::gregorian::bad_year) << s;
    EXPECT_EQ(ptime2UnixTime(unixTime2Ptime(9012505233654)), 9012505233654);
    EXPECT_EQ(ptime2UnixTime(unixTime2Ptime(-9223372036854)), -9223372036854);
    EXPECT_THROW(unixTime2Ptime(9012505233655), std::out_of_range);
    EXPECT_THROW(unixTime2Ptime(-9223372036855), std::out_of_range);
}
