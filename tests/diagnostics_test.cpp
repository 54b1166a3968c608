// The self-test and the debug printers, where the command-line table cannot see them.
#include "diagnostics/diagnostics.h"

#include <climits>
#include <cstdlib>
#include <sstream>

#include <gtest/gtest.h>

#include "events/events.h"

using namespace rondelo;

// The table runs the self-test under UTC. East of it the clock's events follow local time,
// and the error stream keeps its locale through the date output.
TEST(self_test, east_of_utc_the_clock_is_local_and_the_stream_keeps_its_locale)
{
    setenv("TZ", "JST-9", 1);  // POSIX rules need no zone files
    tzset();
    std::ostringstream err;
    const long long before = std::time(nullptr) + 32400;
    std::vector<reportLine> events;
    testTimeLimits(err, events);
    const long long after = std::time(nullptr) + 32400;
    EXPECT_TRUE(err.getloc() == std::locale()) << "a date facet was left in the stream";
    ASSERT_EQ(events.size(), 12u);
    const long long now = events[0].instant.seconds;
    EXPECT_TRUE(now >= before && now <= after);
    EXPECT_EQ(now - events[2].instant.seconds, 518400);
}

TEST(self_test, ten_years_on_keeps_a_last_day_last)
{
    using boost::gregorian::date;
    EXPECT_EQ(tenYearsOn(date(2024, 2, 29)), date(2034, 2, 28));
    EXPECT_EQ(tenYearsOn(date(2022, 2, 28)), date(2032, 2, 29));
    EXPECT_THROW(tenYearsOn(date(9990, 1, 1)), boost::gregorian::bad_year);
}

// A refused probe still converts, and a date the library cannot hold leaves no half line;
// show_tm keeps the zero fill and writes wide fields whole.
TEST(debug_printers, probes_and_broken_down_times)
{
    std::tm t{};
    t.tm_year = 69, t.tm_mon = 7, t.tm_mday = 1;
    std::ostringstream err;
    writeProbe(err, "p: ", false, t);
    show_tm(err, &t, "abc");
    show_tm(err, &t, "abc");
    t.tm_sec = 123, t.tm_year = 8100;
    show_tm(err, &t, "w");
    EXPECT_THROW(writeProbe(err, "p: ", true, t), boost::gregorian::bad_year);
    sign_on(err);
    EXPECT_EQ(err.str(), "p: NO\nconverted: 1969-Aug-01 to timestamp: -13219200\n"
                         " 1  8 1969 00:00:00 abc\n01 08 1969 00:00:00 abc\n"
                         "01 08 10000 00:00:123 w\np: YES\nQuillotane generator\n");
    EXPECT_TRUE(boundsCheckOK(LLONG_MIN, -1) && boundsCheckOK(LLONG_MAX, 0));
}
