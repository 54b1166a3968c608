// The families of milestones: what each appends, in what order, with which labels and instants.
#include "generators/generators.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "civil.h"

using namespace rondelo;

namespace {

// The reference at midnight UTC of the date, with no window.
anniversaryBase utcBase(int year, int month, int day)
{
    return baseOf(absl::CivilSecond(year, month, day, 0, 0, 0), absl::UTCTimeZone());
}

// The list as "timestamp label,type,count,unit" lines, emptied.
std::string release(eventList& events)
{
    std::string listed;
    for (const event& e : events)
        listed += std::to_string(e.instant.seconds) + " " + countLabel(e) + "," +
                  std::to_string(typeOf(e)) + "," + std::to_string(e.count) + "," +
                  unitName(e.unit) + "\n";
    events.clear();
    return listed;
}

// Unix seconds of the calendar's first second and of the first second after it.
constexpr long long calendarStart = daysFromCivil(1400, 1, 1) * 86400;
constexpr long long calendarEnd = daysFromCivil(10000, 1, 1) * 86400;

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
                                   [](const event& a, const event& b) { return typeOf(a) < typeOf(b); }));
        for (auto e = events.begin() + months; e != events.end(); ++e) {
            const std::string label = countLabel(*e), unit = unitName(e->unit);
            const long long distance = e->instant.seconds - base.instant.seconds;
            char* end = nullptr;
            const long long n = std::strtoll(label.c_str(), &end, 10);
            const auto& [seconds, type] = units.at(end);
            EXPECT_EQ(distance, n * seconds) << label;
            EXPECT_EQ(typeOf(*e), type) << label;
            EXPECT_EQ(e->count * unitSeconds.at(unit), distance) << label;
            EXPECT_EQ(label.substr(label.size() - unit.size()), unit);
        }
        release(events);
    }
}

// Every reference month of the calendar, at the days that behave differently at month ends,
// against the independent calendar: run-over or clamping, leap years, the year filter, labels.
TEST(months_test, every_reference_month_in_both_directions_and_both_end_rules)
{
    // reference and target are month indexes, 12 * year + month - 1.
    const auto firstDay = [](int month) { return daysFromCivil(month / 12, month % 12 + 1, 1); };
    eventList events;
    milestoneChoice choice;
    choice.units = 1u << unitMonths;
    for (bool clamp : {false, true})
        for (int sign : {1, -1})
            for (int reference = 12 * 1400; reference < 12 * 10000; ++reference)
                for (int day : {1, 28, 29, 30, 31}) {
                    // A day the reference month lacks is no date; one all months have clamps
                    // nothing, and clamping back is the same arithmetic as forward.
                    if (firstDay(reference) + day > firstDay(reference + 1) ||
                        (clamp && (day < 29 || sign < 0)))
                        continue;
                    choice.clampMonthEnd = clamp;
                    addAll(events, utcBase(reference / 12, reference % 12 + 1, day), sign, choice);
                    std::string expected;
                    for (int n = 100; n <= 1000; n += 100) {
                        const int target = reference + sign * n;
                        if (n % 12 == 0 || target < 12 * 1400 || target >= 12 * 10000)
                            continue;
                        // Counting on from the 1st runs over the month's end by itself; the
                        // next month's 1st is one past the last day.
                        long long after = firstDay(target) + day;
                        if (clamp)
                            after = std::min(after, firstDay(target + 1));
                        const long long days = after - 1;
                        const std::string count = (sign > 0 ? "" : "-") + std::to_string(n);
                        expected += std::to_string(days * 86400) + " " + count + " months,1," +
                                    count + ",months\n";
                    }
                    ASSERT_EQ(release(events), expected)
                        << reference / 12 << "-" << reference % 12 + 1 << " " << clamp;
                    // A window that holds just one anniversary's instant gives it, however far
                    // its date strays from a mean month (the series skips by estimate).
                    for (std::size_t at = 0; reference % 7 == 0 && at < expected.size();
                         at = expected.find('\n', at) + 1) {
                        anniversaryBase base = utcBase(reference / 12, reference % 12 + 1, day);
                        base.from = {std::stoll(expected.substr(at))};
                        base.until = {base.from.seconds + 1};
                        addAll(events, base, sign, choice);
                        ASSERT_EQ(events.size(), 1u) << reference / 12 << "-" << reference % 12 + 1;
                        events.clear();
                    }
                }
}

// The new families, their counts written out here from their definitions: in every unit and
// both directions, the labels, types, counts and instants, and none outside the calendar; the
// planets' years against their periods in days.
TEST(families_test, counts_labels_and_instants_in_every_unit)
{
    std::vector<std::pair<std::string, long long>> counts[familyCount];  // as labels write them
    for (int digits = 4; digits <= 10; ++digits) {
        for (char digit = '1'; digit <= '9'; ++digit)
            counts[familyRepdigit].push_back({std::string(digits, digit), 0});
        counts[familySequence].push_back({std::string("1234567890", digits), 0});
    }
    std::vector<long long> fibonacci = {1, 2};
    while (fibonacci.back() < 10000000000)
        fibonacci.push_back(fibonacci.end()[-1] + fibonacci.end()[-2]);
    for (const long long number : fibonacci)
        if (std::to_string(number).size() >= 4 && std::to_string(number).size() <= 10)
            counts[familyFibonacci].push_back({std::to_string(number), 0});
    for (auto& list : counts)
        for (auto& [text, count] : list)
            count = std::stoll(text);
    for (int exponent = 10; exponent <= 40; ++exponent)
        counts[familyBinary].push_back({"2^" + std::to_string(exponent), 1LL << exponent});
    static const std::pair<const char*, double> planets[] = {
        {"Mercury", 87.969}, {"Venus", 224.701}, {"Mars", 686.980}, {"Jupiter", 4332.59},
        {"Saturn", 10759.22}, {"Uranus", 30688.5}, {"Neptune", 60182}};
    static const long long unitSeconds[] = {0, 0, 604800, 86400, 3600, 60, 1};
    static const int types[] = {11, 1, 2, 4, 5, 6, 7};
    const anniversaryBase base = utcBase(2000, 1, 1);
    eventList events;
    for (int family = familyRepdigit; family <= familyPlanets; ++family)
        for (int sign : {1, -1}) {
            std::string expected;
            const auto add = [&](long long ts, const std::string& label, const std::string& unit,
                                 int type, long long n) {
                if (ts >= calendarStart && ts < calendarEnd)
                    expected += std::to_string(ts) + " " + (sign > 0 ? "" : "-") + label + "," +
                                std::to_string(type) + "," + std::to_string(sign * n) + "," +
                                unit + "\n";
            };
            for (int unit = 0; unit < unitCount && family != familyPlanets; ++unit)
                for (const auto& [text, n] : counts[family]) {
                    // From January 2000, a year being 12 months.
                    const long long month = 12 * 2000 + sign * n * (unit == unitYears ? 12 : 1);
                    const long long ts =
                        unit > unitMonths ? base.instant.seconds + sign * n * unitSeconds[unit]
                        : month < 12 * 1400 || month >= 12 * 10000
                            ? calendarEnd
                            : daysFromCivil(month / 12, month % 12 + 1, 1) * 86400;
                    add(ts, text + " " + unitNames[unit], unitNames[unit], types[unit], n);
                }
            for (const auto& [planet, days] : planets)
                for (long long scale = 1; scale <= 1000000 && family == familyPlanets; scale *= 10)
                    for (long long n = scale; n <= 9 * scale; n += scale)
                        add(base.instant.seconds + sign * std::llround(n * days * 86400),
                            std::to_string(n) + " " + planet + (n == 1 ? " year" : " years"),
                            planet + std::string(" years"), 10, n);
            milestoneChoice choice;
            choice.families = 1u << family;
            choice.units = allUnits;
            addAll(events, base, sign, choice);
            EXPECT_EQ(release(events), expected) << "family " << family << " " << sign;
        }
}
