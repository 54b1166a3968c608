// The self-test and the debug printers: their exact text, their events and the stream state.
#include "diagnostics/diagnostics.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "events/events.h"

namespace {

// The first 24 lines of the self-test's standard error under TZ=UTC, as the process test has them.
std::string expectedSelfTestLines()
{
    std::ifstream golden(RONDELO_GOLDEN_DIR "/selftest-utc.err");
    std::string text, line;
    for (int i = 0; i < 24 && std::getline(golden, line); ++i)
        text += line + "\n";
    return text;
}

std::vector<event> takeEvents()
{
    std::vector<event> events;
    for (event* e : eventsForOneReferenceDate) {
        events.push_back(*e);
        delete e;  // the labels are literals
    }
    eventsForOneReferenceDate.clear();
    return events;
}

}  // namespace

TEST(self_test, lines_under_utc_and_decimal_afterwards)
{
    setenv("TZ", "UTC", 1);
    tzset();
    std::ostringstream err;
    testTimeLimits(err);
    err << 255;
    EXPECT_EQ(err.str(), expectedSelfTestLines() + "255");
    EXPECT_EQ(takeEvents().size(), 12u);
}

TEST(self_test, twelve_events_in_order)
{
    const long long now = 1709217296;  // Thu Feb 29 14:34:56 2024
    addTestEvents(now);
    addTestEvents(now);
    const std::vector<event> events = takeEvents();
    ASSERT_EQ(events.size(), 24u);
    const std::vector<std::string> labels = {
        "local time now", "now + 10 years", "-6 days", "min", "max", "38-bit negative",
        "34-bit negative", "32-bit min", "32-bit max", "36-bit", "40-bit", "44-bit"};
    const std::vector<long long> fixed = {2147483648,  2147483647,   -70866960384,
                                          -6442450944, -2147483648LL, 2147483647,
                                          34359738367, 549755813887, 8796093022207};
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].label, labels[i % 12]);
        EXPECT_EQ(events[i].type, evTest);
        if (i % 12 >= 3) {
            EXPECT_EQ(events[i].timestamp, fixed[i % 12 - 3]) << events[i].label;
        }
    }
    EXPECT_EQ(events[0].timestamp, now);
    EXPECT_EQ(events[1].timestamp, 2024697600);  // 2034-02-28 00:00:00
    EXPECT_EQ(events[2].timestamp, now - 518400);
}

TEST(self_test, ten_years_on_at_month_ends)
{
    using boost::gregorian::date;
    EXPECT_EQ(tenYearsOn(date(2024, 2, 29)), date(2034, 2, 28));
    EXPECT_EQ(tenYearsOn(date(2022, 2, 28)), date(2032, 2, 29));  // a last day stays last
    EXPECT_EQ(tenYearsOn(date(2023, 1, 31)), date(2033, 1, 31));
    EXPECT_EQ(tenYearsOn(date(2023, 3, 15)), date(2033, 3, 15));
    EXPECT_THROW(tenYearsOn(date(9990, 1, 1)), std::out_of_range);
}

TEST(debug_printers, show_tm_keeps_the_zero_fill)
{
    std::tm t{};
    t.tm_year = 69;
    t.tm_mon = 7;
    t.tm_mday = 1;
    std::ostringstream err;
    show_tm(err, &t, "abc");
    show_tm(err, &t, "abc");
    t.tm_sec = 123;
    t.tm_year = 8100;
    show_tm(err, &t, "wide");
    EXPECT_EQ(err.str(), " 1  8 1969 00:00:00 abc\n01 08 1969 00:00:00 abc\n01 08 10000 00:00:123 wide\n");
    EXPECT_EQ(err.fill(), '0');

    std::ostringstream title;
    sign_on(title);
    EXPECT_EQ(title.str(), "Quillotane generator\n");
}
