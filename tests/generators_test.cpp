// The six anniversary series: what each appends, in what order, with which labels and instants.
#include "generators/generators.h"

#include <cstdlib>
#include <cstring>
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
    return t;
}

// An appended event, its label copied out of the heap.
struct appended {
    long long timestamp;
    std::string label;
    eventType type;
};

// Runs generators on the (empty) list and returns what they appended, releasing the list so
// that calendar-wide loops stay small.
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

// Reads "[-]N[K|M|G] unit" back into signed seconds and the type the unit implies.
struct labelMeaning {
    long long seconds;
    eventType type;
};

labelMeaning meaningOf(const std::string& label)
{
    static const std::map<std::string, std::pair<long long, eventType>> units = {
        {"weeks", {604800, evWeeks}}, {"days", {86400, evDays}}, {"hours", {3600, evHours}},
        {"minutes", {60, evMinutes}}, {"seconds", {1, evSeconds}}};
    std::size_t end = 0;
    long long n = std::stoll(label, &end);
    const char multiplierLetter = label[end];
    const bool hasMultiplier = multiplierLetter != ' ';
    n *= multiplierLetter == 'K' ? 1000 : multiplierLetter == 'M' ? 1000000
       : multiplierLetter == 'G' ? 1000000000 : 1;
    const auto& unit = units.at(label.substr(end + (hasMultiplier ? 2 : 1)));
    const bool kiloWeeks = unit.second == evWeeks && hasMultiplier;
    return {n * unit.first, kiloWeeks ? evKiloWeeks : unit.second};
}

const char* const skippedLabels[] = {"7K days",     "70K days",    "50K hours",
                                     "500K hours",  "600K minutes", "50M minutes",
                                     "60M minutes", "3M seconds",  "6M seconds",
                                     "30M seconds", "60M seconds", "6G seconds"};

void expectLabelsStateTheirOffsets(const std::vector<appended>& events, long long reference)
{
    std::map<std::string, int> seen;
    for (const appended& e : events) {
        const labelMeaning meaning = meaningOf(e.label);
        EXPECT_EQ(e.timestamp - reference, meaning.seconds) << e.label;
        EXPECT_EQ(e.type, meaning.type) << e.label;
        EXPECT_EQ(++seen[e.label], 1) << e.label;
    }
    for (const char* skipped : skippedLabels) {
        EXPECT_EQ(seen.count(skipped), 0u) << skipped;
        EXPECT_EQ(seen.count(std::string("-") + skipped), 0u) << skipped;
    }
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

TEST(fixed_units_test, forward_series_counts_order_and_offsets)
{
    referenceTimestamp = -86400;  // before the epoch: plain signed addition
    EXPECT_EQ(appendedBy([] { addWeeks(1, 1); }).size(), 20u);
    EXPECT_EQ(appendedBy([] { addDays(1, 1); }).size(), 21u);
    EXPECT_EQ(appendedBy([] { addHours(1, 1); }).size(), 19u);
    EXPECT_EQ(appendedBy([] { addMinutes(1, 1); }).size(), 38u);
    EXPECT_EQ(appendedBy([] { addSeconds(1, 1); }).size(), 28u);

    const std::vector<appended> events = fixedUnitSeries(1, 1);
    ASSERT_EQ(events.size(), 126u);
    EXPECT_EQ(events.front().label, "100 weeks");
    EXPECT_EQ(events.front().timestamp, -86400 + 60480000);
    EXPECT_EQ(events.back().label, "5G seconds");
    EXPECT_EQ(events.back().timestamp, -86400 + 5000000000);
    expectLabelsStateTheirOffsets(events, -86400);

    const std::vector<std::string> days = labelsOf(appendedBy([] { addDays(1, 1); }));
    EXPECT_EQ(days.back(), "500K days");
    EXPECT_EQ(days[6], "8K days");
}

TEST(fixed_units_test, backward_series_mirror_and_stop_at_200K_days)
{
    referenceTimestamp = 1000000000;
    const std::vector<appended> events = fixedUnitSeries(-1, 1);
    ASSERT_EQ(events.size(), 123u);
    expectLabelsStateTheirOffsets(events, 1000000000);
    for (const appended& e : events)
        EXPECT_EQ(e.label[0], '-') << e.label;
    EXPECT_EQ(labelsOf(appendedBy([] { addDays(-1, 1); })).back(), "-200K days");
}

TEST(fixed_units_test, larger_steps_follow_the_counter)
{
    referenceTimestamp = 0;
    EXPECT_EQ(fixedUnitSeries(1, 2).size(), 70u);
    const std::vector<std::string> weeks = {"100 weeks", "300 weeks", "500 weeks", "700 weeks",
                                            "900 weeks", "1K weeks",  "3K weeks",  "5K weeks",
                                            "7K weeks",  "9K weeks",  "10K weeks"};
    EXPECT_EQ(labelsOf(appendedBy([] { addWeeks(1, 2); })), weeks);
    EXPECT_EQ(labelsOf(appendedBy([] { addDays(-1, 2); })).back(), "-100K days");
}

TEST(fixed_units_test, labels_are_copies_of_the_shared_buffer)
{
    appendedBy([] {
        addSeconds(1, 1);
        std::strcpy(tmpbuf, "overwritten");
        EXPECT_STREQ(eventsForOneReferenceDate.front()->label, "1M seconds");
    });
}

TEST(months_test, reference_on_the_31st_runs_over_short_months)
{
    const std::vector<appended> events = appendedBy([] { addMonths(1, referenceTm(2000, 1, 31), 1); });
    const std::vector<std::string> labels = {"100 months", "200 months", "400 months",
                                             "500 months", "700 months", "800 months",
                                             "1000 months"};
    const std::vector<long long> stamps = {1212192000, 1475280000, 2001110400, 2264198400,
                                           2790028800, 3053116800, 3578947200};
    EXPECT_EQ(labelsOf(events), labels);
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].timestamp, stamps.at(i));
        EXPECT_EQ(events[i].type, evMonths);
    }
}

TEST(months_test, anniversary_dates_at_month_ends)
{
    using boost::gregorian::date;
    EXPECT_EQ(monthAnniversary(2008, 4, 31), date(2008, 5, 1));
    EXPECT_EQ(monthAnniversary(2009, 2, 31), date(2009, 3, 3));
    EXPECT_EQ(monthAnniversary(2084, 2, 31), date(2084, 3, 2));
    EXPECT_EQ(monthAnniversary(2012, 2, 30), date(2012, 3, 1));
    EXPECT_EQ(monthAnniversary(2100, 2, 29), date(2100, 3, 1));
    EXPECT_EQ(monthAnniversary(2400, 2, 29), date(2400, 2, 29));
    EXPECT_EQ(monthAnniversary(9999, 12, 31), date(9999, 12, 31));
}

// Every reference month of the calendar, at the days that behave differently at month ends.
TEST(months_test, every_reference_month_against_an_independent_calendar)
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
                        const unsigned length = daysInMonth(ty, tm);
                        const long long days = daysFromCivil(ty, tm, day > int(length) ? length : day) +
                                               (day > int(length) ? day - int(length) : 0);
                        ASSERT_EQ(events[expected].timestamp, days * 86400) << year << "-" << month;
                        ASSERT_EQ(events[expected].label,
                                     ((sign == 1 ? "" : "-") + std::to_string(n) + " months").c_str());
                        ++expected;
                    }
                    ASSERT_EQ(events.size(), expected) << year << "-" << month << "-" << day;
                    const bool full = sign > 0 ? 12 * year + month <= 12 * 9916 + 8
                                               : 12 * year + month >= 12 * 1483 + 5;
                    ASSERT_EQ(events.size() == 7, full) << year << "-" << month;
                }
}

TEST(months_test, only_year_month_and_day_are_read)
{
    std::tm shifted = referenceTm(1970, 1, 15);
    shifted.tm_hour = 7;
    shifted.tm_min = 59;
    const std::vector<appended> a = appendedBy([] { addMonths(1, referenceTm(1970, 1, 15), 1); });
    const std::vector<appended> b = appendedBy([&] { addMonths(1, shifted, 1); });
    ASSERT_EQ(a.size(), 7u);
    for (std::size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(a[i].timestamp, b[i].timestamp);
    EXPECT_EQ(labelsOf(appendedBy([] { addMonths(1, referenceTm(2000, 1, 1), 2); })),
              (std::vector<std::string>{"100 months", "500 months", "700 months"}));
}

TEST(add_all_test, both_directions_append_months_then_fixed_units)
{
    for (int sign : {1, -1}) {
        referenceTimestamp = daysFromCivil(1420, 1, 31) * 86400;
        const std::vector<appended> events = appendedBy([=] { addAll(sign, referenceTm(1420, 1, 31)); });
        const std::size_t months = sign > 0 ? 7 : 2;
        ASSERT_EQ(events.size(), months + (sign > 0 ? 126 : 123));
        EXPECT_EQ(events[0].label, sign > 0 ? "100 months" : "-100 months");
        EXPECT_EQ(events[months - 1].type, evMonths);
        EXPECT_EQ(events[months].label, sign > 0 ? "100 weeks" : "-100 weeks");
    }
    EXPECT_EQ(appendedBy([] { addAll(-1, referenceTm(1420, 1, 31)); })[1].timestamp, -17879875200);
}
