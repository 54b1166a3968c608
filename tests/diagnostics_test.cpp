// The self-test and the debug printers: their exact text, their events, the stream state left.
#include "diagnostics/diagnostics.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "events/events.h"

TEST(self_test, two_runs_in_two_zones_write_the_lines_and_events_of_the_local_clock)
{
    std::ifstream golden(RONDELO_GOLDEN_DIR "/selftest-utc.err");
    std::string lines, line;
    for (int i = 0; i < 24 && std::getline(golden, line); ++i)
        lines += line + "\n";
    const std::vector<std::string> labels = {"local time now", "now + 10 years", "-6 days", "min",
        "max", "38-bit negative", "34-bit negative", "32-bit min", "32-bit max", "36-bit",
        "40-bit", "44-bit"};
    const std::vector<long long> fixed = {2147483648, 2147483647, -70866960384, -6442450944,
        -2147483648LL, 2147483647, 34359738367, 549755813887, 8796093022207};
    // East of UTC, mktime's result and the local clock part from the UTC values the self-test
    // must show. Nothing else in the program reads TZ; POSIX rules need no zone files.
    for (const auto& [tz, offset] : {std::pair{"UTC0", 0}, std::pair{"JST-9", 32400}}) {
        setenv("TZ", tz, 1);
        tzset();
        std::ostringstream err;
        const long long before = std::time(nullptr) + offset;
        testTimeLimits(err);
        testTimeLimits(err);
        const long long after = std::time(nullptr) + offset;
        err << 255;
        EXPECT_EQ(err.str(), lines + lines + "255") << tz;
        EXPECT_TRUE(err.getloc() == std::locale()) << "a date facet was left in the stream";
        const std::vector<event*>& events = eventsForOneReferenceDate;
        ASSERT_EQ(events.size(), 24u);
        EXPECT_TRUE(events[0]->timestamp >= before && events[0]->timestamp <= after) << tz;
        EXPECT_EQ(events[1]->timestamp % 86400, 0);
        EXPECT_EQ(events[0]->timestamp - events[2]->timestamp, 518400);
        for (std::size_t i = 0; i < events.size(); ++i) {
            EXPECT_EQ(events[i]->label, labels[i % 12]);
            EXPECT_EQ(events[i]->type, evTest);
            EXPECT_TRUE(i % 12 < 3 || events[i]->timestamp == fixed[i % 12 - 3]) << labels[i % 12];
            delete events[i];  // the labels are literals
        }
        eventsForOneReferenceDate.clear();
    }
}

TEST(self_test, ten_years_on_at_month_ends)
{
    using boost::gregorian::date;
    EXPECT_EQ(tenYearsOn(date(2024, 2, 29)), date(2034, 2, 28));
    EXPECT_EQ(tenYearsOn(date(2022, 2, 28)), date(2032, 2, 29));  // a last day stays last
    EXPECT_EQ(tenYearsOn(date(2023, 1, 31)), date(2033, 1, 31));
    EXPECT_EQ(tenYearsOn(date(2023, 3, 15)), date(2033, 3, 15));
    EXPECT_THROW(tenYearsOn(date(9990, 1, 1)), boost::gregorian::bad_year);
}

TEST(self_test, a_refused_probe_still_converts_and_a_bad_date_leaves_no_half_line)
{
    std::tm t{};
    t.tm_year = 69, t.tm_mon = 7, t.tm_mday = 1;
    std::ostringstream err;
    writeProbe(err, "p: ", false, t);
    t.tm_year = 8100;
    EXPECT_THROW(writeProbe(err, "p: ", true, t), boost::gregorian::bad_year);
    EXPECT_EQ(err.str(), "p: NO\nconverted: 1969-Aug-01 to timestamp: -13219200\np: YES\n");
}

TEST(debug_printers, show_tm_keeps_the_zero_fill_and_wide_fields_whole)
{
    std::tm t{};
    t.tm_year = 69, t.tm_mon = 7, t.tm_mday = 1;
    std::ostringstream err;
    show_tm(err, &t, "abc");
    show_tm(err, &t, "abc");
    t.tm_sec = 123, t.tm_year = 8100;
    show_tm(err, &t, "w");
    sign_on(err);
    EXPECT_EQ(err.str(), " 1  8 1969 00:00:00 abc\n01 08 1969 00:00:00 abc\n"
                         "01 08 10000 00:00:123 w\nQuillotane generator\n");
    EXPECT_TRUE(boundsCheckOK(LLONG_MIN, -1) && boundsCheckOK(LLONG_MAX, 0));
}
