// The families of milestones as data: which counts of which units, and how each unit counts.
#pragma once

#include <climits>
#include <vector>

#include "events/events.h"
#include "generators/generators.h"

namespace rondelo {

// How a count of a unit becomes an instant.
enum class unitKind {
    calendarMonths,  // the reference's day of the month and time of day, so many months on
    calendarDays,    // the reference's time of day, so many dates on
    exactSeconds,    // so many seconds on
    planetYears,     // so many days of 86,400 seconds on, to the nearest second
};

struct unitDefinition {
    milestoneUnit unit;
    unitKind kind;
    long long length;  // calendarMonths: months; calendarDays: days; exactSeconds: seconds;
                       // planetYears: 1/1000 days
};

// True for a unit that --units chooses; planet years stay whatever it says.
inline bool isChosenByUnits(const unitDefinition& unit)
{
    return unit.unit < unitCount;
}

// One family's counts of one unit.
struct milestoneSeries {
    const unitDefinition* unit;
    std::vector<long long> counts;        // ascending
    long long backwardLimit = LLONG_MAX;  // a count above it is made only after the reference
};

struct milestoneFamilyData {
    bool calendarOnly;  // an instant outside the years 1400 to 9999 makes no event
    std::vector<milestoneSeries> series;  // in the order of their lines
};

// One family's data, made on its first call and never changed.
const milestoneFamilyData& familyData(milestoneFamily family);

// The definition of one of the units of milestoneUnit, planets included.
const unitDefinition& unitOf(milestoneUnit unit);

}  // namespace rondelo
