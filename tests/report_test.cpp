// The report writer: line layout, the render boundary, short lines and write failures.
#include "driver/report.h"

#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "civil.h"

namespace {

struct reportOutput {
    bool written;
    std::string out;
    std::string err;
};

reportOutput reportOf(const std::vector<event>& events)
{
    std::vector<event*> list;
    for (const event& e : events)
        list.push_back(const_cast<event*>(&e));
    std::ostringstream out, err;
    const bool written = writeReport(out, err, list);
    return {written, out.str(), err.str()};
}

}  // namespace

TEST(report_test, lines_keep_list_order_and_the_calendar_boundary)
{
    const reportOutput r = reportOf({{0, "Reference", evReference},
                                     {253402300799, "last", evSeconds},
                                     {253402300800, "500K days", evDays},
                                     {-17987443200, "first", evMonths},
                                     {1677974400, "same", evWeeks},
                                     {1677974400, "same", evWeeks}});
    EXPECT_TRUE(r.written);
    EXPECT_EQ(r.out, "0,Thu Jan  1 00:00:00 1970,8,Reference\n"
                     "253402300799,Fri Dec 31 23:59:59 9999,7,last\n"
                     "253402300800,4,500K days\n"
                     "-17987443200,Wed Jan  1 00:00:00 1400,1,first\n"
                     "1677974400,Sun Mar  5 00:00:00 2023,2,same\n"
                     "1677974400,Sun Mar  5 00:00:00 2023,2,same\n");
    EXPECT_EQ(r.err, "\nError main line 685, timestamp: 253402300800, description: 500K days\n");
    EXPECT_EQ(reportOf({}).out, "");
}

TEST(report_test, timestamps_far_outside_the_calendar_get_short_lines)
{
    const reportOutput r = reportOf({{8796093022207, "44-bit", evTest},
                                     {2207613440768, "year wraps to 6390", evTest},
                                     {9223372036854775807, "max", evTest},
                                     {-9223372036854775807 - 1, "min", evTest}});
    EXPECT_EQ(r.out, "8796093022207,9,44-bit\n2207613440768,9,year wraps to 6390\n"
                     "9223372036854775807,9,max\n-9223372036854775808,9,min\n");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 8);
}

// Every day of the calendar, at a time of day that moves with it, against hand-made text.
TEST(report_test, every_day_renders_in_the_classic_layout)
{
    static const char* const weekdays[] = {"Thu", "Fri", "Sat", "Sun", "Mon", "Tue", "Wed"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::vector<event> days;
    std::string expected;
    char line[96];
    for (int y = 1400; y <= 9999; ++y)
        for (unsigned m = 1; m <= 12; ++m)
            for (unsigned d = 1; d <= daysInMonth(y, m); ++d) {
                const long long day = daysFromCivil(y, m, d);
                const long long second = (day * 7919) % 86400 + (day < 0 ? 86400 : 0);
                const long long s = day * 86400 + second % 86400;
                std::snprintf(line, sizeof line, "%lld,%s %s %2u %02lld:%02lld:%02lld %d,1,x\n", s,
                              weekdays[((day % 7) + 7) % 7], months[m - 1], d,
                              second % 86400 / 3600, second % 3600 / 60, second % 60, y);
                expected += line;
                days.push_back({s, "x", evMonths});
            }
    const reportOutput r = reportOf(days);
    EXPECT_TRUE(r.err.empty());
    EXPECT_TRUE(r.out == expected);  // a diff of millions of lines helps nobody
}
