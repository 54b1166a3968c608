// The report writer: every calendar second it is given renders as the C library would, no other.
#include "writers/csv.h"

#include <climits>
#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace rondelo;

// Every day from 1400-01-01 00:00:00 at a time of day that moves with it, and the last second
// of 9999, against gmtime and strftime; then instants past either end, which get a short line
// and one message each.
TEST(report_test, every_day_renders_and_instants_outside_the_calendar_get_short_lines)
{
    std::vector<reportLine> events;
    std::string out, err;
    auto rendered = [&](std::time_t s) {
        char date[64];
        std::strftime(date, sizeof date, "%a %b %e %H:%M:%S %Y", std::gmtime(&s));
        events.push_back({{s}, evMonths, "x"});
        out += std::to_string(s) + "," + date + ",1,x\n";
    };
    for (long long day = 0; day < 3141085; ++day)
        rendered(-17987443200 + day * 86400 + day * 7919 % 86400);
    rendered(253402300799);
    for (long long s : {-17987443201LL, 253402300800LL, 2207613440768LL, LLONG_MAX, LLONG_MIN}) {
        events.push_back({{s}, evMonths, "x"});
        out += std::to_string(s) + ",1,x\n";
        err += "\nError main line 685, timestamp: " + std::to_string(s) + ", description: x\n";
    }
    std::ostringstream written, errors;
    EXPECT_TRUE(writeReport(written, errors, events));
    EXPECT_EQ(errors.str(), err);
    EXPECT_TRUE(written.str() == out);  // a diff of millions of lines helps nobody
}
