// The six anniversary series: what each appends, in what order, with which labels and instants.
#include "generators/generators.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "civil.h"

namespace {

// The reference at midnight UTC of the date, with no window.
anniversaryBase utcBase(int year, int month, int day)
{
    const long long midnight = daysFromCivil(year, month, day) * 86400;
    return {midnight, {midnight}, absl::UTCTimeZone()};
}

// The list as "timestamp label" lines, emptied.
std::string release(eventList& events)
{
    std::string listed;
    for (const event& e : events)
        listed += std::to_string(e.timestamp) + " " + e.label + "\n";
    events.clear();
    return listed;
}

}  // namespace

// Months first, then the series in the order of their types. Each fixed-unit label
// "[-]N[K|M|G] unit" is read back: the event lies where it says, with its unit's type.
TEST(generators_test, both_directions_in_order_and_where_their_labels_say)
{
    static const std::map<std::string, std::pair<long long, eventType>> units = {
        {" weeks", {604800, evWeeks}}, {"K weeks", {604800000, evKiloWeeks}},
        {"K days", {86400000, evDays}}, {"K hours", {3600000, evHours}},
        {"M hours", {3600000000, evHours}}, {"K minutes", {60000, evMinutes}},
        {"M minutes", {60000000, evMinutes}}, {"M seconds", {1000000, evSeconds}},
        {"G seconds", {1000000000, evSeconds}}};
    static const std::map<std::string, long long> unitSeconds = {
        {"weeks", 604800}, {"days", 86400}, {"hours", 3600}, {"minutes", 60}, {"seconds", 1}};
    const anniversaryBase base = utcBase(1420, 1, 31);
    eventList events;
    for (int sign : {1, -1}) {
        const std::size_t months = sign > 0 ? 7 : 2;  // before 1400 the month series stops
        addAll(events, base, sign);
        ASSERT_EQ(events.size(), months + (sign > 0 ? 126 : 123));
        EXPECT_TRUE(std::is_sorted(events.begin(), events.end(),
                                   [](const event& a, const event& b) { return a.type < b.type; }));
        for (auto e = events.begin() + months; e != events.end(); ++e) {
            char* end = nullptr;
            const long long n = std::strtoll(e->label.c_str(), &end, 10);
            const auto& [seconds, type] = units.at(end);
            EXPECT_EQ(e->timestamp - base.timestamp, n * seconds) << e->label;
            EXPECT_EQ(e->type, type) << e->label;
            EXPECT_EQ(e->count * unitSeconds.at(e->unit), e->timestamp - base.timestamp) << e->label;
            EXPECT_EQ(e->label.substr(e->label.size() - std::strlen(e->unit)), e->unit);
        }
        release(events);
    }
}

TEST(generators_test, a_step_advances_every_counter_and_below_1_appends_nothing)
{
    eventList events;
    for (int step : {2, 0}) {
        for (auto add : {addMonths, addWeeks, addDays, addHours, addMinutes, addSeconds})
            add(events, utcBase(2000, 1, 1), 1, step);  // months: 100, 500 and 700
        EXPECT_EQ(events.size(), step ? 73u : 0u);
        release(events);
    }
}

// Every reference month of the calendar, at the days that behave differently at month ends,
// against the independent calendar: run-over, leap years, the year filter and the labels.
TEST(months_test, every_reference_month_in_both_directions)
{
    // reference and target are month indexes, 12 * year + month - 1.
    eventList events;
    for (int sign : {1, -1})
        for (int reference = 12 * 1400; reference < 12 * 10000; ++reference)
            for (int day : {1, 28, 29, 30, 31}) {
                const int next = reference + 1;  // a day the reference month lacks is no date
                if (daysFromCivil(reference / 12, reference % 12 + 1, day) >=
                    daysFromCivil(next / 12, next % 12 + 1, 1))
                    continue;
                addMonths(events, utcBase(reference / 12, reference % 12 + 1, day), sign, 1);
                std::string expected;
                for (int n = 100; n <= 1000; n += 100) {
                    const int target = reference + sign * n;
                    if (n % 12 == 0 || target < 12 * 1400 || target >= 12 * 10000)
                        continue;
                    // Counting on from the 1st runs over the month's end by itself.
                    const long long days = daysFromCivil(target / 12, target % 12 + 1, 1) + day - 1;
                    expected += std::to_string(days * 86400) + (sign > 0 ? " " : " -") +
                                std::to_string(n) + " months\n";
                }
                ASSERT_EQ(release(events), expected) << reference / 12 << "-" << reference % 12 + 1;
            }
}
