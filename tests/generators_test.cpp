// The six anniversary series: what each appends, in what order, with which labels and instants.
#include "generators/generators.h"

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "civil.h"
#include "events/events.h"

namespace {

std::tm referenceTm(int year, int month, int day)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = 7;  // where the time zone goes; it must change nothing
    return t;
}

struct appended {
    long long timestamp;
    std::string label;
    eventType type;
};

// What the generators append to the (empty) list; the list is released so that calendar-wide
// loops stay small.
template <typename Generator>
std::vector<appended> appendedBy(Generator generate)
{
    generate();
    std::vector<appended> events;
    for (event* e : eventsForOneReferenceDate) {
        events.push_back({e->timestamp, e->label, e->type});
        std::free(const_cast<char*>(e->label));
        delete e;
    }
    eventsForOneReferenceDate.clear();
    return events;
}

std::vector<std::string> labelsOf(const std::vector<appended>& events)
{
    std::vector<std::string> labels;
    for (const appended& e : events)
        labels.push_back(e.label);
    return labels;
}

// Reads a label "[-]N[K|M|G] unit" back: every event must lie where its label says, with the
// type its unit implies, and no label may repeat or be one of the skipped twelve.
void expectLabelsStateTheirOffsets(const std::vector<appended>& events, long long reference)
{
    static const std::map<std::string, std::pair<long long, eventType>> units = {
        {"weeks", {604800, evWeeks}}, {"days", {86400, evDays}}, {"hours", {3600, evHours}},
        {"minutes", {60, evMinutes}}, {"seconds", {1, evSeconds}}};
    static const std::map<char, long long> multipliers = {
        {' ', 1}, {'K', 1000}, {'M', 1000000}, {'G', 1000000000}};
    std::map<std::string, int> seen;
    for (const appended& e : events) {
        std::size_t end = 0;
        const long long n = std::stoll(e.label, &end);
        const char letter = e.label[end];
        const auto& unit = units.at(e.label.substr(end + (letter == ' ' ? 1 : 2)));
        EXPECT_EQ(e.timestamp - reference, n * multipliers.at(letter) * unit.first) << e.label;
        EXPECT_EQ(e.type, unit.second == evWeeks && letter == 'K' ? evKiloWeeks : unit.second);
        EXPECT_EQ(++seen[e.label.substr(e.label[0] == '-')], 1) << e.label;
    }
    for (const char* skipped : {"7K days", "70K days", "50K hours", "500K hours", "600K minutes",
                                "50M minutes", "60M minutes", "3M seconds", "6M seconds",
                                "30M seconds", "60M seconds", "6G seconds"})
        EXPECT_EQ(seen.count(skipped), 0u) << skipped;
}

std::vector<appended> fixedUnitSeries(int sign, int step)
{
    return appendedBy([=] {
        addWeeks(sign, step);
        addDays(sign, step);
        addHours(sign, step);
        addMinutes(sign, step);
        addSeconds(sign, step);
    });
}

}  // namespace

TEST(fixed_units_test, both_directions_counts_order_and_offsets)
{
    referenceTimestamp = -86400;  // before the epoch: plain signed addition
    const std::vector<appended> forward = fixedUnitSeries(1, 1);
    ASSERT_EQ(forward.size(), 126u);
    EXPECT_EQ(forward.front().label, "100 weeks");
    EXPECT_EQ(forward.back().label, "5G seconds");
    expectLabelsStateTheirOffsets(forward, -86400);
    EXPECT_EQ(labelsOf(appendedBy([] { addDays(1, 1); })).back(), "500K days");

    const std::vector<appended> backward = fixedUnitSeries(-1, 1);
    ASSERT_EQ(backward.size(), 123u);
    expectLabelsStateTheirOffsets(backward, -86400);
    for (const appended& e : backward)
        EXPECT_EQ(e.label[0], '-') << e.label;
    EXPECT_EQ(labelsOf(appendedBy([] { addDays(-1, 1); })).back(), "-200K days");
}

TEST(fixed_units_test, larger_steps_follow_the_counter)
{
    EXPECT_EQ(fixedUnitSeries(1, 2).size(), 70u);
    EXPECT_EQ(fixedUnitSeries(1, 0).size(), 0u);  // rather than loop for ever
    EXPECT_EQ(appendedBy([] { addMonths(1, referenceTm(2000, 1, 1), 0); }).size(), 0u);
    EXPECT_EQ(labelsOf(appendedBy([] { addWeeks(1, 2); })),
              (std::vector<std::string>{"100 weeks", "300 weeks", "500 weeks", "700 weeks",
                                        "900 weeks", "1K weeks", "3K weeks", "5K weeks",
                                        "7K weeks", "9K weeks", "10K weeks"}));
    EXPECT_EQ(labelsOf(appendedBy([] { addDays(-1, 2); })).back(), "-100K days");
    EXPECT_EQ(labelsOf(appendedBy([] { addMonths(1, referenceTm(2000, 1, 1), 2); })),
              (std::vector<std::string>{"100 months", "500 months", "700 months"}));
}

// Every reference month of the calendar, at the days that behave differently at month ends,
// against the independent calendar: run-over, leap years, the year filter and the labels.
TEST(months_test, every_reference_month_in_both_directions)
{
    for (int sign : {1, -1})
        for (int year = 1400; year <= 9999; ++year)
            for (int month = 1; month <= 12; ++month)
                for (int day : {1, 28, 29, 30, 31}) {
                    const std::vector<appended> events =
                        appendedBy([&] { addMonths(sign, referenceTm(year, month, day), 1); });
                    std::size_t expected = 0;
                    for (int n = 100; n <= 1000; n += 100) {
                        const long long target = 12LL * year + month - 1 + sign * n;
                        const long long ty = target / 12;
                        const unsigned tm = static_cast<unsigned>(target % 12) + 1;
                        if (n % 12 == 0 || ty < 1400 || ty > 9999)
                            continue;
                        ASSERT_LT(expected, events.size());
                        // Counting on from the 1st runs over the month's end by itself.
                        const long long days = daysFromCivil(ty, tm, 1) + day - 1;
                        EXPECT_EQ(events[expected].timestamp, days * 86400) << year << "-" << month;
                        EXPECT_EQ(events[expected].label,
                                  (sign == 1 ? "" : "-") + std::to_string(n) + " months");
                        ++expected;
                    }
                    ASSERT_EQ(events.size(), expected) << year << "-" << month << "-" << day;
                    const bool full = sign > 0 ? 12 * year + month <= 12 * 9916 + 8
                                               : 12 * year + month >= 12 * 1483 + 5;
                    ASSERT_EQ(events.size() == 7, full) << year << "-" << month;
                }
}

TEST(add_all_test, both_directions_append_months_then_fixed_units)
{
    referenceTimestamp = daysFromCivil(1420, 1, 31) * 86400;
    const std::vector<appended> forward = appendedBy([] { addAll(1, referenceTm(1420, 1, 31)); });
    ASSERT_EQ(forward.size(), 7u + 126u);
    EXPECT_EQ(forward[7].label, "100 weeks");
    const std::vector<appended> backward = appendedBy([] { addAll(-1, referenceTm(1420, 1, 31)); });
    ASSERT_EQ(backward.size(), 2u + 123u);
    EXPECT_EQ(backward[0].timestamp, -17616787200);  // 1411-10-01: September has no 31st
    EXPECT_EQ(backward[1].timestamp, -17879875200);  // 1403-05-31
    EXPECT_EQ(backward[2].label, "-100 weeks");
}
