// The families' tables: the round family's series as they have always been, the others made
// from their definitions, each in every unit.
#include "generators/families.h"

#include <initializer_list>

#include "generators/generators.h"
#include "timeconv/civil.h"

namespace rondelo {

namespace {

// In the order of milestoneUnit: the seven units, then the planets' years in thousandths of a
// day, Mercury out to Neptune.
const unitDefinition units[unitAll] = {
    {unitYears, unitKind::calendarMonths, 12},
    {unitMonths, unitKind::calendarMonths, 1},
    {unitWeeks, unitKind::calendarDays, 7},
    {unitDays, unitKind::calendarDays, 1},
    {unitHours, unitKind::exactSeconds, 3600},
    {unitMinutes, unitKind::exactSeconds, 60},
    {unitSeconds, unitKind::exactSeconds, 1},
    {unitMercuryYears, unitKind::planetYears, 87969},
    {unitVenusYears, unitKind::planetYears, 224701},
    {unitMarsYears, unitKind::planetYears, 686980},
    {unitJupiterYears, unitKind::planetYears, 4332590},
    {unitSaturnYears, unitKind::planetYears, 10759220},
    {unitUranusYears, unitKind::planetYears, 30688500},
    {unitNeptuneYears, unitKind::planetYears, 60182000},
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
    return {false,
            {
                {&units[unitYears], countsOf({{10, 9, {}}, {100, 9, {}}, {1000, 8, {}}})},
                {&units[unitMonths], {100, 200, 400, 500, 700, 800, 1000}},
                {&units[unitWeeks], countsOf({{100, 9, {}}, {1000, 9, {}}, {10000, 2, {}}})},
                {&units[unitDays], countsOf({{1000, 9, {7}}, {10000, 9, {7}}, {100000, 5, {}}}),
                 200000},
                {&units[unitHours], countsOf({{10000, 9, {5}}, {100000, 9, {5}}, {1000000, 3, {}}})},
                {&units[unitMinutes],
                 countsOf({{10000, 9, {}}, {100000, 9, {6}}, {1000000, 9, {}},
                           {10000000, 9, {5, 6}}, {100000000, 5, {}}})},
                {&units[unitSeconds],
                 countsOf({{1000000, 9, {3, 6}}, {10000000, 9, {3, 6}}, {100000000, 9, {}},
                           {1000000000, 5, {}}})},
            }};
}

// The same counts in each of the seven units.
milestoneFamilyData inEveryUnit(const std::vector<long long>& counts)
{
    milestoneFamilyData family{true, {}};
    for (int unit = 0; unit < unitCount; ++unit)
        family.series.push_back({&units[unit], counts});
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
    for (int unit = unitMercuryYears; unit < unitAll; ++unit) {
        const unitDefinition& planet = units[unit];
        std::vector<long long> counts;
        for (long long scale = 1; scale * planet.length <= calendarSpan; scale *= 10)
            for (long long count = scale; count <= 9 * scale; count += scale)
                if (count * planet.length <= calendarSpan)
                    counts.push_back(count);
        family.series.push_back({&planet, counts});
    }
    return family;
}

}  // namespace

// Each family is made on its first use only: a run of the round family, most runs, makes no other.
const milestoneFamilyData& familyData(milestoneFamily family)
{
    switch (family) {
    case familyRepdigit: {
        static const milestoneFamilyData made = inEveryUnit(repdigits());
        return made;
    }
    case familySequence: {
        static const milestoneFamilyData made = inEveryUnit(sequences());
        return made;
    }
    case familyBinary: {
        static const milestoneFamilyData made = inEveryUnit(powersOfTwo());
        return made;
    }
    case familyFibonacci: {
        static const milestoneFamilyData made = inEveryUnit(fibonacci());
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
    return units[unit];
}

}  // namespace rondelo
