// The families' tables: the round family's series as they have always been, the others made
// from their definitions, each in every unit.
#include "generators/families.h"

#include <initializer_list>

#include "generators/generators.h"
#include "timeconv/epoch.h"

namespace rondelo {

namespace {

const unitDefinition years{unitNames[unitYears], "year", unitKind::calendarMonths, 12, unitYears,
                           evYears};
const unitDefinition months{unitNames[unitMonths], "month", unitKind::calendarMonths, 1,
                            unitMonths, evMonths};
const unitDefinition weeks{unitNames[unitWeeks], "week", unitKind::calendarDays, 7, unitWeeks,
                           evWeeks};
const unitDefinition days{unitNames[unitDays], "day", unitKind::calendarDays, 1, unitDays, evDays};
const unitDefinition hours{unitNames[unitHours], "hour", unitKind::exactSeconds, 3600, unitHours,
                           evHours};
const unitDefinition minutes{unitNames[unitMinutes], "minute", unitKind::exactSeconds, 60,
                             unitMinutes, evMinutes};
const unitDefinition seconds{unitNames[unitSeconds], "second", unitKind::exactSeconds, 1,
                             unitSeconds, evSeconds};
// In the order of milestoneUnit.
const unitDefinition* const units[unitCount] = {&years, &months,  &weeks,  &days,
                                                &hours, &minutes, &seconds};
// Their years in thousandths of a day, Mercury out to Neptune.
const unitDefinition planets[] = {
    {"Mercury years", "Mercury year", unitKind::planetYears, 87969, -1, evPlanetYears},
    {"Venus years", "Venus year", unitKind::planetYears, 224701, -1, evPlanetYears},
    {"Mars years", "Mars year", unitKind::planetYears, 686980, -1, evPlanetYears},
    {"Jupiter years", "Jupiter year", unitKind::planetYears, 4332590, -1, evPlanetYears},
    {"Saturn years", "Saturn year", unitKind::planetYears, 10759220, -1, evPlanetYears},
    {"Uranus years", "Uranus year", unitKind::planetYears, 30688500, -1, evPlanetYears},
    {"Neptune years", "Neptune year", unitKind::planetYears, 60182000, -1, evPlanetYears},
};

// The thousandths of a day that the calendar spans: no count longer than that can fall in it.
constexpr long long calendarSpan = (pastCalendarSecond - firstCalendarSecond) / 86400 * 1000;

// counter * scale for the counters 1 to last, less up to two skipped ones: a run of round counts.
struct multiples {
    long long scale;
    int last;
    int skipped[2];  // 0 skips nothing
};

std::vector<long long> countsOf(std::initializer_list<multiples> runs)
{
    std::vector<long long> counts;
    for (const multiples& run : runs)
        for (int counter = 1; counter <= run.last; ++counter)
            if (counter != run.skipped[0] && counter != run.skipped[1])
                counts.push_back(counter * run.scale);
    return counts;
}

// Each skipped count falls at the instant of another series' count (7K days at 1K weeks,
// 50K hours at 3M minutes, 3M seconds at 50K minutes ...), and no whole number of years is a
// month count. The years go to 8000, as far as the calendar's 8,600 years reach. Before the
// reference the days stop at 200K.
milestoneFamilyData round()
{
    const labelForm metric = labelForm::metric;
    return {false,
            {
                {&years, evYears, labelForm::plain,
                 countsOf({{10, 9, {}}, {100, 9, {}}, {1000, 8, {}}})},
                {&months, evMonths, labelForm::plain, {100, 200, 400, 500, 700, 800, 1000}},
                {&weeks, evWeeks, metric, countsOf({{100, 9, {}}})},
                {&weeks, evKiloWeeks, metric, countsOf({{1000, 9, {}}, {10000, 2, {}}})},
                {&days, evDays, metric,
                 countsOf({{1000, 9, {7}}, {10000, 9, {7}}, {100000, 5, {}}}), 200000},
                {&hours, evHours, metric,
                 countsOf({{10000, 9, {5}}, {100000, 9, {5}}, {1000000, 3, {}}})},
                {&minutes, evMinutes, metric,
                 countsOf({{10000, 9, {}}, {100000, 9, {6}}, {1000000, 9, {}},
                           {10000000, 9, {5, 6}}, {100000000, 5, {}}})},
                {&seconds, evSeconds, metric,
                 countsOf({{1000000, 9, {3, 6}}, {10000000, 9, {3, 6}}, {100000000, 9, {}},
                           {1000000000, 5, {}}})},
            }};
}

// The same counts in each unit, of the unit's own type.
milestoneFamilyData inEveryUnit(labelForm form, const std::vector<long long>& counts)
{
    milestoneFamilyData family{true, {}};
    for (const unitDefinition* unit : units)
        family.series.push_back({unit, unit->type, form, counts});
    return family;
}

// 1111, 2222, ... 9999, 11111, ... 9999999999.
std::vector<long long> repdigits()
{
    std::vector<long long> counts;
    for (long long ones = 1111; ones <= 1111111111; ones = ones * 10 + 1)
        for (int digit = 1; digit <= 9; ++digit)
            counts.push_back(digit * ones);
    return counts;
}

// 1234, 12345, ... 123456789, 1234567890: each the last and the next digit, 0 after 9.
std::vector<long long> sequences()
{
    std::vector<long long> counts;
    for (long long count = 1234, digit = 5; count <= 1234567890; ++digit) {
        counts.push_back(count);
        count = count * 10 + digit % 10;
    }
    return counts;
}

std::vector<long long> powersOfTwo()
{
    std::vector<long long> counts;
    for (int exponent = 10; exponent <= 40; ++exponent)
        counts.push_back(1LL << exponent);
    return counts;
}

// The Fibonacci numbers of 4 to 10 digits: 1597 to 2971215073.
std::vector<long long> fibonacci()
{
    std::vector<long long> counts;
    for (long long previous = 1, count = 2; count < 10000000000;) {
        if (count >= 1000)
            counts.push_back(count);
        const long long next = previous + count;
        previous = count;
        count = next;
    }
    return counts;
}

// 1 to 9 times a power of ten of each planet's years, as far as the calendar reaches.
milestoneFamilyData planetYears()
{
    milestoneFamilyData family{true, {}};
    for (const unitDefinition& planet : planets) {
        std::vector<long long> counts;
        for (long long scale = 1; scale * planet.length <= calendarSpan; scale *= 10)
            for (long long count = scale; count <= 9 * scale; count += scale)
                if (count * planet.length <= calendarSpan)
                    counts.push_back(count);
        family.series.push_back({&planet, planet.type, labelForm::plain, counts});
    }
    return family;
}

}  // namespace

// Each family is made on its first use only: a run of the round family, most runs, makes no other.
const milestoneFamilyData& familyData(milestoneFamily family)
{
    switch (family) {
    case familyRepdigit: {
        static const milestoneFamilyData made = inEveryUnit(labelForm::plain, repdigits());
        return made;
    }
    case familySequence: {
        static const milestoneFamilyData made = inEveryUnit(labelForm::plain, sequences());
        return made;
    }
    case familyBinary: {
        static const milestoneFamilyData made = inEveryUnit(labelForm::power, powersOfTwo());
        return made;
    }
    case familyFibonacci: {
        static const milestoneFamilyData made = inEveryUnit(labelForm::plain, fibonacci());
        return made;
    }
    case familyPlanets: {
        static const milestoneFamilyData made = planetYears();
        return made;
    }
    default: {
        static const milestoneFamilyData made = round();
        return made;
    }
    }
}

const unitDefinition& unitOf(milestoneUnit unit)
{
    return *units[unit];
}

}  // namespace rondelo
